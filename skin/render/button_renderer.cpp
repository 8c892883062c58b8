// Push buttons: the four faces are drawn ahead of time, so showing a button is one blend.
#include "render/button_renderer.h"

#include <algorithm>
#include <string>

#include "core/attach.h"
#include "core/default_button.h"
#include "core/props.h"
#include "dorrik_skin.h"
#include "render/image_set.h"
#include "render/image_tables.h"
#include "render/primitives.h"
#include "render/scoped_gdi.h"

namespace skin {

namespace {

// Caption and focus rectangle sit 2 pixels inside the window on every side, in every state.
constexpr int kCaptionInset = 2;

constexpr COLORREF kCaptionColour = 0x000000;

// The default button's second frame line lies just inside the face's own.
constexpr int kDefaultFrameInset = 1;

// An image's size: a bitmap's own, an icon's from its colour bitmap (or its mask, which holds the
// AND and XOR halves one above the other when there is no colour bitmap).
SIZE MeasureImage(HANDLE image, UINT type) {
    if (type == IMAGE_BITMAP) {
        BITMAP bitmap{};
        if (!GetObjectW(image, sizeof bitmap, &bitmap)) return {0, 0};
        return {bitmap.bmWidth, bitmap.bmHeight};
    }
    ICONINFO info{};
    if (!GetIconInfo(static_cast<HICON>(image), &info)) return {0, 0};
    const ScopedBitmap colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bitmap{};
    if (colour.get() && GetObjectW(colour.get(), sizeof bitmap, &bitmap))
        return {bitmap.bmWidth, bitmap.bmHeight};
    if (mask.get() && GetObjectW(mask.get(), sizeof bitmap, &bitmap))
        return {bitmap.bmWidth, bitmap.bmHeight / 2};
    return {0, 0};
}

// Left, centre or right (top, centre or bottom) of a span, as the button's alignment bits say.
int Align(int start, int span, int size, LONG style, LONG nearBit, LONG farBit) {
    const LONG bits = style & (nearBit | farBit);
    if (bits == nearBit) return start;
    if (bits == farBit) return start + span - size;
    return start + (span - size) / 2;
}

// The image the way the platform draws it, grey and embossed on the disabled face.
void DrawImage(HDC surface, const ButtonImage& image, int x, int y, bool disabled) {
    const UINT kind = image.type == IMAGE_BITMAP ? DST_BITMAP : DST_ICON;
    DrawStateW(surface, nullptr, nullptr, reinterpret_cast<LPARAM>(image.handle), 0, x, y,
               image.width, image.height, kind | (disabled ? DSS_DISABLED : DSS_NORMAL));
}

// Caption, image or both inside the inset rectangle. The image alone is placed by the alignment
// bits; beside a caption it comes first, half a digit's width before the text, and the two are
// centred together.
void DrawLabel(HDC surface, const FaceContent& content, bool disabled, int width, int height) {
    const int innerWidth = width - 2 * kCaptionInset;
    const int innerHeight = height - 2 * kCaptionInset;
    const ButtonImage& image = content.image;
    if (!image.handle) {
        DrawCaption(surface, content.caption, kCaptionInset, kCaptionInset, innerWidth,
                    innerHeight, CaptionFormat);
        return;
    }
    const int imageY =
        Align(kCaptionInset, innerHeight, image.height, content.style, BS_TOP, BS_BOTTOM);
    if (image.alone || content.caption.empty()) {
        DrawImage(surface,
                  image, Align(kCaptionInset, innerWidth, image.width, content.style, BS_LEFT, BS_RIGHT),
                  imageY, disabled);
        return;
    }
    RECT measured{0, 0, innerWidth, innerHeight};
    DrawTextW(surface, content.caption.c_str(), -1, &measured,
              DT_SINGLELINE | DT_CALCRECT);
    int gap = 0;
    GetCharWidth32W(surface, L'0', L'0', &gap);
    gap /= 2;
    const int together = image.width + gap + (measured.right - measured.left);
    const int imageX = kCaptionInset + std::max(0, (innerWidth - together) / 2);
    DrawImage(surface, image, imageX, imageY, disabled);
    const int textX = imageX + image.width + gap;
    DrawCaption(surface, content.caption, textX, kCaptionInset,
                std::max(0, kCaptionInset + innerWidth - textX), innerHeight,
                DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
}

bool ShowsImages(HWND window) {
    const WindowRecord* record = FindRecord(window);
    return record && (record->options & DORRIK_SKIN_IMAGES) != 0;
}

bool ShowsTheWholeLook(HWND window) {
    const WindowRecord* record = FindRecord(window);
    return record && (record->options & kWholeTree) != 0;
}

}  // namespace

ButtonImage FindButtonImage(HWND window, LONG style) {
    ButtonImage image;
    const LONG kinds = style & (BS_BITMAP | BS_ICON);
    for (const UINT type : {static_cast<UINT>(IMAGE_BITMAP), static_cast<UINT>(IMAGE_ICON)}) {
        if (kinds == BS_BITMAP && type != IMAGE_BITMAP) continue;
        if (kinds == BS_ICON && type != IMAGE_ICON) continue;
        const HANDLE handle = reinterpret_cast<HANDLE>(SendMessageW(window, BM_GETIMAGE, type, 0));
        if (!handle) continue;
        const SIZE size = MeasureImage(handle, type);
        if (size.cx <= 0 || size.cy <= 0) continue;
        image.handle = handle;
        image.type = type;
        image.width = size.cx;
        image.height = size.cy;
        // A bitmap or icon button shows its image instead of its caption.
        image.alone = kinds != 0;
        return image;
    }
    return image;
}

void DrawButtonFace(HDC surface, int state, const FaceContent& content, int width, int height) {
    // The font is the button's; it goes back out of the surface so that its owner can delete it.
    ScopedSelectObject selectFont(surface, content.font);
    SetBkMode(surface, TRANSPARENT);
    const ImageRect frame = ButtonFaceFrame(state);
    DrawNineSlice(surface, 0, 0, width, height, SkinImages().ButtonFaceImage, frame.x, frame.y,
                  frame.width, frame.height, kButtonFrameRim, kButtonFrameRim, kButtonFrameRim,
                  kButtonFrameRim);
    // The default button's frame is two lines thick, as the platform thickens it.
    if (content.isDefault && state != Disabled)
        FrameSolid(surface, kDefaultFrameInset, kDefaultFrameInset, width - 2 * kDefaultFrameInset,
                   height - 2 * kDefaultFrameInset, kSkinBorder);
    SetTextColor(surface, state == Disabled ? kSkinDisabledCaption : kCaptionColour);
    DrawLabel(surface, content, state == Disabled, width, height);
    if (content.focused)
        DrawFocusFrame(surface, kCaptionInset, kCaptionInset, width - 2 * kCaptionInset,
                       height - 2 * kCaptionInset);
}

void RenderButtonFaces(HWND window) {
    WindowBounds bounds;
    GetWindowBounds(window, bounds);
    FaceContent content;
    content.caption = GetWindowCaption(window);
    content.font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    content.focused = GetFocus() == window;
    content.style = GetWindowLongW(window, GWL_STYLE);
    if (ShowsImages(window)) content.image = FindButtonImage(window, content.style);
    content.isDefault = ShowsTheWholeLook(window) && IsDefaultPushButton(window);
    for (int state = 0; state < kStateCount; ++state) {
        HDC surface = GetStateSurface(window, state);
        if (!surface) continue;
        DrawButtonFace(surface, state, content, bounds.Width, bounds.Height);
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
