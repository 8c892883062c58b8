// The common controls that DORRIK_SKIN_COMMON takes over: what attach and detach do for them, and
// the notifications their parents pass on.
#pragma once

#include <windows.h>

#include "core/props.h"

namespace skin {

// Attach: a list or tree view with check boxes gets the skin's check boxes as its state images.
void SetupCommonControl(HWND window, ControlKind kind);
// Detach: the control's own state images back, and whatever the skin kept for it released.
void TeardownCommonControl(HWND window, ControlKind kind);

// WM_NOTIFY at any skinned window: a skinned toolbar's custom draw gets the skin's button faces;
// everything else goes on unchanged.
LRESULT HandleNotify(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// What each kind's own file keeps for a control, put in place or let go.
void SwapInCheckBoxes(HWND control, ControlKind kind);
void SwapOutCheckBoxes(HWND control);
void ForgetMarquee(HWND bar);
void ForgetToolbar(HWND toolbar);

}  // namespace skin
