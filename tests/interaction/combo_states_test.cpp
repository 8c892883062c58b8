// Combo boxes and drive lists: the drop button follows the pointer and the left button; an
// editable combo box only reacts inside its drop-button zone.
#include <gtest/gtest.h>

#include "control_classes.h"
#include "interaction/interaction_fixture.h"

using namespace interaction_tests;

namespace {

constexpr int kWidth = 100;

intptr_t State(HWND combo) { return Prop(combo, "OLDSTATE"); }

int WindowHeight(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect.bottom - rect.top;
}

class EditableCombo : public ::testing::Test {
protected:
    void SetUp() override {
        combo = form.AddControl(controls::kComboBoxClass, L"", 20, 20, kWidth, 200);
        probe = &form.ProbeOf(combo);
        form.Attach();
        height = WindowHeight(combo);
        // The zone runs from two pixels plus a scroll bar's width in from the right edge to two
        // pixels in: x 81 to 98 with a 17-pixel scroll bar.
        left = kWidth - GetSystemMetrics(SM_CXVSCROLL) - 2;
        PointerAway();
    }

    // A move without the button: the state it leaves (Hot inside the zone, Normal outside).
    intptr_t MoveAt(int x, int y) {
        SendMessageW(combo, WM_MOUSEMOVE, 0, At(x, y));
        return State(combo);
    }
    void Reset() { SendMessageW(combo, WM_MOUSELEAVE, 0, 0); }

