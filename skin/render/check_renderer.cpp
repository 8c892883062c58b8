// Check boxes and option buttons keep their own painting; the skin paints its box over the
// standard one, at the left edge and centred vertically, the size of the menu check mark.
#include "render/check_renderer.h"

#include "core/props.h"
#include "render/image_set.h"
#include "render/image_tables.h"
#include "render/primitives.h"
#include "render/scoped_gdi.h"

namespace skin {

namespace {

// A pressed check box has a darker frame than the skin's border.
constexpr COLORREF kPressedFrame = 0xC48639;

// Box size and its top in the whole-window context; a box taller than the window starts above it.
struct BoxPlacement {
    int width;
    int height;
    int top;
};

BoxPlacement PlaceBox(HWND window) {
    BoxPlacement box;
    box.width = GetSystemMetrics(SM_CXMENUCHECK);
    box.height = GetSystemMetrics(SM_CYMENUCHECK);
    WindowBounds bounds;
    GetWindowBounds(window, bounds);
    box.top = RoundHalfEven((bounds.Height - box.height) / 2.0);
    return box;
}

void DrawGlyph(HDC dc, int x, int y, const ImageRect& glyph, bool enabled) {
    const int sourceX = glyph.x + (enabled ? 0 : kDisabledGlyphOffset);
    DrawTransparent(dc, x, y, glyph.width, glyph.height, SkinImages().GlyphImage, sourceX, glyph.y,
                    kKeyMagenta, nullptr);
}

}  // namespace

bool TakeNewState(HWND window, int state, bool force) {
    const bool same = GetSkinProp(window, kPropOldState) == state;
    if (same && !force) return false;
    // Published only when it changes: under Wine every property write is a server round trip.
    if (!same) SetSkinProp(window, kPropOldState, state);
    return true;
}

void DrawCheckBoxBox(HDC dc, int x, int y, int width, int height, int state, LRESULT checkState,
                     bool enabled) {
    FillSolid(dc, x, y, width, height, kSkinWhite);
    if (enabled) {
        FrameSolid(dc, x, y, width, height, state == Pressed ? kPressedFrame : kSkinBorder);
        if (state == Hot || state == Pressed) {
            const ImageRect tint = CheckBoxTint(state);
            StretchBlt(dc, x + 1, y + 1, width - 2, height - 2, SkinImages().CheckBoxImage, tint.x,
                       tint.y, tint.width, tint.height, SRCCOPY);
        }
    } else {
        FrameSolid(dc, x, y, width, height, kSkinDisabledBorder);
    }
    const ImageRect* glyph = nullptr;
    if (checkState == BST_CHECKED)
        glyph = &kCheckMarkGlyph;
    else if (checkState == BST_INDETERMINATE)
        glyph = &kIndeterminateGlyph;
    if (!glyph) return;
    DrawGlyph(dc, x + RoundHalfEven((width - glyph->width) / 2.0),
              y + RoundHalfEven((height - glyph->height) / 2.0), *glyph, enabled);
}

void DrawOptionBox(HDC dc, int x, int y, int width, int height, int state, LRESULT checkState,
                   bool enabled, int placedTop) {
    // The key pixels around the round box keep what the context holds.
    const ImageRect frame = CheckBoxFrame(enabled ? state : Disabled);
    DrawNineSlice(dc, x, y, width, height, SkinImages().CheckBoxImage, frame.x, frame.y,
                  frame.width, frame.height, kCheckBoxFrameRim, kCheckBoxFrameRim,
                  kCheckBoxFrameRim, kCheckBoxFrameRim, kKeyMagenta);
    if (checkState != BST_CHECKED) return;
    // The sum is rounded, not the half alone, so odd leftovers round with the box's top.
    const int dotTop =
        RoundHalfEven(placedTop + (height - kOptionDotGlyph.height) / 2.0) - placedTop;
    DrawGlyph(dc, x + RoundHalfEven((width - kOptionDotGlyph.width) / 2.0), y + dotTop,
              kOptionDotGlyph, enabled);
}

LRESULT PaintCheckBox(HWND window, int state, bool force) {
    if (!TakeNewState(window, state, force)) return 0;

    const BoxPlacement box = PlaceBox(window);
    const LRESULT checkState = SendMessageA(window, BM_GETCHECK, 0, 0);
    const bool enabled = IsWindowEnabled(window) != FALSE;

    // Composed off screen and copied opaquely, so the standard box never shows through.
    ScopedMemorySurface surface(box.width, box.height);
    ScopedWindowDC windowDC(window);
    DrawCheckBoxBox(surface.get(), 0, 0, box.width, box.height, state, checkState, enabled);
    BitBlt(windowDC.get(), 0, box.top, box.width, box.height, surface.get(), 0, 0, SRCCOPY);
    return 1;
}

LRESULT PaintOptionButton(HWND window, int state, bool force) {
    if (!TakeNewState(window, state, force)) return 0;

    const BoxPlacement box = PlaceBox(window);
    const LRESULT checkState = SendMessageA(window, BM_GETCHECK, 0, 0);
    const bool enabled = IsWindowEnabled(window) != FALSE;
    ScopedWindowDC windowDC(window);

    // The control's own painting under the box is read once, the box composed over it off screen
    // and the whole written back once: the same pixels as drawing straight onto the window.
    ScopedMemorySurface surface(box.width, box.height);
    BitBlt(surface.get(), 0, 0, box.width, box.height, windowDC.get(), 0, box.top, SRCCOPY);
    DrawOptionBox(surface.get(), 0, 0, box.width, box.height, state, checkState, enabled, box.top);
    BitBlt(windowDC.get(), 0, box.top, box.width, box.height, surface.get(), 0, 0, SRCCOPY);
    return 1;
}

}  // namespace skin
