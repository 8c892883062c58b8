// Shared by the start-up benchmarks: when a started program's window counts as painted.
#pragma once

#include <windows.h>

namespace perf {

inline BOOL CALLBACK FindUnpaintedChild(HWND window, LPARAM lParam) {
    if (!GetUpdateRect(window, nullptr, FALSE)) return TRUE;
    *reinterpret_cast<bool*>(lParam) = false;
    return FALSE;
}

// The window and every window in it have nothing left to paint.
inline bool Painted(HWND window) {
    if (GetUpdateRect(window, nullptr, FALSE)) return false;
    bool painted = true;
    EnumChildWindows(window, FindUnpaintedChild, reinterpret_cast<LPARAM>(&painted));
    return painted;
}

}  // namespace perf
