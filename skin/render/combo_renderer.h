// Combo boxes and drive lists: the skinned drop button.
#pragma once

#include <windows.h>

#include "render/primitives.h"

namespace skin {

// Draws the drop button in state (overwritten with Pressed while the list is dropped down) into
// target, in window coordinates, or (0) into the window's own context; only when the state
// differs from OLDSTATE or force is set.
void PaintComboButton(HWND window, HDC target, int& state, bool force);

// Where the drop button lies, in window coordinates (right and bottom exclusive): one pixel wider
// than a vertical scroll bar, leaving one pixel of the window free at the top, right and bottom.
RECT ComboDropButtonRect(const WindowBounds& bounds);

// The two low bits of a combo box's style: CBS_SIMPLE 1, CBS_DROPDOWN 2, CBS_DROPDOWNLIST 3.
// Bit 1: the drop-down styles have a drop button; a simple combo box has none.
bool ComboHasDropButton(LONG style);
// Bit 0: no edit field beside the drop button (CBS_DROPDOWNLIST; CBS_SIMPLE shares the bit and
// goes with it). The control paints its own text, and all of it counts as the drop button.
bool ComboWithoutEditField(LONG style);

}  // namespace skin
