// The engine as a guest in programs it does not know: other code that uses its property names, a
// second copy of the engine in the process, frameworks that take the skin out of a window's chain,
// handles that come back, threads that skin at once or end with skinned windows, and a DLL the
// program lets go of early.
#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <thread>

#include "../support/test_windows.h"
#include "control_classes.h"
#include "core/attach.h"
#include "core/props.h"
#include "core/window_proc.h"
#include "dorrik_skin.h"
#include "reliability_fixture.h"
#include "render/image_set.h"

namespace reliability {
namespace {

using testing_support::PumpMessages;
using testing_support::RegisterOwnClass;
using testing_support::TestWindow;

class GuestTest : public ReliabilityTest {};

bool RunsSkin(HWND window) {
    return GetWindowLongPtrW(window, GWLP_WNDPROC) ==
           reinterpret_cast<LONG_PTR>(&skin::SkinWindowProc);
}

WNDPROC ProcOf(HWND window) {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
}

void PaintNow(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW);
}

// The DLL built beside this program, as another module of the process would load it.
struct SkinDll {
    using Attach = LONG(WINAPI*)(HWND);
    HMODULE module = LoadLibraryW(L"dorrikskin.dll");
    Attach attach = Entry("AttachSkin");
    Attach detach = Entry("DetachSkin");
    Attach Entry(const char* name) const {
        return module ? reinterpret_cast<Attach>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                      : nullptr;
    }
};

// A program's own code stores a property of its own under the skin's common name before the
// window first paints: the skin leaves that window alone, and the paint goes on once.
TEST_F(GuestTest, AChildThatSetsPROCADDRItselfBeforeItsFirstPaintIsLeftAlone) {
    TestWindow form(300, 200);
    ASSERT_EQ(1, AttachSkin(form.get()));
    HWND child = controls::CreateControl(L"Button", L"Own", form.get(), 10, 10, 80, 25);
    ASSERT_TRUE(RunsSkin(child)) << "made inside a skinned form, the child waits for its first paint";
    const WNDPROC own = reinterpret_cast<WNDPROC>(GetClassLongPtrW(child, GCLP_WNDPROC));
    SetPropA(child, "PROCADDR", reinterpret_cast<HANDLE>(0x1234));

    PaintNow(child);
    EXPECT_EQ(own, ProcOf(child)) << "the skin's link stayed in a window it does not skin";
    EXPECT_EQ(nullptr, skin::FindRecord(child));
    EXPECT_EQ(reinterpret_cast<HANDLE>(0x1234), GetPropA(child, "PROCADDR"));
    EXPECT_EQ(1, skin::Engine().skinnedWindowCount);
    RemovePropA(child, "PROCADDR");
    EXPECT_EQ(1, DetachSkin(form.get()));
}

// The static library in the program and the DLL of a plug-in, both at work on one form: one
// skins the form, the other a child that the first was waiting to skin. Both take their skin
// off, and the DLL stays loaded after the program lets it go.
TEST_F(GuestTest, TheStaticLibraryAndTheDllInOneProcess) {
    SkinDll dll;
    ASSERT_TRUE(dll.attach && dll.detach) << "dorrikskin.dll beside the test program";
    TestWindow form(300, 200);
    ASSERT_EQ(1, AttachSkin(form.get()));
    EXPECT_EQ(0, dll.attach(form.get())) << "the form is skinned already";
    HWND child = controls::CreateControl(L"Button", L"Both", form.get(), 10, 10, 80, 25);
    const WNDPROC own = reinterpret_cast<WNDPROC>(GetClassLongPtrW(child, GCLP_WNDPROC));
    EXPECT_EQ(1, dll.attach(child));
    PaintNow(child);  // the static library's waiting link meets the DLL's PROCADDR
    EXPECT_NE(nullptr, GetPropA(child, "PROCADDR"));

    EXPECT_EQ(1, dll.detach(child));
    EXPECT_EQ(1, DetachSkin(form.get()));
    EXPECT_EQ(own, ProcOf(child));
    EXPECT_EQ(nullptr, GetPropA(child, "PROCADDR"));
    EXPECT_EQ(0u, skin::RecordCount());
    FreeLibrary(dll.module);
    EXPECT_NE(nullptr, GetModuleHandleW(L"dorrikskin.dll")) << "its procedure was in a window";
}

// Both copies of the engine stand in front of the scroll calls, the DLL's in front of the static
// library's: a thumb the DLL drags in its window is what GetScrollInfo answers for it.
WNDPROC listProc = nullptr;
int trackedAt = -1, trackAnswered = -1;
LRESULT CALLBACK RecordThumbTrack(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_VSCROLL && LOWORD(wParam) == SB_THUMBTRACK) {
        SCROLLINFO info{sizeof(info), SIF_TRACKPOS, 0, 0, 0, 0, 0};
        GetScrollInfo(window, SB_VERT, &info);
        trackedAt = HIWORD(wParam);
        trackAnswered = info.nTrackPos;
    }
    return CallWindowProcW(listProc, window, message, wParam, lParam);
}

