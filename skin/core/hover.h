// The push button's hover fade: a 15 ms timer, and the request for a leave notification.
#pragma once

#include <windows.h>

namespace skin {

// The fade timer's identifier: an address inside the engine, which no program's timer can have.
UINT_PTR FadeTimerId();

LRESULT StartHoverTimer(HWND window);
LRESULT StopHoverTimer(HWND window);
LRESULT HandleTimer(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// One WM_MOUSELEAVE is posted to the window when the cursor leaves it.
void TrackMouseLeave(HWND window);

// Whether the library exports the function; a library loaded only to ask is released again.
bool IsExportAvailable(const char* functionName, const char* libraryName);

}  // namespace skin
