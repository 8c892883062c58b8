// The drop button of combo boxes and drive lists: a white, hot or pressed face with a small arrow.
#include "render/combo_renderer.h"

#include <cmath>

#include "core/props.h"
#include "render/image_set.h"
#include "render/primitives.h"
#include "render/scoped_gdi.h"

namespace skin {

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;

// Hot and pressed faces are 4 x 18 strips side by side; the thin left line keeps two columns.
constexpr int kFaceWidth = 4, kFaceHeight = 18;
constexpr int kHotFaceX = 0, kPressedFaceX = 4;
constexpr int kFaceLeft = 2, kFaceTop = 1, kFaceRight = 1, kFaceBottom = 1;

// The arrow, dark above, grey (disabled) below.
constexpr int kArrowX = 8, kArrowWidth = 7, kArrowHeight = 4;
constexpr int kArrowEnabledY = 0, kArrowDisabledY = 4;

// Only the drop-down styles (bit 1) have a drop button; a simple combo box has none.
constexpr LONG kHasDropButton = 2;

int RoundHalfEven(double value) { return static_cast<int>(std::lrint(value)); }

void DrawFace(HDC dc, int width, int height, int state) {
    if (state == Normal) {
        FillSolid(dc, 0, 0, width, height, kWhite);
    } else if (state == Hot || state == Pressed) {
        DrawNineSlice(dc, 0, 0, width, height, SkinImages().ComboButtonImage,
                      state == Hot ? kHotFaceX : kPressedFaceX, 0, kFaceWidth, kFaceHeight,
                      kFaceLeft, kFaceTop, kFaceRight, kFaceBottom);
    }
    // There is no face for any other state; the arrow then sits on the new surface's black.
}

}  // namespace

void PaintComboButton(HWND window, HDC target, int& state, bool force) {
    const bool droppedDown = SendMessageA(window, CB_GETDROPPEDSTATE, 0, 0) != 0;
    const intptr_t drawnState = GetSkinProp(window, kPropOldState);
    if (droppedDown) state = Pressed;
    if (state == drawnState && !force) return;
    if ((GetWindowLongA(window, GWL_STYLE) & kHasDropButton) == 0) return;
    SetSkinProp(window, kPropOldState, state);

    WindowBounds bounds;
    GetWindowBounds(window, bounds);
    // The button is one pixel wider than a scroll bar and leaves one pixel of the window free at
    // the top, right and bottom.
    const int scrollWidth = GetSystemMetrics(SM_CXVSCROLL);
    const int width = scrollWidth + 1;
    const int height = bounds.Height - 2;
    const int left = bounds.Width - scrollWidth - 2;

    ScopedMemorySurface surface(width, height);
    DrawFace(surface.get(), width, height, state);
    const int arrowY = IsWindowEnabled(window) ? kArrowEnabledY : kArrowDisabledY;
    DrawTransparent(surface.get(), RoundHalfEven((scrollWidth - 6) / 2.0),
                    RoundHalfEven((bounds.Height - 6) / 2.0), kArrowWidth, kArrowHeight,
                    SkinImages().ComboButtonImage, kArrowX, arrowY, kKeyMagenta, nullptr);

    if (target) {
        BitBlt(target, left, 1, width, height, surface.get(), 0, 0, SRCCOPY);
    } else {
        ScopedWindowDC windowDC(window);
        BitBlt(windowDC.get(), left, 1, width, height, surface.get(), 0, 0, SRCCOPY);
    }
}

}  // namespace skin