TEST_F(GuestTest, BothCopiesOfTheEngineAnswerForTheThumbsTheyDrag) {
    SkinDll dll;
    using AttachEx = LONG(WINAPI*)(HWND, DWORD);
    const auto attachEx = reinterpret_cast<AttachEx>(reinterpret_cast<void*>(GetProcAddress(dll.module, "AttachSkinEx")));
    ASSERT_TRUE(attachEx && dll.detach) << "dorrikskin.dll beside the test program";
    TestWindow form(200, 240);
    HWND mine = controls::CreateControl(L"ListBox", L"", form.get(), 170, 10, 20, 60, WS_VSCROLL);
    ASSERT_EQ(1, AttachSkinEx(mine, DORRIK_SKIN_SCROLLBARS));
    HWND list = controls::CreateControl(L"ListBox", L"", form.get(), 10, 10, 150, 200,
                                        WS_VSCROLL | LBS_NOINTEGRALHEIGHT);
    for (int i = 0; i < 1000; ++i) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Line"));
    listProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordThumbTrack)));
    ASSERT_EQ(1, attachEx(list, DORRIK_SKIN_SCROLLBARS));
    PaintNow(list);
    PumpMessages();

    // A press on the thumb, a move 40 pixels down and the release, waiting in the queue for the
    // skin's own run of the press.
    SCROLLBARINFO bar{};
    bar.cbSize = sizeof(bar);
    ASSERT_TRUE(GetScrollBarInfo(list, OBJID_VSCROLL, &bar));
    const POINT press{(bar.rcScrollBar.left + bar.rcScrollBar.right) / 2,
                      bar.rcScrollBar.top + (bar.xyThumbTop + bar.xyThumbBottom) / 2};
    POINT moved{press.x, press.y + 40};
    ScreenToClient(list, &moved);
    PostMessageW(list, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(moved.x, moved.y));
    PostMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(moved.x, moved.y));
    SendMessageW(list, WM_SYSCOMMAND, SC_VSCROLL | HTVSCROLL, MAKELPARAM(press.x, press.y));
    EXPECT_GT(trackedAt, 0) << "the thumb did not move";
    EXPECT_EQ(trackedAt, trackAnswered) << "GetScrollInfo's track position is not the dragged thumb's";

    EXPECT_EQ(1, dll.detach(list));
    EXPECT_EQ(1, DetachSkin(mine));
    SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(listProc));
}

// A framework window that replaces its procedure while it is made (an ATL thunk drops what the
// creation hook put in: the skin links it again on top), and a button whose program takes its own
// subclass off under the skin's and then destroys it: the skin never hears of it again. Detaching
// the form still leaves nothing behind, the framework's procedure in place, and the engine free
// for another thread.
LRESULT CALLBACK FrameworkFinalProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK FrameworkStartProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FrameworkFinalProc));
    return DefWindowProcW(window, message, wParam, lParam);
}

WNDPROC buttonProc = nullptr;
LRESULT CALLBACK ProgramSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(buttonProc, window, message, wParam, lParam);
}

