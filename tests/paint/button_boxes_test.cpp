// The platform's check boxes, option buttons and group boxes ("Button" windows) under
// AttachSkinEx with the buttons option: painted whole in the skin's look, in every state, and
// given back as they were.
#include <gtest/gtest.h>
#include <windows.h>

#include <uxtheme.h>
#include <vssym32.h>

#include <string>
#include <vector>

#include "core/props.h"
#include "dorrik_skin.h"
#include "paint/paint_fixture.h"
#include "support/test_windows.h"

using paint_tests::Prop;
using paint_tests::RepaintClient;
using paint_tests::SkinnedForm;
using testing_support::PumpMessages;
using testing_support::WindowPixel;

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kFrame = 0xD5A554, kPressedFrame = 0xC48639, kDisabledFrame = 0xE9CFA4;
constexpr COLORREF kDisabledCaption = 0x968A79;
constexpr COLORREF kHotInside = 0xFAEECF, kPressedInside = 0xF8E7BC;
// Check mark rows 0 and 3, the indeterminate square's first row, the disabled mark's row 0.
constexpr COLORREF kMarkRow0 = 0x1DB754, kMarkRow3 = 0x13A948, kSquareFirstRow = 0x1BB451;
constexpr COLORREF kDisabledMarkRow0 = 0x8CDAA8;
// Option box: row 6 of the normal ring; the dot's first row.
constexpr COLORREF kOptionEdge = 0xD2A683, kDotA = 0x60CC87, kDotB = 0x28BA5C;
// Push button faces: the side columns, and the centre of row 3 in the normal and pressed face.
constexpr COLORREF kFaceSide = 0xD58F1B, kNormalCentre = 0xFCF8F1, kPressedCentre = 0xF3D49F;

// A 13 x 13 box in a 17-high window starts at row 2.
constexpr int kBoxTop = 2;

// Every pixel of the window, row by row, as the screen shows it.
std::vector<COLORREF> Capture(HWND window) {
    RECT bounds{};
    GetWindowRect(window, &bounds);
    const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
    HDC screen = GetWindowDC(window);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels.push_back(GetPixel(memory, x, y));
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    return pixels;
}

bool Contains(const std::vector<COLORREF>& pixels, COLORREF colour) {
    for (COLORREF pixel : pixels)
        if (pixel == colour) return true;
    return false;
}

// The pixels of columns [left, right) of every row.
std::vector<COLORREF> Columns(HWND window, int left, int right) {
    RECT bounds{};
    GetWindowRect(window, &bounds);
    const int width = bounds.right - bounds.left;
    const std::vector<COLORREF> all = Capture(window);
    std::vector<COLORREF> part;
    for (size_t i = 0; i < all.size(); ++i) {
        const int x = static_cast<int>(i % width);
        if (x >= left && x < right) part.push_back(all[i]);
    }
    return part;
}

class ButtonBoxes : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(13, GetSystemMetrics(SM_CXMENUCHECK));
        ASSERT_EQ(13, GetSystemMetrics(SM_CYMENUCHECK));
    }
    void TearDown() override {
        if (attached_) DetachSkin(form_.form());
        PumpMessages();
    }
    HWND AddButton(const wchar_t* text, DWORD style, int x, int y, int width = 120,
                   int height = 17) {
        return form_.AddWindow(L"Button", text, x, y, width, height, style);
    }
    void AttachEx(DWORD options = DORRIK_SKIN_BUTTONS) {
        PumpMessages();
        ASSERT_EQ(1, AttachSkinEx(form_.form(), options));
        attached_ = true;
        PumpMessages();
    }
    static COLORREF Box(HWND window, int x, int y) { return WindowPixel(window, x, kBoxTop + y); }
    static COLORREF Background() { return GetSysColor(COLOR_BTNFACE); }

    SkinnedForm form_;
    bool attached_ = false;
};

}  // namespace

