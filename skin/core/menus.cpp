// Menus in the skin's look. A menu shown by a skinned window has its items made owner-drawn for
// as long as the skin shows it: the bar's from attach to detach (and again whenever the program
// gives the window another bar or adds items), a popup's from WM_INITMENUPOPUP until it closes.
// Each such item's data is a record of the skin's, holding the type and data the item had; the
// item keeps its text, so screen readers and the program still read it. Items the program draws
// itself, old-style bitmap items and items whose bitmap the program draws are left as they are.
// Owner-drawn items lose the platform's own mnemonic matching, so WM_MENUCHAR finds it again.
#include "core/menus.h"

#include <algorithm>
#include <cwctype>
#include <memory>
#include <string>
#include <vector>

#include "core/engine.h"
#include "core/props.h"
#include "core/window_proc.h"
#include "dorrik_skin.h"
#include "render/menu_renderer.h"
#include "render/scoped_gdi.h"

namespace skin {

namespace {

// What an item was before the skin took it over, and what tells the item again should the program
// put data of its own into it meanwhile.
struct SkinnedItem {
    UINT type;
    ULONG_PTR data;
    UINT id;
    HMENU subMenu;
};

struct SkinnedMenu {
    HMENU menu;
    HWND owner;
    bool bar;
    HBRUSH background;  // the menu's own background brush, put back with its items
    HWND shownIn;       // a popup taken over as its window first painted, given back as it goes
    std::vector<std::unique_ptr<SkinnedItem>> items;
};

struct MenuBar {
    HWND window;
    HMENU menu;
};

// One per thread: menus are shown on the thread of the window that owns them.
struct MenuState : ThreadPart {
    std::vector<SkinnedMenu> menus;
    std::vector<MenuBar> bars;
    std::vector<HWND> looping;  // owners whose menu loop runs
    // These live while any menu is the skin's, and go with the thread's engine at the latest.
    ScopedGdiObject<HFONT> font;
    ScopedGdiObject<HFONT> boldFont;  // a menu's default item
    ScopedBrush background;  // the platform fills around the items with it
};

MenuState& State() { return ThisThreadPart<MenuState>(); }

bool ShowsSkinnedMenus(HWND window) {
    const WindowRecord* record = FindRecord(window);
    return record && record->link == Link::Attached && (record->options & DORRIK_SKIN_MENUS);
}

SkinnedMenu* FindMenu(HMENU menu) {
    for (SkinnedMenu& entry : State().menus) {
        if (entry.menu == menu) return &entry;
    }
    return nullptr;
}

MenuBar* FindBar(HWND window) {
    for (MenuBar& bar : State().bars) {
        if (bar.window == window) return &bar;
    }
    return nullptr;
}

// The skin's record behind an item's data, or null for data that is not the skin's.
const SkinnedItem* FindItem(ULONG_PTR data, HMENU* menu = nullptr) {
    if (!data) return nullptr;
    for (const SkinnedMenu& entry : State().menus) {
        for (const auto& item : entry.items) {
            if (reinterpret_cast<ULONG_PTR>(item.get()) != data) continue;
            if (menu) *menu = entry.menu;
            return item.get();
        }
    }
    return nullptr;
}

// The menu font of the platform, or its bold twin that the platform gives a menu's default
// item, made on first use and kept while the skin shows menus.
HFONT MenuFont(bool bold = false) {
    ScopedGdiObject<HFONT>& font = bold ? State().boldFont : State().font;
    if (font.get()) return font.get();
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return nullptr;
    if (bold) metrics.lfMenuFont.lfWeight = std::min<LONG>(metrics.lfMenuFont.lfWeight + 300, 1000);
    font.reset(CreateFontIndirectW(&metrics.lfMenuFont));
    return font.get();
}

// Items the platform or the program draws: owner-drawn already, old-style bitmap items, and a
// bar's items with a picture (the buttons of a maximised document window among them), which keep
// the platform's places and symbols.
bool KeepsItsDrawing(const MENUITEMINFOW& info, bool bar) {
    return (info.fType & (MFT_OWNERDRAW | MFT_BITMAP)) != 0 || (bar && info.hbmpItem);
}

// The platform's own pictures of a popup item, as the Marlett characters it draws them with.
struct MenuSymbol {
    HBITMAP picture;
    wchar_t symbol;
};
const MenuSymbol kMenuSymbols[] = {
    {HBMMENU_POPUP_CLOSE, 0x72},
    {HBMMENU_POPUP_RESTORE, 0x32},
    {HBMMENU_POPUP_MAXIMIZE, 0x31},
    {HBMMENU_POPUP_MINIMIZE, 0x30},
};

wchar_t SymbolOf(HBITMAP picture) {
    for (const MenuSymbol& entry : kMenuSymbols) {
        if (entry.picture == picture) return entry.symbol;
    }
    return 0;
}

bool IsPlatformPicture(HBITMAP picture) {
    return reinterpret_cast<ULONG_PTR>(picture) <= reinterpret_cast<ULONG_PTR>(HBMMENU_POPUP_MINIMIZE) ||
           reinterpret_cast<LONG_PTR>(picture) == -1;
}

void ConvertMenu(HMENU menu, HWND owner, bool bar) {
    const int count = GetMenuItemCount(menu);
    if (count < 0) return;
    SkinnedMenu* entry = FindMenu(menu);
    if (!entry) {
        MENUINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = MIM_BACKGROUND;
        GetMenuInfo(menu, &info);
        MenuState& state = State();
        state.menus.push_back({menu, owner, bar, info.hbrBack, nullptr, {}});
        entry = &state.menus.back();
        if (!state.background.get()) state.background.reset(CreateSolidBrush(kMenuBackground));
        info.hbrBack = state.background.get();
        SetMenuInfo(menu, &info);
    }
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_BITMAP | MIIM_ID | MIIM_SUBMENU;
        if (!GetMenuItemInfoW(menu, position, TRUE, &info) || KeepsItsDrawing(info, bar)) continue;
        auto item = std::make_unique<SkinnedItem>(SkinnedItem{info.fType, info.dwItemData, info.wID, info.hSubMenu});
        info.fMask = MIIM_FTYPE | MIIM_DATA;
        info.fType |= MFT_OWNERDRAW;
        info.dwItemData = reinterpret_cast<ULONG_PTR>(item.get());
        if (SetMenuItemInfoW(menu, position, TRUE, &info)) entry->items.push_back(std::move(item));
    }
}

// Every item the skin took over gets its type and data back; a type the program changed
// meanwhile (a radio check set) stays changed. An item whose data the program replaced while the
// skin had it keeps the program's data and is no longer owner-drawn (unless it was before).
void RestoreMenu(const SkinnedMenu& entry) {
    if (!IsMenu(entry.menu)) return;
    const int count = GetMenuItemCount(entry.menu);
    std::vector<const SkinnedItem*> unclaimed;
    for (const auto& item : entry.items) unclaimed.push_back(item.get());
    std::vector<int> programData;  // positions of owner-drawn items holding data not the skin's
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_DATA;
        if (!GetMenuItemInfoW(entry.menu, position, TRUE, &info)) continue;
        const auto owned = std::find_if(unclaimed.begin(), unclaimed.end(), [&](const SkinnedItem* item) {
            return reinterpret_cast<ULONG_PTR>(item) == info.dwItemData;
        });
        if (owned == unclaimed.end()) {
            if (info.fType & MFT_OWNERDRAW) programData.push_back(position);
            continue;
        }
        info.fType = (info.fType & ~MFT_OWNERDRAW) | ((*owned)->type & MFT_OWNERDRAW);
        info.dwItemData = (*owned)->data;
        SetMenuItemInfoW(entry.menu, position, TRUE, &info);
        unclaimed.erase(owned);
    }
    for (const int position : programData) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU;
        if (!GetMenuItemInfoW(entry.menu, position, TRUE, &info)) continue;
        const auto owned = std::find_if(unclaimed.begin(), unclaimed.end(), [&](const SkinnedItem* item) {
            return item->id == info.wID && item->subMenu == info.hSubMenu;
        });
        if (owned == unclaimed.end()) continue;
        info.fMask = MIIM_FTYPE;
        info.fType = (info.fType & ~MFT_OWNERDRAW) | ((*owned)->type & MFT_OWNERDRAW);
        SetMenuItemInfoW(entry.menu, position, TRUE, &info);
        unclaimed.erase(owned);
    }
    MENUINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = MIM_BACKGROUND;
    info.hbrBack = entry.background;
    SetMenuInfo(entry.menu, &info);
}

