// The push button's fade, driven tick by tick with WM_TIMER; the hover timer; the export probe;
// and the leave notification with the real pointer.
#include <gtest/gtest.h>

#include <vector>

#include "button/button_fixture.h"
#include "core/attach.h"
#include "core/hover.h"
#include "core/props.h"
#include "render/button_renderer.h"
#include "support/test_windows.h"

using button_tests::SkinnedForm;
using testing_support::PumpMessages;
using testing_support::WindowPixel;

namespace {

// (2, 2) is inside the rounded corner: white on the normal face, 0xFEDA8D on the hot one.
constexpr int kProbeX = 2;
constexpr int kProbeY = 2;
constexpr int kNormalRed = 0xFF;
constexpr int kHotRed = 0x8D;

intptr_t Level(HWND button) { return skin::GetSkinProp(button, skin::kPropAlphaLevel); }
intptr_t TimerId(HWND button) { return skin::GetSkinProp(button, skin::kPropTimerId); }

LRESULT Tick(HWND window, WPARAM id = 1) { return SendMessageW(window, WM_TIMER, id, 0); }

int ProbeRed(HWND button) { return GetRValue(WindowPixel(button, kProbeX, kProbeY)); }

// Shows the normal face fully, then sets the button up to fade the hot face in from `level`.
void StartHotFade(HWND button, intptr_t level) {
    skin::SetSkinProp(button, skin::kPropOldState, skin::Normal);
    skin::SetSkinProp(button, skin::kPropAlphaLevel, 255);
    skin::BlendButtonFace(button, nullptr);
    ASSERT_EQ(kNormalRed, ProbeRed(button));
    skin::SetSkinProp(button, skin::kPropOldState, skin::Hot);
    skin::SetSkinProp(button, skin::kPropAlphaLevel, level);
    ASSERT_NE(0, skin::StartHoverTimer(button));
}

// The red channel after one constant-alpha blend of the hot face over the normal one.
int BlendedRed(int level) { return (kHotRed * level + kNormalRed * (255 - level) + 127) / 255; }

bool TimerMessageWaiting(HWND window) {
    MSG msg;
    return PeekMessageW(&msg, window, WM_TIMER, WM_TIMER, PM_REMOVE) != FALSE;
}

// Stands in as a window's previous procedure and notes what reaches it.
struct Received {
    UINT message = 0;
    WPARAM wParam = 0;
    intptr_t levelOnArrival = -1;
    int count = 0;
};
Received received;
WNDPROC forwardTo = nullptr;
constexpr LRESULT kPreviousResult = 0x5A5A;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        received.message = message;
        received.wParam = wParam;
        received.levelOnArrival = Level(window);
        ++received.count;
        return kPreviousResult;
    }
    return forwardTo ? CallWindowProcW(forwardTo, window, message, wParam, lParam)
                     : DefWindowProcW(window, message, wParam, lParam);
}

// Puts RecordingProc between the skin and the window's own procedure for one scope.
class RecordPrevious {
public:
    explicit RecordPrevious(HWND window) : window_(window) {
        received = {};
        forwardTo = reinterpret_cast<WNDPROC>(skin::GetSkinProp(window, skin::kPropProcAddr));
        skin::SetSkinProp(window, skin::kPropProcAddr, reinterpret_cast<intptr_t>(RecordingProc));
    }
    ~RecordPrevious() {
        skin::SetSkinProp(window_, skin::kPropProcAddr, reinterpret_cast<intptr_t>(forwardTo));
        forwardTo = nullptr;
    }
    RecordPrevious(const RecordPrevious&) = delete;
    RecordPrevious& operator=(const RecordPrevious&) = delete;

private:
    HWND window_;
};

const wchar_t kPlainClass[] = L"DorrikButtonTestPlain";

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterPlainClass() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = PlainProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kPlainClass;
    RegisterClassW(&wc);
}

}  // namespace

TEST(HoverFade, FromZeroTakes86TicksAndEndsOnTheFullFace) {
    SkinnedForm form;
    HWND button = form.AddButton(L"Go");
    form.Attach();
    ASSERT_NO_FATAL_FAILURE(StartHotFade(button, 0));

    int previousRed = kNormalRed;
    for (int tick = 1; tick <= 85; ++tick) {
        Tick(button);
        ASSERT_EQ(3 * tick, Level(button)) << tick;
        ASSERT_NE(0, TimerId(button)) << tick;
        // Each tick lays the hot face over what the last one left: the pixel only moves one way.
        const int red = ProbeRed(button);
        ASSERT_LE(red, previousRed) << tick;
        previousRed = red;
        // The first tick blends at 0 and leaves the picture; the change is slow at first.
        if (tick == 1) {
            EXPECT_EQ(kNormalRed, red);
        }
        if (tick == 10) {
            EXPECT_GT(red, kHotRed + 40);
        }
    }
    Tick(button);
    EXPECT_EQ(0, Level(button));
    EXPECT_EQ(0, TimerId(button));
    EXPECT_EQ(GetPixel(skin::GetStateSurface(button, skin::Hot), kProbeX, kProbeY),
              WindowPixel(button, kProbeX, kProbeY));
    EXPECT_EQ(kHotRed, ProbeRed(button));

    // The stopped timer sends nothing more.
    Sleep(60);
    EXPECT_FALSE(TimerMessageWaiting(button));
}

