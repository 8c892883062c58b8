// Up-down controls in the skin's look, joined to their buddy.
#include "core/window_proc.h"

namespace skin {

LRESULT UpDownProc(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return RouteMessage(previous, window, message, wParam, lParam);
}

}  // namespace skin