// Puts back the menus of an owner that match: its popups, or all of them (and those shown in a
// popup window that goes).
void RestoreMenus(HWND owner, bool withBar) {
    auto keep = [&](const SkinnedMenu& entry) {
        if ((entry.owner != owner && entry.shownIn != owner) || (entry.bar && !withBar)) return true;
        RestoreMenu(entry);
        return false;
    };
    // Restoring sends no message, so the list cannot change under the walk.
    State().menus.erase(std::stable_partition(State().menus.begin(), State().menus.end(), keep),
                      State().menus.end());
}

// The font and brush live while any menu is the skin's. Windows and menus that went away
// without the skin hearing of it (its link cut out of the chain) count no longer.
void ReleaseWhenIdle() {
    MenuState& state = State();
    std::erase_if(state.bars, [](const MenuBar& bar) { return !IsWindow(bar.window); });
    std::erase_if(state.menus, [](const SkinnedMenu& entry) { return !IsMenu(entry.menu); });
    if (!state.bars.empty() || !state.menus.empty()) return;
    state.font.reset();
    state.boldFont.reset();
    state.background.reset();
}

// The window's bar as the skin shows it: another bar put in (SetMenu) gives the old one back
// and converts the new one; items added since are converted too.
void SyncMenuBar(HWND window) {
    MenuBar* bar = FindBar(window);
    if (!bar) return;
    HMENU current = GetMenu(window);
    if (current != bar->menu) {
        if (SkinnedMenu* old = FindMenu(bar->menu); old && old->owner == window) {
            RestoreMenu(*old);
            State().menus.erase(State().menus.begin() + (old - State().menus.data()));
        }
        bar->menu = current;
    }
    if (current && IsMenu(current)) ConvertMenu(current, window, true);
}

