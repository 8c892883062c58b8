// Check boxes and option buttons: the state painted for each input, forced or not, and the
// messages that are only passed on.
#include <gtest/gtest.h>

#include "control_classes.h"
#include "interaction/interaction_fixture.h"

using namespace interaction_tests;

namespace {

constexpr int kWidth = 100;
constexpr int kHeight = 17;

struct BoxKind {
    const char* name;
    const wchar_t* className;
    // The left edge of the box half-way down: the check box's one-pixel frame, the option
    // button's outer ring (rows 5 to 7 of its image differ by a few levels, hence the tolerance).
    COLORREF normalEdge;
    COLORREF pressedEdge;
    int tolerance;
};

const BoxKind kCheckBox{"CheckBox", controls::kCheckBoxClass, 0xD5A554, 0xC48639, 0};
const BoxKind kOptionButton{"OptionButton", controls::kOptionButtonClass, 0xD2A683, 0xC18964, 3};

int RoundHalfEven(int twice) {  // twice / 2, halves to the even neighbour
    const int half = twice / 2;
    return (twice % 2 != 0 && half % 2 != 0) ? half + 1 : half;
}

class CheckAndOption : public ::testing::TestWithParam<BoxKind> {
protected:
    void SetUp() override {
        control = form.AddControl(GetParam().className, L"Box", 20, 20, kWidth, kHeight);
        probe = &form.ProbeOf(control);
        form.Attach();
        const int boxHeight = GetSystemMetrics(SM_CYMENUCHECK);
        edgeY = RoundHalfEven(kHeight - boxHeight) + boxHeight / 2;
        boxWidth = GetSystemMetrics(SM_CXMENUCHECK);
    }

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = At(5, 5)) {
        return SendMessageW(control, message, wParam, lParam);
    }
    intptr_t State() const { return Prop(control, "OLDSTATE"); }
    void Cover() { PaintSentinel(control, 0, 0, boxWidth, kHeight); }
    COLORREF Edge() const { return testing_support::WindowPixel(control, 0, edgeY); }
    bool Covered() const { return Edge() == kSentinel; }
    ::testing::AssertionResult EdgeIs(COLORREF expected) const {
        if (Near(Edge(), expected, GetParam().tolerance)) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << Hex(Edge()) << " instead of " << Hex(expected);
    }

    SkinnedForm form;
    HWND control = nullptr;
    Probe* probe = nullptr;
    int edgeY = 0;
    int boxWidth = 0;
};

TEST_P(CheckAndOption, EveryMoveRepaintsHotOrPressed) {
    PointerAt(control, 5, 5);
    Cover();
    Send(WM_MOUSEMOVE);
    EXPECT_EQ(1, Prop(control, "MOUSEFLAG"));
    EXPECT_EQ(1, State());
    EXPECT_TRUE(EdgeIs(GetParam().normalEdge));
    EXPECT_TRUE(LeaveTracked(control));
    CancelLeaveTracking(control);

    Cover();
    Send(WM_MOUSEMOVE, 0, At(6, 6));
    EXPECT_EQ(1, State());
    EXPECT_FALSE(Covered()) << "a move in the same state still repaints";
    EXPECT_FALSE(LeaveTracked(control)) << "one leave request per visit";

    Send(WM_MOUSEMOVE, MK_LBUTTON, At(6, 6));
    EXPECT_EQ(2, State());
    EXPECT_TRUE(EdgeIs(GetParam().pressedEdge));
}

TEST_P(CheckAndOption, ButtonDownPaintsPressedOnlyOnChange) {
    Cover();
    Send(WM_LBUTTONDOWN, MK_LBUTTON);
    EXPECT_EQ(2, State());
    EXPECT_TRUE(EdgeIs(GetParam().pressedEdge));
    Cover();
    Send(WM_LBUTTONDOWN, MK_LBUTTON);
    EXPECT_TRUE(Covered());
}

TEST_P(CheckAndOption, SpaceBarPressesAndReleasesOtherKeysDoNothing) {
    Cover();
    Send(WM_KEYDOWN, VK_RETURN, 1);
    Send(WM_KEYUP, VK_RETURN, 0xC0000001);
    EXPECT_EQ(0, State());
    EXPECT_TRUE(Covered());

    Send(WM_KEYDOWN, VK_SPACE, 1);
    EXPECT_EQ(2, State());
    EXPECT_TRUE(EdgeIs(GetParam().pressedEdge));
    Cover();
    Send(WM_KEYDOWN, 'X', 1);
    EXPECT_EQ(2, State());
    EXPECT_TRUE(Covered());
    Send(WM_KEYUP, VK_SPACE, 0xC0000001);
    EXPECT_EQ(0, State());
    EXPECT_TRUE(EdgeIs(GetParam().normalEdge));
}

