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

// Nothing to do when the state is already on screen and the caller does not insist.
bool TakeNewState(HWND window, int state, bool force) {
    if (GetSkinProp(window, kPropOldState) == state && !force) return false;
    SetSkinProp(window, kPropOldState, state);
    return true;
}

void DrawGlyph(HDC dc, int x, int y, const ImageRect& glyph, bool enabled) {
    const int sourceX = glyph.x + (enabled ? 0 : kDisabledGlyphOffset);
    DrawTransparent(dc, x, y, glyph.width, glyph.height, SkinImages().GlyphImage, sourceX, glyph.y,
                    kKeyMagenta, nullptr);
}

// The mark of a check state, centred in a box of width x height.
void DrawCheckMark(HDC dc, int width, int height, LRESULT checkState, bool enabled) {
    const ImageRect* glyph = nullptr;
    if (checkState == BST_CHECKED)
        glyph = &kCheckMarkGlyph;
    else if (checkState == BST_INDETERMINATE)
        glyph = &kIndeterminateGlyph;
    if (!glyph) return;
    DrawGlyph(dc, RoundHalfEven((width - glyph->width) / 2.0),
              RoundHalfEven((height - glyph->height) / 2.0), *glyph, enabled);
}

}  // namespace

LRESULT PaintCheckBox(HWND window, int state, bool force) {
    if (!TakeNewState(window, state, force)) return 0;

    const BoxPlacement box = PlaceBox(window);
    const LRESULT checkState = SendMessageA(window, BM_GETCHECK, 0, 0);
    const bool enabled = IsWindowEnabled(window) != FALSE;

    // Composed off screen and copied opaquely, so the standard box never shows through.
    ScopedMemorySurface surface(box.width, box.height);
    ScopedWindowDC windowDC(window);
    HDC dc = surface.get();
    FillSolid(dc, 0, 0, box.width, box.height, kSkinWhite);
    if (enabled) {
        FrameSolid(dc, 0, 0, box.width, box.height, state == Pressed ? kPressedFrame : kSkinBorder);
        if (state == Hot || state == Pressed) {
            const ImageRect tint = CheckBoxTint(state);
            StretchBlt(dc, 1, 1, box.width - 2, box.height - 2, SkinImages().CheckBoxImage, tint.x,
                       tint.y, tint.width, tint.height, SRCCOPY);
        }
    } else {
        FrameSolid(dc, 0, 0, box.width, box.height, kSkinDisabledBorder);
    }
    DrawCheckMark(dc, box.width, box.height, checkState, enabled);

    BitBlt(windowDC.get(), 0, box.top, box.width, box.height, dc, 0, 0, SRCCOPY);
    return 1;
}

LRESULT PaintOptionButton(HWND window, int state, bool force) {
    if (!TakeNewState(window, state, force)) return 0;

    const BoxPlacement box = PlaceBox(window);
    const LRESULT checkState = SendMessageA(window, BM_GETCHECK, 0, 0);
    const bool enabled = IsWindowEnabled(window) != FALSE;
    ScopedWindowDC windowDC(window);

    // Straight onto the window: the key pixels around the round box keep the control's own look.
    const ImageRect frame = CheckBoxFrame(enabled ? state : Disabled);
    DrawNineSlice(windowDC.get(), 0, box.top, box.width, box.height, SkinImages().CheckBoxImage,
                  frame.x, frame.y, frame.width, frame.height, kCheckBoxFrameRim, kCheckBoxFrameRim,
                  kCheckBoxFrameRim, kCheckBoxFrameRim, kKeyMagenta);
    if (checkState == BST_CHECKED) {
        // The sum is rounded, not the half alone, so odd leftovers round with the box's top.
        DrawGlyph(windowDC.get(), RoundHalfEven((box.width - kOptionDotGlyph.width) / 2.0),
                  RoundHalfEven(box.top + (box.height - kOptionDotGlyph.height) / 2.0),
                  kOptionDotGlyph, enabled);
    }
    return 1;
}

}  // namespace skin
