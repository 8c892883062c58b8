// Putting the skin on windows and taking it off, and the skin's link in each window's chain.
#pragma once

#include <windows.h>

#include "core/engine.h"
#include "core/kinds.h"
#include "core/props.h"

namespace skin {

// options: the form's AttachSkinEx options, with kWholeTree; 0 for AttachSkin.
LRESULT AttachWindow(HWND window, DWORD options = 0);
LRESULT DetachWindow(HWND window);

// Attaches a window that was made inside a skinned window, now that it paints for the first time;
// a window whose container is no longer skinned loses the skin's link instead.
void AttachWaitingWindow(HWND window);

// A window being made on the engine's thread: linked, to be attached at its first paint, where it
// is made inside a skinned window that the skin would have reached it in.
void LinkNewWindow(HWND window, const CREATESTRUCTW& create);

// A top-level form being made on this thread, to be given the skin (AttachSkinEx's options) when
// it is shown or first paints, with or without activation, and complete by then. Nothing is done
// for a window the skin has linked already.
void LinkNewForm(HWND window, DWORD options);

// A waiting window whose procedure was replaced while the skin passed a message on (a class
// library's creation procedure puts the control's own in place of the one it was made with): the
// link goes back on top when the replacement cut it out.
void RelinkIfCutOut(HWND window);

// The skin's link leaves the window's chain where the skin is on top (or is cut out already), and
// otherwise stays, passing everything on.
void LeaveChain(HWND window);

// The window is gone, or its handle means another window now: its record goes with what it held,
// and it no longer counts as skinned.
void ForgetWindow(HWND window);

// Whether a "Button" window of this style paints its own face (check boxes, radio buttons and
// group boxes), so that the skin leaves its painting alone.
bool ButtonKeepsOwnPainting(LONG style);

// Gives a push button its rounded region at size w x h (the system owns the region afterwards).
void SetButtonRegion(HWND window, int width, int height);

}  // namespace skin
