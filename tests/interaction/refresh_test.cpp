// After every left-button release the skinned check boxes and option buttons under the same
// parent are repainted Normal, forced; unskinned ones are left alone.
#include <gtest/gtest.h>

#include "control_classes.h"
#include "dorrik_skin.h"
#include "interaction/interaction_fixture.h"

using namespace interaction_tests;

namespace {

constexpr int kBoxWidth = 100;
constexpr int kBoxHeight = 17;

class SiblingRefresh : public ::testing::Test {
protected:
    void SetUp() override {
        button = form.AddControl(L"Button", L"", 10, 10, 75, 25);
        checkOnForm = form.AddControl(controls::kCheckBoxClass, L"A", 10, 50, kBoxWidth, kBoxHeight);
        frame = form.AddControl(L"Static", L"", 150, 10, 200, 150);
        optionInFrame =
            form.AddControl(controls::kOptionButtonClass, L"B", 10, 10, kBoxWidth, kBoxHeight, 0, frame);
        checkInFrame =
            form.AddControl(controls::kCheckBoxClass, L"C", 10, 40, kBoxWidth, kBoxHeight, 0, frame);
        for (HWND control : {button, checkOnForm, frame, optionInFrame, checkInFrame})
            form.ProbeOf(control);
        form.Attach();
        // Made after the skin went on (and so skinned as it appears), then taken off again.
        unskinned =
            form.AddControl(controls::kCheckBoxClass, L"D", 10, 70, kBoxWidth, kBoxHeight, 0, frame);
        DetachSkin(unskinned);
        PointerAway();
        for (HWND box : {checkOnForm, optionInFrame, checkInFrame}) {
            SendMessageW(box, WM_MOUSEMOVE, 0, At(5, 5));
            ASSERT_EQ(1, Prop(box, "OLDSTATE"));
        }
        for (HWND box : {checkOnForm, optionInFrame, checkInFrame, unskinned})
            PaintSentinel(box, 0, 0, kBoxWidth, kBoxHeight);
    }

    static bool Repainted(HWND box) {
        return testing_support::WindowPixel(box, 0, kBoxHeight / 2) != kSentinel;
    }

    SkinnedForm form;
    HWND button = nullptr;
    HWND checkOnForm = nullptr;
    HWND frame = nullptr;
    HWND optionInFrame = nullptr;
    HWND checkInFrame = nullptr;
    HWND unskinned = nullptr;
};

TEST_F(SiblingRefresh, ReleaseOnAButtonRepaintsAllBoxesOfItsParentAlsoInsideAFrame) {
    EXPECT_EQ(ProbeResult(WM_LBUTTONUP), SendMessageW(button, WM_LBUTTONUP, 0, At(5, 5)));
    for (HWND box : {checkOnForm, optionInFrame, checkInFrame}) {
        EXPECT_EQ(0, Prop(box, "OLDSTATE"));
        EXPECT_TRUE(Repainted(box));
    }
    EXPECT_FALSE(Repainted(unskinned));
    EXPECT_EQ(0, Prop(unskinned, "OLDSTATE"));
    EXPECT_EQ(0, Prop(unskinned, "PROCADDR"));
}

TEST_F(SiblingRefresh, ReleaseInsideTheFrameRefreshesTheFrameOnly) {
    SendMessageW(checkInFrame, WM_LBUTTONUP, 0, At(5, 5));
    for (HWND box : {optionInFrame, checkInFrame}) {
        EXPECT_EQ(0, Prop(box, "OLDSTATE"));
        EXPECT_TRUE(Repainted(box));
    }
    EXPECT_EQ(1, Prop(checkOnForm, "OLDSTATE"));
    EXPECT_FALSE(Repainted(checkOnForm));
    EXPECT_FALSE(Repainted(unskinned));

    // Already Normal: repainted all the same.
    PaintSentinel(optionInFrame, 0, 0, kBoxWidth, kBoxHeight);
    SendMessageW(optionInFrame, WM_LBUTTONUP, 0, At(5, 5));
    EXPECT_TRUE(Repainted(optionInFrame));
    EXPECT_FALSE(Repainted(checkOnForm));
}

// The frame has no rules of its own; its release still refreshes everything beside it.
TEST_F(SiblingRefresh, ReleaseOnAWindowWithoutRulesStillRefreshes) {
    SendMessageW(frame, WM_LBUTTONUP, 0, At(5, 5));
    for (HWND box : {checkOnForm, optionInFrame, checkInFrame}) {
        EXPECT_EQ(0, Prop(box, "OLDSTATE"));
        EXPECT_TRUE(Repainted(box));
    }
    EXPECT_FALSE(Repainted(unskinned));
}

// The form has no parent: its own descendants are refreshed.
TEST_F(SiblingRefresh, ReleaseOnATopLevelFormRefreshesItsOwnDescendants) {
    ASSERT_EQ(nullptr, GetParent(form.form()));
    SendMessageW(form.form(), WM_LBUTTONUP, 0, At(5, 5));
    for (HWND box : {checkOnForm, optionInFrame, checkInFrame}) {
        EXPECT_EQ(0, Prop(box, "OLDSTATE"));
        EXPECT_TRUE(Repainted(box));
    }
    EXPECT_FALSE(Repainted(unskinned));
}

// A window the form owns (a dialog over it) refreshes the boxes of its owner, the form.
TEST_F(SiblingRefresh, ReleaseOnAWindowTheFormOwnsRefreshesTheFormsBoxes) {
    HWND owned = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 50, 20, form.form(), nullptr,
                                 nullptr, nullptr);
    ASSERT_EQ(1, AttachSkin(owned));
    SendMessageW(owned, WM_LBUTTONUP, 0, At(5, 5));
    for (HWND box : {checkOnForm, optionInFrame, checkInFrame}) {
        EXPECT_EQ(0, Prop(box, "OLDSTATE"));
        EXPECT_TRUE(Repainted(box));
    }
    DetachSkin(owned);
    DestroyWindow(owned);
}

}  // namespace