int ItemPosition(HMENU menu, const SkinnedItem* item) {
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_DATA;
        if (GetMenuItemInfoW(menu, position, TRUE, &info) &&
            info.dwItemData == reinterpret_cast<ULONG_PTR>(item))
            return position;
    }
    return -1;
}

HBITMAP PictureOf(HMENU menu, const SkinnedItem* item) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_BITMAP;
    if (!GetMenuItemInfoW(menu, ItemPosition(menu, item), TRUE, &info)) return nullptr;
    return info.hbmpItem;
}

// The item as it is now: its text (which the program may have changed), type and submenu.
MenuItemLook ReadItem(HMENU menu, int position, std::wstring& text) {
    MenuItemLook look;
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_SUBMENU | MIIM_BITMAP | MIIM_STATE;
    if (!GetMenuItemInfoW(menu, position, TRUE, &info)) return look;
    text.assign(info.cch + 1, L'\0');
    info.dwTypeData = text.data();
    info.cch += 1;
    if (!GetMenuItemInfoW(menu, position, TRUE, &info)) text.clear();
    text.resize(wcsnlen(text.c_str(), text.size()));
    look.text = text;
    look.separator = (info.fType & MFT_SEPARATOR) != 0;
    look.radio = (info.fType & MFT_RADIOCHECK) != 0;
    look.submenu = info.hSubMenu != nullptr;
    look.checked = (info.fState & MFS_CHECKED) != 0;
    look.enabled = (info.fState & MFS_DISABLED) == 0;
    look.isDefault = (info.fState & MFS_DEFAULT) != 0;
    look.columnBreak = (info.fType & MFT_MENUBARBREAK) != 0;
    // The platform's own pictures (HBMMENU_*) are drawn by its painting, which the skin replaces.
    if (!IsPlatformPicture(info.hbmpItem))
        look.bitmap = info.hbmpItem;
    else
        look.symbol = SymbolOf(info.hbmpItem);
    return look;
}

