// Scroll bars in the skin's look.
#include "render/scrollbar_renderer.h"

#include <algorithm>

#include "render/visual_state.h"
#include "render/flat_parts.h"
#include "render/image_set.h"
#include "render/image_tables.h"
#include "render/primitives.h"

namespace skin {

namespace {

int PartState(const ScrollBarLook& look, ScrollPart part, bool disabled) {
    if (disabled) return Disabled;
    if (look.pressed == part) return Pressed;
    if (look.hot == part && look.pressed == ScrollPart::None) return Hot;
    return Normal;
}

// A rectangle along the bar, from `from` for `length` pixels, across the whole breadth.
RECT Span(const ScrollBarLook& look, int from, int length) {
    if (look.vertical) return {0, from, look.width, from + length};
    return {from, 0, from + length, look.height};
}

void DrawButtonFace(HDC dc, const RECT& r, int state) {
    const ImageRect frame = ButtonFaceFrame(state);
    DrawNineSlice(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, SkinImages().ButtonFaceImage,
                  frame.x, frame.y, frame.width, frame.height, kButtonFrameRim, kButtonFrameRim,
                  kButtonFrameRim, kButtonFrameRim);
}

}  // namespace

void DrawScrollArrowButton(HDC dc, const RECT& r, ArrowDirection direction, int state) {
    DrawButtonFace(dc, r, state);
    const bool alongY = direction == ArrowDirection::Up || direction == ArrowDirection::Down;
    const int glyphWidth = alongY ? kArrowBreadth : kArrowDepth;
    const int glyphHeight = alongY ? kArrowDepth : kArrowBreadth;
    // A pressed button's glyph moves one pixel down and right, as the push button's caption does.
    const int shift = state == Pressed ? 1 : 0;
    DrawArrow(dc, r.left + (r.right - r.left - glyphWidth) / 2 + shift,
              r.top + (r.bottom - r.top - glyphHeight) / 2 + shift, direction, state != Disabled);
}

void DrawScrollBar(HDC target, int x, int y, const ScrollBarLook& look) {
    if (look.width <= 0 || look.height <= 0) return;
    ScopedMemorySurface surface(look.width, look.height);
    HDC dc = surface.get();
    if (!dc) return;
    const int length = look.vertical ? look.height : look.width;
    FillSolid(dc, 0, 0, look.width, look.height, kSkinWhite);

    // The page area held down shows the drop button's pressed tint.
    const int thumbEnd = look.thumbSize > 0 ? look.thumbPos + look.thumbSize : look.arrowSize;
    if (look.pressed == ScrollPart::PageUp) {
        const RECT r = Span(look, look.arrowSize, std::max(look.thumbPos, look.arrowSize) - look.arrowSize);
        DrawFlatFace(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, Pressed);
    } else if (look.pressed == ScrollPart::PageDown) {
        const RECT r = Span(look, thumbEnd, length - look.arrowSize - thumbEnd);
        DrawFlatFace(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, Pressed);
    }

    if (look.arrowSize > 0) {
        const RECT up = Span(look, 0, look.arrowSize);
        const RECT down = Span(look, length - look.arrowSize, look.arrowSize);
        DrawScrollArrowButton(dc, up, look.vertical ? ArrowDirection::Up : ArrowDirection::Left,
                        PartState(look, ScrollPart::LineUp, look.upDisabled));
        DrawScrollArrowButton(dc, down, look.vertical ? ArrowDirection::Down : ArrowDirection::Right,
                        PartState(look, ScrollPart::LineDown, look.downDisabled));
    }
    if (look.thumbSize > 0)
        DrawButtonFace(dc, Span(look, look.thumbPos, look.thumbSize),
                       PartState(look, ScrollPart::Thumb, look.thumbDisabled));
    BitBlt(target, x, y, look.width, look.height, dc, 0, 0, SRCCOPY);
}

ScrollPart ScrollPartAt(const ScrollBarLook& look, int along) {
    const int length = look.vertical ? look.height : look.width;
    if (along < 0 || along >= length) return ScrollPart::None;
    if (along < look.arrowSize) return ScrollPart::LineUp;
    if (along >= length - look.arrowSize) return ScrollPart::LineDown;
    if (look.thumbSize <= 0) return ScrollPart::PageUp;
    if (along < look.thumbPos) return ScrollPart::PageUp;
    if (along >= look.thumbPos + look.thumbSize) return ScrollPart::PageDown;
    return ScrollPart::Thumb;
}

void DrawScrollCorner(HDC dc, const RECT& corner) {
    FillSolid(dc, corner.left, corner.top, corner.right - corner.left, corner.bottom - corner.top,
              kSkinWhite);
}

}  // namespace skin
