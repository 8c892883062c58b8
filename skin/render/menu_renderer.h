// Menu items in the skin's look: the menu bar's items and the items of popup menus, measured and
// drawn from what the item is (its text, type and state), not from the menu itself.
#pragma once

#include <windows.h>

#include <string_view>

namespace skin {

struct MenuItemLook {
    std::wstring_view text;  // as the menu holds it: '&' before the mnemonic, '\t' before the shortcut
    bool inBar = false;      // an item of the menu bar
    bool separator = false;
    bool submenu = false;    // opens a popup: the arrow on the right
    bool checked = false;
    bool radio = false;      // checked shows the option dot instead of the check mark
    bool enabled = true;
    bool isDefault = false;  // the menu's default item, in the bold menu font
    bool selected = false;   // highlighted in a popup, or the bar item whose popup is open
    bool hot = false;        // the bar item under the pointer
    bool hidePrefix = false; // keyboard cues hidden: no mnemonic underline
    HBITMAP bitmap = nullptr;  // a bitmap of the item's own beside its text
    wchar_t symbol = 0;        // or one of the platform's pictures, as its Marlett character
    bool columnBreak = false;  // a popup item that starts a column behind a line
    RECT barFace{};            // a bar item: the whole bar, in the context's coordinates
};

// The item's size in the menu font (bold for the default item), which must be selected into the
// context. The platform adds its own room beside every owner-drawn item: a bar item's width is
// its text's alone, so that the bar keeps the platform's places.
SIZE MeasureMenuItem(HDC dc, const MenuItemLook& look);

// Draws the whole item into its rectangle in the context's selected font. A column's line runs
// down to menuBottom.
void DrawMenuItem(HDC dc, const RECT& rect, const MenuItemLook& look, int menuBottom = 0);

// Where a popup item's picture goes (a picture the program draws on request among them): the
// column left of its text.
RECT MenuPictureBox(const RECT& item);

// The menu bar's face where no item lies: the header's light face.
void DrawMenuBarFace(HDC dc, const RECT& rect);

// A popup menu's frame, one pixel in the border colour.
void DrawMenuFrame(HDC dc, int width, int height);

// Behind a popup's items: the palest blue of the header's face.
inline constexpr COLORREF kMenuBackground = 0xFEF5EA;

}  // namespace skin
