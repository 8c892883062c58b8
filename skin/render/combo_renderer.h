// Combo boxes and drive lists: the skinned drop button.
#pragma once

#include <windows.h>

namespace skin {

// Draws the drop button in state (overwritten with Pressed while the list is dropped down) into
// target, in window coordinates, or (0) into the window's own context; only when the state
// differs from OLDSTATE or force is set.
void PaintComboButton(HWND window, HDC target, int& state, bool force);

}  // namespace skin
