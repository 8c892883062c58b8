// Tab controls: the page frame and the tabs, each a one-pixel frame in the border colour around
// a face. The selected tab is white and open to the white page, the others carry the header's
// light face, the hot and pressed ones the drop button's tints.
#include "render/tab_renderer.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "render/visual_state.h"
#include "render/flat_parts.h"
#include "render/image_set.h"
#include "render/image_tables.h"
#include "render/primitives.h"
#include "render/scoped_gdi.h"

namespace skin {

namespace {

// The side of the page the tabs sit on.
enum class TabSide { Top, Bottom, Left, Right };

TabSide SideOf(LONG style) {
    if (style & TCS_VERTICAL) return (style & TCS_RIGHT) ? TabSide::Right : TabSide::Left;
    return (style & TCS_BOTTOM) ? TabSide::Bottom : TabSide::Top;
}

bool Horizontal(TabSide side) { return side == TabSide::Top || side == TabSide::Bottom; }

// The selected tab stands this much wider and further out than the others, as on the platform.
constexpr int kSelectedGrowth = 2;
// Between an image and its caption.
constexpr int kImageGap = 3;
// The focus rectangle lies this far inside a tab's frame.
constexpr int kFocusInset = 2;
constexpr int kItemTextCapacity = 256;

struct TabItem {
    int index;
    RECT rect;  // as the control reports it
    std::wstring text;
    int image;  // -1 for none
};

struct TabLayout {
    HWND tab;
    LONG style;
    TabSide side;
    bool buttons;  // TCS_BUTTONS: no page, the selected tab shown pressed
    bool enabled;
    SIZE client;
    RECT page;  // the page frame; empty without one
    int selected;
    std::vector<TabItem> items;  // the visible ones
};

TabItem ReadItem(HWND tab, int index, const RECT& rect) {
    wchar_t buffer[kItemTextCapacity] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = buffer;
    item.cchTextMax = kItemTextCapacity;
    if (!SendMessageW(tab, TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
        return {index, rect, {}, -1};
    const wchar_t* text = item.pszText && item.pszText != LPSTR_TEXTCALLBACKW ? item.pszText : L"";
    return {index, rect, text, item.iImage};
}

// The page frame lies against the row of tabs nearest to it.
RECT PageFrame(const TabLayout& layout) {
    RECT page = {0, 0, layout.client.cx, layout.client.cy};
    if (layout.items.empty()) return page;
    const auto edge = [&](auto pick, auto better) {
        LONG value = pick(layout.items.front().rect);
        for (const TabItem& item : layout.items) value = better(value, pick(item.rect));
        return value;
    };
    const auto larger = [](LONG a, LONG b) { return std::max(a, b); };
    const auto smaller = [](LONG a, LONG b) { return std::min(a, b); };
    switch (layout.side) {
    case TabSide::Top: page.top = edge([](const RECT& r) { return r.bottom; }, larger); break;
    case TabSide::Bottom: page.bottom = edge([](const RECT& r) { return r.top; }, smaller); break;
    case TabSide::Left: page.left = edge([](const RECT& r) { return r.right; }, larger); break;
    case TabSide::Right: page.right = edge([](const RECT& r) { return r.left; }, smaller); break;
    }
    return page;
}

TabLayout MeasureTabs(HWND tab) {
    TabLayout layout{};
    layout.tab = tab;
    layout.style = GetWindowLongW(tab, GWL_STYLE);
    layout.side = SideOf(layout.style);
    layout.buttons = (layout.style & TCS_BUTTONS) != 0;
    layout.enabled = IsWindowEnabled(tab) != FALSE;
    RECT client{};
    GetClientRect(tab, &client);
    layout.client = {client.right, client.bottom};
    layout.selected = static_cast<int>(SendMessageW(tab, TCM_GETCURSEL, 0, 0));
    const int count = static_cast<int>(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        RECT rect{};
        // Tabs scrolled out of view report no rectangle.
        if (!SendMessageW(tab, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&rect)))
            continue;
        layout.items.push_back(ReadItem(tab, i, rect));
    }
    layout.page = layout.buttons ? RECT{} : PageFrame(layout);
    return layout;
}

// The frame of a tab: neighbours share their one-pixel edges, and a tab's edge toward the page
// lies on the page's frame line (or on the next row's edge). The selected tab stands wider and
// further out.
RECT TabBox(const TabLayout& layout, const TabItem& item) {
    RECT box = item.rect;
    if (layout.buttons) return box;
    const bool selected = item.index == layout.selected;
    const int grow = selected ? kSelectedGrowth : 0;
    if (Horizontal(layout.side)) {
        box.right += 1;
        box.left -= grow;
        box.right += grow;
    } else {
        box.bottom += 1;
        box.top -= grow;
        box.bottom += grow;
    }
    switch (layout.side) {
    case TabSide::Top: box.bottom += 1; box.top -= grow; break;
    case TabSide::Bottom: box.top -= 1; box.bottom += grow; break;
    case TabSide::Left: box.right += 1; box.left -= grow; break;
    case TabSide::Right: box.left -= 1; box.right += grow; break;
    }
    return box;
}

// Whether the selected tab's edge toward the page lies on the page's frame line.
bool OpensOntoPage(const TabLayout& layout, const RECT& box) {
    switch (layout.side) {
    case TabSide::Top: return box.bottom - 1 == layout.page.top;
    case TabSide::Bottom: return box.top == layout.page.bottom - 1;
    case TabSide::Left: return box.right - 1 == layout.page.left;
    case TabSide::Right: return box.left == layout.page.right - 1;
    }
    return false;
}

// The face of a tab that is neither selected nor hot nor pressed: the header's light strip,
// without the line under the header items.
void DrawRestingFace(HDC dc, const RECT& face) {
    const ImageRect strip = {kHeaderBackground.x, kHeaderBackground.y, kHeaderBackground.width,
                             kHeaderBackground.height - 1};
    // Rows are picked, never blended, when the face is lower than the strip.
    const int previousMode = SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, face.left, face.top, face.right - face.left, face.bottom - face.top,
               SkinImages().HeaderImage, strip.x, strip.y, strip.width, strip.height, SRCCOPY);
    SetStretchBltMode(dc, previousMode);
}

int TabState(const TabLayout& layout, const TabItem& item, int hotTab, int pressedTab) {
    if (!layout.enabled) return Normal;
    if (layout.buttons && item.index == layout.selected) return Pressed;
    if (item.index == pressedTab) return Pressed;
    if (item.index == hotTab) return Hot;
    return Normal;
}

SIZE ImageSize(HIMAGELIST images) {
    int width = 0, height = 0;
    if (images) ImageList_GetIconSize(images, &width, &height);
    return {width, height};
}

// A font like the control's, turned by the given tenths of a degree, for the captions of tabs
// on the left or right.
HFONT CreateTurnedFont(HFONT font, int escapement) {
    LOGFONTW logFont{};
    if (!GetObjectW(font ? font : GetStockObject(DEFAULT_GUI_FONT), sizeof(logFont), &logFont))
        return nullptr;
    logFont.lfEscapement = escapement;
    logFont.lfOrientation = escapement;
    return CreateFontIndirectW(&logFont);
}

// Image and caption centred in the face, the image first along the reading direction.
void DrawContent(HDC dc, const TabLayout& layout, const TabItem& item, const RECT& face,
                 HIMAGELIST images, HFONT font) {
    const SIZE image = item.image >= 0 ? ImageSize(images) : SIZE{0, 0};
    SIZE text{};
    GetTextExtentPoint32W(dc, item.text.c_str(), static_cast<int>(item.text.size()), &text);
    const int gap = image.cx > 0 && !item.text.empty() ? kImageGap : 0;
    const int centreX = (face.left + face.right) / 2;
    const int centreY = (face.top + face.bottom) / 2;
    SetTextColor(dc, layout.enabled ? GetSysColor(COLOR_BTNTEXT) : kSkinDisabledText);
    SetBkMode(dc, TRANSPARENT);

    if (Horizontal(layout.side)) {
        const int run = image.cx + gap + text.cx;
        const int start = std::max<int>(face.left + 1, centreX - run / 2);
        if (image.cx > 0)
            ImageList_Draw(images, item.image, dc, start, centreY - image.cy / 2, ILD_TRANSPARENT);
        RECT textRect = {start + image.cx + gap, face.top, face.right, face.bottom};
        DrawTextW(dc, item.text.c_str(), -1, &textRect, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        return;
    }
    // On the left the caption reads upwards, on the right downwards.
    const bool upwards = layout.side == TabSide::Left;
    const int run = image.cy + gap + text.cx;
    const int start = upwards ? centreY + run / 2 : centreY - run / 2;
    if (image.cy > 0)
        ImageList_Draw(images, item.image, dc, centreX - image.cx / 2,
                       upwards ? start - image.cy : start, ILD_TRANSPARENT);
    ScopedGdiObject<HFONT> turned(CreateTurnedFont(font, upwards ? 900 : 2700));
    ScopedSelectObject selectTurned(dc, turned.get());
    const int along = image.cy + gap;
    if (upwards)
        ExtTextOutW(dc, centreX - text.cy / 2, start - along, 0, nullptr, item.text.c_str(),
                    static_cast<UINT>(item.text.size()), nullptr);
    else
        ExtTextOutW(dc, centreX + text.cy / 2, start + along, 0, nullptr, item.text.c_str(),
                    static_cast<UINT>(item.text.size()), nullptr);
}

// Inside a tab's frame: white when selected, the resting strip, or the tint of its state.
void FillTabFace(HDC dc, const RECT& face, int state, bool selected, bool buttons) {
    if (selected)
        FillSolid(dc, face.left, face.top, face.right - face.left, face.bottom - face.top, kSkinWhite);
    else if (state == Normal && !buttons)
        DrawRestingFace(dc, face);
    else
        DrawFlatFace(dc, face.left, face.top, face.right - face.left, face.bottom - face.top, state);
}

void DrawTab(HDC dc, const TabLayout& layout, const TabItem& item, int state, HIMAGELIST images,
             HFONT font) {
    const RECT box = TabBox(layout, item);
    const COLORREF frame = FrameColour(layout.enabled);
    const bool selected = !layout.buttons && item.index == layout.selected;
    RECT face = {box.left + 1, box.top + 1, box.right - 1, box.bottom - 1};
    FrameSolid(dc, box.left, box.top, box.right - box.left, box.bottom - box.top, frame);
    if (selected) {
        // White, and open to the page: the edge toward it becomes part of the face.
        if (OpensOntoPage(layout, box)) {
            switch (layout.side) {
            case TabSide::Top: face.bottom += 1; break;
            case TabSide::Bottom: face.top -= 1; break;
            case TabSide::Left: face.right += 1; break;
            case TabSide::Right: face.left -= 1; break;
            }
        }
    }
    FillTabFace(dc, face, state, selected, layout.buttons);
    DrawContent(dc, layout, item, face, images, font);
}

void DrawFocus(HDC dc, const TabLayout& layout) {
    if ((layout.style & TCS_FOCUSNEVER) || !ShowsFocus(layout.tab)) return;
    const int focused = static_cast<int>(SendMessageW(layout.tab, TCM_GETCURFOCUS, 0, 0));
    for (const TabItem& item : layout.items) {
        if (item.index != focused) continue;
        const RECT box = TabBox(layout, item);
        // The platform's dotted outline takes the context's text colour.
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        SetBkColor(dc, kSkinWhite);
        DrawFocusFrame(dc, box.left + kFocusInset, box.top + kFocusInset,
                       box.right - box.left - 2 * kFocusInset, box.bottom - box.top - 2 * kFocusInset);
    }
}

}  // namespace

void DrawTabControl(HWND tab, HDC target, int hotTab, int pressedTab) {
    const TabLayout layout = MeasureTabs(tab);
    ScopedMemorySurface surface(layout.client.cx, layout.client.cy);
    HDC dc = surface.get();
    // Beside and above the tabs, the dialog's face, as around the platform's own tabs.
    const RECT all = {0, 0, layout.client.cx, layout.client.cy};
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    if (!layout.buttons) {
        const RECT& page = layout.page;
        FillSolid(dc, page.left, page.top, page.right - page.left, page.bottom - page.top, kSkinWhite);
        FrameSolid(dc, page.left, page.top, page.right - page.left, page.bottom - page.top,
                   FrameColour(layout.enabled));
    }

    HFONT font = reinterpret_cast<HFONT>(SendMessageW(tab, WM_GETFONT, 0, 0));
    ScopedSelectObject selectFont(dc, font);
    const HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageW(tab, TCM_GETIMAGELIST, 0, 0));
    // The selected tab last: it stands over its neighbours and the page's frame.
    for (const TabItem& item : layout.items) {
        if (item.index != layout.selected || layout.buttons)
            DrawTab(dc, layout, item, TabState(layout, item, hotTab, pressedTab), images, font);
    }
    for (const TabItem& item : layout.items) {
        if (item.index == layout.selected && !layout.buttons)
            DrawTab(dc, layout, item, TabState(layout, item, hotTab, pressedTab), images, font);
    }
    DrawFocus(dc, layout);

    CopyAroundChildren(tab, target, dc, layout.client, true);
}

void DrawTabItem(HDC dc, const RECT& box, int state, bool selected, bool enabled) {
    FrameSolid(dc, box.left, box.top, box.right - box.left, box.bottom - box.top, FrameColour(enabled));
    RECT face = {box.left + 1, box.top + 1, box.right - 1, box.bottom - (selected ? 0 : 1)};
    FillTabFace(dc, face, enabled ? state : Normal, selected, false);
}

int TabAt(HWND tab, POINT point) {
    TCHITTESTINFO hit{};
    hit.pt = point;
    const int index = static_cast<int>(SendMessageW(tab, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    return index >= 0 ? index : kNoTab;
}

}  // namespace skin
