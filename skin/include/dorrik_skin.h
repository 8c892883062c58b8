/* Dorrik skin engine: paints every windowed control of a form in a flat, blue-bordered look.
 *
 *     AttachSkin(form);   // when the form has been created: skins it and everything inside it
 *     DetachSkin(form);   // before the form goes away: every window is back as it was
 *
 * Dialogs, message boxes and drop-down lists that open over a skinned form are skinned as they
 * appear. Both calls return 1 when they changed the window and 0 when there was nothing to do.
 * Call them on the thread that owns the windows.
 *
 * AttachSkinEx(form, options) skins the window given and every window inside it, whatever their
 * classes (a C or C++ program's main window has a class of its own), and with the options also
 * the platform's own controls that AttachSkin leaves in their own look. Every window later skinned
 * inside the form or opened over it gets the same options. Unknown bits: returns 0, changes
 * nothing. DetachSkin takes all of it off. */
#ifndef DORRIK_SKIN_H
#define DORRIK_SKIN_H

#include <windows.h>

/* Options of AttachSkinEx; 0 gives AttachSkin's look on the whole tree. */
#define DORRIK_SKIN_BUTTONS   0x0001 /* "button" check boxes, three-state boxes, option buttons, group boxes */
#define DORRIK_SKIN_TABS      0x0002 /* tab controls: tabs and page frame */
#define DORRIK_SKIN_UPDOWN    0x0004 /* up-down (spin) controls, joined to their buddy */
#define DORRIK_SKIN_TRACKBARS 0x0008 /* trackbars: channel and thumb */
#define DORRIK_SKIN_IMAGES    0x0010 /* push buttons show their images; buttons painted by the program keep their painting */
#define DORRIK_SKIN_COMMON    0x0020 /* progress bars, status bars, toolbars, list and tree check boxes, date-time pickers, hot-key and IP fields */
#define DORRIK_SKIN_FRAME     0x0040 /* captions, frames and caption buttons of windows with a title bar */
#define DORRIK_SKIN_MENUS     0x0080 /* the menu bar, popup menus, context menus and the system menu */
#define DORRIK_SKIN_SCROLLBARS 0x0100 /* window scroll bars and scroll-bar controls: track, arrows and thumb */
#define DORRIK_SKIN_ALL       0x01FF

#ifdef __cplusplus
extern "C" {
#endif

LONG WINAPI AttachSkin(HWND form);
LONG WINAPI AttachSkinEx(HWND form, DWORD options);
LONG WINAPI DetachSkin(HWND form);

#ifdef __cplusplus
}
#endif

#endif
