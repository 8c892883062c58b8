// Menus under the menus option: the bar and an open popup in the skin's colours, the keyboard
// giving the same commands as without the skin, and detach giving back every item and pixel.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "dorrik_skin.h"
#include "support/message_pump.h"

namespace {

constexpr UINT kOpenId = 101, kSaveId = 102, kCloseId = 103, kWrapId = 201, kZoomId = 202,
               kLargerId = 211, kOwnItemId = 104;
constexpr ULONG_PTR kSaveData = 0x5A5A, kOwnItemData = 0x7777, kPictureData = 0x7778;
constexpr COLORREF kSkinBorder = 0xD5A554;
constexpr COLORREF kOwnItemColour = 0x00FF00;
constexpr wchar_t kClassName[] = L"DorrikMenuTestWindow";

// What the program saw: its commands, and whether it drew its own item.
struct Seen {
    std::vector<UINT> commands;
    bool drewOwnItem = false;
    std::function<void(HWND popup)> whileOpen;  // runs once the menu waits for input
};
Seen seen;

LRESULT CALLBACK MenuTestProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        seen.commands.push_back(LOWORD(wParam));
        return 0;
    case WM_ENTERIDLE:
        if (wParam == MSGF_MENU && seen.whileOpen) {
            auto run = std::move(seen.whileOpen);
            seen.whileOpen = nullptr;
            run(reinterpret_cast<HWND>(lParam));
        }
        return 0;
    case WM_MEASUREITEM: {
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (measure->CtlType != ODT_MENU) break;
        if (measure->itemData == kPictureData) {  // a picture the program draws on request
            measure->itemWidth = measure->itemHeight = 10;
            return TRUE;
        }
        if (measure->itemData != kOwnItemData) break;
        measure->itemWidth = 80;
        measure->itemHeight = 18;
        return TRUE;
    }
    case WM_DRAWITEM: {
        const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (draw->CtlType != ODT_MENU || (draw->itemData != kOwnItemData && draw->itemData != kPictureData))
            break;
        HBRUSH brush = CreateSolidBrush(kOwnItemColour);
        FillRect(draw->hDC, &draw->rcItem, brush);
        DeleteObject(brush);
        if (draw->itemData == kOwnItemData) seen.drewOwnItem = true;
        return TRUE;
    }
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A bar of two popups with what menus hold: shortcuts, a check mark, an option dot, a separator,
// a grey item, a submenu, item data, a bitmap beside a text and an item the program draws.
HMENU MakeMenuBar(HBITMAP bitmap) {
    HMENU zoom = CreatePopupMenu();
    AppendMenuW(zoom, MF_STRING, kLargerId, L"&Larger");
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, kOpenId, L"&Open\tCtrl+O");
    AppendMenuW(file, MF_STRING | MF_CHECKED, kSaveId, L"&Save\tCtrl+S");
    MENUITEMINFOW data{};
    data.cbSize = sizeof(data);
    data.fMask = MIIM_DATA;
    data.dwItemData = kSaveData;
    SetMenuItemInfoW(file, kSaveId, FALSE, &data);
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_OWNERDRAW, kOwnItemId, reinterpret_cast<LPCWSTR>(kOwnItemData));
    AppendMenuW(file, MF_STRING | MF_GRAYED, kCloseId, L"&Close");
    HMENU view = CreatePopupMenu();
    AppendMenuW(view, MF_STRING, kWrapId, L"&Wrap");
    AppendMenuW(view, MF_STRING, kZoomId, L"&Zoom");
    CheckMenuRadioItem(view, kWrapId, kZoomId, kWrapId, MF_BYCOMMAND);
    MENUITEMINFOW picture{};
    picture.cbSize = sizeof(picture);
    picture.fMask = MIIM_BITMAP;
    picture.hbmpItem = bitmap;
    SetMenuItemInfoW(view, kZoomId, FALSE, &picture);
    AppendMenuW(view, MF_POPUP, reinterpret_cast<UINT_PTR>(zoom), L"&Size");
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(view), L"&View");
    return bar;
}

