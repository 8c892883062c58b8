// Button-class check boxes under AttachSkinEx with the buttons option: hot on the way in,
// pressed while held, normal after the release with the control's own toggle shown, by mouse and
// by the space bar, with the control itself seeing every message.
#include <gtest/gtest.h>

#include "dorrik_skin.h"
#include "interaction/interaction_fixture.h"

using namespace interaction_tests;
using testing_support::WindowPixel;

namespace {

constexpr COLORREF kFrame = 0xD5A554, kPressedFrame = 0xC48639, kWhite = 0xFFFFFF;
constexpr COLORREF kHotInside = 0xFAEECF, kPressedInside = 0xF8E7BC, kMarkRow0 = 0x1DB754;

// The 13 x 13 box of a 17-high window starts at row 2: its left edge half-way down, its
// centre, and the check mark's first row.
COLORREF Edge(HWND box) { return WindowPixel(box, 0, 8); }
COLORREF Inside(HWND box) { return WindowPixel(box, 6, 8); }
COLORREF MarkCorner(HWND box) { return WindowPixel(box, 10, 4); }

intptr_t State(HWND box) { return Prop(box, "OLDSTATE"); }

}  // namespace

TEST(ButtonCheckBoxStates, MouseAndSpaceBarThroughEveryState) {
    SkinnedForm form;
    HWND box = form.AddWindow(L"Button", L"Box", 20, 20, 100, 17, BS_AUTOCHECKBOX);
    testing_support::PumpMessages();
    ASSERT_EQ(1, AttachSkinEx(form.form(), DORRIK_SKIN_BUTTONS));
    testing_support::PumpMessages();
    PointerAt(box, 5, 5);

    SendMessageW(box, WM_MOUSEMOVE, 0, At(5, 5));
    EXPECT_EQ(1, Prop(box, "MOUSEFLAG"));
    EXPECT_TRUE(LeaveTracked(box));
    EXPECT_EQ(1, State(box));
    EXPECT_EQ(kFrame, Edge(box));
    EXPECT_EQ(kHotInside, Inside(box));

    // The control takes the capture and the focus and draws itself pushed; the skin's pressed
    // box is what shows.
    SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    EXPECT_EQ(box, GetCapture());
    EXPECT_EQ(2, State(box));
    EXPECT_EQ(kPressedFrame, Edge(box));
    EXPECT_EQ(kPressedInside, Inside(box));
    SendMessageW(box, WM_MOUSEMOVE, MK_LBUTTON, At(6, 6));
    EXPECT_EQ(kPressedInside, Inside(box));

    SendMessageW(box, WM_LBUTTONUP, 0, At(6, 6));
    EXPECT_EQ(BST_CHECKED, SendMessageW(box, BM_GETCHECK, 0, 0));
    EXPECT_EQ(0, State(box));
    EXPECT_EQ(kFrame, Edge(box));
    EXPECT_EQ(kMarkRow0, MarkCorner(box));

    SendMessageW(box, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(0, Prop(box, "MOUSEFLAG"));
    EXPECT_EQ(0, State(box));

    // The space bar: pressed while held, the toggle shown on release.
    SendMessageW(box, WM_KEYDOWN, VK_SPACE, 1);
    EXPECT_EQ(2, State(box));
    EXPECT_EQ(kPressedFrame, Edge(box));
    EXPECT_EQ(kMarkRow0, MarkCorner(box));
    SendMessageW(box, WM_KEYUP, VK_SPACE, 0xC0000001);
    EXPECT_EQ(BST_UNCHECKED, SendMessageW(box, BM_GETCHECK, 0, 0));
    EXPECT_EQ(0, State(box));
    EXPECT_EQ(kFrame, Edge(box));
    EXPECT_EQ(kWhite, MarkCorner(box));

    CancelLeaveTracking(box);
    DetachSkin(form.form());
}
