// The platform's own tab controls, up-down controls and trackbars under AttachSkinEx: pixels read
// back in every state, against the skin's colours typed here, and every window back as it was
// after DetachSkin.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/props.h"
#include "dorrik_skin.h"
#include "paint/paint_fixture.h"
#include "support/test_windows.h"
#include "support/window_names.h"

using paint_tests::CoverWindow;
using paint_tests::kCover;
using paint_tests::Prop;
using paint_tests::RepaintClient;
using paint_tests::SkinnedForm;
using testing_support::PumpMessages;
using testing_support::SkinPropertyNames;
using testing_support::WindowPixel;

namespace {

constexpr COLORREF kBorder = 0xD5A554;
constexpr COLORREF kDisabledBorder = 0xE9CFA4;
constexpr COLORREF kWhite = 0xFFFFFF;
// First and last rows of the drop button's hot and pressed faces.
constexpr COLORREF kHotTop = 0xFFF9E8, kHotBottom = 0xF3E1C0;
constexpr COLORREF kPressedTop = 0xF3E1BE, kPressedBottom = 0xFEF8E6;
// The header's background strip, first row: the face of a tab at rest.
constexpr COLORREF kRestingTop = 0xFEF5EA;
// The drop arrow, enabled and disabled.
constexpr COLORREF kArrow = 0x5F5519, kDisabledArrow = 0xACA584;

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

WNDPROC Procedure(HWND window) {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
}

void InitCommonClasses() {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TAB_CLASSES | ICC_UPDOWN_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
}

// The whole look on the shared form for one test, off again at scope end (before the form's
// children go).
class WholeLook {
public:
    explicit WholeLook(HWND form, DWORD options = DORRIK_SKIN_ALL) : form_(form) {
        PumpMessages();
        result_ = AttachSkinEx(form, options);
        PumpMessages();
    }
    ~WholeLook() { Detach(); }
    WholeLook(const WholeLook&) = delete;
    WholeLook& operator=(const WholeLook&) = delete;
    LONG result() const { return result_; }
    void Detach() {
        if (form_) DetachSkin(form_);
        form_ = nullptr;
        PumpMessages();
    }

private:
    HWND form_;
    LONG result_ = 0;
};

// What a window is before the skin: its procedure, and that it carries no property of the skin.
struct Before {
    HWND window;
    WNDPROC procedure;
};

void ExpectBackAsBefore(const std::vector<Before>& windows) {
    for (const Before& before : windows) {
        EXPECT_EQ(before.procedure, Procedure(before.window)) << testing_support::LowerClassName(before.window);
        EXPECT_TRUE(SkinPropertyNames(before.window).empty()) << testing_support::LowerClassName(before.window);
    }
}

// ---- tab controls ----

HWND AddTabs(SkinnedForm& form, DWORD style, int x, int y) {
    HWND tab = form.AddWindow(WC_TABCONTROLW, L"", x, y, 300, 150, style);
    SendMessageW(tab, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    const wchar_t* const captions[] = {L"One", L"Two", L"Three"};
    int index = 0;
    for (const wchar_t* caption : captions) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(caption);
        SendMessageW(tab, TCM_INSERTITEMW, index++, reinterpret_cast<LPARAM>(&item));
    }
    return tab;
}

RECT TabRect(HWND tab, int index) {
    RECT rect{};
    SendMessageW(tab, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

POINT Centre(const RECT& rect) { return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

}  // namespace

TEST(CommonControls, TabsAreFlatTheSelectedOneOpenToItsPageTheHotOneTinted) {
    InitCommonClasses();
    SkinnedForm form;
    HWND tab = AddTabs(form, 0, 20, 20);
    HWND buttons = AddTabs(form, TCS_BUTTONS, 20, 190);
    // A page over the tab control, as property sheets and programs lay them: the tab control
    // does not clip it, so its paint must leave it alone.
    HWND page = form.AddWindow(L"Static", L"", 40, 110, 50, 30, SS_BLACKRECT);
    SetWindowPos(page, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const std::vector<Before> before = {{tab, Procedure(tab)}, {buttons, Procedure(buttons)}};
    WholeLook look(form.form());
    ASSERT_EQ(1, look.result());
    EXPECT_EQ(-1, Prop(tab, "HMINDEX"));
    EXPECT_EQ(-1, Prop(tab, "HDINDEX"));

    CoverWindow(tab);
    RepaintClient(tab);
    const RECT one = TabRect(tab, 0), two = TabRect(tab, 1);
    // The page: a frame in the border colour round white, its top line under the tabs.
    EXPECT_EQ(kBorder, WindowPixel(tab, 0, two.bottom + 20));
    EXPECT_EQ(kBorder, WindowPixel(tab, 299, two.bottom + 20));
    EXPECT_EQ(kBorder, WindowPixel(tab, 150, 149));
    EXPECT_EQ(kWhite, WindowPixel(tab, 150, 100));
    // Under the page, the page's own paint.
    const COLORREF pageColour = WindowPixel(tab, 30, 100);
    EXPECT_NE(kWhite, pageColour);
    EXPECT_NE(kCover, pageColour);
    EXPECT_EQ(kBorder, WindowPixel(tab, two.left + 5, two.bottom));
    // Beside the tabs, the dialog's face.
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), WindowPixel(tab, 290, 3));
    // The selected tab: two pixels taller and wider, white, its frame open onto the page.
    EXPECT_EQ(kBorder, WindowPixel(tab, one.left + 5, one.top - 2));
    EXPECT_EQ(kWhite, WindowPixel(tab, one.left + 5, one.top - 1));
    EXPECT_EQ(kBorder, WindowPixel(tab, one.left - 2, one.top + 5));
    EXPECT_EQ(kWhite, WindowPixel(tab, one.left + 5, one.bottom));
    // Another tab: a frame round the header's light face.
    EXPECT_EQ(kBorder, WindowPixel(tab, two.left + 5, two.top));
    EXPECT_EQ(kRestingTop, WindowPixel(tab, two.left + 5, two.top + 1));

    // The pointer over the second tab makes it hot; leaving puts it back.
    const POINT overTwo = Centre(two);
    SendMessageW(tab, WM_MOUSEMOVE, 0, At(overTwo.x, overTwo.y));
    EXPECT_EQ(1, Prop(tab, "HMINDEX"));
    EXPECT_EQ(1, Prop(tab, "MOUSEFLAG"));
    EXPECT_EQ(kHotTop, WindowPixel(tab, two.left + 5, two.top + 1));
    EXPECT_EQ(pageColour, WindowPixel(tab, 30, 100));
    SendMessageW(tab, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(-1, Prop(tab, "HMINDEX"));
    EXPECT_EQ(0, Prop(tab, "MOUSEFLAG"));
    EXPECT_EQ(kRestingTop, WindowPixel(tab, two.left + 5, two.top + 1));

    // A click selects the second tab: it opens onto the page, the first one closes.
    SendMessageW(tab, WM_LBUTTONDOWN, MK_LBUTTON, At(overTwo.x, overTwo.y));
    EXPECT_EQ(1, Prop(tab, "HDINDEX"));
    SendMessageW(tab, WM_LBUTTONUP, 0, At(overTwo.x, overTwo.y));
    PumpMessages();
    EXPECT_EQ(-1, Prop(tab, "HDINDEX"));
    ASSERT_EQ(1, SendMessageW(tab, TCM_GETCURSEL, 0, 0));
    const RECT oneNow = TabRect(tab, 0), twoNow = TabRect(tab, 1);
    EXPECT_EQ(kWhite, WindowPixel(tab, twoNow.left + 5, twoNow.bottom));
    EXPECT_EQ(kBorder, WindowPixel(tab, twoNow.left + 5, twoNow.top - 2));
    EXPECT_EQ(kBorder, WindowPixel(tab, oneNow.left + 5, oneNow.bottom));
    EXPECT_EQ(kRestingTop, WindowPixel(tab, oneNow.left + 5, oneNow.top + 1));

    // Button-style tabs: no page, the selected button pressed, the others white.
    CoverWindow(buttons);
    RepaintClient(buttons);
    const RECT first = TabRect(buttons, 0), second = TabRect(buttons, 1);
    EXPECT_EQ(kBorder, WindowPixel(buttons, first.left, first.top + 5));
    EXPECT_EQ(kPressedTop, WindowPixel(buttons, first.left + 5, first.top + 1));
    EXPECT_EQ(kPressedBottom, WindowPixel(buttons, first.left + 5, first.bottom - 2));
    EXPECT_EQ(kWhite, WindowPixel(buttons, second.left + 5, second.top + 1));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), WindowPixel(buttons, 150, 100));

    // Disabled: the pale border.
    EnableWindow(tab, FALSE);
    PumpMessages();
    EXPECT_EQ(kDisabledBorder, WindowPixel(tab, 0, two.bottom + 20));
    EnableWindow(tab, TRUE);

    // Off again: procedures and properties as before, and the control paints itself.
    look.Detach();
    ExpectBackAsBefore(before);
    CoverWindow(tab);
    RepaintClient(tab);
    const COLORREF ownFace = WindowPixel(tab, oneNow.left + 5, oneNow.top + 3);
    EXPECT_NE(kCover, ownFace);
    EXPECT_NE(kRestingTop, ownFace);
}

namespace {

// An edit field 80 wide with an up-down aligned to its right: the platform narrows the field by
// 16 and lays the 16-wide up-down over the field's two right border columns.
struct SpinBox {
    HWND edit;
    HWND upDown;
};

SpinBox AddSpinBox(SkinnedForm& form, int x, int y) {
    SpinBox box{};
    box.edit = form.AddWindow(L"Edit", L"5", x, y, 80, 22, ES_NUMBER, WS_EX_CLIENTEDGE);
    box.upDown = form.AddWindow(UPDOWN_CLASSW, L"", 0, 0, 16, 22,
                                UDS_ALIGNRIGHT | UDS_SETBUDDYINT | UDS_ARROWKEYS);
    SendMessageW(box.upDown, UDM_SETRANGE32, 0, 10);
    SendMessageW(box.upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(box.edit), 0);
    SendMessageW(box.upDown, UDM_SETPOS32, 0, 5);
    return box;
}

}  // namespace

namespace {

constexpr COLORREF kProgramsTab = 0x00C000;

// A holder that draws its owner-drawn tabs in one colour of its own.
LRESULT CALLBACK DrawsItsTabs(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DRAWITEM) {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        HBRUSH brush = CreateSolidBrush(kProgramsTab);
        FillRect(item->hDC, &item->rcItem, brush);
        DeleteObject(brush);
        return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

// The program draws the tabs of an owner-drawn tab control, also under the whole look.
TEST(CommonControls, OwnerDrawnTabsKeepTheProgramsDrawing) {
    InitCommonClasses();
    WNDCLASSW holderClass{};
    holderClass.lpfnWndProc = DrawsItsTabs;
    holderClass.hInstance = GetModuleHandleW(nullptr);
    holderClass.lpszClassName = L"DorrikTestTabHolder";
    RegisterClassW(&holderClass);
    SkinnedForm form;
    HWND holder = form.AddWindow(L"DorrikTestTabHolder", L"", 10, 10, 340, 200);
    HWND tab = form.AddWindow(WC_TABCONTROLW, L"", 10, 10, 300, 150, TCS_OWNERDRAWFIXED, 0, holder);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(L"One");
    SendMessageW(tab, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    SendMessageW(tab, TCM_INSERTITEMW, 1, reinterpret_cast<LPARAM>(&item));
    WholeLook look(form.form());
    CoverWindow(tab);
    RepaintClient(tab);
    for (int index : {0, 1}) {
        const POINT middle = Centre(TabRect(tab, index));
        EXPECT_EQ(kProgramsTab, WindowPixel(tab, middle.x, middle.y)) << index;
    }
    // Hover and press leave the program's drawing too.
    const POINT second = Centre(TabRect(tab, 1));
    SendMessageW(tab, WM_MOUSEMOVE, 0, At(second.x, second.y));
    EXPECT_EQ(kProgramsTab, WindowPixel(tab, second.x, second.y));
}

TEST(CommonControls, UpDownJoinsItsBuddyWithOneBorderLineAndShowsEachHalfsState) {
    InitCommonClasses();
    SkinnedForm form;
    const SpinBox box = AddSpinBox(form, 20, 20);
    RECT edit{}, upDown{};
    GetWindowRect(box.edit, &edit);
    GetWindowRect(box.upDown, &upDown);
    ASSERT_EQ(64, edit.right - edit.left);
    ASSERT_EQ(edit.right - 2, upDown.left);
    ASSERT_EQ(16, upDown.right - upDown.left);
    const std::vector<Before> before = {{box.edit, Procedure(box.edit)}, {box.upDown, Procedure(box.upDown)}};
    WholeLook look(form.form());
    HWND spin = box.upDown;

    CoverWindow(spin);
    RepaintClient(spin);
    // Column 0 is the field's white ring, column 1 the field's border line, shared by both.
    for (int y = 1; y <= 20; ++y) {
        ASSERT_EQ(kWhite, WindowPixel(spin, 0, y)) << y;
        ASSERT_EQ(kBorder, WindowPixel(spin, 1, y)) << y;
        ASSERT_EQ(kBorder, WindowPixel(spin, 15, y)) << y;
    }
    for (const int x : {0, 1, 8, 15}) {
        EXPECT_EQ(kBorder, WindowPixel(spin, x, 0)) << x;
        EXPECT_EQ(kBorder, WindowPixel(spin, x, 21)) << x;
    }
    // The field's own border ends on the same line: the last two columns as the up-down draws them.
    EXPECT_EQ(kBorder, WindowPixel(box.edit, 63, 10));
    EXPECT_EQ(kWhite, WindowPixel(box.edit, 62, 10));
    // Halves: rows 1 to 10 and 11 to 20, columns 2 to 14; a 7 x 4 arrow centred in each.
    EXPECT_EQ(kArrow, WindowPixel(spin, 8, 4));   // the up arrow's tip
    EXPECT_EQ(kArrow, WindowPixel(spin, 5, 7));   // its wide end
    EXPECT_EQ(kWhite, WindowPixel(spin, 5, 4));
    EXPECT_EQ(kArrow, WindowPixel(spin, 5, 14));  // the down arrow's wide end
    EXPECT_EQ(kArrow, WindowPixel(spin, 8, 17));  // its tip
    EXPECT_EQ(kWhite, WindowPixel(spin, 5, 17));
    EXPECT_EQ(kWhite, WindowPixel(spin, 3, 1));
    EXPECT_EQ(kWhite, WindowPixel(spin, 3, 11));

    // Hot: the upper half in the hot tint.
    SendMessageW(spin, WM_MOUSEMOVE, 0, At(8, 5));
    EXPECT_EQ(0, Prop(spin, "HMINDEX"));
    EXPECT_EQ(kHotTop, WindowPixel(spin, 3, 1));
    EXPECT_EQ(kHotBottom, WindowPixel(spin, 3, 10));
    EXPECT_EQ(kArrow, WindowPixel(spin, 8, 4));
    EXPECT_EQ(kWhite, WindowPixel(spin, 3, 11));

    // Pressed: the lower half while the button is held, and the value goes down.
    SendMessageW(spin, WM_LBUTTONDOWN, MK_LBUTTON, At(8, 15));
    EXPECT_EQ(1, Prop(spin, "HDINDEX"));
    EXPECT_EQ(kPressedTop, WindowPixel(spin, 3, 11));
    EXPECT_EQ(kPressedBottom, WindowPixel(spin, 3, 20));
    SendMessageW(spin, WM_LBUTTONUP, 0, At(8, 15));
    EXPECT_EQ(-1, Prop(spin, "HDINDEX"));
    EXPECT_EQ(kWhite, WindowPixel(spin, 3, 11));
    EXPECT_EQ(4, SendMessageW(spin, UDM_GETPOS32, 0, 0));
    SendMessageW(spin, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(-1, Prop(spin, "HMINDEX"));
    EXPECT_EQ(kWhite, WindowPixel(spin, 3, 1));

    // Disabled: the pale border and the pale arrows.
    EnableWindow(spin, FALSE);
    PumpMessages();
    EXPECT_EQ(kDisabledBorder, WindowPixel(spin, 15, 10));
    EXPECT_EQ(kDisabledArrow, WindowPixel(spin, 8, 4));
    EnableWindow(spin, TRUE);

    look.Detach();
    ExpectBackAsBefore(before);
    CoverWindow(spin);
    RepaintClient(spin);
    EXPECT_NE(kCover, WindowPixel(spin, 8, 5));
    EXPECT_NE(kArrow, WindowPixel(spin, 8, 4));
}

namespace {

HWND AddTrackbar(SkinnedForm& form, DWORD style, int x, int y, int width, int height) {
    HWND bar = form.AddWindow(TRACKBAR_CLASSW, L"", x, y, width, height, style | TBS_AUTOTICKS);
    SendMessageW(bar, TBM_SETRANGE, FALSE, MAKELPARAM(0, 10));
    SendMessageW(bar, TBM_SETTICFREQ, 1, 0);
    SendMessageW(bar, TBM_SETPOS, TRUE, 5);
    return bar;
}

RECT ThumbOf(HWND bar) {
    RECT rect{};
    SendMessageW(bar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

RECT ChannelOf(HWND bar) {
    RECT rect{};
    SendMessageW(bar, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

}  // namespace

TEST(CommonControls, TrackbarChannelAndThumbAreFlatTheThumbHotAndPressed) {
    InitCommonClasses();
    SkinnedForm form;
    HWND bar = AddTrackbar(form, TBS_HORZ, 20, 20, 200, 40);
    HWND upright = AddTrackbar(form, TBS_VERT, 260, 20, 40, 200);
    const std::vector<Before> before = {{bar, Procedure(bar)}, {upright, Procedure(upright)}};
    WholeLook look(form.form());
    EXPECT_EQ(0, Prop(bar, "OLDSTATE"));

    CoverWindow(bar);
    RepaintClient(bar);
    const RECT channel = ChannelOf(bar);
    const RECT thumb = ThumbOf(bar);
    const int thumbMiddleY = (thumb.top + thumb.bottom) / 2;
    // The channel: a frame round white.
    EXPECT_EQ(kBorder, WindowPixel(bar, channel.left, (channel.top + channel.bottom) / 2));
    EXPECT_EQ(kBorder, WindowPixel(bar, channel.left + 3, channel.top));
    EXPECT_EQ(kWhite, WindowPixel(bar, channel.left + 3, channel.top + 1));
    // The thumb: a frame round a white face.
    EXPECT_EQ(kBorder, WindowPixel(bar, thumb.left, thumbMiddleY));
    EXPECT_EQ(kBorder, WindowPixel(bar, thumb.right - 1, thumbMiddleY));
    EXPECT_EQ(kWhite, WindowPixel(bar, thumb.left + 2, thumb.top + 1));
    // Ticks below the thumb at both ends of the range, one pixel wide, in the border colour.
    const int firstTick = channel.left + (thumb.right - thumb.left) / 2;
    EXPECT_EQ(kBorder, WindowPixel(bar, firstTick, thumb.bottom + 2));
    EXPECT_EQ(kBorder, WindowPixel(bar, firstTick, thumb.bottom + 5));
    EXPECT_NE(kBorder, WindowPixel(bar, firstTick - 1, thumb.bottom + 2));
    EXPECT_NE(kBorder, WindowPixel(bar, firstTick, thumb.bottom + 1));

    const LPARAM onThumb = At((thumb.left + thumb.right) / 2, thumbMiddleY);
    SendMessageW(bar, WM_MOUSEMOVE, 0, onThumb);
    EXPECT_EQ(1, Prop(bar, "OLDSTATE"));
    EXPECT_EQ(kHotTop, WindowPixel(bar, thumb.left + 2, thumb.top + 1));
    SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, onThumb);
    EXPECT_EQ(2, Prop(bar, "OLDSTATE"));
    EXPECT_EQ(kPressedTop, WindowPixel(bar, thumb.left + 2, thumb.top + 1));
    // Dragged off the thumb it stays pressed; let go (the pointer is far away), it rests.
    SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, At(thumb.left - 30, thumbMiddleY));
    EXPECT_EQ(2, Prop(bar, "OLDSTATE"));
    SendMessageW(bar, WM_LBUTTONUP, 0, At(thumb.left - 30, thumbMiddleY));
    EXPECT_EQ(0, Prop(bar, "OLDSTATE"));
    PumpMessages();
    const RECT moved = ThumbOf(bar);
    EXPECT_EQ(kWhite, WindowPixel(bar, moved.left + 2, moved.top + 1));

    // Upright: the same parts turned.
    CoverWindow(upright);
    RepaintClient(upright);
    const RECT standing = ThumbOf(upright);
    EXPECT_EQ(kBorder, WindowPixel(upright, (standing.left + standing.right) / 2, standing.top));
    EXPECT_EQ(kWhite, WindowPixel(upright, standing.left + 2, standing.top + 2));
    const RECT uprightChannel = ChannelOf(upright);
    const bool channelUpright = uprightChannel.bottom - uprightChannel.top > uprightChannel.right - uprightChannel.left;
    const int channelX = channelUpright ? uprightChannel.left : uprightChannel.top;
    EXPECT_EQ(kBorder, WindowPixel(upright, channelX, standing.top - 10));

    EnableWindow(bar, FALSE);
    PumpMessages();
    EXPECT_EQ(kDisabledBorder, WindowPixel(bar, moved.left, (moved.top + moved.bottom) / 2));
    EnableWindow(bar, TRUE);

    look.Detach();
    ExpectBackAsBefore(before);
    CoverWindow(bar);
    RepaintClient(bar);
    EXPECT_NE(kCover, WindowPixel(bar, moved.left + 2, moved.top + 2));
    EXPECT_NE(kBorder, WindowPixel(bar, moved.left, (moved.top + moved.bottom) / 2));
}

// The thumb points at the ticks as the platform's does: down by default, up with TBS_TOP; with
// ticks on both sides it is a plain rectangle, hot face and all.
TEST(CommonControls, TrackbarThumbPointsAtItsTicks) {
    InitCommonClasses();
    SkinnedForm form;
    HWND down = AddTrackbar(form, TBS_HORZ, 20, 20, 200, 40);
    HWND up = AddTrackbar(form, TBS_HORZ | TBS_TOP, 20, 80, 200, 40);
    HWND both = AddTrackbar(form, TBS_HORZ | TBS_BOTH, 20, 140, 200, 50);
    WholeLook look(form.form());
    for (HWND bar : {down, up, both}) {
        CoverWindow(bar);
        RepaintClient(bar);
    }
    // Corners on the pointed side are cut away; the point and the square corners are frame.
    const RECT d = ThumbOf(down);
    EXPECT_EQ(kBorder, WindowPixel(down, d.left, d.top));
    EXPECT_NE(kBorder, WindowPixel(down, d.left, d.bottom - 1));
    EXPECT_NE(kBorder, WindowPixel(down, d.right - 1, d.bottom - 1));
    EXPECT_EQ(kBorder, WindowPixel(down, d.left + (d.right - d.left) / 2, d.bottom - 1));
    const RECT u = ThumbOf(up);
    EXPECT_NE(kBorder, WindowPixel(up, u.left, u.top));
    EXPECT_EQ(kBorder, WindowPixel(up, u.left + (u.right - u.left) / 2, u.top + 1));
    EXPECT_EQ(kBorder, WindowPixel(up, u.right - 1, u.bottom - 1));
    const RECT b = ThumbOf(both);
    EXPECT_EQ(kBorder, WindowPixel(both, b.left, b.bottom - 1));
    EXPECT_EQ(kBorder, WindowPixel(both, b.right - 1, b.top));
    SendMessageW(both, WM_MOUSEMOVE, 0, At((b.left + b.right) / 2, (b.top + b.bottom) / 2));
    EXPECT_EQ(kHotBottom, WindowPixel(both, b.left + 2, b.bottom - 2));
}

TEST(CommonControls, PlainAttachSkinAndOptionsLeftOutKeepTheControlsOwnLook) {
    InitCommonClasses();
    SkinnedForm form;
    HWND tab = AddTabs(form, 0, 20, 20);
    HWND bar = AddTrackbar(form, TBS_HORZ, 20, 190, 200, 40);
    {
        // The options name what is taken over: trackbars only here.
        WholeLook look(form.form(), DORRIK_SKIN_TRACKBARS);
        CoverWindow(tab);
        RepaintClient(tab);
        const RECT two = TabRect(tab, 1);
        EXPECT_NE(kRestingTop, WindowPixel(tab, two.left + 5, two.top + 1));
        EXPECT_NE(kCover, WindowPixel(tab, two.left + 5, two.top + 1));
        const RECT thumb = ThumbOf(bar);
        CoverWindow(bar);
        RepaintClient(bar);
        EXPECT_EQ(kBorder, WindowPixel(bar, thumb.left, (thumb.top + thumb.bottom) / 2));
    }
    form.Attach();
    CoverWindow(bar);
    RepaintClient(bar);
    const RECT thumb = ThumbOf(bar);
    EXPECT_NE(kBorder, WindowPixel(bar, thumb.left, (thumb.top + thumb.bottom) / 2));
    EXPECT_NE(kCover, WindowPixel(bar, thumb.left + 2, thumb.top + 2));
    EXPECT_EQ(0, Prop(bar, "MOUSEFLAG"));
    EXPECT_EQ(0, Prop(bar, "OLDSTATE"));
}

// ---- the common controls (DORRIK_SKIN_COMMON) ----

namespace {

constexpr COLORREF kFill = 0xF6D64C;
// The check mark's first and fourth rows.
constexpr COLORREF kMarkRow0 = 0x1DB754, kMarkRow3 = 0x13A948;

void InitAllCommonClasses() {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES |
                                              ICC_TREEVIEW_CLASSES | ICC_DATE_CLASSES |
                                              ICC_HOTKEY_CLASS | ICC_INTERNET_CLASSES};
    InitCommonControlsEx(&icc);
}

// Every pixel of the window, frame included, as it is on screen after a full repaint.
struct Picture {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;
    COLORREF at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    int count(const RECT& box, COLORREF colour) const {
        int found = 0;
        for (int y = std::max(0, static_cast<int>(box.top)); y < std::min(height, static_cast<int>(box.bottom)); ++y)
            for (int x = std::max(0, static_cast<int>(box.left)); x < std::min(width, static_cast<int>(box.right)); ++x)
                found += at(x, y) == colour;
        return found;
    }
};

Picture TakePicture(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    PumpMessages();
    RECT rect{};
    GetWindowRect(window, &rect);
    Picture picture;
    picture.width = rect.right - rect.left;
    picture.height = rect.bottom - rect.top;
    HDC screen = GetWindowDC(window);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), picture.width, -picture.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, picture.width, picture.height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* quads = static_cast<const RGBQUAD*>(bits);
    for (int i = 0; i < picture.width * picture.height; ++i)
        picture.pixels.push_back(RGB(quads[i].rgbRed, quads[i].rgbGreen, quads[i].rgbBlue));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    return picture;
}

// Where the client area lies in the window.
POINT ClientOrigin(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    return {origin.x - rect.left, origin.y - rect.top};
}

RECT Offset(RECT rect, POINT by) {
    OffsetRect(&rect, by.x, by.y);
    return rect;
}

struct CommonForm {
    HWND smooth, upright, marquee, status, toolbar, list, tree, picker, hotKey, address;
};

enum : int { kNewId = 601, kCopyId, kPasteId };

CommonForm AddCommonControls(SkinnedForm& form) {
    CommonForm c{};
    c.smooth = form.AddWindow(PROGRESS_CLASSW, L"", 10, 10, 200, 20, PBS_SMOOTH);
    SendMessageW(c.smooth, PBM_SETPOS, 50, 0);
    c.upright = form.AddWindow(PROGRESS_CLASSW, L"", 220, 10, 20, 100, PBS_VERTICAL);
    SendMessageW(c.upright, PBM_SETRANGE32, 0, 4);
    SendMessageW(c.upright, PBM_SETPOS, 1, 0);
    c.marquee = form.AddWindow(PROGRESS_CLASSW, L"", 10, 40, 200, 20, PBS_MARQUEE);

    c.toolbar = form.AddWindow(TOOLBARCLASSNAMEW, L"", 10, 70, 200, 30,
                               TBSTYLE_FLAT | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER);
    SendMessageW(c.toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(c.toolbar, TB_LOADIMAGES, IDB_STD_SMALL_COLOR, reinterpret_cast<LPARAM>(HINST_COMMCTRL));
    TBBUTTON buttons[] = {
        {STD_FILENEW, kNewId, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {0, 0, 0, BTNS_SEP, {}, 0, 0},
        {STD_COPY, kCopyId, TBSTATE_ENABLED | TBSTATE_CHECKED, BTNS_CHECK, {}, 0, 0},
        {STD_PASTE, kPasteId, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
    };
    SendMessageW(c.toolbar, TB_ADDBUTTONSW, 4, reinterpret_cast<LPARAM>(buttons));

    c.list = form.AddWindow(WC_LISTVIEWW, L"", 250, 10, 200, 80, LVS_REPORT | LVS_NOCOLUMNHEADER, WS_EX_CLIENTEDGE);
    SendMessageW(c.list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = 150;
    SendMessageW(c.list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    for (const wchar_t* text : {L"one", L"two"}) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = 99;
        item.pszText = const_cast<wchar_t*>(text);
        SendMessageW(c.list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    ListView_SetCheckState(c.list, 0, TRUE);

    c.tree = form.AddWindow(WC_TREEVIEWW, L"", 250, 100, 200, 80, TVS_CHECKBOXES, WS_EX_CLIENTEDGE);
    TVINSERTSTRUCTW insert{};
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<wchar_t*>(L"root");
    SendMessageW(c.tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert));

    c.status = form.AddWindow(STATUSCLASSNAMEW, L"", 0, 0, 0, 0, SBARS_SIZEGRIP);
    const int rights[] = {120, -1};
    SendMessageW(c.status, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(rights));
    SendMessageW(c.status, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"Ready"));

    c.picker = form.AddWindow(DATETIMEPICK_CLASSW, L"", 10, 120, 150, 24, 0);
    c.hotKey = form.AddWindow(HOTKEY_CLASSW, L"", 10, 150, 150, 24, 0);
    c.address = form.AddWindow(WC_IPADDRESSW, L"", 10, 180, 150, 24, 0);
    return c;
}

std::vector<HWND> Windows(const CommonForm& c) {
    return {c.smooth, c.upright, c.marquee, c.status, c.toolbar, c.list, c.tree, c.picker, c.hotKey, c.address};
}

RECT ToolbarButton(HWND toolbar, int index) {
    RECT rect{};
    SendMessageW(toolbar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

}  // namespace

TEST(CommonControls, CommonControlsTakeTheSkinsColoursAndComeBackPixelEqual) {
    InitAllCommonClasses();
    SkinnedForm form;
    const CommonForm c = AddCommonControls(form);
    PumpMessages();
    // The tree sets every item's check box to clear once it has settled: checked after that.
    TreeView_SetCheckState(c.tree, TreeView_GetRoot(c.tree), TRUE);
    ASSERT_EQ(1u, TreeView_GetCheckState(c.tree, TreeView_GetRoot(c.tree)));
    std::vector<Before> before;
    std::vector<Picture> pictures;
    for (HWND window : Windows(c)) {
        before.push_back({window, Procedure(window)});
        pictures.push_back(TakePicture(window));
    }
    HIMAGELIST listImages = ListView_GetImageList(c.list, LVSIL_STATE);
    HIMAGELIST treeImages = TreeView_GetImageList(c.tree, TVSIL_STATE);
    ASSERT_NE(nullptr, listImages);
    ASSERT_NE(nullptr, treeImages);
    {
        // Without the option the progress bar keeps its own look.
        WholeLook others(form.form(), DORRIK_SKIN_ALL & ~DORRIK_SKIN_COMMON);
        EXPECT_NE(kFill, TakePicture(c.smooth).at(50, 10));
    }
    WholeLook look(form.form());
    ASSERT_EQ(1, look.result());

    // Progress bars: a frame round white, filled from the left or from the bottom.
    const Picture smooth = TakePicture(c.smooth);
    EXPECT_EQ(kBorder, smooth.at(0, 10));
    EXPECT_EQ(kBorder, smooth.at(100, 0));
    EXPECT_EQ(kFill, smooth.at(50, 10));
    EXPECT_EQ(kFill, smooth.at(97, 10));
    EXPECT_EQ(kWhite, smooth.at(103, 10));
    EXPECT_EQ(kWhite, smooth.at(190, 10));
    const Picture upright = TakePicture(c.upright);
    EXPECT_EQ(kBorder, upright.at(10, 0));
    EXPECT_EQ(kWhite, upright.at(10, 70));
    EXPECT_EQ(kFill, upright.at(10, 80));
    EXPECT_EQ(kFill, upright.at(10, 97));
    // A marquee: the block comes in from the left, a step with each tick of the control's timer.
    EXPECT_EQ(0, TakePicture(c.marquee).count({1, 1, 199, 19}, kFill));
    for (int tick = 0; tick < 5; ++tick) SendMessageW(c.marquee, WM_TIMER, 1, 0);
    const Picture marquee = TakePicture(c.marquee);
    EXPECT_EQ(kFill, marquee.at(5, 10));
    EXPECT_EQ(kWhite, marquee.at(40, 10));
    EXPECT_GT(marquee.count({1, 1, 199, 19}, kFill), 0);

    // Status bar: a line along the top, a separator after the first part, the grip's dots.
    const Picture status = TakePicture(c.status);
    const POINT statusOrigin = ClientOrigin(c.status);
    RECT part{};
    SendMessageW(c.status, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&part));
    part = Offset(part, statusOrigin);
    EXPECT_EQ(kBorder, status.at(60, statusOrigin.y));
    EXPECT_EQ(kBorder, status.at(part.right, (part.top + part.bottom) / 2));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), status.at(part.right + 3, (part.top + part.bottom) / 2));
    EXPECT_EQ(kBorder, status.at(status.width - 4, status.height - 4));

    // Toolbar: the checked button pressed, the separator one line; the pointer makes a button hot.
    const Picture toolbar = TakePicture(c.toolbar);
    const RECT copy = ToolbarButton(c.toolbar, 2), separator = ToolbarButton(c.toolbar, 1);
    EXPECT_EQ(kBorder, toolbar.at(copy.left, (copy.top + copy.bottom) / 2));
    EXPECT_EQ(kPressedTop, toolbar.at(copy.left + 1, copy.top + 1));
    // The pressed face runs from dark to light inside too, where the control lays its checked
    // pattern when there is no visual style.
    EXPECT_NE(toolbar.at(copy.left + 2, copy.top + 3), toolbar.at(copy.left + 2, copy.bottom - 4))
        << "the checked button's face is one plain colour";
    const int line = (separator.left + separator.right) / 2 - 1;
    EXPECT_EQ(kBorder, toolbar.at(line, (separator.top + separator.bottom) / 2));
    EXPECT_NE(kBorder, toolbar.at(line + 1, (separator.top + separator.bottom) / 2));
    const RECT paste = ToolbarButton(c.toolbar, 3);
    SendMessageW(c.toolbar, WM_MOUSEMOVE, 0, At(paste.left + 5, paste.top + 5));
    const Picture hot = TakePicture(c.toolbar);
    EXPECT_EQ(kBorder, hot.at(paste.left, (paste.top + paste.bottom) / 2));
    EXPECT_EQ(kHotTop, hot.at(paste.left + 1, paste.top + 1));
    SendMessageW(c.toolbar, WM_MOUSELEAVE, 0, 0);

    // List and tree check boxes: the skin's box, framed, with its mark where checked.
    const Picture list = TakePicture(c.list);
    RECT first{}, second{};
    ListView_GetItemRect(c.list, 0, &first, LVIR_BOUNDS);
    ListView_GetItemRect(c.list, 1, &second, LVIR_BOUNDS);
    const POINT listOrigin = ClientOrigin(c.list);
    const RECT firstBox = Offset({first.left, first.top, first.left + 24, first.bottom}, listOrigin);
    const RECT secondBox = Offset({second.left, second.top, second.left + 24, second.bottom}, listOrigin);
    EXPECT_GE(list.count(firstBox, kBorder), 20);
    EXPECT_GT(list.count(firstBox, kMarkRow0) + list.count(firstBox, kMarkRow3), 0);
    EXPECT_GE(list.count(secondBox, kBorder), 20);
    EXPECT_EQ(0, list.count(secondBox, kMarkRow3));
    const Picture tree = TakePicture(c.tree);
    RECT root{};
    HTREEITEM rootItem = TreeView_GetRoot(c.tree);
    TreeView_GetItemRect(c.tree, rootItem, &root, TRUE);
    const RECT rootBox = Offset({0, root.top, root.left, root.bottom}, ClientOrigin(c.tree));
    EXPECT_GE(tree.count(rootBox, kBorder), 20);
    EXPECT_GT(tree.count(rootBox, kMarkRow3), 0);
    // The program asking for the state images gets the control's own.
    EXPECT_EQ(listImages, ListView_GetImageList(c.list, LVSIL_STATE));
    EXPECT_EQ(treeImages, TreeView_GetImageList(c.tree, TVSIL_STATE));
    // Check boxes switched off and on again: the control makes its own anew, the skin's replace them.
    SendMessageW(c.list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES, 0);
    SendMessageW(c.list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES);
    listImages = ListView_GetImageList(c.list, LVSIL_STATE);
    ASSERT_NE(nullptr, listImages);
    ListView_SetCheckState(c.list, 0, TRUE);  // switching them on clears every item
    const LONG treeStyle = GetWindowLongW(c.tree, GWL_STYLE);
    SetWindowLongW(c.tree, GWL_STYLE, treeStyle & ~TVS_CHECKBOXES);
    SetWindowLongW(c.tree, GWL_STYLE, treeStyle);
    treeImages = TreeView_GetImageList(c.tree, TVSIL_STATE);
    TreeView_SetCheckState(c.tree, rootItem, TRUE);
    EXPECT_GE(TakePicture(c.tree).count(rootBox, kBorder), 20);
    EXPECT_GT(TakePicture(c.tree).count(rootBox, kMarkRow3), 0);
    EXPECT_GE(TakePicture(c.list).count(firstBox, kBorder), 20);

    // Date-time picker: the drop button white beside a line in the border colour; the fields
    // framed like an edit field.
    const Picture picker = TakePicture(c.picker);
    RECT client{};
    GetClientRect(c.picker, &client);
    const POINT pickerOrigin = ClientOrigin(c.picker);
    const int buttonLeft = pickerOrigin.x + client.right - GetSystemMetrics(SM_CXVSCROLL);
    EXPECT_EQ(kBorder, picker.at(buttonLeft, pickerOrigin.y + 5));
    EXPECT_EQ(kWhite, picker.at(buttonLeft + 2, pickerOrigin.y + 1));
    EXPECT_GT(picker.count({buttonLeft, 0, picker.width, picker.height}, kArrow), 0);
    EXPECT_EQ(kBorder, picker.at(0, 10));
    EXPECT_EQ(kBorder, TakePicture(c.hotKey).at(0, 10));
    EXPECT_EQ(kBorder, TakePicture(c.address).at(0, 10));

    // Off again: procedures and properties as before, every pixel as before.
    look.Detach();
    ExpectBackAsBefore(before);
    EXPECT_EQ(listImages, ListView_GetImageList(c.list, LVSIL_STATE));
    EXPECT_EQ(treeImages, TreeView_GetImageList(c.tree, TVSIL_STATE));
    const std::vector<HWND> windows = Windows(c);
    for (size_t i = 0; i < windows.size(); ++i) {
        if (windows[i] == c.marquee) continue;  // its block is the control's own, moved by the ticks
        const Picture after = TakePicture(windows[i]);
        EXPECT_TRUE(after.pixels == pictures[i].pixels) << testing_support::LowerClassName(windows[i]);
    }
}
