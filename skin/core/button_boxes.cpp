// Button-class check boxes, three-state boxes, option buttons and group boxes in the skin's look.
#include "core/window_proc.h"

namespace skin {

LRESULT ButtonBoxProc(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return RouteMessage(previous, window, message, wParam, lParam);
}

}  // namespace skin
