/* Dorrik skin engine: paints every windowed control of a form in a flat, blue-bordered look.
 *
 *     AttachSkin(form);   // when the form has been created: skins it and everything inside it
 *     DetachSkin(form);   // before the form goes away: every window is back as it was
 *
 * Dialogs, message boxes and drop-down lists that open over a skinned form are skinned as they
 * appear. Both calls return 1 when they changed the window and 0 when there was nothing to do.
 * Call them on the thread that owns the windows. */
#ifndef DORRIK_SKIN_H
#define DORRIK_SKIN_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

LONG WINAPI AttachSkin(HWND form);
LONG WINAPI DetachSkin(HWND form);

#ifdef __cplusplus
}
#endif

#endif