TEST_F(ButtonBoxes, CheckBoxIsDrawnWholeInEveryStateAndFollowsItsCheckState) {
    HWND box = AddButton(L"Check", BS_AUTO3STATE, 20, 20);
    AttachEx();
    ASSERT_EQ(skin::ControlKind::ButtonCheckBox, skin::AttachedKind(box));
    // A button check box is not made owner-drawn and gets no region.
    EXPECT_EQ(BS_AUTO3STATE, GetWindowLongW(box, GWL_STYLE) & BS_TYPEMASK);
    EXPECT_EQ(0, testing_support::RegionBox(box).right);

    RepaintClient(box);
    for (int i = 0; i < 13; ++i) {
        EXPECT_EQ(kFrame, Box(box, 0, i)) << i;
        EXPECT_EQ(kFrame, Box(box, 12, i)) << i;
        EXPECT_EQ(kFrame, Box(box, i, 0)) << i;
        EXPECT_EQ(kFrame, Box(box, i, 12)) << i;
    }
    EXPECT_EQ(kWhite, Box(box, 6, 6));
    EXPECT_EQ(Background(), WindowPixel(box, 6, 0));
    EXPECT_EQ(Background(), WindowPixel(box, 13, 8));
    EXPECT_EQ(Background(), WindowPixel(box, 119, 8));
    // The caption beside the box, in the text colour the parent gives.
    EXPECT_TRUE(Contains(Columns(box, 14, 119), GetSysColor(COLOR_WINDOWTEXT)));

    // The control draws itself when its check state changes; the skin's box is what remains.
    SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(kMarkRow0, Box(box, 10, 2));
    EXPECT_EQ(kMarkRow3, Box(box, 2, 5));
    EXPECT_EQ(kWhite, Box(box, 2, 2));
    SendMessageW(box, BM_SETCHECK, BST_INDETERMINATE, 0);
    EXPECT_EQ(kSquareFirstRow, Box(box, 3, 3));
    EXPECT_EQ(kWhite, Box(box, 2, 3));
    SendMessageW(box, BM_SETCHECK, BST_UNCHECKED, 0);
    EXPECT_EQ(kWhite, Box(box, 3, 3));

    // Hot and pressed: the check box's tints and pressed frame, kept by a repaint.
    skin::SetSkinProp(box, skin::kPropOldState, skin::Hot);
    RepaintClient(box);
    EXPECT_EQ(kFrame, Box(box, 0, 6));
    EXPECT_EQ(kHotInside, Box(box, 6, 6));
    skin::SetSkinProp(box, skin::kPropOldState, skin::Pressed);
    RepaintClient(box);
    EXPECT_EQ(kPressedFrame, Box(box, 0, 6));
    EXPECT_EQ(kPressedInside, Box(box, 6, 6));
    skin::SetSkinProp(box, skin::kPropOldState, skin::Normal);

    // Disabled: the pale frame and mark, the caption in the skin's disabled colour.
    SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0);
    EnableWindow(box, FALSE);
    EXPECT_EQ(kDisabledFrame, Box(box, 0, 6));
    EXPECT_EQ(kWhite, Box(box, 6, 11));
    EXPECT_EQ(kDisabledMarkRow0, Box(box, 10, 2));
    const std::vector<COLORREF> caption = Columns(box, 14, 119);
    EXPECT_TRUE(Contains(caption, kDisabledCaption));
    EXPECT_FALSE(Contains(caption, GetSysColor(COLOR_WINDOWTEXT)));
}

TEST_F(ButtonBoxes, FocusFrameGoesRoundTheCaptionAndTheBoxMovesRightForARightButton) {
    HWND left = AddButton(L"Left", BS_AUTOCHECKBOX, 20, 20);
    HWND right = AddButton(L"Right", BS_AUTOCHECKBOX | BS_RIGHTBUTTON, 20, 50);
    AttachEx();

    RepaintClient(right);
    EXPECT_EQ(kFrame, Box(right, 107, 6));
    EXPECT_EQ(kFrame, Box(right, 119, 6));
    EXPECT_EQ(kWhite, Box(right, 113, 6));
    EXPECT_EQ(Background(), Box(right, 0, 6));
    EXPECT_EQ(Background(), Box(right, 106, 6));

    // The focus frame: drawn around the caption only, never over the box.
    RepaintClient(left);
    const std::vector<COLORREF> before = Capture(left);
    SetFocus(left);
    PumpMessages();
    const std::vector<COLORREF> focused = Capture(left);
    int changed = 0;
    for (size_t i = 0; i < before.size(); ++i) {
        if (before[i] == focused[i]) continue;
        ++changed;
        EXPECT_GE(static_cast<int>(i % 120), 13) << "changed inside the box at " << i;
    }
    EXPECT_GT(changed, 0) << "no focus frame";
    SetFocus(form_.form());
    PumpMessages();
    EXPECT_EQ(before, Capture(left)) << "the focus frame stays after the focus left";
}

