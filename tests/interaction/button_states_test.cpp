// Push buttons: entering, pressing by mouse and space bar, releasing, a press dragged off,
// leaving, focus and enable changes, each as properties, timer, leave request and pixels.
#include <gtest/gtest.h>

#include "core/hover.h"
#include "interaction/interaction_fixture.h"

using namespace interaction_tests;

namespace {

intptr_t FadeId() { return static_cast<intptr_t>(skin::FadeTimerId()); }

constexpr int kWidth = 75;
constexpr int kHeight = 25;

// Face pixels at (2, 2), inside the three-pixel border of the face (row 2, column 2 of each
// frame), and at (1, 2), outside the focus rectangle.
constexpr COLORREF kNormalAt22 = 0xFFFFFF;
constexpr COLORREF kHotAt22 = 0xFEDA8D;
constexpr COLORREF kPressedAt22 = 0xF8C96F;
constexpr COLORREF kPressedAt12 = 0xF8B62E;

class PushButtonStates : public ::testing::Test {
protected:
    void SetUp() override {
        button = form.AddControl(L"Button", L"", 20, 20, kWidth, kHeight);
        probe = &form.ProbeOf(button);
        form.Attach();
    }

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = At(10, 10)) {
        return SendMessageW(button, message, wParam, lParam);
    }
    intptr_t P(const char* name) const { return Prop(button, name); }
    COLORREF Pixel(int x, int y) const { return testing_support::WindowPixel(button, x, y); }

    SkinnedForm form;
    HWND button = nullptr;
    Probe* probe = nullptr;
};

TEST_F(PushButtonStates, TwoMovesOverTheButtonEnterOnce) {
    PointerAt(button, 10, 10);
    PaintSentinel(button, 0, 0, kWidth, kHeight);

    EXPECT_EQ(ProbeResult(WM_MOUSEMOVE), Send(WM_MOUSEMOVE));
    EXPECT_EQ(1, P("MOUSEFLAG"));
    EXPECT_EQ(1, P("OLDSTATE"));
    EXPECT_EQ(0, P("ALPHALEVEL"));
    EXPECT_EQ(FadeId(), P("TIMERID"));
    EXPECT_TRUE(TimerRuns(button));
    EXPECT_TRUE(LeaveTracked(button));
    // The control saw the move before the skin changed anything.
    ASSERT_EQ(1u, probe->arrivals().size());
    EXPECT_EQ(0, probe->arrivals()[0].mouseFlag);
    EXPECT_EQ(0, probe->arrivals()[0].oldState);

    EXPECT_EQ(ProbeResult(WM_MOUSEMOVE), Send(WM_MOUSEMOVE, 0, At(30, 12)));
    EXPECT_EQ(1, P("MOUSEFLAG"));
    EXPECT_EQ(1, P("OLDSTATE"));
    EXPECT_EQ(0, P("ALPHALEVEL"));
    EXPECT_EQ(FadeId(), P("TIMERID"));
    EXPECT_EQ(2, probe->Count(WM_MOUSEMOVE));
    // The hot face comes with the timer, not with the move.
    EXPECT_EQ(kSentinel, Pixel(2, 2));
}

