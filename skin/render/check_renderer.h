// Check boxes and option buttons: the skin's boxes, marks and dots.
#pragma once

#include <windows.h>

namespace skin {

// 1 after drawing, 0 when the state equals OLDSTATE and force is not set.
LRESULT PaintCheckBox(HWND window, int state, bool force);
LRESULT PaintOptionButton(HWND window, int state, bool force);

// Whether a box renderer draws: not when the state is already on screen (OLDSTATE) and the
// caller does not insist. Stores the state when it draws.
bool TakeNewState(HWND window, int state, bool force);

// The square check box at x, y, width x height: white with a one-pixel frame, tinted when hot or
// pressed, with the check mark or the indeterminate mark of checkState (BM_GETCHECK) centred.
void DrawCheckBoxBox(HDC dc, int x, int y, int width, int height, int state, LRESULT checkState,
                     bool enabled);

// The round option box of the state at x, y, width x height, its key pixels leaving dc as it
// was, with the dot when checked. placedTop is the box's top where it will be seen: the dot's
// row is rounded there.
void DrawOptionBox(HDC dc, int x, int y, int width, int height, int state, LRESULT checkState,
                   bool enabled, int placedTop);

}  // namespace skin
