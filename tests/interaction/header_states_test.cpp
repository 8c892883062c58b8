// Header controls: the hot item follows the pointer, the pressed item the left button; only the
// items concerned are repainted.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "interaction/interaction_fixture.h"

using namespace interaction_tests;

namespace {

constexpr int kItemWidth = 100;
constexpr int kHeaderWidth = 400;
constexpr int kHeaderHeight = 24;

// Row 0 of the three header frames, middle column: the centre of an item's top edge.
constexpr COLORREF kNormalTop = 0xFEF5EA;
constexpr COLORREF kHotTop = 0xFEEED3;
constexpr COLORREF kPressedTop = 0xFBD797;

void AddItems(HWND header, int count) {
    for (int i = 0; i < count; ++i) {
        wchar_t text[] = L"Item";
        HDITEMW item{};
        item.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT;
        item.cxy = kItemWidth;
        item.pszText = text;
        item.fmt = HDF_LEFT | HDF_STRING;
        SendMessageW(header, HDM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
}

class HeaderStates : public ::testing::Test {
protected:
    void Make(int items) {
        header = form.AddControl(WC_HEADERW, L"", 10, 10, kHeaderWidth, kHeaderHeight);
        AddItems(header, items);
        probe = &form.ProbeOf(header);
        form.Attach();
        PointerAway();
    }

    void Move(int x, WPARAM keys = 0) { SendMessageW(header, WM_MOUSEMOVE, keys, At(x, 5)); }
    void Down(int x) { SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, At(x, 5)); }
    void Up(int x) { SendMessageW(header, WM_LBUTTONUP, 0, At(x, 5)); }
    intptr_t Hot() const { return Prop(header, "HMINDEX"); }
    intptr_t Pressed() const { return Prop(header, "HDINDEX"); }
    void Cover() { PaintSentinel(header, 0, 0, kHeaderWidth, kHeaderHeight); }
    // The top edge of item i half-way across.
    COLORREF ItemTop(int i) const {
        return testing_support::WindowPixel(header, i * kItemWidth + kItemWidth / 2, 0);
    }

    SkinnedForm form;
    HWND header = nullptr;
    Probe* probe = nullptr;
};

TEST_F(HeaderStates, HotItemFollowsThePointer) {
    Make(2);
    Cover();
    Move(100);  // the edge shared by items 0 and 1 belongs to item 0
    EXPECT_EQ(0, Hot());
    EXPECT_EQ(1, Prop(header, "MOUSEFLAG"));
    EXPECT_EQ(kHotTop, ItemTop(0));
    EXPECT_EQ(kSentinel, ItemTop(1));

    Cover();
    Move(60);  // the same item: nothing drawn
    EXPECT_EQ(kSentinel, ItemTop(0));

    Move(101);
    EXPECT_EQ(1, Hot());
    EXPECT_EQ(kNormalTop, ItemTop(0));
    EXPECT_EQ(kHotTop, ItemTop(1));

    Cover();
    Move(250);  // beyond the last item
    EXPECT_EQ(-1, Hot());
    EXPECT_EQ(kNormalTop, ItemTop(1));
    EXPECT_EQ(kSentinel, ItemTop(0));
    EXPECT_EQ(-1, Pressed());
}

TEST_F(HeaderStates, HeaderWithoutItemsIgnoresPresses) {
    Make(0);
    SetPropA(header, "HDINDEX", reinterpret_cast<HANDLE>(5));
    Cover();
    Down(50);
    EXPECT_EQ(5, Pressed());
    SendMessageW(header, WM_LBUTTONDBLCLK, MK_LBUTTON, At(50, 5));
    EXPECT_EQ(5, Pressed());
    Move(50);
    EXPECT_EQ(-1, Hot());
    EXPECT_EQ(kSentinel, testing_support::WindowPixel(header, 50, 0));
}

TEST_F(HeaderStates, PressBeyondTheLastItemPressesNothing) {
    Make(2);
    SetPropA(header, "HDINDEX", reinterpret_cast<HANDLE>(5));
    Cover();
    Down(250);
    EXPECT_EQ(-1, Pressed());
    for (int i = 0; i < 3; ++i) EXPECT_EQ(kSentinel, ItemTop(i)) << i;
}

TEST_F(HeaderStates, ReleaseOverTheHeaderShowsHotElsewhereNormal) {
    Make(3);
    PointerAt(header, 250, 10);
    Cover();
    Down(250);
    EXPECT_EQ(2, Pressed());
    EXPECT_EQ(kPressedTop, ItemTop(2));
    EXPECT_EQ(-1, probe->arrivals().back().hdIndex) << "the header saw the press first";
    Up(250);
    EXPECT_EQ(-1, Pressed());
    EXPECT_EQ(kHotTop, ItemTop(2));
    EXPECT_EQ(kSentinel, ItemTop(1));

    SendMessageW(header, WM_LBUTTONDBLCLK, MK_LBUTTON, At(250, 5));
    EXPECT_EQ(2, Pressed());
    EXPECT_EQ(kPressedTop, ItemTop(2));
    PointerAway();
    Up(250);
    EXPECT_EQ(-1, Pressed());
    EXPECT_EQ(kNormalTop, ItemTop(2));
}

TEST_F(HeaderStates, ReleaseWithNothingPressedDrawsNothing) {
    Make(3);
    Cover();
    Up(50);
    EXPECT_EQ(-1, Pressed());
    for (int i = 0; i < 3; ++i) EXPECT_EQ(kSentinel, ItemTop(i)) << i;
}

TEST_F(HeaderStates, LeavingClearsBothItems) {
    Make(3);
    Move(150);
    Down(150);
    ASSERT_EQ(1, Hot());
    ASSERT_EQ(1, Pressed());
    Cover();
    SendMessageW(header, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(-1, Hot());
    EXPECT_EQ(-1, Pressed());
    EXPECT_EQ(0, Prop(header, "MOUSEFLAG"));
    EXPECT_EQ(kNormalTop, ItemTop(1));
    EXPECT_EQ(kSentinel, ItemTop(0));
    EXPECT_EQ(kSentinel, ItemTop(2));
}

// While the button is held the hot item stays the one hot at the press.
TEST_F(HeaderStates, DraggingWithTheButtonHeldRepaintsNothingFromThePressedItem) {
    Make(3);
    Move(50);
    Down(50);
    Cover();
    Move(150, MK_LBUTTON);
    Move(250, MK_LBUTTON);
    EXPECT_EQ(0, Hot());
    EXPECT_EQ(0, Pressed());
    for (int i = 0; i < 3; ++i) EXPECT_EQ(kSentinel, ItemTop(i)) << i;
}

TEST_F(HeaderStates, DraggingBackOntoThePressedItemShowsItPressed) {
    Make(3);
    Move(150);  // item 1 hot
    Down(50);   // item 0 pressed
    Cover();
    Move(50, MK_LBUTTON);
    EXPECT_EQ(kNormalTop, ItemTop(1));
    EXPECT_EQ(kPressedTop, ItemTop(0));
    EXPECT_EQ(kSentinel, ItemTop(2));
    EXPECT_EQ(1, Hot());

    Up(50);
    Cover();
    Move(250);
    EXPECT_EQ(2, Hot());
    EXPECT_EQ(kNormalTop, ItemTop(1));
    EXPECT_EQ(kHotTop, ItemTop(2));
    EXPECT_EQ(kSentinel, ItemTop(0));
}

}  // namespace