// Everything an item holds, as text, for the menu and its submenus.
std::string DescribeMenu(HMENU menu, const std::string& path = "") {
    std::string out;
    MENUINFO menuInfo{};
    menuInfo.cbSize = sizeof(menuInfo);
    menuInfo.fMask = MIM_BACKGROUND;
    GetMenuInfo(menu, &menuInfo);
    out += path + " background " + std::to_string(reinterpret_cast<ULONG_PTR>(menuInfo.hbrBack)) + "\n";
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[64] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_CHECKMARKS |
                     MIIM_DATA | MIIM_STRING | MIIM_BITMAP;
        info.dwTypeData = text;
        info.cch = 63;
        GetMenuItemInfoW(menu, i, TRUE, &info);
        char line[256];
        snprintf(line, sizeof(line), "%s/%d type %x state %x id %u data %llx bitmap %llx checks %llx %llx text ",
                 path.c_str(), i, info.fType, info.fState, info.wID,
                 static_cast<unsigned long long>(info.dwItemData),
                 static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(info.hbmpItem)),
                 static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(info.hbmpChecked)),
                 static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(info.hbmpUnchecked)));
        out += line;
        for (const wchar_t* c = text; *c; ++c) out += static_cast<char>(*c < 128 ? *c : '?');
        out += "\n";
        if (info.hSubMenu) out += DescribeMenu(info.hSubMenu, path + "/" + std::to_string(i));
    }
    return out;
}

// The pixels of a rectangle of the window (whole-window coordinates), as on screen.
std::vector<COLORREF> ReadPixels(HWND window, RECT area) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    HDC windowDC = GetWindowDC(window);
    BitBlt(memory, 0, 0, width, height, windowDC, area.left, area.top, SRCCOPY);
    ReleaseDC(window, windowDC);
    GdiFlush();
    std::vector<COLORREF> pixels(static_cast<size_t>(width) * height);
    const auto* source = static_cast<const DWORD*>(bits);
    for (size_t i = 0; i < pixels.size(); ++i) {
        const DWORD p = source[i];  // 0x00RRGGBB
        pixels[i] = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return pixels;
}

// The whole bar in whole-window coordinates: one menu row ending where the client area begins
// (Wine reports the bar one pixel low).
RECT MenuBarArea(HWND window) {
    MENUBARINFO bar{};
    bar.cbSize = sizeof(bar);
    GetMenuBarInfo(window, OBJID_MENU, 0, &bar);
    RECT frame{};
    GetWindowRect(window, &frame);
    POINT client{0, 0};
    ClientToScreen(window, &client);
    return {bar.rcBar.left - frame.left, client.y - frame.top - GetSystemMetrics(SM_CYMENU),
            bar.rcBar.right - frame.left, client.y - frame.top};
}

// How many pixels show one of the platform's menu colours.
int PlatformMenuPixels(const std::vector<COLORREF>& pixels) {
    const COLORREF platform[] = {GetSysColor(COLOR_MENU), GetSysColor(COLOR_MENUBAR),
                                 GetSysColor(COLOR_HIGHLIGHT)};
    int count = 0;
    for (COLORREF pixel : pixels) {
        for (COLORREF colour : platform) count += pixel == colour;
    }
    return count;
}

bool WaitFor(const std::function<bool()>& condition) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 10000) {
        testing_support::PumpMessages();
        if (condition()) return true;
        Sleep(20);
    }
    return false;
}

// The check to run on the first popup menu window that shows, from a timer inside the menu's
// loop (whatever window owns the menu), which then closes the menu. Gives up after 10 s.
struct OpenPopupCheck {
    std::function<void(HWND popup)> check;
    DWORD start = 0;
    bool ran = false;
};
OpenPopupCheck openPopupCheck;

