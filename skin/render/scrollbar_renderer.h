// Scroll bars in the skin's look: a flat white track, arrow buttons and thumb in the push
// button's faces.
#pragma once

#include <windows.h>

#include "render/flat_parts.h"

namespace skin {

// The parts of a scroll bar, from its top (or left) end.
enum class ScrollPart { None, LineUp, PageUp, Thumb, PageDown, LineDown };

// What a scroll bar shows. Positions run along the bar from its top (or left) edge.
struct ScrollBarLook {
    int width = 0;   // the bar's size on screen
    int height = 0;
    bool vertical = true;
    int arrowSize = 0;  // each arrow button's length along the bar
    int thumbPos = 0;   // 0 with thumbSize 0: no thumb
    int thumbSize = 0;
    bool upDisabled = false;  // the top (left) arrow
    bool downDisabled = false;
    bool thumbDisabled = false;  // the whole bar's window is disabled
    ScrollPart pressed = ScrollPart::None;
    ScrollPart hot = ScrollPart::None;
};

// Draws the bar into dc with its top-left at (x, y), through one memory surface and one copy.
void DrawScrollBar(HDC dc, int x, int y, const ScrollBarLook& look);

// The part under a point given along the bar (0 at its top or left edge).
ScrollPart ScrollPartAt(const ScrollBarLook& look, int along);

// One arrow button of a bar over r, pointing the given way, in state (Normal, Hot, Pressed or
// Disabled).
void DrawScrollArrowButton(HDC dc, const RECT& r, ArrowDirection direction, int state);

// The square where a window's two scroll bars meet.
void DrawScrollCorner(HDC dc, const RECT& corner);

}  // namespace skin
