// Up-down (spin) controls in the skin's look, joined to their buddy edit field.
#pragma once

#include <windows.h>

namespace skin {

// The two halves of an up-down control: the upper (or left) and the lower (or right) one.
inline constexpr int kNoHalf = -1;
inline constexpr int kFirstHalf = 0;
inline constexpr int kSecondHalf = 1;

// Draws the whole control into target (client coordinates) through one memory surface and one
// copy: a one-pixel frame, and two white halves with the skin's arrows, the hot half and the
// pressed one in the drop button's tints. Beside a buddy edit field with the skin's flat border,
// the frame runs on from the field's and the edge they share is one border line.
void DrawUpDown(HWND upDown, HDC target, int hotHalf, int pressedHalf);

// The half at a point of the client area, or kNoHalf.
int UpDownHalfAt(HWND upDown, POINT point);

}  // namespace skin