TEST_F(PushButtonStates, OneLeaveRequestPerVisit) {
    PointerAt(button, 10, 10);
    Send(WM_MOUSEMOVE);
    EXPECT_TRUE(LeaveTracked(button));
    // Withdrawn, so that another request would show.
    CancelLeaveTracking(button);
    Send(WM_MOUSEMOVE);
    Send(WM_MOUSEMOVE);
    EXPECT_FALSE(LeaveTracked(button));

    Send(WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(0, P("MOUSEFLAG"));
    Send(WM_MOUSEMOVE);
    EXPECT_TRUE(LeaveTracked(button));
}

TEST_F(PushButtonStates, PressShowsPressedFaceAtOnceAndStopsTheFade) {
    PointerAt(button, 10, 10);
    Send(WM_MOUSEMOVE);
    ASSERT_EQ(FadeId(), P("TIMERID"));
    PaintSentinel(button, 0, 0, kWidth, kHeight);

    EXPECT_EQ(ProbeResult(WM_LBUTTONDOWN), Send(WM_LBUTTONDOWN, MK_LBUTTON));
    EXPECT_EQ(2, P("OLDSTATE"));
    EXPECT_EQ(0, P("ALPHALEVEL"));
    EXPECT_EQ(0, P("TIMERID"));
    EXPECT_FALSE(TimerRuns(button));
    EXPECT_EQ(kPressedAt22, Pixel(2, 2));
    EXPECT_EQ(1, probe->arrivals().back().oldState);
}

TEST_F(PushButtonStates, DoubleClickPressesLikeAButtonDown) {
    PointerAt(button, 10, 10);
    Send(WM_MOUSEMOVE);
    PaintSentinel(button, 0, 0, kWidth, kHeight);
    EXPECT_EQ(ProbeResult(WM_LBUTTONDBLCLK), Send(WM_LBUTTONDBLCLK, MK_LBUTTON));
    EXPECT_EQ(2, P("OLDSTATE"));
    EXPECT_EQ(0, P("ALPHALEVEL"));
    EXPECT_EQ(0, P("TIMERID"));
    EXPECT_EQ(kPressedAt22, Pixel(2, 2));
}

TEST_F(PushButtonStates, ReleaseFadesTheNormalFaceInFromSixty) {
    PointerAt(button, 10, 10);
    Send(WM_MOUSEMOVE);
    Send(WM_LBUTTONDOWN, MK_LBUTTON);
    ASSERT_EQ(kPressedAt22, Pixel(2, 2));

    EXPECT_EQ(ProbeResult(WM_LBUTTONUP), Send(WM_LBUTTONUP));
    EXPECT_EQ(0, P("MOUSEFLAG"));
    EXPECT_EQ(0, P("OLDSTATE"));
    EXPECT_EQ(60, P("ALPHALEVEL"));
    EXPECT_EQ(FadeId(), P("TIMERID"));
    EXPECT_TRUE(TimerRuns(button));
    EXPECT_EQ(kPressedAt22, Pixel(2, 2)) << "nothing is drawn before the first tick";

    SendMessageW(button, WM_TIMER, 1, 0);
    EXPECT_TRUE(Near(Pixel(2, 2), Blend(kNormalAt22, kPressedAt22, 60), 1)) << Hex(Pixel(2, 2));

    // After a click the next move is a new entry.
    Send(WM_MOUSEMOVE);
    EXPECT_EQ(1, P("MOUSEFLAG"));
    EXPECT_EQ(1, P("OLDSTATE"));
    EXPECT_EQ(0, P("ALPHALEVEL"));
}

TEST_F(PushButtonStates, PressDraggedOffRedrawsPressedFully) {
    PointerAt(button, 10, 10);
    Send(WM_MOUSEMOVE);
    Send(WM_LBUTTONDOWN, MK_LBUTTON);
    // A focus change during the press starts a fade of the pressed face from 0.
    Send(WM_SETFOCUS);
    ASSERT_EQ(FadeId(), P("TIMERID"));
    PaintSentinel(button, 0, 0, kWidth, kHeight);

    PointerAway();
    EXPECT_EQ(ProbeResult(WM_MOUSEMOVE), Send(WM_MOUSEMOVE, MK_LBUTTON, At(-10, 5)));
    EXPECT_EQ(0, P("TIMERID"));
    EXPECT_FALSE(TimerRuns(button));
    EXPECT_EQ(255, P("ALPHALEVEL"));
    EXPECT_EQ(2, P("OLDSTATE"));
    EXPECT_EQ(1, P("MOUSEFLAG"));
    EXPECT_EQ(kPressedAt22, Pixel(2, 2));
}

TEST_F(PushButtonStates, SpaceBarPressesAndReleases) {
    PointerAt(button, 10, 10);
    Send(WM_MOUSEMOVE);
    PaintSentinel(button, 0, 0, kWidth, kHeight);

    EXPECT_EQ(ProbeResult(WM_KEYDOWN), Send(WM_KEYDOWN, VK_SPACE, 0x00390001));
    EXPECT_EQ(2, P("OLDSTATE"));
    EXPECT_EQ(0, P("ALPHALEVEL"));
    EXPECT_EQ(0, P("TIMERID"));
    EXPECT_EQ(kPressedAt22, Pixel(2, 2));

    // The key's auto-repeat draws the pressed face again.
    PaintSentinel(button, 0, 0, kWidth, kHeight);
    Send(WM_KEYDOWN, VK_SPACE, 0x40390001);
    EXPECT_EQ(kPressedAt22, Pixel(2, 2));

    EXPECT_EQ(ProbeResult(WM_KEYUP), Send(WM_KEYUP, VK_SPACE, 0xC0390001));
    EXPECT_EQ(0, P("MOUSEFLAG"));
    EXPECT_EQ(0, P("ALPHALEVEL"));
    EXPECT_EQ(0, P("OLDSTATE"));
    EXPECT_EQ(FadeId(), P("TIMERID"));
    EXPECT_EQ(kPressedAt22, Pixel(2, 2)) << "the normal face comes with the timer";
}

TEST_F(PushButtonStates, OtherKeysArePassedOnOnly) {
    PointerAt(button, 10, 10);
    Send(WM_MOUSEMOVE);
    const intptr_t before[] = {P("MOUSEFLAG"), P("OLDSTATE"), P("ALPHALEVEL"), P("TIMERID")};
    PaintSentinel(button, 0, 0, kWidth, kHeight);

    for (WPARAM key : {WPARAM{VK_RETURN}, WPARAM{'A'}, WPARAM{VK_TAB}}) {
        EXPECT_EQ(ProbeResult(WM_KEYDOWN), Send(WM_KEYDOWN, key, 1));
        EXPECT_EQ(ProbeResult(WM_KEYUP), Send(WM_KEYUP, key, 0xC0000001));
    }
    const intptr_t after[] = {P("MOUSEFLAG"), P("OLDSTATE"), P("ALPHALEVEL"), P("TIMERID")};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(before[i], after[i]) << i;
    EXPECT_EQ(3, probe->Count(WM_KEYDOWN));
    EXPECT_EQ(3, probe->Count(WM_KEYUP));
    EXPECT_EQ(kSentinel, Pixel(2, 2));
}

TEST_F(PushButtonStates, LeavingLaysHotOnceThenFadesNormal) {
    // The paint after attach showed the normal face at full strength.
    ASSERT_EQ(kNormalAt22, Pixel(2, 2));
    PointerAt(button, 10, 10);
    Send(WM_MOUSEMOVE);
    Send(WM_LBUTTONDOWN, MK_LBUTTON);
    Send(WM_LBUTTONUP);  // OLDSTATE Normal, ALPHALEVEL 60, nothing drawn
    ASSERT_EQ(kPressedAt22, Pixel(2, 2));
    Send(WM_MOUSEMOVE);  // enters again: Hot, nothing drawn
    PaintSentinel(button, 0, 0, kWidth, kHeight);

    EXPECT_EQ(ProbeResult(WM_MOUSELEAVE), Send(WM_MOUSELEAVE, 0, 0));
    EXPECT_EQ(0, P("MOUSEFLAG"));
    EXPECT_EQ(0, P("OLDSTATE"));
    EXPECT_EQ(0, P("ALPHALEVEL"));
    EXPECT_EQ(FadeId(), P("TIMERID"));
    EXPECT_EQ(1, probe->arrivals().back().oldState);
    EXPECT_EQ(1, probe->arrivals().back().mouseFlag);
    const COLORREF expected = Blend(kHotAt22, kSentinel, 140);
    EXPECT_TRUE(Near(Pixel(2, 2), expected, 1)) << Hex(Pixel(2, 2)) << " vs " << Hex(expected);
}

TEST_F(PushButtonStates, EnableAndDisable) {
    EXPECT_EQ(ProbeResult(WM_ENABLE), Send(WM_ENABLE, 0, 0));
    EXPECT_EQ(3, P("OLDSTATE"));
    EXPECT_EQ(ProbeResult(WM_ENABLE), Send(WM_ENABLE, 1, 0));
    EXPECT_EQ(0, P("OLDSTATE"));

    // The face of the new state is laid at the current level: 60 after a click.
    Send(WM_LBUTTONDOWN, MK_LBUTTON);
    Send(WM_LBUTTONUP);
    ASSERT_EQ(60, P("ALPHALEVEL"));
    EnableWindow(button, FALSE);
    EXPECT_EQ(3, P("OLDSTATE"));
    const COLORREF disabledAt22 = 0xFDFBF8;
    const COLORREF expected = Blend(disabledAt22, kPressedAt22, 60);
    EXPECT_TRUE(Near(Pixel(2, 2), expected, 1)) << Hex(Pixel(2, 2)) << " vs " << Hex(expected);
    EnableWindow(button, TRUE);
    EXPECT_EQ(0, P("OLDSTATE"));
    EXPECT_EQ(4, probe->Count(WM_ENABLE));
}

// The focus frame is part of every face while the button has the focus.
TEST_F(PushButtonStates, FocusChangesRenderTheFacesAgainAndFade) {
    HDC normalFace = reinterpret_cast<HDC>(GetPropA(button, "0HDC"));
    ASSERT_NE(nullptr, normalFace);
    auto row2 = [&] {
        std::vector<COLORREF> pixels;
        for (int x = 0; x < kWidth; ++x) pixels.push_back(GetPixel(normalFace, x, 2));
        return pixels;
    };
    const std::vector<COLORREF> withoutFocus = row2();

    SetFocus(button);
    ASSERT_EQ(button, GetFocus());
    EXPECT_NE(withoutFocus, row2());
    EXPECT_EQ(0, P("ALPHALEVEL"));
    EXPECT_EQ(FadeId(), P("TIMERID"));

    Send(WM_LBUTTONDOWN, MK_LBUTTON);  // stops the timer
    ASSERT_EQ(0, P("TIMERID"));
    SetFocus(form.form());
    EXPECT_EQ(withoutFocus, row2());
    EXPECT_EQ(0, P("ALPHALEVEL"));
    EXPECT_EQ(FadeId(), P("TIMERID"));
    EXPECT_EQ(1, probe->Count(WM_SETFOCUS));
    EXPECT_EQ(1, probe->Count(WM_KILLFOCUS));
}

// A real button takes the focus inside its own button-down: the nested focus change starts a
// fade, and the press, handled after it, still wins.
TEST(PushButtonFocus, TakingTheFocusInsideTheButtonDownStillShowsPressed) {
    SkinnedForm form;
    HWND button = form.AddControl(L"Button", L"", 20, 20, kWidth, kHeight);
    Probe& probe = form.ProbeOf(button, false);
    form.Attach();
    SetFocus(form.form());
    PointerAt(button, 10, 10);

    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
    EXPECT_EQ(button, GetFocus());
    EXPECT_EQ(2, Prop(button, "OLDSTATE"));
    EXPECT_EQ(0, Prop(button, "TIMERID"));
    EXPECT_EQ(0, Prop(button, "ALPHALEVEL"));
    EXPECT_EQ(kPressedAt12, testing_support::WindowPixel(button, 1, 2));
    bool nestedFocus = false;
    for (const Arrival& arrival : probe.arrivals())
        nestedFocus |= arrival.message == WM_SETFOCUS && arrival.depth == 2;
    EXPECT_TRUE(nestedFocus);
    EXPECT_EQ(1, probe.Count(WM_LBUTTONDOWN));

    SendMessageW(button, WM_LBUTTONUP, 0, At(10, 10));
    ReleaseCapture();
}

// A "Button" window with a check-box style keeps its own painting: the skin only keeps its
// state and timer.
TEST(PushButtonStyles, CheckBoxStyledButtonGetsStateButNoDrawing) {
    SkinnedForm form;
    HWND button = form.AddControl(L"Button", L"", 20, 20, 100, 20, BS_AUTOCHECKBOX);
    form.ProbeOf(button);
    form.Attach();
    PointerAt(button, 10, 10);
    PaintSentinel(button, 0, 0, 100, 20);

    SendMessageW(button, WM_MOUSEMOVE, 0, At(10, 10));
    EXPECT_EQ(1, Prop(button, "MOUSEFLAG"));
    EXPECT_EQ(1, Prop(button, "OLDSTATE"));
    EXPECT_EQ(FadeId(), Prop(button, "TIMERID"));
    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
    EXPECT_EQ(2, Prop(button, "OLDSTATE"));
    EXPECT_EQ(0, Prop(button, "TIMERID"));
    SendMessageW(button, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(0, Prop(button, "OLDSTATE"));
    EXPECT_EQ(FadeId(), Prop(button, "TIMERID"));
    for (int x : {1, 2, 10, 50, 98})
        EXPECT_EQ(kSentinel, testing_support::WindowPixel(button, x, 10)) << x;
}

}  // namespace
