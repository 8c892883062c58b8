// Header items: a frame from HeaderImage stretched over the item, the item's text centred on it.
#include "render/header_renderer.h"

#include <commctrl.h>

#include "core/props.h"
#include "render/image_set.h"
#include "render/image_tables.h"
#include "render/primitives.h"
#include "render/flat_parts.h"
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

namespace {

// What an item shows besides its text.
struct ItemDress {
    int format = 0;
    int image = -1;
    HBITMAP bitmap = nullptr;
};

ItemDress ReadItemDress(HWND header, int index) {
    HDITEMW item{};
    item.mask = HDI_FORMAT | HDI_IMAGE | HDI_BITMAP;
    ItemDress dress;
    if (!SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
        return dress;
    dress.format = item.fmt;
    dress.image = item.iImage;
    dress.bitmap = item.hbm;
    return dress;
}

bool IsWholeLook(HWND header) {
    const WindowRecord* record = FindRecord(header);
    return record && (record->options & kWholeTree) != 0;
}

UINT TextAlignment(int format) {
    switch (format & HDF_JUSTIFYMASK) {
    case HDF_RIGHT:
        return DT_RIGHT;
    case HDF_CENTER:
        return DT_CENTER;
    default:
        return DT_LEFT;
    }
}

// The item's image (from the header's image list, or its own bitmap) in the span [left, right) of
// the content, at its left end or, with HDF_BITMAP_ON_RIGHT, at its right end; the span left to
// the text is returned. An image that does not fit is left out.
void DrawItemImage(HDC dc, HWND header, const ItemDress& dress, int& left, int& right,
                   int textHeight, int gap) {
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageW(header, HDM_GETIMAGELIST, 0, 0));
    const bool fromList = (dress.format & HDF_IMAGE) && images && dress.image >= 0;
    const bool ownBitmap = !fromList && (dress.format & HDF_BITMAP) && dress.bitmap;
    if (!fromList && !ownBitmap) return;
    int cx = 0, cy = 0;
    if (fromList) {
        ImageList_GetIconSize(images, &cx, &cy);
    } else {
        BITMAP bitmap{};
        if (!GetObjectW(dress.bitmap, sizeof bitmap, &bitmap)) return;
        cx = bitmap.bmWidth;
        cy = bitmap.bmHeight;
    }
    if (cx <= 0 || cx > right - left) return;
    const bool onRight = (dress.format & HDF_BITMAP_ON_RIGHT) != 0;
    const int ix = onRight ? right - cx : left;
    const int iy = (textHeight - cy) / 2;
    if (fromList)
        ImageList_Draw(images, dress.image, dc, ix, iy, ILD_TRANSPARENT);
    else
        DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(dress.bitmap), 0, ix, iy, cx, cy,
                   DST_BITMAP | DSS_NORMAL);
    if (onRight)
        right = ix - gap;
    else
        left = ix + cx + gap;
}

// The content as the item's format says, inside margins that keep it off the dividers.
void DrawItemContent(HDC dc, HWND header, int index, int x, int width, int textHeight) {
    const ItemDress dress = ReadItemDress(header, index);
    // The platform's margin: three edge widths on each side.
    const int margin = 3 * GetSystemMetrics(SM_CXEDGE);
    int left = x + margin;
    int right = x + width - margin;
    const bool sorted = (dress.format & (HDF_SORTUP | HDF_SORTDOWN)) != 0;
    if (sorted && right - left >= kArrowBreadth) {
        const ArrowDirection way = (dress.format & HDF_SORTUP) ? ArrowDirection::Up : ArrowDirection::Down;
        DrawArrow(dc, right - kArrowBreadth, (textHeight - kArrowDepth) / 2, way, IsWindowEnabled(header) != FALSE);
        right -= kArrowBreadth + margin;
    }
    DrawItemImage(dc, header, dress, left, right, textHeight, margin);
    const std::wstring text = GetHeaderItemText(header, index);
    if (text.empty() || right <= left) return;
    SetBkMode(dc, TRANSPARENT);
    DrawCaption(dc, text, left, 0, right - left, textHeight,
                TextAlignment(dress.format) | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
}

}  // namespace

void DrawHeaderItem(HDC dc, HWND header, int index, int x, int width, int height, int textHeight,
                    int state) {
    if (!IsWholeLook(header)) {
        DrawHeaderItemFace(dc, x, width, height, textHeight, state, GetHeaderItemText(header, index));
        return;
    }
    DrawHeaderItemFace(dc, x, width, height, textHeight, state, std::wstring());
    DrawItemContent(dc, header, index, x, width, textHeight);
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
    DrawHeaderItem(surface.get(), window, index, 0, itemWidth, bounds.Height, bounds.Height, state);

    const ScopedTargetDC dc(window, target);
    BitBlt(dc.get(), item.left, 0, itemWidth, itemHeight, surface.get(), 0, 0, SRCCOPY);
    return 0;
}

}  // namespace skin
