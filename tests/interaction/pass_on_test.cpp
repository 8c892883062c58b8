// Every input message reaches the control's own procedure unchanged and exactly once, and its
// result comes back, for every kind; kinds without rules get nothing else.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "control_classes.h"
#include "dorrik_skin.h"
#include "interaction/interaction_fixture.h"

using namespace interaction_tests;

namespace {

struct Input {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

const Input kInputs[] = {
    {WM_MOUSEMOVE, 0, At(3, 4)},          {WM_LBUTTONDOWN, MK_LBUTTON, At(5, 6)},
    {WM_LBUTTONUP, 0, At(5, 6)},          {WM_LBUTTONDBLCLK, MK_LBUTTON, At(7, 8)},
    {WM_MOUSELEAVE, 0, 0},                {WM_KEYDOWN, VK_SPACE, 0x00390001},
    {WM_KEYUP, VK_SPACE, 0x00390001},     {WM_ENABLE, 1, 0},
    {WM_SETFOCUS, 0, 0},                  {WM_KILLFOCUS, 0, 0},
};

struct KindCase {
    const char* name;
    const wchar_t* className;
    DWORD style;
    bool hasRules;
};

const KindCase kKinds[] = {
    {"Button", L"Button", 0, true},
    {"ThunderRT6CheckBox", controls::kCheckBoxClass, 0, true},
    {"ThunderRT6OptionButton", controls::kOptionButtonClass, 0, true},
    {"ThunderRT6ComboBox", controls::kComboBoxClass, 0, true},
    {"ThunderRT6DriveListBox", controls::kDriveListClass, 0, true},
    {"SysHeader32", WC_HEADERW, 0, true},
    {"Static", L"Static", 0, false},
    {"ProgressBar20WndClass", controls::kProgressBarClass, 0, false},
    {"DataListWndClass", controls::kDataListClass, 0, false},
};

TEST(PassOn, EveryInputMessageReachesTheControlOnceWithItsResult) {
    for (const KindCase& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        SkinnedForm form;
        HWND control = form.AddControl(kind.className, L"x", 20, 20, 100, 24, kind.style);
        Probe& probe = form.ProbeOf(control);
        form.Attach();
        const auto propsBefore = testing_support::SkinPropertyNames(control);
        PaintSentinel(control, 0, 0, 100, 24);

        for (const Input& input : kInputs) {
            probe.Clear();
            EXPECT_EQ(ProbeResult(input.message),
                      SendMessageW(control, input.message, input.wParam, input.lParam))
                << std::hex << input.message;
            ASSERT_EQ(1u, probe.arrivals().size()) << std::hex << input.message;
            EXPECT_EQ(input.message, probe.arrivals()[0].message);
            EXPECT_EQ(input.wParam, probe.arrivals()[0].wParam);
            EXPECT_EQ(input.lParam, probe.arrivals()[0].lParam);
        }
        if (!kind.hasRules) {
            EXPECT_EQ(propsBefore, testing_support::SkinPropertyNames(control));
            EXPECT_EQ(kSentinel, testing_support::WindowPixel(control, 50, 12));
        }
    }
}

TEST(PassOn, FormsArePassedOnOnly) {
    SkinnedForm form;
    HWND inner = form.AddControl(controls::kFormClass, L"", 20, 20, 200, 100);
    Probe& probe = form.ProbeOf(inner);
    form.Attach();
    const auto propsBefore = testing_support::SkinPropertyNames(inner);
    for (const Input& input : kInputs) {
        EXPECT_EQ(ProbeResult(input.message),
                  SendMessageW(inner, input.message, input.wParam, input.lParam));
    }
    EXPECT_EQ(10u, probe.arrivals().size());
    EXPECT_EQ(propsBefore, testing_support::SkinPropertyNames(inner));
}

// A click whose own handling takes the skin off the button must not leave skin state behind.
TEST(PassOn, NothingIsWrittenWhenTheControlDetachedItself) {
    SkinnedForm form;
    HWND button = form.AddControl(L"Button", L"", 20, 20, 75, 25);
    Probe& probe = form.ProbeOf(button);
    form.Attach();
    PointerAt(button, 10, 10);
    SendMessageW(button, WM_MOUSEMOVE, 0, At(10, 10));
    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));

    probe.OnNext(WM_LBUTTONUP, [](HWND window) { DetachSkin(window); });
    EXPECT_EQ(ProbeResult(WM_LBUTTONUP), SendMessageW(button, WM_LBUTTONUP, 0, At(10, 10)));
    EXPECT_TRUE(testing_support::SkinPropertyNames(button).empty());
    EXPECT_FALSE(TimerRuns(button));
    KillTimer(button, 1);
}

}  // namespace