// The whole bar in window coordinates. Wine reports the bar one pixel low, its last row over the
// client area and its first one left out; the bar always ends where the client area begins.
bool BarFace(HWND window, RECT& face) {
    MENUBARINFO info{};
    info.cbSize = sizeof(info);
    if (!GetMenuBarInfo(window, OBJID_MENU, 0, &info) || IsRectEmpty(&info.rcBar)) return false;
    RECT frame{};
    GetWindowRect(window, &frame);
    POINT client{0, 0};
    ClientToScreen(window, &client);
    face = info.rcBar;
    const LONG height = face.bottom - face.top;
    face.bottom = std::min(face.bottom, client.y);
    face.top = face.bottom - height;
    OffsetRect(&face, -frame.left, -frame.top);
    return true;
}

bool IsBar(HMENU menu) {
    const SkinnedMenu* entry = FindMenu(menu);
    return entry && entry->bar;
}

HWND OwnerOf(HMENU menu) {
    const SkinnedMenu* entry = FindMenu(menu);
    return entry ? entry->owner : nullptr;
}

LRESULT MeasureSkinnedItem(MEASUREITEMSTRUCT& measure, HMENU menu, const SkinnedItem* item) {
    std::wstring text;
    MenuItemLook look = ReadItem(menu, ItemPosition(menu, item), text);
    look.inBar = IsBar(menu);
    HDC screen = GetDC(nullptr);
    {
        const ScopedSelectObject font(screen, MenuFont(look.isDefault));
        const SIZE size = MeasureMenuItem(screen, look);
        measure.itemWidth = static_cast<UINT>(size.cx);
        measure.itemHeight = static_cast<UINT>(size.cy);
    }
    ReleaseDC(nullptr, screen);
    return TRUE;
}

// A picture the program paints on request (HBMMENU_CALLBACK): asked of the program as the platform
// asks it, with the item's own data, its size first, then drawn into the item's picture column.
void DrawProgramPicture(const DRAWITEMSTRUCT& draw, HMENU menu, const SkinnedItem& item) {
    HWND owner = OwnerOf(menu);
    if (!owner) return;
    MEASUREITEMSTRUCT measure{ODT_MENU, 0, item.id, 0, 0, item.data};
    SendMessageW(owner, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
    const RECT box = MenuPictureBox(draw.rcItem);
    const int width = std::min<int>(static_cast<int>(measure.itemWidth), box.right - box.left);
    const int height = std::min<int>(static_cast<int>(measure.itemHeight), box.bottom - box.top);
    DRAWITEMSTRUCT picture = draw;
    picture.itemID = item.id;
    picture.itemData = item.data;
    picture.rcItem.left = box.left + (box.right - box.left - width) / 2;
    picture.rcItem.top = box.top + (box.bottom - box.top - height) / 2;
    picture.rcItem.right = picture.rcItem.left + width;
    picture.rcItem.bottom = picture.rcItem.top + height;
    const int saved = SaveDC(draw.hDC);
    SendMessageW(owner, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&picture));
    RestoreDC(draw.hDC, saved);
}

// The height of the popup whose item is drawn, for the line between its columns.
int MenuBottom(HDC dc) {
    RECT client{};
    HWND window = WindowFromDC(dc);
    if (!window || !GetClientRect(window, &client)) return 0;
    return client.bottom;
}

LRESULT DrawSkinnedItem(const DRAWITEMSTRUCT& draw, HMENU menu, const SkinnedItem* item) {
    std::wstring text;
    MenuItemLook look = ReadItem(menu, ItemPosition(menu, item), text);
    look.inBar = IsBar(menu);
    look.selected = (draw.itemState & ODS_SELECTED) != 0;
    look.hot = (draw.itemState & ODS_HOTLIGHT) != 0;
    look.checked = (draw.itemState & ODS_CHECKED) != 0;
    look.enabled = (draw.itemState & (ODS_GRAYED | ODS_DISABLED)) == 0;
    look.hidePrefix = (draw.itemState & ODS_NOACCEL) != 0;
    // A bar item's face is a piece of the bar's, so that item and bar meet without a step.
    if (look.inBar && !BarFace(OwnerOf(menu), look.barFace)) look.barFace = draw.rcItem;
    const bool programPicture = !look.inBar && !look.checked && PictureOf(menu, item) == HBMMENU_CALLBACK;
    {
        const ScopedSelectObject font(draw.hDC, MenuFont(look.isDefault));
        DrawMenuItem(draw.hDC, draw.rcItem, look, look.columnBreak ? MenuBottom(draw.hDC) : 0);
    }
    if (programPicture) DrawProgramPicture(draw, menu, *item);
    // The platform draws its own submenu arrow after an owner-drawn item: the skin's is there.
    if (look.submenu && !look.inBar)
        ExcludeClipRect(draw.hDC, draw.rcItem.left, draw.rcItem.top, draw.rcItem.right,
                        draw.rcItem.bottom);
    return TRUE;
}

