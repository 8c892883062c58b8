// Menu items in the skin's look: white, the hot item in the drop button's hot tint, the bar
// item whose popup is open in its pressed tint, the skin's check mark and option dot, separators
// in the pale border colour and the drop arrow turned right for a submenu.
#include "render/menu_renderer.h"

#include <algorithm>

#include "render/visual_state.h"
#include "render/flat_parts.h"
#include "render/image_set.h"
#include "render/image_tables.h"
#include "render/primitives.h"
#include "render/scoped_gdi.h"

namespace skin {

namespace {

constexpr COLORREF kMenuText = 0x000000;
// Left of a popup item's text: room for the check mark, option dot or the item's bitmap.
constexpr int kCheckColumn = 22;
// Right of the text: room for the submenu arrow.
constexpr int kArrowColumn = 18;
// Between an item's text and its shortcut.
constexpr int kShortcutGap = 24;
constexpr int kSeparatorHeight = 7;
constexpr int kPopupItemMinHeight = 20;
// The line between a popup's columns lies this far left of the new column, in the gap the
// platform leaves, and keeps the popup's margin at top and bottom.
constexpr int kColumnLineOffset = 3;
constexpr int kPopupMargin = 3;

// The text before the tab, and the shortcut after it.
struct ItemText {
    std::wstring_view label;
    std::wstring_view shortcut;
};

ItemText SplitText(std::wstring_view text) {
    const size_t tab = text.find(L'\t');
    if (tab == std::wstring_view::npos) return {text, {}};
    return {text.substr(0, tab), text.substr(tab + 1)};
}

SIZE TextSize(HDC dc, std::wstring_view text) {
    RECT box{};
    if (!text.empty())
        DrawTextW(dc, text.data(), static_cast<int>(text.size()), &box,
                  DT_SINGLELINE | DT_CALCRECT);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    return {box.right - box.left, metrics.tmHeight};
}

void DrawItemText(HDC dc, std::wstring_view text, RECT box, UINT format, const MenuItemLook& look) {
    if (text.empty()) return;
    format |= DT_SINGLELINE | DT_VCENTER;
    if (look.hidePrefix) format |= DT_HIDEPREFIX;
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &box, format);
}

// A glyph of the skin images centred in the box, its disabled twin for a disabled item.
void DrawGlyph(HDC dc, const RECT& box, const ImageRect& glyph, bool enabled) {
    const int x = box.left + RoundHalfEven((box.right - box.left - glyph.width) / 2.0);
    const int y = box.top + RoundHalfEven((box.bottom - box.top - glyph.height) / 2.0);
    DrawTransparent(dc, x, y, glyph.width, glyph.height, SkinImages().GlyphImage,
                    glyph.x + (enabled ? 0 : kDisabledGlyphOffset), glyph.y, kKeyMagenta, nullptr);
}

void DrawItemBitmap(HDC dc, const RECT& box, HBITMAP bitmap) {
    BITMAP info{};
    if (!GetObjectW(bitmap, sizeof(info), &info)) return;
    const ScopedCreatedDC source(CreateCompatibleDC(dc));
    const ScopedSelectObject select(source.get(), bitmap);
    const int width = std::min<int>(info.bmWidth, box.right - box.left);
    const int height = std::min<int>(info.bmHeight, box.bottom - box.top);
    BitBlt(dc, box.left + (box.right - box.left - width) / 2,
           box.top + (box.bottom - box.top - height) / 2, width, height, source.get(), 0, 0,
           SRCCOPY);
}

// One of the platform's pictures (restore, minimise, maximise, close) in the item's text colour,
// in the Marlett face the platform draws them with, at the size of its menu pictures.
void DrawSymbol(HDC dc, const RECT& box, wchar_t symbol) {
    LOGFONTW face{};
    face.lfHeight = std::min(GetSystemMetrics(SM_CXMENUSIZE), GetSystemMetrics(SM_CYMENUSIZE)) - 5;
    face.lfWeight = FW_NORMAL;
    face.lfCharSet = SYMBOL_CHARSET;
    lstrcpynW(face.lfFaceName, L"Marlett", LF_FACESIZE);
    const ScopedGdiObject<HFONT> font(CreateFontIndirectW(&face));
    const ScopedSelectObject select(dc, font.get());
    RECT place = box;
    DrawTextW(dc, &symbol, 1, &place, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void DrawHeaderFace(HDC dc, const RECT& rect) {
    StretchBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               SkinImages().HeaderImage, kHeaderBackground.x, kHeaderBackground.y,
               kHeaderBackground.width, kHeaderBackground.height, SRCCOPY);
}

void DrawBarItem(HDC dc, const RECT& rect, const MenuItemLook& look) {
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (look.selected || look.hot) {
        DrawFlatFace(dc, rect.left, rect.top, width, height, look.selected ? Pressed : Hot);
    } else {
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
        DrawHeaderFace(dc, look.barFace);
        RestoreDC(dc, saved);
    }
    DrawItemText(dc, SplitText(look.text).label, rect, DT_CENTER, look);
}

void DrawPopupItem(HDC dc, const RECT& rect, const MenuItemLook& look, int menuBottom) {
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (look.columnBreak)
        FillSolid(dc, rect.left - kColumnLineOffset, kPopupMargin, 1,
                  std::max(menuBottom - 2 * kPopupMargin, 0), kSkinDisabledBorder);
    if (look.separator) {
        FillSolid(dc, rect.left, rect.top, width, height, kMenuBackground);
        FillSolid(dc, rect.left + 2, rect.top + height / 2, width - 4, 1, kSkinDisabledBorder);
        return;
    }
    if (look.selected)
        DrawFlatFace(dc, rect.left, rect.top, width, height, Hot);
    else
        FillSolid(dc, rect.left, rect.top, width, height, kMenuBackground);

    const RECT checkBox = MenuPictureBox(rect);
    if (look.checked)
        DrawGlyph(dc, checkBox, look.radio ? kOptionDotGlyph : kCheckMarkGlyph, look.enabled);
    else if (look.bitmap)
        DrawItemBitmap(dc, checkBox, look.bitmap);
    else if (look.symbol)
        DrawSymbol(dc, checkBox, look.symbol);

    const ItemText text = SplitText(look.text);
    RECT textBox{rect.left + kCheckColumn, rect.top, rect.right - kArrowColumn, rect.bottom};
    DrawItemText(dc, text.label, textBox, DT_LEFT, look);
    DrawItemText(dc, text.shortcut, textBox, DT_RIGHT, look);

    if (look.submenu) {
        const int x = rect.right - kArrowColumn / 2 - kArrowDepth / 2;
        const int y = rect.top + (height - kArrowBreadth) / 2;
        DrawArrow(dc, x, y, ArrowDirection::Right, look.enabled);
    }
}

}  // namespace

SIZE MeasureMenuItem(HDC dc, const MenuItemLook& look) {
    // A bar item is as wide as the platform makes a text item: its whole text, measured as the
    // platform measures it, and the same margins the platform adds to both kinds.
    if (look.inBar) return {TextSize(dc, look.text).cx, GetSystemMetrics(SM_CYMENU) - 1};
    const ItemText text = SplitText(look.text);
    const SIZE label = TextSize(dc, text.label);
    if (look.separator) return {0, kSeparatorHeight};
    int width = kCheckColumn + label.cx + kArrowColumn;
    if (!text.shortcut.empty()) width += kShortcutGap + TextSize(dc, text.shortcut).cx;
    return {width, std::max<LONG>(label.cy + 6, kPopupItemMinHeight)};
}

RECT MenuPictureBox(const RECT& item) {
    return {item.left, item.top, item.left + kCheckColumn, item.bottom};
}

void DrawMenuItem(HDC dc, const RECT& rect, const MenuItemLook& look, int menuBottom) {
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = SetTextColor(dc, look.enabled ? kMenuText : kSkinDisabledText);
    if (look.inBar)
        DrawBarItem(dc, rect, look);
    else
        DrawPopupItem(dc, rect, look, menuBottom);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
}

void DrawMenuBarFace(HDC dc, const RECT& rect) { DrawHeaderFace(dc, rect); }

void DrawMenuFrame(HDC dc, int width, int height) {
    FrameSolid(dc, 0, 0, width, height, kSkinBorder);
}

}  // namespace skin
