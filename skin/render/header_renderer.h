// Header controls: one item in its normal, hot or pressed look.
#pragma once

#include <windows.h>

namespace skin {

// Draws item index (nothing for an index below 0) into target, in window coordinates, or (0) into
// the header's own context. Always returns 0.
LRESULT PaintHeaderItem(HWND window, HDC target, int index, int state);

}  // namespace skin