TEST_F(ButtonBoxes, OptionButtonsGetTheRoundBoxAndTheDotOfTheirGroup) {
    HWND first = AddButton(L"One", BS_AUTORADIOBUTTON | WS_GROUP, 20, 20);
    HWND second = AddButton(L"Two", BS_AUTORADIOBUTTON, 20, 40);
    AttachEx();
    ASSERT_EQ(skin::ControlKind::ButtonOption, skin::AttachedKind(first));

    SendMessageW(first, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(kOptionEdge, Box(first, 0, 6));
    EXPECT_EQ(kOptionEdge, Box(first, 12, 6));
    // The round box's corners show the background.
    EXPECT_EQ(Background(), Box(first, 0, 0));
    EXPECT_EQ(kDotA, WindowPixel(first, 5, 6));
    EXPECT_EQ(kDotB, WindowPixel(first, 6, 6));

    // A click on the second moves the dot: both are drawn anew by the control's own change.
    SendMessageW(second, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(second, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ASSERT_EQ(BST_CHECKED, SendMessageW(second, BM_GETCHECK, 0, 0));
    EXPECT_EQ(kDotA, WindowPixel(second, 5, 6));
    EXPECT_EQ(kWhite, WindowPixel(first, 6, 6));
}

TEST_F(ButtonBoxes, PushLikeBoxIsAPushButtonFacePressedWhileChecked) {
    HWND box = AddButton(L"Push", BS_AUTOCHECKBOX | BS_PUSHLIKE, 20, 20, 80, 25);
    AttachEx();
    RepaintClient(box);
    EXPECT_EQ(kFaceSide, WindowPixel(box, 0, 12));
    EXPECT_EQ(kFaceSide, WindowPixel(box, 79, 12));
    EXPECT_EQ(kNormalCentre, WindowPixel(box, 40, 3));
    SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(kPressedCentre, WindowPixel(box, 40, 3));
}

TEST_F(ButtonBoxes, GroupBoxHasAOnePixelFrameWithItsCaptionOnTheTopLine) {
    HWND group = AddButton(L"Group", BS_GROUPBOX, 20, 20, 150, 80);
    AttachEx();
    ASSERT_EQ(skin::ControlKind::GroupBox, skin::AttachedKind(group));

    // The frame's top runs through the middle of the caption's line.
    HDC dc = GetDC(group);
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(group, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    ReleaseDC(group, dc);
    const int top = metrics.tmHeight / 2 - 1;

    // Disabling makes the control draw its own etched frame; the skin's replaces it.
    for (const bool enabled : {true, false}) {
        EnableWindow(group, enabled);
        if (enabled) RepaintClient(group);
        const COLORREF frame = enabled ? kFrame : kDisabledFrame;
        for (const int y : {top + 5, 40, 78}) {
            EXPECT_EQ(frame, WindowPixel(group, 0, y)) << y;
            EXPECT_EQ(Background(), WindowPixel(group, 1, y)) << y;
            EXPECT_EQ(frame, WindowPixel(group, 149, y)) << y;
            EXPECT_EQ(Background(), WindowPixel(group, 148, y)) << y;
        }
        for (const int x : {1, 75, 148}) {
            EXPECT_EQ(frame, WindowPixel(group, x, 79)) << x;
            EXPECT_EQ(Background(), WindowPixel(group, x, 78)) << x;
        }
        // Left of the caption the top line; the caption's own place, from column 7, is clear.
        EXPECT_EQ(frame, WindowPixel(group, 4, top));
        EXPECT_EQ(Background(), WindowPixel(group, 4, top + 1));
        EXPECT_EQ(Background(), WindowPixel(group, 7, top));
        EXPECT_EQ(frame, WindowPixel(group, 147, top));
    }
}

// Under plain AttachSkin the same windows keep the platform's look, and a detach of the whole
// look gives back every window as it was.
TEST_F(ButtonBoxes, PlainAttachLeavesThemAsTheyAreAndDetachGivesThemBack) {
    HWND check = AddButton(L"Check", BS_AUTOCHECKBOX, 20, 20);
    HWND option = AddButton(L"Option", BS_AUTORADIOBUTTON, 20, 40);
    HWND group = AddButton(L"Group", BS_GROUPBOX, 160, 20, 150, 80);
    HWND windows[] = {check, option, group};
    PumpMessages();
    std::vector<std::vector<COLORREF>> platform;
    std::vector<LONG_PTR> procedures;
    std::vector<LONG> styles;
    for (HWND window : windows) {
        RepaintClient(window);
        platform.push_back(Capture(window));
        procedures.push_back(GetWindowLongPtrW(window, GWLP_WNDPROC));
        styles.push_back(GetWindowLongW(window, GWL_STYLE));
    }

    ASSERT_EQ(1, AttachSkin(form_.form()));
    PumpMessages();
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(skin::ControlKind::PushButton, skin::AttachedKind(windows[i]));
        RepaintClient(windows[i]);
        EXPECT_EQ(platform[i], Capture(windows[i])) << i;
    }
    DetachSkin(form_.form());

    AttachEx(DORRIK_SKIN_ALL);
    for (HWND window : windows) {
        EXPECT_NE(0, Prop(window, skin::kPropProcAddr));
        SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    }
    EXPECT_EQ(1, Prop(check, skin::kPropMouseFlag));
    DetachSkin(form_.form());
    attached_ = false;
    PumpMessages();
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(procedures[i], GetWindowLongPtrW(windows[i], GWLP_WNDPROC)) << i;
        EXPECT_EQ(styles[i], GetWindowLongW(windows[i], GWL_STYLE)) << i;
        EXPECT_TRUE(testing_support::SkinPropertyNames(windows[i]).empty()) << i;
        RepaintClient(windows[i]);
        EXPECT_EQ(platform[i], Capture(windows[i])) << i;
    }
}

namespace {

// An installer's page in small: an owner-drawn list whose items carry check boxes drawn with the
// platform's DrawFrameControl beside their own text, and a group frame drawn with DrawEdge. What
// the page's drawing calls return is kept for the comparison of the two runs.
constexpr int kItemHeight = 17;
constexpr RECT kPageFrame = {10, 100, 210, 170};
constexpr RECT kThemedBox = {230, 100, 243, 113};
constexpr RECT kPushFace = {220, 10, 300, 35};      // as wide as the push-like box above
constexpr RECT kScrollArrow = {220, 50, 237, 67};
constexpr int kListBoxLeft = 2, kListBoxTop = 2;  // the item's box, from the item's top-left

struct PageCalls {
    BOOL frameControl = FALSE;
    BOOL edge = FALSE;
    BOOL push = FALSE;
    BOOL arrow = FALSE;
    RECT adjusted{};
    bool themed = false;
    HRESULT themeBackground = E_FAIL;
};
PageCalls pageCalls;

LRESULT CALLBACK InstallerPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MEASUREITEM) {
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = kItemHeight;
        return TRUE;
    }
    if (message == WM_DRAWITEM) {
        const DRAWITEMSTRUCT& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_WINDOW));
        RECT box{item.rcItem.left + kListBoxLeft, item.rcItem.top + kListBoxTop, 0, 0};
        box.right = box.left + 13;
        box.bottom = box.top + 13;
        pageCalls.frameControl = DrawFrameControl(item.hDC, &box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
        RECT text{box.right + 4, item.rcItem.top, item.rcItem.right, item.rcItem.bottom};
        SetBkMode(item.hDC, TRANSPARENT);
        SetTextColor(item.hDC, 0x000000);
        DrawTextW(item.hDC, L"Program files", -1, &text, DT_SINGLELINE | DT_VCENTER);
        return TRUE;
    }
    if (message == WM_PAINT) {
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(window, &paint);
        RECT frame = kPageFrame;
        pageCalls.edge = DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT | BF_ADJUST);
        pageCalls.adjusted = frame;
        RECT push = kPushFace, arrow = kScrollArrow;
        pageCalls.push = DrawFrameControl(dc, &push, DFC_BUTTON, DFCS_BUTTONPUSH);
        pageCalls.arrow = DrawFrameControl(dc, &arrow, DFC_SCROLL, DFCS_SCROLLDOWN);
        if (HTHEME theme = OpenThemeData(window, L"BUTTON")) {
            pageCalls.themed = true;
            pageCalls.themeBackground = DrawThemeBackground(theme, dc, BP_CHECKBOX, CBS_CHECKEDNORMAL, &kThemedBox,
                                                            nullptr);
            CloseThemeData(theme);
        }
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// The 13 x 13 pixels of a box from (left, top) of the window.
std::vector<COLORREF> BoxPixels(HWND window, int left, int top) {
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 13; ++x) pixels.push_back(WindowPixel(window, left + x, top + y));
    return pixels;
}

