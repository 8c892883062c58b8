// Header items: a frame from HeaderImage stretched over the item, the item's text centred on it.
#include "render/header_renderer.h"

#include <commctrl.h>

#include "core/props.h"
#include "render/image_set.h"
#include "render/image_tables.h"
#include "render/primitives.h"
#include "render/scoped_gdi.h"

namespace skin {

namespace {

// Room for 255 characters and the terminator.
constexpr int kItemTextCapacity = 256;

}  // namespace

int GetHeaderItemCount(HWND header) {
    return static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
}

RECT GetHeaderItemRect(HWND header, int index) {
    RECT item{};
    SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&item));
    return item;
}

int HeaderItemAt(HWND header, int count, int x) {
    for (int index = 0; index < count; ++index) {
        const RECT item = GetHeaderItemRect(header, index);
        if (item.left <= x && x <= item.right) return index;
    }
    return kNoHeaderItem;
}

std::wstring GetHeaderItemText(HWND header, int index) {
    wchar_t buffer[kItemTextCapacity] = {};
    HDITEMW item{};
    item.mask = HDI_TEXT;
    item.pszText = buffer;
    item.cchTextMax = kItemTextCapacity;
    if (!SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(index),
                      reinterpret_cast<LPARAM>(&item)))
        return {};
    // The header may answer with a pointer to its own copy instead of filling the buffer.
    const wchar_t* text = item.pszText ? item.pszText : buffer;
    if (text == LPSTR_TEXTCALLBACKW) return {};
    std::wstring result;
    for (int i = 0; i < kItemTextCapacity - 1 && text[i] != L'\0'; ++i) result += text[i];
    return result;
}

void DrawHeaderItemFace(HDC dc, int x, int width, int height, int textHeight, int state,
                        const std::wstring& text) {
    const ImageRect frame = HeaderFrame(state);
    DrawNineSlice(dc, x, 0, width, height, SkinImages().HeaderImage, frame.x, frame.y, frame.width,
                  frame.height, kHeaderFrameRim, kHeaderFrameRim, kHeaderFrameRim,
                  kHeaderFrameRim);
    if (text.empty()) return;
    SetBkMode(dc, TRANSPARENT);
    DrawCaption(dc, text, x, 0, width, textHeight, CaptionFormat);
}

LRESULT PaintHeaderItem(HWND window, HDC target, int index, int state) {
    if (index < 0) return 0;

    WindowBounds bounds;
    GetWindowBounds(window, bounds);
    const RECT item = GetHeaderItemRect(window, index);
    const int itemWidth = item.right - item.left;
    const int itemHeight = item.bottom - item.top;

    // The frame takes the whole header height; only the item's own rows go on screen.
    ScopedMemorySurface surface(itemWidth, bounds.Height);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    ScopedSelectObject selectFont(surface.get(), font);
    DrawHeaderItemFace(surface.get(), 0, itemWidth, bounds.Height, bounds.Height, state,
                       GetHeaderItemText(window, index));

    const ScopedTargetDC dc(window, target);
    BitBlt(dc.get(), item.left, 0, itemWidth, itemHeight, surface.get(), 0, 0, SRCCOPY);
    return 0;
}

}  // namespace skin
