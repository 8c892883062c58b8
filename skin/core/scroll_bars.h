// Scroll bars in the skin's look, under DORRIK_SKIN_SCROLLBARS: the bars of every skinned window
// that has them and scroll-bar controls. The platform keeps all of their behaviour (hit testing,
// tracking, the scroll messages, GetScrollInfo); only their pixels are the skin's.
#pragma once

#include <windows.h>

namespace skin {

// Once per process, before the first window with the option is attached.
void StartScrollBarSkin();

// The non-client paint of a window with both bars: the platform paints everything but the
// square where they meet (its own face colour there), then the skin paints that square. Returns
// the region to hand the platform instead of wParam, or 0 to hand it wParam.
HRGN NcPaintRegionWithoutScrollCorner(HWND window, WPARAM wParam);
void PaintScrollBarCorner(HWND window);

// The pointer over a window's bars: the part under it is hot.
LRESULT HandleNcMouseMove(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT HandleNcMouseLeave(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace skin