void CALLBACK CheckOpenPopup(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND popup = FindWindowW(L"#32768", nullptr);
    const bool shown = popup && IsWindowVisible(popup);
    if (!shown && GetTickCount() - openPopupCheck.start < 10000) return;
    KillTimer(nullptr, timer);
    if (shown) {
        UpdateWindow(popup);
        openPopupCheck.check(popup);
        openPopupCheck.ran = true;
    }
    EndMenu();
}

// Runs the check while the menu that `open` shows waits for input; true when it ran.
bool WhilePopupOpen(const std::function<void()>& open, std::function<void(HWND popup)> check) {
    openPopupCheck = {std::move(check), GetTickCount(), false};
    SetTimer(nullptr, 0, 30, CheckOpenPopup);
    open();
    testing_support::PumpMessages();
    return openPopupCheck.ran;
}

// The whole popup window's pixels.
std::vector<COLORREF> PopupPixels(HWND popup) {
    RECT box{};
    GetWindowRect(popup, &box);
    return ReadPixels(popup, {0, 0, box.right - box.left, box.bottom - box.top});
}

class MenusTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = MenuTestProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        windowClass.lpszClassName = kClassName;
        RegisterClassW(&windowClass);
        bitmap_ = CreateBitmap(12, 12, 1, 32, nullptr);
        window_ = CreateWindowExW(0, kClassName, L"Menus", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60,
                                  420, 260, nullptr, MakeMenuBar(bitmap_), GetModuleHandleW(nullptr),
                                  nullptr);
        ACCEL keys[] = {{FCONTROL | FVIRTKEY, 'O', static_cast<WORD>(kOpenId)},
                        {FCONTROL | FVIRTKEY, 'S', static_cast<WORD>(kSaveId)}};
        accelerators_ = CreateAcceleratorTableW(keys, 2);
    }
    static void TearDownTestSuite() {
        DestroyWindow(window_);
        DestroyAcceleratorTable(accelerators_);
        DeleteObject(bitmap_);
        UnregisterClassW(kClassName, GetModuleHandleW(nullptr));
    }
    void SetUp() override {
        seen = Seen{};
        SetForegroundWindow(window_);
        SetActiveWindow(window_);
        SetFocus(window_);
        testing_support::PumpMessages();
    }
    void TearDown() override { DetachSkin(window_); }

    static void Attach() {
        ASSERT_EQ(1, AttachSkinEx(window_, DORRIK_SKIN_MENUS));
        testing_support::PumpMessages();
    }

    struct Key {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };

    // Posted messages, handled as a program's loop handles them, accelerators included.
    static void Play(const std::vector<Key>& input) {
        for (const Key& key : input) PostMessageW(window_, key.message, key.wParam, key.lParam);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (TranslateAcceleratorW(window_, accelerators_, &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

    // Alt and a mnemonic, an accelerator, the arrow keys and Enter, and Alt with Esc.
    static std::vector<UINT> KeyboardRun() {
        seen.commands.clear();
        constexpr LPARAM kAltDown = 1 << 29;
        const Key alt[] = {{WM_SYSKEYDOWN, VK_MENU, kAltDown},
                           {WM_SYSKEYUP, VK_MENU, static_cast<LPARAM>(0xC0000001)}};
        Play({alt[0], alt[1], {WM_CHAR, 'f', 1}, {WM_CHAR, 'o', 1}});
        BYTE keys[256] = {}, ctrl[256] = {};
        GetKeyboardState(keys);
        memcpy(ctrl, keys, sizeof(ctrl));
        ctrl[VK_CONTROL] = 0x80;
        SetKeyboardState(ctrl);
        Play({{WM_KEYDOWN, 'S', 1}});
        SetKeyboardState(keys);
        Play({alt[0], alt[1], {WM_KEYDOWN, VK_RIGHT, 1}, {WM_KEYDOWN, VK_DOWN, 1},
              {WM_KEYDOWN, VK_DOWN, 1}, {WM_KEYDOWN, VK_RETURN, 1}});
        Play({alt[0], alt[1], {WM_CHAR, 'v', 1}, {WM_KEYDOWN, VK_ESCAPE, 1},
              {WM_KEYDOWN, VK_ESCAPE, 1}});
        testing_support::PumpMessages();
        return seen.commands;
    }

    // Opens the File menu from the keyboard and runs the check while it waits for input.
    static void WithFileMenuOpen(std::function<void(HWND popup)> check) {
        bool ran = false;
        seen.whileOpen = [&](HWND popup) {
            check(popup);
            ran = true;
            EndMenu();
        };
        PostMessageW(window_, WM_SYSCOMMAND, SC_KEYMENU, 'f');
        testing_support::PumpMessages();
        EXPECT_TRUE(ran) << "the File menu never waited for input";
        seen.whileOpen = nullptr;
    }

    static HWND window_;
    static HACCEL accelerators_;
    static HBITMAP bitmap_;
};

HWND MenusTest::window_ = nullptr;
HACCEL MenusTest::accelerators_ = nullptr;
HBITMAP MenusTest::bitmap_ = nullptr;

TEST_F(MenusTest, BarAndOpenPopupShowTheSkinsColoursAndNoneOfThePlatforms) {
    Attach();
    const RECT bar = MenuBarArea(window_);
    ASSERT_GT(bar.right - bar.left, 0);
    EXPECT_TRUE(WaitFor([&] { return PlatformMenuPixels(ReadPixels(window_, bar)) == 0; }))
        << "the menu bar still shows the platform's menu colours";

    WithFileMenuOpen([&](HWND popup) {
        ASSERT_TRUE(popup);
        UpdateWindow(popup);
        RECT box{};
        GetWindowRect(popup, &box);
        const RECT whole{0, 0, box.right - box.left, box.bottom - box.top};
        const std::vector<COLORREF> pixels = ReadPixels(popup, whole);
        EXPECT_EQ(0, PlatformMenuPixels(pixels)) << "the open popup shows the platform's menu colours";
        EXPECT_EQ(kSkinBorder, pixels.front()) << "the popup's frame is not the skin's border";
        // The program's own item keeps its type, its data and its drawing.
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_DATA;
        GetMenuItemInfoW(GetSubMenu(GetMenu(window_), 0), kOwnItemId, FALSE, &info);
        EXPECT_EQ(static_cast<UINT>(MFT_OWNERDRAW), info.fType);
        EXPECT_EQ(kOwnItemData, info.dwItemData);
        EXPECT_TRUE(seen.drewOwnItem) << "the program's owner-drawn item was not drawn by the program";
    });
}

TEST_F(MenusTest, KeyboardGivesTheSameCommandsWithAndWithoutTheSkin) {
    const std::vector<UINT> plain = KeyboardRun();
    // Open by its mnemonic, Save by its accelerator, Zoom by the arrow keys; Esc gives nothing.
    const std::vector<UINT> expected = {kOpenId, kSaveId, kZoomId};
    ASSERT_EQ(expected, plain) << "the platform's own menus under these keys";
    Attach();
    EXPECT_EQ(plain, KeyboardRun());
}

TEST_F(MenusTest, DetachGivesBackEveryItemAndThePixels) {
    HMENU bar = GetMenu(window_);
    const std::string before = DescribeMenu(bar);
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    testing_support::PumpMessages();
    const RECT barArea = MenuBarArea(window_);
    const std::vector<COLORREF> platformPixels = ReadPixels(window_, barArea);

    Attach();
    EXPECT_NE(before, DescribeMenu(bar)) << "the bar's items were not taken over";
    // Another bar put in is taken over and the one it replaced given back, and the other way.
    HMENU other = MakeMenuBar(bitmap_);
    const std::string otherBefore = DescribeMenu(other);
    SetMenu(window_, other);
    EXPECT_EQ(before, DescribeMenu(bar)) << "a bar replaced by SetMenu stays taken over";
    EXPECT_NE(otherBefore, DescribeMenu(other)) << "a bar put in by SetMenu was not taken over";
    SetMenu(window_, bar);
    EXPECT_EQ(otherBefore, DescribeMenu(other));
    EXPECT_NE(before, DescribeMenu(bar));
    DestroyMenu(other);
    WithFileMenuOpen([](HWND) {});
    // An accelerator announces its popup without opening it: nothing is taken over for it.
    BYTE keys[256] = {}, ctrl[256] = {};
    GetKeyboardState(keys);
    memcpy(ctrl, keys, sizeof(ctrl));
    ctrl[VK_CONTROL] = 0x80;
    SetKeyboardState(ctrl);
    Play({{WM_KEYDOWN, 'O', 1}});
    SetKeyboardState(keys);
    EXPECT_NE(std::string::npos, before.find(DescribeMenu(GetSubMenu(bar, 0), "/0")))
        << "a popup stays taken over after it closed:\n" << DescribeMenu(GetSubMenu(bar, 0), "/0");

    // The program puts data of its own into an item while the skin has it: after the skin, the
    // item holds that data and is not owner-drawn, so the program is never asked to draw it.
    MENUITEMINFOW data{};
    data.cbSize = sizeof(data);
    data.fMask = MIIM_DATA;
    data.dwItemData = 0x5EED;
    ASSERT_TRUE(SetMenuItemInfoW(bar, 1, TRUE, &data));

    ASSERT_EQ(1, DetachSkin(window_));
    MENUITEMINFOW after{};
    after.cbSize = sizeof(after);
    after.fMask = MIIM_FTYPE | MIIM_DATA;
    ASSERT_TRUE(GetMenuItemInfoW(bar, 1, TRUE, &after));
    EXPECT_EQ(0x5EEDu, after.dwItemData);
    EXPECT_EQ(0u, after.fType & MFT_OWNERDRAW) << "an item the program gave new data stays owner-drawn";
    after.fMask = MIIM_DATA;
    after.dwItemData = 0;
    SetMenuItemInfoW(bar, 1, TRUE, &after);
    EXPECT_EQ(before, DescribeMenu(bar));
    EXPECT_TRUE(WaitFor([&] { return ReadPixels(window_, barArea) == platformPixels; }))
        << "the menu bar's pixels are not the platform's again";
}

// The bar's items where the platform puts them (a press lands on the item it always did), and
// the bar's face without a seam after the last item.
TEST_F(MenusTest, BarItemsKeepThePlatformsPlacesAndTheFaceHasNoSeam) {
    HMENU bar = GetMenu(window_);
    auto itemRects = [&] {
        std::vector<RECT> rects;
        for (int i = 0; i < GetMenuItemCount(bar); ++i) {
            RECT rect{};
            GetMenuItemRect(window_, bar, i, &rect);
            rects.push_back(rect);
        }
        return rects;
    };
    auto describe = [](const std::vector<RECT>& rects) {
        std::string out;
        for (const RECT& r : rects)
            out += std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) +
                   "," + std::to_string(r.bottom) + " ";
        return out;
    };
    const std::vector<RECT> plain = itemRects();
    Attach();
    EXPECT_EQ(describe(plain), describe(itemRects()));

    RECT frame{};
    GetWindowRect(window_, &frame);
    const RECT area = MenuBarArea(window_);
    const int seam = plain.back().right - frame.left;
    ASSERT_LT(seam + 8, area.right);
    EXPECT_TRUE(WaitFor([&] { return PlatformMenuPixels(ReadPixels(window_, area)) == 0; }))
        << "the bar shows the platform's menu colours";
    // From the last item's own margin on, each row of the bar is one colour.
    const std::vector<COLORREF> pixels = ReadPixels(window_, area);
    const int width = area.right - area.left;
    for (int y = 0; y < area.bottom - area.top; ++y) {
        const COLORREF face = pixels[y * width + seam - area.left + 8];
        for (int x = seam - area.left - 2; x < seam - area.left + 8; ++x)
            EXPECT_EQ(face, pixels[y * width + x]) << "the bar's face has a seam at " << x << "," << y;
    }
}

// Columns of a popup item's rectangle (popup window coordinates) that hold dark pixels: the ink of
// its text and symbols on the skin's pale rows.
std::vector<int> InkColumns(HWND popup, const RECT& item, int from, int to) {
    RECT box{};
    GetWindowRect(popup, &box);
    const std::vector<COLORREF> pixels = PopupPixels(popup);
    const int width = box.right - box.left;
    std::vector<int> columns;
    for (int x = item.left + from; x < std::min<int>(item.left + to, item.right); ++x) {
        for (int y = item.top; y < item.bottom; ++y) {
            const COLORREF p = pixels[y * width + x];
            if (GetRValue(p) + GetGValue(p) + GetBValue(p) < 3 * 0x80) {
                columns.push_back(x - item.left);
                break;
            }
        }
    }
    return columns;
}

// The item's rectangle in the popup window's coordinates.
RECT PopupItemRect(HWND popup, HMENU menu, int position) {
    RECT item{}, box{};
    GetMenuItemRect(popup, menu, position, &item);
    GetWindowRect(popup, &box);
    OffsetRect(&item, -box.left, -box.top);
    return item;
}

int PositionOf(HMENU menu, UINT id) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (GetMenuItemID(menu, i) == id) return i;
    }
    return -1;
}

