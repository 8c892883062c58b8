// Check boxes and option buttons: the skin's box over a real control's own painting.
#include <gtest/gtest.h>

#include "control_classes.h"
#include "core/props.h"
#include "paint/paint_fixture.h"
#include "render/check_renderer.h"
#include "support/test_windows.h"

using paint_tests::CoverWindow;
using paint_tests::kCover;
using paint_tests::Prop;
using paint_tests::SkinnedForm;
using testing_support::WindowPixel;

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kFrame = 0xD5A554, kPressedFrame = 0xC48639, kDisabledFrame = 0xE9CFA4;

// Check mark rows 0, 3 and 7 (row 0 disabled too); the indeterminate square's first and last rows.
constexpr COLORREF kMarkRow0 = 0x1DB754, kMarkRow3 = 0x13A948, kMarkRow7 = 0x029135;
constexpr COLORREF kDisabledMarkRow0 = 0x8CDAA8;
constexpr COLORREF kSquareFirstRow = 0x1BB451, kSquareLastRow = 0x069639;

// Row 6 of the option frames (column 0, column 6) and of the tint strips (columns 1, 6).
constexpr COLORREF kNormalEdge = 0xD2A683, kPressedEdge = 0xC18964, kDisabledEdge = 0xE8D2C1;
constexpr COLORREF kHotInside = 0xFAEECF, kHotColumn1 = 0xF8EAC4, kPressedInside = 0xF8E7BC;

// Option dot: a, b of its first row, c of its second; the disabled p.
constexpr COLORREF kDotA = 0x60CC87, kDotB = 0x28BA5C, kDotC = 0x5EC883, kDisabledDotP = 0xAFE5C3;

// A 13-high box in a 17-high window starts at row 2.
constexpr int kBoxTop = 2;

class CheckPaint : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(13, GetSystemMetrics(SM_CXMENUCHECK));
        ASSERT_EQ(13, GetSystemMetrics(SM_CYMENUCHECK));
    }
    // A 3-state check box (indeterminate needs that style) of 120 x height.
    HWND AddCheckBox(int height = 17) {
        return form_.AddWindow(controls::kCheckBoxClass, L"Check", 20, 20, 120, height, BS_AUTO3STATE);
    }
    // Window pixel at a position inside the box.
    static COLORREF Box(HWND window, int x, int y) { return WindowPixel(window, x, kBoxTop + y); }

    SkinnedForm form_;
};

}  // namespace

TEST_F(CheckPaint, CheckBoxFrameMarksAndTints) {
    HWND box = AddCheckBox();
    form_.Attach();

    CoverWindow(box);
    EXPECT_EQ(1, skin::PaintCheckBox(box, skin::Normal, true));
    for (int i = 0; i < 13; ++i) {
        EXPECT_EQ(kFrame, Box(box, 0, i)) << i;
        EXPECT_EQ(kFrame, Box(box, 12, i)) << i;
        EXPECT_EQ(kFrame, Box(box, i, 0)) << i;
        EXPECT_EQ(kFrame, Box(box, i, 12)) << i;
        EXPECT_EQ(kCover, WindowPixel(box, i, 1)) << i;
        EXPECT_EQ(kCover, WindowPixel(box, i, 15)) << i;
        EXPECT_EQ(kCover, Box(box, 13, i)) << i;
    }
    EXPECT_EQ(kWhite, Box(box, 1, 1));
    EXPECT_EQ(kWhite, Box(box, 11, 11));

    // The 9 x 8 check mark from (2, 2) of the box; its key pixels let the interior through.
    SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0);
    skin::PaintCheckBox(box, skin::Normal, true);
    EXPECT_EQ(kWhite, Box(box, 2, 2));
    EXPECT_EQ(kMarkRow0, Box(box, 10, 2));
    EXPECT_EQ(kWhite, Box(box, 10, 1));
    EXPECT_EQ(kWhite, Box(box, 11, 2));
    EXPECT_EQ(kMarkRow3, Box(box, 2, 5));
    EXPECT_EQ(kWhite, Box(box, 1, 5));
    EXPECT_EQ(kMarkRow7, Box(box, 5, 9));
    EXPECT_EQ(kWhite, Box(box, 5, 10));

    // The 7 x 7 indeterminate square from (3, 3).
    SendMessageW(box, BM_SETCHECK, BST_INDETERMINATE, 0);
    skin::PaintCheckBox(box, skin::Normal, true);
    EXPECT_EQ(kSquareFirstRow, Box(box, 3, 3));
    EXPECT_EQ(kSquareFirstRow, Box(box, 9, 3));
    EXPECT_EQ(kSquareLastRow, Box(box, 3, 9));
    EXPECT_EQ(kWhite, Box(box, 2, 3));
    EXPECT_EQ(kWhite, Box(box, 10, 9));
    EXPECT_EQ(kWhite, Box(box, 3, 10));

    // Hot and pressed tint the whole interior; pressed darkens the frame.
    SendMessageW(box, BM_SETCHECK, BST_UNCHECKED, 0);
    skin::PaintCheckBox(box, skin::Hot, true);
    EXPECT_EQ(kFrame, Box(box, 0, 6));
    EXPECT_EQ(kHotColumn1, Box(box, 1, 6));
    EXPECT_EQ(kHotInside, Box(box, 6, 6));
    skin::PaintCheckBox(box, skin::Pressed, true);
    EXPECT_EQ(kPressedFrame, Box(box, 0, 6));
    EXPECT_EQ(kPressedInside, Box(box, 6, 6));
}

