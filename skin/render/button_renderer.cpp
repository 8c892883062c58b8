// Push buttons: the four faces are drawn ahead of time, so showing a button is one blend.
#include "render/button_renderer.h"

#include <algorithm>
#include <string>

#include "core/attach.h"
#include "core/props.h"
#include "render/image_set.h"
#include "render/image_tables.h"
#include "render/primitives.h"
#include "render/scoped_gdi.h"

namespace skin {

namespace {

// Caption and focus rectangle sit 2 pixels inside the window on every side, in every state.
constexpr int kCaptionInset = 2;

constexpr COLORREF kCaptionColour = 0x000000;
constexpr COLORREF kDisabledCaptionColour = 0x968A79;

void RenderFace(HDC surface, int state, HFONT font, const std::wstring& caption, bool focused,
                int width, int height) {
    // The font is the button's; it goes back out of the surface so that its owner can delete it.
    ScopedSelectObject selectFont(surface, font);
    SetBkMode(surface, TRANSPARENT);
    const ImageRect frame = ButtonFaceFrame(state);
    DrawNineSlice(surface, 0, 0, width, height, SkinImages().ButtonFaceImage, frame.x, frame.y,
                  frame.width, frame.height, kButtonFrameRim, kButtonFrameRim, kButtonFrameRim,
                  kButtonFrameRim);
    SetTextColor(surface, state == Disabled ? kDisabledCaptionColour : kCaptionColour);
    const int innerWidth = width - 2 * kCaptionInset;
    const int innerHeight = height - 2 * kCaptionInset;
    DrawCaption(surface, caption, kCaptionInset, kCaptionInset, innerWidth, innerHeight,
                CaptionFormat);
    if (focused) DrawFocusFrame(surface, kCaptionInset, kCaptionInset, innerWidth, innerHeight);
}

}  // namespace

void RenderButtonFaces(HWND window) {
    WindowBounds bounds;
    GetWindowBounds(window, bounds);
    const std::wstring caption = GetWindowCaption(window);
    const HFONT font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    const bool focused = GetFocus() == window;
    for (int state = 0; state < kStateCount; ++state) {
        HDC surface = GetStateSurface(window, state);
        if (!surface) continue;
        RenderFace(surface, state, font, caption, focused, bounds.Width, bounds.Height);
    }
}

LRESULT BlendButtonFace(HWND window, HDC target) {
    if (!IsWindowEnabled(window)) SetSkinProp(window, kPropOldState, Disabled);
    if (ButtonKeepsOwnPainting(static_cast<LONG>(GetSkinProp(window, kPropOldStyle)))) return 0;

    WindowBounds bounds;
    GetWindowBounds(window, bounds);
    const int state = static_cast<int>(GetSkinProp(window, kPropOldState));
    const intptr_t level =
        std::clamp<intptr_t>(GetSkinProp(window, kPropAlphaLevel), 0, kFullStrengthAlpha);
    HDC face = GetStateSurface(window, state);
    if (!face) return 0;

    BLENDFUNCTION blend{};
    blend.BlendOp = AC_SRC_OVER;
    blend.BlendFlags = 0;
    blend.SourceConstantAlpha = static_cast<BYTE>(level);
    blend.AlphaFormat = 0;
    const ScopedTargetDC dc(window, target);
    AlphaBlend(dc.get(), 0, 0, bounds.Width, bounds.Height, face, 0, 0, bounds.Width,
               bounds.Height, blend);
    return 0;
}

}  // namespace skin
