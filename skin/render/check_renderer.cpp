// Check boxes and option buttons keep their own painting; the skin paints its box over the
// standard one, at the left edge and centred vertically, the size of the menu check mark.
#include "render/check_renderer.h"

#include <cmath>

#include "core/props.h"
#include "render/image_set.h"
#include "render/primitives.h"
#include "render/scoped_gdi.h"

namespace skin {

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kFrameEnabled = 0xD5A554;
constexpr COLORREF kFramePressed = 0xC48639;
constexpr COLORREF kFrameDisabled = 0xE9CFA4;

// Where a glyph sits in GlyphImage; the disabled twin lies 9 columns further right.
struct Glyph {
    int x, y, width, height;
};
constexpr int kDisabledGlyphOffset = 9;
constexpr Glyph kCheckMark = {0, 0, 9, 8};
constexpr Glyph kIndeterminateMark = {1, 9, 7, 7};
constexpr Glyph kOptionDot = {2, 18, 5, 5};

// The interior tints of a hot and a pressed check box: strips of the option frames 1 and 2.
constexpr int kTintX = 1, kTintWidth = 11, kTintHeight = 5;
constexpr int kHotTintY = 17, kPressedTintY = 30;

// The option frames of CheckBoxImage lie one below the other; the last one is the disabled look.
constexpr int kOptionFrameSize = 13;
constexpr int kOptionDisabledY = 39;
constexpr int kOptionBorder = 5;

int RoundHalfEven(double value) { return static_cast<int>(std::lrint(value)); }

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

void DrawGlyph(HDC dc, int x, int y, const Glyph& glyph, bool enabled) {
    const int sourceX = glyph.x + (enabled ? 0 : kDisabledGlyphOffset);
    DrawTransparent(dc, x, y, glyph.width, glyph.height, SkinImages().GlyphImage, sourceX, glyph.y,
                    kKeyMagenta, nullptr);
}

// The mark of a check state, centred in a box of width x height.
void DrawCheckMark(HDC dc, int width, int height, LRESULT checkState, bool enabled) {
    const Glyph* glyph = nullptr;
    if (checkState == BST_CHECKED)
        glyph = &kCheckMark;
    else if (checkState == BST_INDETERMINATE)
        glyph = &kIndeterminateMark;
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
    FillSolid(dc, 0, 0, box.width, box.height, kWhite);
    if (enabled) {
        FrameSolid(dc, 0, 0, box.width, box.height, state == Pressed ? kFramePressed : kFrameEnabled);
        const int tintY = state == Hot ? kHotTintY : state == Pressed ? kPressedTintY : -1;
        if (tintY >= 0) {
            StretchBlt(dc, 1, 1, box.width - 2, box.height - 2, SkinImages().CheckBoxImage, kTintX,
                       tintY, kTintWidth, kTintHeight, SRCCOPY);
        }
    } else {
        FrameSolid(dc, 0, 0, box.width, box.height, kFrameDisabled);
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
    const int frameY = enabled ? kOptionFrameSize * state : kOptionDisabledY;
    DrawNineSlice(windowDC.get(), 0, box.top, box.width, box.height, SkinImages().CheckBoxImage, 0,
                  frameY, kOptionFrameSize, kOptionFrameSize, kOptionBorder, kOptionBorder,
                  kOptionBorder, kOptionBorder, kKeyMagenta);
    if (checkState == BST_CHECKED) {
        // The sum is rounded, not the half alone, so odd leftovers round with the box's top.
        DrawGlyph(windowDC.get(), RoundHalfEven((box.width - kOptionDot.width) / 2.0),
                  RoundHalfEven(box.top + (box.height - kOptionDot.height) / 2.0), kOptionDot,
                  enabled);
    }
    return 1;
}

}  // namespace skin