    SkinnedForm form;
    HWND combo = nullptr;
    Probe* probe = nullptr;
    int height = 0;
    int left = 0;
};

TEST_F(EditableCombo, MovesAreHotInsideTheZoneAndNormalOutside) {
    ASSERT_GT(height, 10);
    PointerAt(combo, left + 2, 5);
    EXPECT_EQ(1, MoveAt(left, 5));
    EXPECT_EQ(1, Prop(combo, "MOUSEFLAG"));
    EXPECT_TRUE(LeaveTracked(combo));
    CancelLeaveTracking(combo);
    EXPECT_EQ(0, MoveAt(left - 1, 5));
    EXPECT_EQ(1, MoveAt(kWidth - 2, 5));
    EXPECT_EQ(0, MoveAt(kWidth - 1, 5));
    EXPECT_EQ(1, MoveAt(left, 2));
    EXPECT_EQ(0, MoveAt(left, 1));
    EXPECT_EQ(1, MoveAt(left, height - 2));
    EXPECT_EQ(0, MoveAt(left, height - 1));
    EXPECT_EQ(0, MoveAt(-3, -3));
    EXPECT_FALSE(LeaveTracked(combo)) << "one leave request for the visit";

    SendMessageW(combo, WM_MOUSEMOVE, MK_LBUTTON, At(left + 5, 5));
    EXPECT_EQ(2, State(combo));
    SendMessageW(combo, WM_MOUSEMOVE, MK_LBUTTON, At(left - 5, 5));
    EXPECT_EQ(0, State(combo));
}

TEST_F(EditableCombo, ButtonDownOutsideTheZoneDrawsNothing) {
    ASSERT_EQ(1, MoveAt(left + 2, 5));
    PaintSentinel(combo, left, 1, kWidth - left - 1, height - 2);
    for (int x : {left - 1, kWidth - 1}) {
        SendMessageW(combo, WM_LBUTTONDOWN, MK_LBUTTON, At(x, 5));
        EXPECT_EQ(1, State(combo)) << x;
    }
    SendMessageW(combo, WM_LBUTTONDOWN, MK_LBUTTON, At(left + 2, 1));
    EXPECT_EQ(1, State(combo));
    EXPECT_EQ(kSentinel, testing_support::WindowPixel(combo, left + 5, 5));

    SendMessageW(combo, WM_LBUTTONDOWN, MK_LBUTTON, At(left, 2));
    EXPECT_EQ(2, State(combo));
    EXPECT_NE(kSentinel, testing_support::WindowPixel(combo, left + 5, 5));
    Reset();
    SendMessageW(combo, WM_LBUTTONDOWN, MK_LBUTTON, At(kWidth - 2, 5));
    EXPECT_EQ(2, State(combo));
}

TEST_F(EditableCombo, ReleaseIsHotOverTheComboAndNormalElsewhere) {
    SendMessageW(combo, WM_LBUTTONDOWN, MK_LBUTTON, At(left + 2, 5));
    ASSERT_EQ(2, State(combo));
    PointerAt(combo, left + 5, height / 2);
    SendMessageW(combo, WM_LBUTTONUP, 0, At(left + 5, 5));
    EXPECT_EQ(1, State(combo));

    SendMessageW(combo, WM_LBUTTONDOWN, MK_LBUTTON, At(left + 2, 5));
    PointerAway();
    SendMessageW(combo, WM_LBUTTONUP, 0, At(left + 5, 5));
    EXPECT_EQ(0, State(combo));
}

TEST_F(EditableCombo, LeavingIsNormalAndDoubleClickIsPassedOnOnly) {
    ASSERT_EQ(1, MoveAt(left + 2, 5));
    PaintSentinel(combo, left, 1, kWidth - left - 1, height - 2);
    EXPECT_EQ(ProbeResult(WM_LBUTTONDBLCLK),
              SendMessageW(combo, WM_LBUTTONDBLCLK, MK_LBUTTON, At(left + 2, 5)));
    EXPECT_EQ(1, State(combo));
    EXPECT_EQ(kSentinel, testing_support::WindowPixel(combo, left + 5, 5));

    SendMessageW(combo, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(0, Prop(combo, "MOUSEFLAG"));
    EXPECT_EQ(0, State(combo));
    EXPECT_NE(kSentinel, testing_support::WindowPixel(combo, left + 5, 5));
}

struct WholeButtonKind {
    const char* name;
    const wchar_t* className;
    DWORD style;
};

class WholeControlIsTheButton : public ::testing::TestWithParam<WholeButtonKind> {};

// A drop-down list combo box and a drive list have no edit field: every point counts.
TEST_P(WholeControlIsTheButton, HotEverywherePressedWithTheButton) {
    SkinnedForm form;
    HWND combo = form.AddControl(GetParam().className, L"", 20, 20, kWidth, 200, GetParam().style);
    form.ProbeOf(combo);
    form.Attach();
    PointerAway();

    for (LPARAM point : {At(2, 5), At(50, 2), At(kWidth - 1, 5)}) {
        SendMessageW(combo, WM_MOUSEMOVE, 0, point);
        EXPECT_EQ(1, State(combo));
        SendMessageW(combo, WM_MOUSEMOVE, MK_LBUTTON, point);
        EXPECT_EQ(2, State(combo));
        SendMessageW(combo, WM_MOUSELEAVE, 0, 0);
        EXPECT_EQ(0, State(combo));
        SendMessageW(combo, WM_LBUTTONDOWN, MK_LBUTTON, point);
        EXPECT_EQ(2, State(combo));
        SendMessageW(combo, WM_LBUTTONUP, 0, point);
        EXPECT_EQ(0, State(combo)) << "released with the pointer elsewhere";
    }

    PointerAt(combo, 10, 5);
    SendMessageW(combo, WM_LBUTTONDOWN, MK_LBUTTON, At(10, 5));
    SendMessageW(combo, WM_LBUTTONUP, 0, At(10, 5));
    EXPECT_EQ(1, State(combo));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, WholeControlIsTheButton,
    ::testing::Values(WholeButtonKind{"DropDownListCombo", L"ComboBox", CBS_DROPDOWNLIST},
                      WholeButtonKind{"DriveList", controls::kDriveListClass, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// A drive list counts as all drop button even with the style bits of an editable combo box.
TEST(DriveList, NeverUsesTheEditableZone) {
    SkinnedForm form;
    HWND drives = form.AddControl(controls::kDriveListClass, L"", 20, 20, kWidth, 200);
    form.ProbeOf(drives);
    form.Attach();
    SetWindowLongW(drives, GWL_STYLE, (GetWindowLongW(drives, GWL_STYLE) & ~0x3) | CBS_DROPDOWN);
    PointerAway();
    SendMessageW(drives, WM_MOUSEMOVE, 0, At(5, 5));
    EXPECT_EQ(1, State(drives));
    SendMessageW(drives, WM_MOUSELEAVE, 0, 0);
    SendMessageW(drives, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    EXPECT_EQ(2, State(drives));
}

}  // namespace