TEST(HoverFade, FromSixtyTakes66Ticks) {
    SkinnedForm form;
    HWND button = form.AddButton(L"Go");
    form.Attach();
    ASSERT_NO_FATAL_FAILURE(StartHotFade(button, 60));

    int ticks = 0;
    while (TimerId(button) != 0 && ticks < 200) {
        Tick(button);
        ++ticks;
    }
    EXPECT_EQ(66, ticks);
    EXPECT_EQ(0, Level(button));
    EXPECT_EQ(kHotRed, ProbeRed(button));
}

TEST(HoverFade, TickAt253IsTheLastAndTickAt252IsNot) {
    SkinnedForm form;
    HWND button = form.AddButton(L"Go");
    form.Attach();

    ASSERT_NO_FATAL_FAILURE(StartHotFade(button, 253));
    Tick(button);
    EXPECT_NEAR(BlendedRed(253), ProbeRed(button), 1);
    EXPECT_EQ(0, Level(button));
    EXPECT_EQ(0, TimerId(button));

    ASSERT_NO_FATAL_FAILURE(StartHotFade(button, 252));
    Tick(button);
    EXPECT_NEAR(BlendedRed(252), ProbeRed(button), 1);
    EXPECT_EQ(255, Level(button));
    EXPECT_NE(0, TimerId(button));
    Tick(button);
    EXPECT_EQ(kHotRed, ProbeRed(button));
    EXPECT_EQ(0, Level(button));
    EXPECT_EQ(0, TimerId(button));
}

TEST(HoverFade, TimerMessageOfAnyIdentifierStepsAPushButtonThenPassesOn) {
    SkinnedForm form;
    HWND button = form.AddButton(L"Go");
    form.Attach();
    skin::SetSkinProp(button, skin::kPropAlphaLevel, 30);

    RecordPrevious record(button);
    EXPECT_EQ(kPreviousResult, Tick(button, 77));
    EXPECT_EQ(33, Level(button));
    EXPECT_EQ(1, received.count);
    EXPECT_EQ(77u, received.wParam);
    // The step comes first, then the button's own procedure.
    EXPECT_EQ(33, received.levelOnArrival);
}

TEST(HoverFade, TimerMessageToOtherKindsIsOnlyPassedOn) {
    RegisterPlainClass();
    SkinnedForm form;
    HWND plain = form.AddChild(kPlainClass, L"");
    form.Attach();
    ASSERT_EQ(skin::ControlKind::Other, skin::ClassifyWindow(plain));

    for (HWND window : {plain, form.form()}) {
        RecordPrevious record(window);
        EXPECT_EQ(kPreviousResult, Tick(window, 1));
        EXPECT_EQ(1, received.count);
        EXPECT_EQ(1u, received.wParam);
        EXPECT_EQ(std::vector<std::string>{"PROCADDR"}, testing_support::SkinPropertyNames(window));
    }
}

TEST(HoverTimer, StartingARunningTimerKeepsTheOneTimer) {
    SkinnedForm form;
    HWND button = form.AddButton(L"Go");
    form.Attach();

    const LRESULT id = skin::StartHoverTimer(button);
    EXPECT_NE(0, id);
    EXPECT_EQ(0, skin::StartHoverTimer(button));
    EXPECT_EQ(id, TimerId(button));
    Sleep(40);
    EXPECT_TRUE(TimerMessageWaiting(button));

    EXPECT_NE(0, skin::StopHoverTimer(button));
    EXPECT_EQ(0, TimerId(button));
    while (TimerMessageWaiting(button)) {
    }
    Sleep(60);
    EXPECT_FALSE(TimerMessageWaiting(button));
}

// Waits (generously) for a WM_TIMER of that identifier to reach the window.
bool TimerArrives(HWND window, UINT_PTR id) {
    const DWORD deadline = GetTickCount() + 5000;
    MSG msg;
    while (GetTickCount() < deadline) {
        while (PeekMessageW(&msg, window, WM_TIMER, WM_TIMER, PM_REMOVE)) {
            if (msg.wParam == id) return true;
        }
        Sleep(5);
    }
    return false;
}