struct PageLook {
    PageCalls calls;
    std::vector<COLORREF> listBox, themedBox;
    COLORREF frameCorner, frameInner, frameBottom;
    COLORREF pushSide, pushCentre, arrowSide;
    bool textDrawn;
};

PageLook ReadPage(HWND page, HWND list) {
    pageCalls = {};
    RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessages();
    PageLook look{pageCalls, BoxPixels(list, kListBoxLeft, kListBoxTop),
                  BoxPixels(page, kThemedBox.left, kThemedBox.top), WindowPixel(page, kPageFrame.left, kPageFrame.top),
                  WindowPixel(page, kPageFrame.left + 1, kPageFrame.top + 1),
                  WindowPixel(page, 100, kPageFrame.bottom - 1),
                  WindowPixel(page, kPushFace.left, kPushFace.top + 12),
                  WindowPixel(page, kPushFace.left + 40, kPushFace.top + 3),
                  WindowPixel(page, kScrollArrow.left, kScrollArrow.top + 8), false};
    for (int x = kListBoxLeft + 17; x < 120 && !look.textDrawn; ++x)
        for (int y = 0; y < kItemHeight && !look.textDrawn; ++y)
            look.textDrawn = WindowPixel(list, x, y) != GetSysColor(COLOR_WINDOW);
    return look;
}

}  // namespace

