// Where the platform draws a scroll bar, the skin can draw instead. Under Wine 8 every scroll
// bar, a window's own and a scroll-bar control, is drawn in one place whatever asked for it
// (non-client paint, SetScrollInfo, SetScrollPos, ShowScrollBar, EnableScrollBar, the
// platform's own tracking): win32u calls back into user32 through the process's callback table. The skin takes
// that one entry and hands every other bar back to user32.
#pragma once

#include <windows.h>

namespace skin {

// What the platform is about to draw: the bar's rectangle in the context's coordinates (the
// window's for SB_HORZ and SB_VERT, the client area's for SB_CTL) and its layout.
struct PlatformScrollBar {
    HWND window;
    HDC dc;
    int bar;  // SB_HORZ, SB_VERT or SB_CTL
    RECT rect;
    bool vertical;
    int arrowSize;
    int thumbPos;  // from the bar's top or left edge
    int thumbSize;
    UINT enableFlags;  // ESB_DISABLE_LTUP, ESB_DISABLE_RTDN
};

// Draws the bar in the skin's look and returns true, or returns false to leave it to the platform.
using ScrollBarPainter = bool (*)(const PlatformScrollBar& bar);

// Puts the painter in front of the platform's drawing, once per process; every copy of the engine
// in the process adds its own in front of the one before. Returns whether the platform is one
// where this works (Wine 8); elsewhere nothing is changed.
bool InterceptScrollBarDrawing(ScrollBarPainter painter);

}  // namespace skin