// The mnemonic of a menu text: the character after a single '&', or 0.
wchar_t Mnemonic(const std::wstring& text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != L'&') continue;
        if (text[i + 1] != L'&') return text[i + 1];
        ++i;
    }
    return 0;
}

// The platform's own matching, for owner-drawn items it no longer matches: one item with the
// key is chosen, several are stepped through from the highlighted one.
LRESULT MatchMnemonic(HMENU menu, wchar_t key) {
    const int count = GetMenuItemCount(menu);
    std::vector<int> matches;
    int highlighted = -1;
    for (int position = 0; position < count; ++position) {
        if (GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION) & MF_HILITE)
            highlighted = position;
        std::wstring text;
        ReadItem(menu, position, text);
        const wchar_t mnemonic = Mnemonic(text);
        if (mnemonic && towupper(mnemonic) == towupper(key)) matches.push_back(position);
    }
    if (matches.empty()) return MAKELRESULT(0, MNC_IGNORE);
    if (matches.size() == 1) return MAKELRESULT(matches.front(), MNC_EXECUTE);
    const auto next = std::upper_bound(matches.begin(), matches.end(), highlighted);
    return MAKELRESULT(next == matches.end() ? matches.front() : *next, MNC_SELECT);
}

}  // namespace

void AttachMenus(HWND window) {
    // A child's "menu" is its identifier. A window without a bar is watched for one put in later.
    if (!ShowsSkinnedMenus(window) || (GetWindowLongW(window, GWL_STYLE) & WS_CHILD)) return;
    if (!FindBar(window)) State().bars.push_back({window, nullptr});
    SyncMenuBar(window);
    if (GetMenu(window)) DrawMenuBar(window);
}

void DetachMenus(HWND window) {
    const auto bar = std::find_if(State().bars.begin(), State().bars.end(),
                                  [&](const MenuBar& entry) { return entry.window == window; });
    const bool hadBar = bar != State().bars.end() && bar->menu;
    if (bar != State().bars.end()) State().bars.erase(bar);
    State().looping.erase(std::remove(State().looping.begin(), State().looping.end(), window),
                        State().looping.end());
    RestoreMenus(window, true);
    // The bar is measured again with the platform's items.
    if (hadBar && IsWindow(window)) DrawMenuBar(window);
    ReleaseWhenIdle();
}

void PaintMenuBarFace(HWND window) {
    const MenuBar* bar = FindBar(window);
    RECT face{};
    if (!bar || !bar->menu || !BarFace(window, face)) return;
    RECT frame{};
    GetWindowRect(window, &frame);
    ScopedWindowDC windowDC(window);
    HDC dc = windowDC.get();
    const int count = GetMenuItemCount(bar->menu);
    for (int position = 0; position < count; ++position) {
        RECT item{};
        if (!GetMenuItemRect(window, bar->menu, static_cast<UINT>(position), &item)) continue;
        OffsetRect(&item, -frame.left, -frame.top);
        ExcludeClipRect(dc, item.left, item.top, item.right, item.bottom);
    }
    DrawMenuBarFace(dc, face);
}

// A popup opened without its owner hearing of it (TrackPopupMenu with TPM_NONOTIFY sends no
// WM_INITMENUPOPUP) is taken over as its window first paints, for its owner (the window the
// platform makes the popup's owner: the top-level one).
void TakeOverUnannouncedPopup(HWND popup) {
    HMENU menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
    HWND owner = GetWindow(popup, GW_OWNER);
    if (!menu || !IsMenu(menu) || FindMenu(menu) || !owner || !ShowsSkinnedMenus(owner)) return;
    ConvertMenu(menu, owner, false);
    if (SkinnedMenu* entry = FindMenu(menu)) entry->shownIn = popup;
}

