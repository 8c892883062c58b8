// Paint routing: who paints each kind of window, client area and frame.
#pragma once

#include <windows.h>

namespace skin {

LRESULT HandlePaint(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT HandleNcPaint(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Thickness of the window's non-client border; always returns 1.
int GetBorderThickness(HWND window, int& horizontal, int& vertical);

}  // namespace skin