// The system menu keeps its symbols (minimise, close) beside the text, and its default item
// (Close) is bold.
TEST_F(MenusTest, SystemMenuKeepsItsSymbolsAndItsBoldDefaultItem) {
    Attach();
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    auto labelWidth = [&](LONG weight) {
        LOGFONTW face = metrics.lfMenuFont;
        face.lfWeight = weight;
        HFONT font = CreateFontIndirectW(&face);
        HDC screen = GetDC(nullptr);
        HGDIOBJ old = SelectObject(screen, font);
        SIZE size{};
        GetTextExtentPoint32W(screen, L"Close", 5, &size);
        SelectObject(screen, old);
        ReleaseDC(nullptr, screen);
        DeleteObject(font);
        return static_cast<int>(size.cx);
    };
    const int regular = labelWidth(metrics.lfMenuFont.lfWeight);
    ASSERT_LT(regular + 1, labelWidth(metrics.lfMenuFont.lfWeight + 300));
    const bool ran = WhilePopupOpen(
        [&] { PostMessageW(window_, WM_SYSCOMMAND, SC_KEYMENU, ' '); testing_support::PumpMessages(); },
        [&](HWND popup) {
            HMENU menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
            const int close = PositionOf(menu, SC_CLOSE), minimise = PositionOf(menu, SC_MINIMIZE);
            ASSERT_GE(close, 0);
            ASSERT_GE(minimise, 0);
            const RECT closeItem = PopupItemRect(popup, menu, close);
            // Left of the text: the symbol.
            EXPECT_FALSE(InkColumns(popup, closeItem, 0, 18).empty()) << "Close lost its symbol";
            EXPECT_FALSE(InkColumns(popup, PopupItemRect(popup, menu, minimise), 0, 18).empty())
                << "Minimize lost its symbol";
            // The label's ink, well short of the shortcut, spans more than the regular text does.
            const std::vector<int> label = InkColumns(popup, closeItem, 19, 19 + regular + 12);
            ASSERT_FALSE(label.empty());
            EXPECT_GT(label.back() - label.front() + 1, regular) << "Close, the default item, is not bold";
        });
    EXPECT_TRUE(ran) << "the system menu never showed";
}