LRESULT PaintMenuWindow(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    wchar_t className[8] = {};
    GetClassNameW(window, className, 8);
    const bool menuWindow = ShowsSkinnedMenus(window) && wcscmp(className, L"#32768") == 0;
    if (menuWindow) TakeOverUnannouncedPopup(window);
    const LRESULT result = CallPrevious(previous, window, message, wParam, lParam);
    if (!menuWindow) return result;
    RECT frame{};
    GetWindowRect(window, &frame);
    ScopedWindowDC windowDC(window);
    DrawMenuFrame(windowDC.get(), frame.right - frame.left, frame.bottom - frame.top);
    return result;
}

LRESULT HandleNcCalcSizeMenus(WNDPROC previous, HWND window, UINT message, WPARAM wParam,
                              LPARAM lParam) {
    // The bar is measured here: its items must be the skin's by then.
    SyncMenuBar(window);
    return CallPrevious(previous, window, message, wParam, lParam);
}

LRESULT HandleEnterMenuLoop(WNDPROC previous, HWND window, UINT message, WPARAM wParam,
                            LPARAM lParam) {
    if (std::find(State().looping.begin(), State().looping.end(), window) == State().looping.end())
        State().looping.push_back(window);
    return CallPrevious(previous, window, message, wParam, lParam);
}

LRESULT HandleInitMenuPopup(WNDPROC previous, HWND window, UINT message, WPARAM wParam,
                            LPARAM lParam) {
    // The program fills, checks and greys its items first.
    const LRESULT result = CallPrevious(previous, window, message, wParam, lParam);
    HMENU menu = reinterpret_cast<HMENU>(wParam);
    // An accelerator announces its popup too, with no loop to close it again: only a popup
    // that is shown is converted.
    const bool shown =
        std::find(State().looping.begin(), State().looping.end(), window) != State().looping.end();
    if (shown && ShowsSkinnedMenus(window) && IsMenu(menu) && !IsBar(menu))
        ConvertMenu(menu, window, false);
    return result;
}

LRESULT HandleUninitMenuPopup(WNDPROC previous, HWND window, UINT message, WPARAM wParam,
                              LPARAM lParam) {
    const LRESULT result = CallPrevious(previous, window, message, wParam, lParam);
    HMENU menu = reinterpret_cast<HMENU>(wParam);
    if (SkinnedMenu* entry = FindMenu(menu); entry && !entry->bar) {
        RestoreMenu(*entry);
        State().menus.erase(State().menus.begin() + (entry - State().menus.data()));
    }
    return result;
}

LRESULT HandleExitMenuLoop(WNDPROC previous, HWND window, UINT message, WPARAM wParam,
                           LPARAM lParam) {
    // Before the loop's WM_COMMAND is handled the program's menus are its own again.
    State().looping.erase(std::remove(State().looping.begin(), State().looping.end(), window),
                        State().looping.end());
    RestoreMenus(window, false);
    ReleaseWhenIdle();
    return CallPrevious(previous, window, message, wParam, lParam);
}

LRESULT HandleMeasureItem(WNDPROC previous, HWND window, UINT message, WPARAM wParam,
                          LPARAM lParam) {
    auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    HMENU menu = nullptr;
    const SkinnedItem* item = measure && measure->CtlType == ODT_MENU && wParam == 0
                                  ? FindItem(measure->itemData, &menu)
                                  : nullptr;
    if (!item) return CallPrevious(previous, window, message, wParam, lParam);
    return MeasureSkinnedItem(*measure, menu, item);
}

LRESULT HandleDrawItem(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    HMENU menu = nullptr;
    const SkinnedItem* item = draw && draw->CtlType == ODT_MENU && wParam == 0
                                  ? FindItem(draw->itemData, &menu)
                                  : nullptr;
    if (!item) return CallPrevious(previous, window, message, wParam, lParam);
    return DrawSkinnedItem(*draw, menu, item);
}

LRESULT HandleMenuChar(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallPrevious(previous, window, message, wParam, lParam);
    HMENU menu = reinterpret_cast<HMENU>(lParam);
    if (HIWORD(result) != MNC_IGNORE || !FindMenu(menu)) return result;
    return MatchMnemonic(menu, static_cast<wchar_t>(LOWORD(wParam)));
}

}  // namespace skin