TEST_F(GuestTest, WindowsThatFrameworksCutTheSkinOutOfLeaveNothingBehind) {
    ASSERT_TRUE(RegisterOwnClass(L"FrameworkWindow", FrameworkStartProc));
    TestWindow form(300, 200);
    HWND button = controls::CreateControl(L"Button", L"Cut", form.get(), 10, 10, 80, 25);
    buttonProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ProgramSubclass)));
    ASSERT_EQ(1, AttachSkin(form.get()));
    HWND framework = CreateWindowExW(0, L"FrameworkWindow", L"", WS_CHILD | WS_VISIBLE, 10, 50, 80,
                                     25, form.get(), nullptr, GetModuleHandleW(nullptr), nullptr);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(skin::SkinWindowProc), ProcOf(framework));

    // The program takes its subclass off in the wrong order, then the button goes.
    SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(buttonProc));
    DestroyWindow(button);
    EXPECT_EQ(1, DetachSkin(form.get()));
    EXPECT_EQ(reinterpret_cast<WNDPROC>(FrameworkFinalProc), ProcOf(framework));

    EXPECT_EQ(0, skin::Engine().skinnedWindowCount);
    EXPECT_FALSE(skin::Engine().initialised);
    EXPECT_EQ(nullptr, skin::SkinImages().ButtonFaceImage);
    EXPECT_EQ(0u, skin::RecordCount());
    std::atomic<LONG> elsewhere{-1};
    std::thread([&] {
        TestWindow other(100, 100);
        elsewhere = AttachSkin(other.get());
        DetachSkin(other.get());
    }).join();
    EXPECT_EQ(1, elsewhere.load()) << "another thread could not use the engine afterwards";
}

// A first AttachSkin that attaches nothing, here from another thread, starts nothing there: the
// thread that owns the windows skins them afterwards.
TEST_F(GuestTest, AFirstAttachOfNothingDoesNotKeepTheEngine) {
    TestWindow form(300, 200);
    std::atomic<bool> startedThere{true};
    std::thread([&] {
        AttachSkin(nullptr);
        AttachSkin(form.get());  // a window of another thread
        startedThere = skin::Engine().initialised || skin::Engine().creationHook != nullptr;
    }).join();
    EXPECT_FALSE(startedThere.load());
    EXPECT_EQ(1, AttachSkin(form.get()));
    EXPECT_EQ(1, DetachSkin(form.get()));
}

// Two threads skin forms of their own at the same moment, each with its own engine: both are
// skinned, the first to finish takes only its own skin off (the images the other still paints
// with stay), and when both are done nothing of either is left.
TEST_F(GuestTest, TwoThreadsSkinTheirOwnFormsAtOnce) {
    for (int round = 0; round < 10; ++round) {
        std::atomic<int> step{0};
        std::atomic<LONG> attached[2] = {-1, -1};
        std::atomic<bool> stillSkinned{false}, imagesKept{false}, engineStopped[2] = {false, false};
        auto side = [&](int which) {
            TestWindow form(60, 60, nullptr, WS_POPUP | WS_VISIBLE, 100 + 80 * which, 100);
            HWND button = controls::CreateControl(L"Button", L"Race", form.get(), 5, 5, 40, 20);
            ++step;
            while (step < 2) {
            }
            attached[which] = AttachSkinEx(form.get(), DORRIK_SKIN_ALL);
            ++step;
            while (step < 4) {
            }
            if (which == 0) {
                DetachSkin(form.get());
                engineStopped[0] = !skin::Engine().initialised && !skin::Engine().creationHook;
                ++step;
            } else {
                while (step < 5) {
                }
                stillSkinned = GetPropA(button, "PROCADDR") != nullptr;
                imagesKept = GetObjectType(skin::SkinImages().ButtonFaceImage) == OBJ_MEMDC;
                PaintNow(form.get());
                DetachSkin(form.get());
                engineStopped[1] = !skin::Engine().initialised && !skin::Engine().creationHook;
            }
        };
        std::thread first(side, 0), second(side, 1);
        first.join();
        second.join();
        EXPECT_EQ(1, attached[0].load()) << "round " << round;
        EXPECT_EQ(1, attached[1].load()) << "round " << round;
        EXPECT_TRUE(stillSkinned.load()) << "round " << round << ": one thread's detach reached the other's form";
        EXPECT_TRUE(imagesKept.load()) << "round " << round << ": the images went while a thread still used them";
        EXPECT_TRUE(engineStopped[0].load() && engineStopped[1].load()) << "round " << round;
        EXPECT_EQ(nullptr, skin::SkinImages().ButtonFaceImage) << "round " << round;
    }
}

