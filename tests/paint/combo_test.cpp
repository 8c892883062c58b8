// The drop button of combo boxes, read back from real combo boxes.
#include <gtest/gtest.h>

#include "control_classes.h"
#include "core/props.h"
#include "paint/paint_fixture.h"
#include "render/combo_renderer.h"
#include "support/test_windows.h"

using paint_tests::CoverWindow;
using paint_tests::kCover;
using paint_tests::Prop;
using paint_tests::SkinnedForm;
using testing_support::WindowPixel;

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kArrow = 0x5F5519;
constexpr COLORREF kGreyArrow = 0xACA584;
constexpr COLORREF kButtonLine = 0xD1A04E;     // left line of the hot and pressed faces
constexpr COLORREF kHotTop = 0xFFF9E8;         // hot face, first row
constexpr COLORREF kHotBottomCentre = 0xF3E1C0;
constexpr COLORREF kPressedTop = 0xF3E1BE;
constexpr COLORREF kPressedBottomCentre = 0xFEF8E6;

// A drop-down combo box of 100 x 21 on the skinned form.
HWND AddCombo(SkinnedForm& form, const wchar_t* className = controls::kComboBoxClass,
              DWORD extraStyle = 0) {
    HWND combo = form.AddControl(className, L"", 20, 20, 100, 200, extraStyle);
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"one"));
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"two"));
    // The height of the selection field sets the height of the closed combo box: 15 + 6.
    SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), 15);
    return combo;
}

void ExpectComboGeometry(HWND combo) {
    RECT bounds{};
    GetWindowRect(combo, &bounds);
    ASSERT_EQ(100, bounds.right - bounds.left);
    ASSERT_EQ(21, bounds.bottom - bounds.top);
    ASSERT_EQ(17, GetSystemMetrics(SM_CXVSCROLL));
}

void Paint(HWND combo, int state, bool force) {
    int requested = state;
    skin::PaintComboButton(combo, nullptr, requested, force);
}

}  // namespace

TEST(ComboButton, CoversOneScrollBarPlusOneAndLeavesAOnePixelMargin) {
    SkinnedForm form;
    HWND combo = AddCombo(form);
    form.Attach();
    ExpectComboGeometry(combo);

    CoverWindow(combo);
    Paint(combo, skin::Normal, true);
    // Columns 81 to 98, rows 1 to 19; the arrow's first row from (87, 9) to (93, 9).
    for (int y = 1; y <= 19; ++y) {
        EXPECT_EQ(kCover, WindowPixel(combo, 80, y)) << y;
        EXPECT_EQ(kCover, WindowPixel(combo, 99, y)) << y;
        EXPECT_EQ(kWhite, WindowPixel(combo, 81, y)) << y;
        EXPECT_EQ(kWhite, WindowPixel(combo, 98, y)) << y;
    }
    for (int x = 81; x <= 98; ++x) {
        EXPECT_EQ(kCover, WindowPixel(combo, x, 0)) << x;
        EXPECT_EQ(kCover, WindowPixel(combo, x, 20)) << x;
    }
    EXPECT_EQ(kWhite, WindowPixel(combo, 86, 9));
    EXPECT_EQ(kArrow, WindowPixel(combo, 87, 9));
    EXPECT_EQ(kArrow, WindowPixel(combo, 93, 9));
    EXPECT_EQ(kWhite, WindowPixel(combo, 94, 9));
    EXPECT_EQ(kWhite, WindowPixel(combo, 87, 10));
    EXPECT_EQ(kArrow, WindowPixel(combo, 88, 10));
    EXPECT_EQ(kArrow, WindowPixel(combo, 90, 12));
    EXPECT_EQ(kWhite, WindowPixel(combo, 89, 12));
    EXPECT_EQ(kWhite, WindowPixel(combo, 90, 13));
    EXPECT_EQ(kWhite, WindowPixel(combo, 90, 8));
}

