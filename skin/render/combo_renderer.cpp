// The drop button of combo boxes and drive lists: a white, hot or pressed face with a small arrow.
#include "render/combo_renderer.h"

#include "core/props.h"
#include "render/image_set.h"
#include "render/image_tables.h"
#include "render/primitives.h"
#include "render/scoped_gdi.h"

namespace skin {

namespace {

void DrawFace(HDC dc, int width, int height, int state) {
    if (state == Normal) {
        FillSolid(dc, 0, 0, width, height, kSkinWhite);
    } else if (state == Hot || state == Pressed) {
        const ImageRect& face = state == Hot ? kComboHotFace : kComboPressedFace;
        DrawNineSlice(dc, 0, 0, width, height, SkinImages().ComboButtonImage, face.x, face.y,
                      face.width, face.height, kComboFaceLeft, kComboFaceTop, kComboFaceRight,
                      kComboFaceBottom);
    }
    // There is no face for any other state; the arrow then sits on the new surface's black.
}

}  // namespace

void PaintComboButton(HWND window, HDC target, int& state, bool force) {
    const bool droppedDown = SendMessageA(window, CB_GETDROPPEDSTATE, 0, 0) != 0;
    const intptr_t drawnState = GetSkinProp(window, kPropOldState);
    if (droppedDown) state = Pressed;
    if (state == drawnState && !force) return;
    if (!ComboHasDropButton(GetWindowLongA(window, GWL_STYLE))) return;
    SetSkinProp(window, kPropOldState, state);

    WindowBounds bounds;
    GetWindowBounds(window, bounds);
    const RECT button = ComboDropButtonRect(bounds);
    const int width = button.right - button.left;
    const int height = button.bottom - button.top;

    ScopedMemorySurface surface(width, height);
    DrawFace(surface.get(), width, height, state);
    // The arrow is centred in the button.
    const ImageRect& arrow = IsWindowEnabled(window) ? kComboArrow : kComboDisabledArrow;
    DrawTransparent(surface.get(), RoundHalfEven((width - arrow.width) / 2.0),
                    RoundHalfEven((height - arrow.height) / 2.0), arrow.width, arrow.height,
                    SkinImages().ComboButtonImage, arrow.x, arrow.y, kKeyMagenta, nullptr);

    const ScopedTargetDC dc(window, target);
    BitBlt(dc.get(), button.left, button.top, width, height, surface.get(), 0, 0, SRCCOPY);
}

RECT ComboDropButtonRect(const WindowBounds& bounds) {
    const int scrollWidth = GetSystemMetrics(SM_CXVSCROLL);
    const int left = bounds.Width - scrollWidth - 2;
    return {left, 1, left + scrollWidth + 1, bounds.Height - 1};
}

bool ComboHasDropButton(LONG style) { return (style & CBS_DROPDOWN) != 0; }

bool ComboWithoutEditField(LONG style) { return (style & CBS_SIMPLE) != 0; }

}  // namespace skin
