// The flat parts of the platform's own controls: faces from the drop button's tints, the drop
// arrow turned any way.
#include "render/flat_parts.h"

#include "render/visual_state.h"
#include "render/image_set.h"
#include "render/image_tables.h"

namespace skin {

void DrawFlatFace(HDC dc, int x, int y, int width, int height, int state) {
    if (state != Hot && state != Pressed) {
        FillSolid(dc, x, y, width, height, kSkinWhite);
        return;
    }
    // The strip less its first column, the edge line that parts a drop button from its field:
    // here the control's own frame does that.
    const ImageRect& strip = state == Hot ? kComboHotFace : kComboPressedFace;
    DrawNineSlice(dc, x, y, width, height, SkinImages().ComboButtonImage, strip.x + 1, strip.y,
                  strip.width - 1, strip.height, 1, 1, 1, 1);
}

void DrawArrow(HDC dc, int x, int y, ArrowDirection direction, bool enabled) {
    // The arrow of the skin images is one colour: drawn from its table a run of pixels at a time,
    // the same pixels as copying it from the image one by one.
    const COLORREF colour = enabled ? image_tables::kDropArrowEnabled : image_tables::kDropArrowDisabled;
    // Row 0 of the table is the arrow's wide end, the last row its tip.
    for (int row = 0; row < kArrowDepth; ++row) {
        const char* shape = image_tables::kDropArrow[row];
        int start = 0;
        while (start < kArrowBreadth && shape[start] != '#') ++start;
        int end = start;
        while (end < kArrowBreadth && shape[end] == '#') ++end;
        if (end == start) continue;
        const int tipward = row, backward = kArrowDepth - 1 - row, length = end - start;
        switch (direction) {
        case ArrowDirection::Down: FillSolid(dc, x + start, y + tipward, length, 1, colour); break;
        case ArrowDirection::Up: FillSolid(dc, x + start, y + backward, length, 1, colour); break;
        case ArrowDirection::Right: FillSolid(dc, x + tipward, y + start, 1, length, colour); break;
        case ArrowDirection::Left: FillSolid(dc, x + backward, y + start, 1, length, colour); break;
        }
    }
}

bool ShowsFocus(HWND window) {
    if (GetFocus() != window) return false;
    const LRESULT uiState = SendMessageW(window, WM_QUERYUISTATE, 0, 0);
    return (uiState & UISF_HIDEFOCUS) == 0;
}

namespace {

void ExcludeWindow(HWND window, HDC target, HWND other) {
    if (!IsWindowVisible(other)) return;
    RECT rect{};
    GetWindowRect(other, &rect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    ExcludeClipRect(target, rect.left, rect.top, rect.right, rect.bottom);
}

}  // namespace

void CopyAroundChildren(HWND window, HDC target, HDC surface, SIZE size, bool siblingsAbove) {
    const int saved = SaveDC(target);
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        ExcludeWindow(window, target, child);
    if (siblingsAbove) {
        for (HWND other = GetWindow(window, GW_HWNDPREV); other; other = GetWindow(other, GW_HWNDPREV))
            ExcludeWindow(window, target, other);
    }
    BitBlt(target, 0, 0, size.cx, size.cy, surface, 0, 0, SRCCOPY);
    RestoreDC(target, saved);
}

}  // namespace skin