TEST_P(CheckAndOption, LeavingPaintsNormal) {
    Send(WM_MOUSEMOVE, MK_LBUTTON);
    ASSERT_EQ(2, State());
    Send(WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(0, Prop(control, "MOUSEFLAG"));
    EXPECT_EQ(0, State());
    EXPECT_TRUE(EdgeIs(GetParam().normalEdge));
}

// The box's own release paints Normal only when the state changes; the refresh of the
// boxes beside it that follows every release repaints it anyway.
TEST_P(CheckAndOption, ReleaseEndsNormalAndRepaintedByTheRefresh) {
    Send(WM_LBUTTONDOWN, MK_LBUTTON);
    Send(WM_LBUTTONUP);
    EXPECT_EQ(0, State());
    EXPECT_TRUE(EdgeIs(GetParam().normalEdge));
    Cover();
    Send(WM_LBUTTONUP);
    EXPECT_FALSE(Covered());
}

TEST_P(CheckAndOption, DoubleClickAndEnableArePassedOnOnly) {
    Send(WM_MOUSEMOVE);
    ASSERT_EQ(1, State());
    Cover();
    EXPECT_EQ(ProbeResult(WM_LBUTTONDBLCLK), Send(WM_LBUTTONDBLCLK, MK_LBUTTON));
    EXPECT_EQ(ProbeResult(WM_ENABLE), Send(WM_ENABLE, 0, 0));
    EXPECT_EQ(ProbeResult(WM_ENABLE), Send(WM_ENABLE, 1, 0));
    EXPECT_EQ(1, State());
    EXPECT_TRUE(Covered());
}

TEST_P(CheckAndOption, FocusRepaintsOptionButtonsOnly) {
    Send(WM_MOUSEMOVE);
    ASSERT_EQ(1, State());
    const bool option = GetParam().className == controls::kOptionButtonClass;
    for (UINT message : {UINT{WM_SETFOCUS}, UINT{WM_KILLFOCUS}}) {
        Cover();
        EXPECT_EQ(ProbeResult(message), Send(message, 0, 0));
        if (option) {
            EXPECT_EQ(0, State());
            EXPECT_TRUE(EdgeIs(GetParam().normalEdge)) << "forced, even in the same state";
        } else {
            EXPECT_EQ(1, State());
            EXPECT_TRUE(Covered());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, CheckAndOption, ::testing::Values(kCheckBox, kOptionButton),
                         [](const auto& info) { return std::string(info.param.name); });

// The control's own handling (the toggle) is complete before the skin repaints: the release
// that checks the box shows the check mark.
TEST(CheckBoxClick, TheToggleIsDoneBeforeTheRepaint) {
    SkinnedForm form;
    HWND box = form.AddControl(controls::kCheckBoxClass, L"Box", 20, 20, kWidth, kHeight);
    form.ProbeOf(box, false);
    form.Attach();
    PointerAt(box, 5, 5);
    const int boxWidth = GetSystemMetrics(SM_CXMENUCHECK);
    const int boxHeight = GetSystemMetrics(SM_CYMENUCHECK);
    const int boxTop = RoundHalfEven(kHeight - boxHeight);
    auto countGreen = [&] {
        int count = 0;
        for (int y = boxTop; y < boxTop + boxHeight; ++y) {
            for (int x = 0; x < boxWidth; ++x) {
                const COLORREF c = testing_support::WindowPixel(box, x, y);
                if (GetGValue(c) > GetRValue(c) + 40 && GetGValue(c) > GetBValue(c) + 40) ++count;
            }
        }
        return count;
    };
    EXPECT_EQ(0, countGreen());
    SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    SendMessageW(box, WM_LBUTTONUP, 0, At(5, 5));
    ASSERT_EQ(BST_CHECKED, SendMessageW(box, BM_GETCHECK, 0, 0));
    EXPECT_EQ(0, Prop(box, "OLDSTATE"));
    // The check mark: 26 pixels in green.
    EXPECT_EQ(26, countGreen());
}

}  // namespace
