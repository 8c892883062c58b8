// Tab controls in the skin's look: flat tabs and page frame.
#include "core/window_proc.h"

namespace skin {

LRESULT TabControlProc(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return RouteMessage(previous, window, message, wParam, lParam);
}

}  // namespace skin
