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
    bool selected = false;   // highlighted in a popup, or the bar item whose popup is open
    bool hot = false;        // the bar item under the pointer
    bool hidePrefix = false; // keyboard cues hidden: no mnemonic underline
    HBITMAP bitmap = nullptr;  // a bitmap of the item's own beside its text
};

// The item's size in the menu font, which must be selected into the context. A popup item's
// width leaves out the check column the platform adds itself.
SIZE MeasureMenuItem(HDC dc, const MenuItemLook& look);

// Draws the whole item into its rectangle in the context's selected font.
void DrawMenuItem(HDC dc, const RECT& rect, const MenuItemLook& look);

// The menu bar's face where no item lies: the header's light face.
void DrawMenuBarFace(HDC dc, const RECT& rect);

// A popup menu's frame, one pixel in the border colour.
void DrawMenuFrame(HDC dc, int width, int height);

// Behind a popup's items: the palest blue of the header's face.
inline constexpr COLORREF kMenuBackground = 0xFEF5EA;

}  // namespace skin
