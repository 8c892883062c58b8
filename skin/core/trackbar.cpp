// Trackbars in the skin's look: flat channel and thumb.
#include "core/window_proc.h"

namespace skin {

LRESULT TrackbarProc(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return RouteMessage(previous, window, message, wParam, lParam);
}

}  // namespace skin