// The program's own timer 1 on the button runs on through a whole fade and after it.
TEST(HoverTimer, AProgramsTimerOnTheButtonOutlivesTheFade) {
    SkinnedForm form;
    HWND button = form.AddButton(L"Go");
    form.Attach();
    ASSERT_NE(0u, SetTimer(button, 1, 10, nullptr));
    ASSERT_NO_FATAL_FAILURE(StartHotFade(button, 0));
    const UINT_PTR fade = static_cast<UINT_PTR>(TimerId(button));
    EXPECT_NE(1u, fade);
    EXPECT_TRUE(TimerArrives(button, 1)) << "the program's timer while the fade runs";
    for (int tick = 0; tick < 86 && TimerId(button) != 0; ++tick) Tick(button, fade);
    EXPECT_EQ(0, TimerId(button));
    EXPECT_TRUE(TimerArrives(button, 1)) << "the program's timer after the fade";
    KillTimer(button, 1);
}

TEST(HoverTimer, StoppingWithNoTimerTouchesNothing) {
    RegisterPlainClass();
    SkinnedForm form;
    HWND plain = form.AddChild(kPlainClass, L"");
    // A timer of identifier 1 that the skin did not start, on a window without TIMERID.
    ASSERT_NE(0u, SetTimer(plain, 1, 10, nullptr));
    EXPECT_EQ(0, skin::StopHoverTimer(plain));
    EXPECT_TRUE(testing_support::SkinPropertyNames(plain).empty());
    Sleep(40);
    EXPECT_TRUE(TimerMessageWaiting(plain));
    KillTimer(plain, 1);
}

TEST(ExportProbe, FindsTrackMouseEventInUser32AndLeavesItLoaded) {
    ASSERT_NE(nullptr, GetModuleHandleA("user32.dll"));
    EXPECT_TRUE(skin::IsExportAvailable("TrackMouseEvent", "User32"));
    EXPECT_NE(nullptr, GetModuleHandleA("user32.dll"));
    EXPECT_FALSE(skin::IsExportAvailable("NoSuchExportAnywhere", "User32"));
    EXPECT_NE(nullptr, GetModuleHandleA("user32.dll"));
}

TEST(ExportProbe, ReleasesALibraryItLoadedOnlyToAsk) {
    // A library this program does not use otherwise.
    ASSERT_EQ(nullptr, GetModuleHandleA("msacm32.dll"));
    EXPECT_FALSE(skin::IsExportAvailable("NoSuchExportAnywhere", "msacm32.dll"));
    EXPECT_EQ(nullptr, GetModuleHandleA("msacm32.dll"));
    EXPECT_TRUE(skin::IsExportAvailable("acmGetVersion", "msacm32.dll"));
    EXPECT_EQ(nullptr, GetModuleHandleA("msacm32.dll"));
}

TEST(ExportProbe, LibraryThatCannotBeLoadedAnswersFalse) {
    EXPECT_FALSE(skin::IsExportAvailable("TrackMouseEvent", "dorrik_no_such_library.dll"));
    EXPECT_EQ(nullptr, GetModuleHandleA("dorrik_no_such_library.dll"));
}

// The pointer really moves in and out of a window; only a request brings WM_MOUSELEAVE.
class LeaveTracking : public ::testing::TestWithParam<bool> {};

namespace {

// Moves the real pointer onto the window and off again, asking for a leave notification in
// between if `request`; true when WM_MOUSELEAVE reached the window within `waitMs`. Wine looks at
// the pointer on a timer of the system hover time (400 ms), so the wait is generous.
bool PointerLeaves(HWND window, bool request, DWORD waitMs) {
    RECT rect;
    GetWindowRect(window, &rect);
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    PumpMessages();
    Sleep(30);
    PumpMessages();
    if (request) skin::TrackMouseLeave(window);
    SetCursorPos(2, 2);
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < waitMs) {
        Sleep(10);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            const bool left = msg.message == WM_MOUSELEAVE && msg.hwnd == window;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            if (left) return true;
        }
    }
    return false;
}

}  // namespace

TEST_P(LeaveTracking, PointerLeavingAfterARequestBringsMouseLeave) {
    RegisterPlainClass();
    SkinnedForm form;
    HWND plain = form.AddChild(kPlainClass, L"");
    PumpMessages();
    skin::EngineState& engine = skin::Engine();
    const bool saved = engine.hasTrackMouseEvent;
    engine.hasTrackMouseEvent = GetParam();

    EXPECT_FALSE(PointerLeaves(plain, false, 600));
    EXPECT_TRUE(PointerLeaves(plain, true, 2000));
    // One request, one notification.
    EXPECT_FALSE(PointerLeaves(plain, false, 600));

    engine.hasTrackMouseEvent = saved;
}

INSTANTIATE_TEST_SUITE_P(User32AndComctl32, LeaveTracking, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "TrackMouseEvent" : "ComctlTrackMouseEvent";
                         });
