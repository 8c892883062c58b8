// Placeholder until the hover fade lands.
#include "core/hover.h"

namespace skin {

LRESULT StartHoverTimer(HWND) { return 0; }
LRESULT StopHoverTimer(HWND) { return 0; }
LRESULT HandleTimer(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) { return CallWindowProcA(previous, window, message, wParam, lParam); }
void TrackMouseLeave(HWND) {}
bool IsExportAvailable(const char*, const char*) { return false; }

}  // namespace skin
