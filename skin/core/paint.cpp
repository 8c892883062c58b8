// Placeholder until paint routing lands: windows paint themselves.
#include "core/paint.h"

namespace skin {

LRESULT HandlePaint(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) { return CallWindowProcA(previous, window, message, wParam, lParam); }
LRESULT HandleNcPaint(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) { return CallWindowProcA(previous, window, message, wParam, lParam); }
int GetBorderThickness(HWND, int& horizontal, int& vertical) {
    horizontal = vertical = 0;
    return 1;
}

}  // namespace skin