// A popup of two columns keeps the line between them, and a picture the program draws on request
// is drawn by the program beside the skin's item.
TEST_F(MenusTest, TwoColumnPopupKeepsItsLineAndTheProgramsPicture) {
    Attach();
    HMENU popup = CreatePopupMenu();
    AppendMenuW(popup, MF_STRING, kOpenId, L"&Open");
    AppendMenuW(popup, MF_STRING, kSaveId, L"&Save");
    AppendMenuW(popup, MF_STRING | MF_MENUBARBREAK, kCloseId, L"&Close");
    MENUITEMINFOW picture{};
    picture.cbSize = sizeof(picture);
    picture.fMask = MIIM_BITMAP | MIIM_DATA;
    picture.hbmpItem = HBMMENU_CALLBACK;
    picture.dwItemData = kPictureData;
    SetMenuItemInfoW(popup, kSaveId, FALSE, &picture);
    RECT place{};
    GetWindowRect(window_, &place);
    const bool ran = WhilePopupOpen(
        [&] { TrackPopupMenu(popup, TPM_RETURNCMD, place.left + 40, place.top + 80, 0, window_, nullptr); },
        [&](HWND window) {
            const std::vector<COLORREF> pixels = PopupPixels(window);
            EXPECT_EQ(0, PlatformMenuPixels(pixels)) << "the popup shows the platform's colours";
            EXPECT_NE(pixels.end(), std::find(pixels.begin(), pixels.end(), kOwnItemColour))
                << "the program's picture was not drawn";
            RECT box{};
            GetWindowRect(window, &box);
            const int width = box.right - box.left;
            const RECT second = PopupItemRect(window, popup, 2), first = PopupItemRect(window, popup, 0);
            ASSERT_GT(second.left, first.right);
            // Somewhere in the gap between the columns, a line as tall as the first column's items.
            bool line = false;
            for (int x = first.right; x < second.left && !line; ++x) {
                const COLORREF top = pixels[first.top * width + x];
                line = top != pixels[first.top * width + first.right - 1];
                for (int y = first.top; y < first.bottom && line; ++y) line = pixels[y * width + x] == top;
            }
            EXPECT_TRUE(line) << "no line between the columns";
        });
    EXPECT_TRUE(ran) << "the popup never showed";
    DestroyMenu(popup);
}

