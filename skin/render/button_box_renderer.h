// The platform's own check boxes, three-state boxes, option buttons and group boxes ("Button"
// windows) in the skin's look: the skin paints them whole, instead of the control.
#pragma once

#include <windows.h>

namespace skin {

// Draws the check box or option button whole in state (0 normal, 1 hot, 2 pressed; the disabled
// look follows the enabled flag): the parent's background, the box where the platform puts it
// (left, or right for BS_LEFTTEXT / BS_RIGHTBUTTON / WS_EX_RIGHT), the caption beside it in the
// control's font, the focus frame around the caption. A push-like one (BS_PUSHLIKE) is drawn as
// a push button's face, pressed while checked. Into target (client coordinates) or, with 0, the
// client area's context. 1 after drawing; 0 when the state equals OLDSTATE and force is not set.
LRESULT PaintButtonBox(HWND window, HDC target, int state, bool force);

// Draws a group box's one-pixel frame in the border colour (the disabled border when disabled)
// with its caption on it, where the platform puts them; the inside is left alone. Into target
// (client coordinates) or the client area's context.
void PaintGroupBox(HWND window, HDC target);

// A group box's frame over frame: one pixel in the border colour, or the disabled border.
void DrawGroupFrame(HDC dc, const RECT& frame, bool enabled);

}  // namespace skin