TEST(ComboButton, DroppedDownListIsAlwaysDrawnPressed) {
    SkinnedForm form;
    HWND combo = AddCombo(form);
    form.Attach();
    ExpectComboGeometry(combo);

    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    ASSERT_NE(0, SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
    // The combo may have repainted itself while dropping; start from a stored Normal.
    skin::SetSkinProp(combo, skin::kPropOldState, skin::Normal);
    CoverWindow(combo);
    int state = skin::Hot;
    skin::PaintComboButton(combo, nullptr, state, false);
    EXPECT_EQ(skin::Pressed, state);
    EXPECT_EQ(skin::Pressed, Prop(combo, skin::kPropOldState));
    EXPECT_EQ(kButtonLine, WindowPixel(combo, 81, 10));
    EXPECT_EQ(kPressedTop, WindowPixel(combo, 90, 1));
    EXPECT_EQ(kPressedBottomCentre, WindowPixel(combo, 90, 19));
    EXPECT_EQ(kArrow, WindowPixel(combo, 90, 12));

    // Asked again for Normal while still dropped: Pressed is already drawn, so nothing happens.
    CoverWindow(combo);
    state = skin::Normal;
    skin::PaintComboButton(combo, nullptr, state, false);
    EXPECT_EQ(skin::Pressed, state);
    EXPECT_EQ(kCover, WindowPixel(combo, 90, 1));
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    testing_support::PumpMessages();
}

TEST(ComboButton, UnforcedCallForTheDrawnStateDrawsNothing) {
    SkinnedForm form;
    HWND combo = AddCombo(form);
    form.Attach();
    ExpectComboGeometry(combo);

    Paint(combo, skin::Hot, true);
    CoverWindow(combo);
    Paint(combo, skin::Hot, false);
    EXPECT_EQ(kCover, WindowPixel(combo, 90, 1));
    EXPECT_EQ(kCover, WindowPixel(combo, 87, 9));

    Paint(combo, skin::Hot, true);
    EXPECT_EQ(kButtonLine, WindowPixel(combo, 81, 10));
    EXPECT_EQ(kHotTop, WindowPixel(combo, 90, 1));
    EXPECT_EQ(kHotTop, WindowPixel(combo, 98, 1));
    EXPECT_EQ(kHotBottomCentre, WindowPixel(combo, 90, 19));
    EXPECT_EQ(kArrow, WindowPixel(combo, 87, 9));

    // A new state needs no force; the target context is drawn in window coordinates.
    CoverWindow(combo);
    HDC dc = GetWindowDC(combo);
    int state = skin::Normal;
    skin::PaintComboButton(combo, dc, state, false);
    ReleaseDC(combo, dc);
    EXPECT_EQ(skin::Normal, Prop(combo, skin::kPropOldState));
    EXPECT_EQ(kWhite, WindowPixel(combo, 90, 1));
    EXPECT_EQ(kArrow, WindowPixel(combo, 87, 9));
}

TEST(ComboButton, SimpleComboHasNoDropButton) {
    SkinnedForm form;
    HWND combo = form.AddWindow(L"ComboBox", L"", 20, 20, 100, 80, CBS_SIMPLE);
    form.Attach();

    for (const bool force : {false, true}) {
        CoverWindow(combo);
        Paint(combo, skin::Hot, force);
        EXPECT_EQ(0, Prop(combo, skin::kPropOldState));
        RECT bounds{};
        GetWindowRect(combo, &bounds);
        const int width = bounds.right - bounds.left;
        for (int x = width - 19; x < width; ++x) EXPECT_EQ(kCover, WindowPixel(combo, x, 5)) << x;
    }
}

TEST(ComboButton, DisabledComboGetsAWhiteButtonWithAGreyArrow) {
    SkinnedForm form;
    HWND combo = AddCombo(form);
    form.Attach();
    ExpectComboGeometry(combo);
    EnableWindow(combo, FALSE);
    testing_support::PumpMessages();

    CoverWindow(combo);
    Paint(combo, skin::Normal, true);
    EXPECT_EQ(kWhite, WindowPixel(combo, 81, 1));
    EXPECT_EQ(kWhite, WindowPixel(combo, 98, 19));
    EXPECT_EQ(kWhite, WindowPixel(combo, 86, 9));
    EXPECT_EQ(kGreyArrow, WindowPixel(combo, 87, 9));
    EXPECT_EQ(kGreyArrow, WindowPixel(combo, 90, 12));
}

// However the list goes up, the drop button is drawn normal again: here the program closes it.
TEST(ComboButton, ButtonIsNormalAgainOnceTheProgramClosesTheList) {
    SkinnedForm form;
    HWND combo = AddCombo(form);
    form.Attach();
    ExpectComboGeometry(combo);

    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    testing_support::PumpMessages();
    Paint(combo, skin::Pressed, false);
    ASSERT_EQ(skin::Pressed, Prop(combo, skin::kPropOldState));
    ASSERT_EQ(kPressedTop, WindowPixel(combo, 90, 1));

    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    testing_support::PumpMessages();
    EXPECT_EQ(0, SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(skin::Normal, Prop(combo, skin::kPropOldState));
    EXPECT_EQ(kWhite, WindowPixel(combo, 90, 1));
    EXPECT_EQ(kWhite, WindowPixel(combo, 90, 19));
    EXPECT_EQ(kArrow, WindowPixel(combo, 87, 9));
}

// A simple combo box whose list (of whole items) ends above the bottom of its window: the frame
// goes round the edit field and the list, and nothing is drawn below them.
TEST(ComboBorder, SimpleComboIsFramedRoundWhatItShows) {
    SkinnedForm form;
    HWND combo = form.AddWindow(L"ComboBox", L"", 20, 20, 100, 110, CBS_SIMPLE);
    for (const wchar_t* item : {L"one", L"two", L"three", L"four", L"five", L"six", L"seven"})
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    form.Attach();
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetComboBoxInfo(combo, &info));
    RECT window{}, list{};
    GetWindowRect(combo, &window);
    GetWindowRect(info.hwndList, &list);
    const int shown = list.bottom - window.top;
    ASSERT_LT(shown, 110) << "the list reaches the window's bottom";

    CoverWindow(combo);
    paint_tests::RepaintFrame(combo);
    paint_tests::RepaintClient(combo);
    constexpr COLORREF kBorder = 0xD5A554;
    for (const int x : {0, 50, 99}) EXPECT_EQ(kBorder, WindowPixel(combo, x, shown - 1)) << x;
    EXPECT_EQ(kBorder, WindowPixel(combo, 0, shown / 2));
    EXPECT_EQ(kBorder, WindowPixel(combo, 99, shown / 2));
    for (int y = shown; y < 110; ++y) {
        EXPECT_NE(kBorder, WindowPixel(combo, 0, y)) << y;
        EXPECT_NE(kBorder, WindowPixel(combo, 50, y)) << y;
    }
}