TEST_F(CheckPaint, DisabledCheckBoxIsPaleInEveryStateAndKeepsTheState) {
    HWND box = AddCheckBox();
    form_.Attach();
    SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0);
    EnableWindow(box, FALSE);
    testing_support::PumpMessages();

    for (const int state : {skin::Normal, skin::Hot, skin::Pressed}) {
        EXPECT_EQ(1, skin::PaintCheckBox(box, state, true));
        EXPECT_EQ(state, Prop(box, skin::kPropOldState));
        EXPECT_EQ(kDisabledFrame, Box(box, 0, 6)) << state;
        EXPECT_EQ(kWhite, Box(box, 2, 2)) << state;
        EXPECT_EQ(kWhite, Box(box, 1, 11)) << state;
        EXPECT_EQ(kDisabledMarkRow0, Box(box, 10, 2)) << state;
    }
}

TEST_F(CheckPaint, UnforcedCallForTheStoredStateDrawsNothing) {
    HWND box = AddCheckBox();
    form_.Attach();

    skin::PaintCheckBox(box, skin::Hot, true);
    // Even a changed check state waits for a forced call.
    SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0);
    CoverWindow(box);
    EXPECT_EQ(0, skin::PaintCheckBox(box, skin::Hot, false));
    EXPECT_EQ(kCover, Box(box, 0, 0));
    EXPECT_EQ(kCover, Box(box, 10, 2));
    EXPECT_EQ(1, skin::PaintCheckBox(box, skin::Hot, true));
    EXPECT_EQ(kMarkRow0, Box(box, 10, 2));

    CoverWindow(box);
    EXPECT_EQ(1, skin::PaintCheckBox(box, skin::Normal, false));
    EXPECT_EQ(skin::Normal, Prop(box, skin::kPropOldState));
    EXPECT_EQ(kWhite, Box(box, 11, 11));
}

TEST_F(CheckPaint, BoxTallerThanTheWindowIsClippedAtTheTop) {
    HWND box = AddCheckBox(9);
    form_.Attach();
    SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0);

    // round((9 - 13) / 2) = -2: window row 0 is the box's row 2.
    EXPECT_EQ(1, skin::PaintCheckBox(box, skin::Normal, true));
    EXPECT_EQ(kFrame, WindowPixel(box, 0, 0));
    EXPECT_EQ(kWhite, WindowPixel(box, 6, 0));
    EXPECT_EQ(kMarkRow0, WindowPixel(box, 10, 0));
    EXPECT_EQ(kMarkRow3, WindowPixel(box, 2, 3));
    EXPECT_EQ(kWhite, WindowPixel(box, 6, 8));
}

TEST_F(CheckPaint, OptionButtonFrameOfTheStateWithTheDotAtFourSix) {
    HWND option = form_.AddControl(controls::kOptionButtonClass, L"Option", 20, 60, 120, 17);
    form_.Attach();

    // The round box's corners are see-through: the control's own painting stays there.
    CoverWindow(option);
    EXPECT_EQ(1, skin::PaintOptionButton(option, skin::Normal, true));
    EXPECT_EQ(kCover, Box(option, 0, 0));
    EXPECT_EQ(kCover, Box(option, 12, 12));
    EXPECT_EQ(kNormalEdge, Box(option, 0, 6));
    EXPECT_EQ(kNormalEdge, Box(option, 12, 6));
    EXPECT_EQ(kWhite, Box(option, 6, 6));
    EXPECT_EQ(kCover, WindowPixel(option, 6, 1));
    EXPECT_EQ(kCover, WindowPixel(option, 6, 15));

    SendMessageW(option, BM_SETCHECK, BST_CHECKED, 0);
    skin::PaintOptionButton(option, skin::Normal, true);
    EXPECT_EQ(kDotA, WindowPixel(option, 5, 6));
    EXPECT_EQ(kDotB, WindowPixel(option, 6, 6));
    EXPECT_EQ(kDotC, WindowPixel(option, 4, 7));
    EXPECT_NE(kDotA, WindowPixel(option, 4, 6));
    EXPECT_NE(kDotC, WindowPixel(option, 3, 7));

    SendMessageW(option, BM_SETCHECK, BST_UNCHECKED, 0);
    skin::PaintOptionButton(option, skin::Hot, true);
    EXPECT_EQ(kHotInside, Box(option, 6, 6));
    skin::PaintOptionButton(option, skin::Pressed, true);
    EXPECT_EQ(kPressedEdge, Box(option, 0, 6));
    EXPECT_EQ(kPressedInside, Box(option, 6, 6));

    CoverWindow(option);
    EXPECT_EQ(0, skin::PaintOptionButton(option, skin::Pressed, false));
    EXPECT_EQ(kCover, Box(option, 0, 6));

    SendMessageW(option, BM_SETCHECK, BST_CHECKED, 0);
    EnableWindow(option, FALSE);
    testing_support::PumpMessages();
    EXPECT_EQ(1, skin::PaintOptionButton(option, skin::Hot, true));
    EXPECT_EQ(skin::Hot, Prop(option, skin::kPropOldState));
    EXPECT_EQ(kDisabledEdge, Box(option, 0, 6));
    EXPECT_EQ(kDisabledDotP, WindowPixel(option, 5, 6));
}