// A program's context menu, opened with TrackPopupMenu without notifications (no WM_INITMENUPOPUP
// reaches the owner) from a window under the skin: a list view, the pane of the program's own
// class that holds it (made after the attach), or the form.
TEST_F(MenusTest, ContextMenusOfSkinnedWindowsShowTheSkinsColours) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    ASSERT_EQ(1, AttachSkinEx(window_, DORRIK_SKIN_ALL));
    HWND pane = CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 10, 10,
                                200, 100, window_, nullptr, GetModuleHandleW(nullptr), nullptr);
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 200,
                                100, pane, nullptr, GetModuleHandleW(nullptr), nullptr);
    testing_support::PumpMessages();
    HMENU context = CreatePopupMenu();
    AppendMenuW(context, MF_STRING, kOpenId, L"&Open");
    AppendMenuW(context, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(context, MF_STRING, kCloseId, L"&Delete\tDel");
    const std::string before = DescribeMenu(context);
    for (HWND owner : {list, pane, window_}) {
        SCOPED_TRACE(owner == list ? "list view" : owner == pane ? "program's child" : "form");
        RECT place{};
        GetWindowRect(owner, &place);
        const bool ran = WhilePopupOpen(
            [&] { TrackPopupMenu(context, TPM_RETURNCMD | TPM_NONOTIFY, place.left + 20, place.top + 20, 0, owner, nullptr); },
            [&](HWND popup) {
                const std::vector<COLORREF> pixels = PopupPixels(popup);
                EXPECT_EQ(0, PlatformMenuPixels(pixels)) << "the context menu shows the platform's colours";
                EXPECT_EQ(kSkinBorder, pixels.front()) << "the context menu's frame is not the skin's border";
            });
        EXPECT_TRUE(ran) << "the context menu never showed";
        EXPECT_EQ(before, DescribeMenu(context)) << "the context menu's items stay taken over";
    }
    DestroyMenu(context);
    DestroyWindow(pane);
}

}  // namespace