// On a skinned form the parts a program draws through the platform are the skin's, where the
// program put them, beside its own text; the same program without the skin gets the platform's,
// and the calls answer alike.
TEST_F(ButtonBoxes, PartsTheProgramDrawsThroughThePlatformAreTheSkinsOnASkinnedForm) {
    WNDCLASSW pageClass{};
    pageClass.lpfnWndProc = InstallerPageProc;
    pageClass.hInstance = GetModuleHandleW(nullptr);
    pageClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    pageClass.lpszClassName = L"DorrikInstallerPage";
    RegisterClassW(&pageClass);
    HWND page = form_.AddWindow(L"DorrikInstallerPage", L"", 0, 0, 300, 200, WS_CLIPCHILDREN);
    HWND list = form_.AddWindow(L"ListBox", L"", 10, 10, 200, 60,
                                LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT, 0, page);
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Program files"));
    HWND check = AddButton(L"Check", BS_AUTOCHECKBOX, 20, 250);
    SendMessageW(check, BM_SETCHECK, BST_CHECKED, 0);
    PumpMessages();

    const PageLook without = ReadPage(page, list);
    AttachEx();
    ASSERT_TRUE(skin::IsAttached(list));
    const PageLook with = ReadPage(page, list);

    // The list's check box is the skin's own check box, pixel for pixel, at the program's place.
    const std::vector<COLORREF> skinsBox = BoxPixels(check, 0, kBoxTop);
    EXPECT_EQ(kFrame, skinsBox[0]);
    EXPECT_EQ(kMarkRow0, skinsBox[2 * 13 + 10]);
    EXPECT_EQ(skinsBox, with.listBox);
    EXPECT_NE(skinsBox, without.listBox);
    EXPECT_NE(kFrame, without.listBox[0]);
    EXPECT_TRUE(without.textDrawn);
    EXPECT_TRUE(with.textDrawn);

    // The etched frame becomes the skin's one-pixel frame; the line inside it stays the page's.
    EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), without.frameCorner);
    EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), without.frameInner);
    EXPECT_EQ(kFrame, with.frameCorner);
    EXPECT_EQ(kFrame, with.frameBottom);
    EXPECT_EQ(Background(), with.frameInner);

    // A push button's face and a scroll arrow's button are the skin's button face.
    EXPECT_EQ(kFaceSide, with.pushSide);
    EXPECT_EQ(kNormalCentre, with.pushCentre);
    EXPECT_EQ(kFaceSide, with.arrowSide);
    EXPECT_NE(kFaceSide, without.pushSide);
    EXPECT_NE(kFaceSide, without.arrowSide);

    // What the program was told is the same in both.
    EXPECT_TRUE(with.calls.frameControl);
    EXPECT_EQ(without.calls.frameControl, with.calls.frameControl);
    EXPECT_EQ(without.calls.edge, with.calls.edge);
    EXPECT_EQ(without.calls.push, with.calls.push);
    EXPECT_EQ(without.calls.arrow, with.calls.arrow);
    const RECT expectAdjusted{kPageFrame.left + 2, kPageFrame.top + 2, kPageFrame.right - 2, kPageFrame.bottom - 2};
    EXPECT_TRUE(EqualRect(&expectAdjusted, &without.calls.adjusted));
    EXPECT_TRUE(EqualRect(&expectAdjusted, &with.calls.adjusted));

    // Under a visual style the style's check box is the skin's too.
    ASSERT_EQ(without.calls.themed, with.calls.themed);
    if (with.calls.themed) {
        EXPECT_EQ(S_OK, without.calls.themeBackground);
        EXPECT_EQ(S_OK, with.calls.themeBackground);
        EXPECT_EQ(skinsBox, with.themedBox);
        EXPECT_NE(skinsBox, without.themedBox);
    }
}