// A thread that ends with its windows still skinned: the platform destroys them without their
// last messages. Nothing the skin made for them stays (the fixture counts every GDI object), and
// any thread goes on skinning.
TEST_F(GuestTest, AThreadThatEndsWithSkinnedWindowsLeavesNothingBehind) {
    std::atomic<LONG> attached{-1};
    std::atomic<HWND> gone{nullptr};
    ASSERT_TRUE(controls::RegisterControlClasses());
    std::thread([&] {
        HWND form = CreateWindowExW(0, controls::kFormClass, L"Worker", WS_POPUP | WS_VISIBLE, 300, 100,
                                    200, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        controls::CreateControl(L"Button", L"Work", form, 10, 10, 80, 25);
        controls::CreateControl(L"Button", L"Stop", form, 10, 40, 80, 25);
        HWND list = controls::CreateControl(WC_LISTVIEWW, L"", form, 100, 10, 90, 80);
        SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES);
        attached = AttachSkinEx(form, DORRIK_SKIN_ALL);
        PumpMessages();
        gone = form;
    }).join();
    ASSERT_EQ(1, attached.load());
    EXPECT_FALSE(IsWindow(gone.load())) << "the platform keeps the ended thread's window";

    TestWindow form(200, 100);
    HWND button = controls::CreateControl(L"Button", L"Here", form.get(), 10, 10, 80, 25);
    EXPECT_EQ(1, AttachSkin(form.get()));
    EXPECT_TRUE(RunsSkin(button));
    EXPECT_EQ(1, DetachSkin(form.get()));
    EXPECT_EQ(nullptr, skin::SkinImages().ButtonFaceImage) << "the ended thread still holds the images";
}

// A handle that comes back for a new window while the skin still has a record of the one that
// had it before (it went with the skin cut out of its chain): the new window is skinned properly.
TEST_F(GuestTest, AHandleThatComesBackWithAStaleRecordIsSkinnedAnew) {
    TestWindow form(300, 200);
    HWND button = controls::CreateControl(L"Button", L"New", form.get(), 10, 10, 80, 25);
    for (const skin::Link stale : {skin::Link::Waiting, skin::Link::PassThrough}) {
        skin::WindowRecord& record = skin::CreateRecord(button);
        record.link = stale;
        record.previous = DefWindowProcW;
        ASSERT_EQ(1, AttachSkin(form.get()));
        EXPECT_TRUE(RunsSkin(button)) << "the skin's procedure was never installed";
        EXPECT_EQ(BS_OWNERDRAW, GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK);
        EXPECT_EQ(2, skin::Engine().skinnedWindowCount);
        EXPECT_EQ(1, DetachSkin(form.get()));
        EXPECT_EQ(BS_PUSHBUTTON, GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK);
        EXPECT_FALSE(RunsSkin(button));
    }
}

// The program lets go of the DLL while a form is skinned; the last skin comes off inside the
// form's WM_DESTROY, whose own handler then takes its time before it returns into the DLL.
LRESULT CALLBACK SlowDestroyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) Sleep(300);
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(GuestTest, TheLastDetachInsideASlowDestroyAfterTheProgramLetGoOfTheDll) {
    ASSERT_TRUE(RegisterOwnClass(L"SlowDestroyForm", SlowDestroyProc));
    HWND form = CreateWindowExW(0, L"SlowDestroyForm", L"Slow", WS_POPUP | WS_VISIBLE, 50, 50, 200, 100,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SkinDll dll;
    ASSERT_TRUE(dll.attach);
    ASSERT_EQ(1, dll.attach(form));
    FreeLibrary(dll.module);
    DestroyWindow(form);  // returns through the DLL's procedure after 300 ms
    PumpMessages();
    EXPECT_NE(nullptr, GetModuleHandleW(L"dorrikskin.dll"));
}

}  // namespace
}  // namespace reliability
