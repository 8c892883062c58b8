// The skin's window procedure: what reaches the previous procedure, in which order, and which
// windows that appear later get attached.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "control_classes.h"
#include "core/attach.h"
#include "core/props.h"
#include "core/window_proc.h"
#include "dorrik_skin.h"
#include "support/test_windows.h"

using skin::GetSkinProp;
using skin::kPropProcAddr;
using testing_support::kStateBitmapNames;
using testing_support::PumpMessages;
using testing_support::RegionBox;
using testing_support::SkinPropertyNames;
using testing_support::TestWindow;

namespace {

// The window's own procedure, put in before the skin, so the skin's previous procedure is this.
struct Recorder {
    struct Call {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        bool attachedWhenCalled;
        int countWhenCalled;
    };
    static inline std::vector<Call> calls;
    static inline WNDPROC original = nullptr;
    static constexpr LRESULT kUnusualResult = 0x5A5A;

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        calls.push_back({message, wParam, lParam, GetSkinProp(window, kPropProcAddr) != 0,
                         skin::Engine().skinnedWindowCount});
        if (message == WM_NULL + 9 || message == WM_USER + 7) return kUnusualResult;
        return CallWindowProcW(original, window, message, wParam, lParam);
    }
    static void Install(HWND window) {
        calls.clear();
        original = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc)));
    }
    static int Count(UINT message) {
        int n = 0;
        for (const Call& c : calls) n += c.message == message;
        return n;
    }
};

}  // namespace

TEST(Routing, NullWindowAndMissingProcAddr) {
    EXPECT_EQ(0, skin::SkinWindowProc(nullptr, WM_PAINT, 0, 0));
    // A window running the skin's procedure without PROCADDR gets the default processing.
    TestWindow window(100, 100);
    wchar_t text[16] = {};
    EXPECT_EQ(4, skin::SkinWindowProc(window.get(), WM_GETTEXT, 16, reinterpret_cast<LPARAM>(text)));
    EXPECT_STREQ(L"Test", text);
}

TEST(Routing, UnroutedMessagesPassUnchangedWithTheirResults) {
    TestWindow form(200, 100);
    HWND child = controls::CreateControl(L"Static", L"x", form.get(), 0, 0, 50, 20);
    Recorder::Install(child);
    ASSERT_EQ(1, AttachSkin(form.get()));
    Recorder::calls.clear();

    EXPECT_EQ(Recorder::kUnusualResult, SendMessageW(child, 9, 0x1234, 0x5678));
    EXPECT_EQ(Recorder::kUnusualResult, SendMessageW(child, WM_USER + 7, 1, 2));
    ASSERT_EQ(2u, Recorder::calls.size());
    EXPECT_EQ(9u, Recorder::calls[0].message);
    EXPECT_EQ(0x1234u, Recorder::calls[0].wParam);
    EXPECT_EQ(0x5678, Recorder::calls[0].lParam);
    // A routed message that the skin does nothing with for this kind is passed on once too.
    Recorder::calls.clear();
    SendMessageW(child, WM_SIZE, 0, MAKELPARAM(50, 20));
    EXPECT_EQ(1, Recorder::Count(WM_SIZE));
    ASSERT_EQ(1, DetachSkin(form.get()));
}

TEST(Routing, DestroyDetachesBeforeThePreviousProcedureRuns) {
    TestWindow form(200, 100);
    HWND button = controls::CreateControl(L"Button", L"x", form.get(), 0, 0, 80, 25);
    Recorder::Install(button);
    ASSERT_EQ(1, AttachSkin(form.get()));
    ASSERT_EQ(2, skin::Engine().skinnedWindowCount);

    DestroyWindow(button);
    ASSERT_EQ(1, Recorder::Count(WM_DESTROY));
    for (const auto& call : Recorder::calls) {
        if (call.message != WM_DESTROY) continue;
        EXPECT_FALSE(call.attachedWhenCalled);
        EXPECT_EQ(1, call.countWhenCalled);
    }
    // WM_NCDESTROY went straight to the window's own procedure.
    EXPECT_EQ(1, Recorder::Count(WM_NCDESTROY));
    EXPECT_EQ(1, skin::Engine().skinnedWindowCount);
    ASSERT_EQ(1, DetachSkin(form.get()));
}

TEST(Routing, DestroyingTheLastWindowReleasesTheEngine) {
    TestWindow form(200, 100);
    ASSERT_EQ(1, AttachSkin(form.get()));
    DestroyWindow(form.release());
    EXPECT_EQ(0, skin::Engine().skinnedWindowCount);
    EXPECT_FALSE(skin::Engine().initialised);
}

TEST(Routing, ActivationAttachesOwnedPopupsAndDialogsOnly) {
    TestWindow form(200, 100);
    ASSERT_EQ(1, AttachSkin(form.get()));

    // A popup that the form owns, of any class.
    HWND owned = CreateWindowExW(0, L"Static", L"owned", WS_POPUP, 0, 0, 50, 50, form.get(),
                                 nullptr, nullptr, nullptr);
    // Unrelated windows: a dialog-class window and one of another class.
    HWND dialog = CreateWindowExW(0, reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(0x8002)), L"dlg",
                                  WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    HWND stranger = CreateWindowExW(0, L"Static", L"stranger", WS_POPUP, 0, 0, 50, 50, nullptr,
                                    nullptr, nullptr, nullptr);
    ASSERT_TRUE(dialog);

    SendMessageW(form.get(), WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(stranger));
    EXPECT_EQ(0, GetSkinProp(stranger, kPropProcAddr));
    SendMessageW(form.get(), WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(owned));
    EXPECT_NE(0, GetSkinProp(owned, kPropProcAddr));
    SendMessageW(form.get(), WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(dialog));
    EXPECT_NE(0, GetSkinProp(dialog, kPropProcAddr));
    SendMessageW(form.get(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(3, skin::Engine().skinnedWindowCount);

    for (HWND w : {owned, dialog, stranger}) DestroyWindow(w);
    EXPECT_EQ(1, skin::Engine().skinnedWindowCount);
    ASSERT_EQ(1, DetachSkin(form.get()));
}

TEST(Routing, EnterIdleAndListColourAttachTheNamedWindowOnce) {
    TestWindow form(200, 100);
    HWND list = CreateWindowExW(0, L"ComboLBox", L"", WS_POPUP, 0, 0, 50, 50, form.get(), nullptr,
                                nullptr, nullptr);
    HWND menuOwner = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                     nullptr, nullptr);
    Recorder::Install(form.get());
    ASSERT_EQ(1, AttachSkin(form.get()));
    Recorder::calls.clear();

    SendMessageW(form.get(), WM_CTLCOLORLISTBOX, 0, 0);
    SendMessageW(form.get(), WM_ENTERIDLE, MSGF_MENU, 0);
    EXPECT_EQ(1, skin::Engine().skinnedWindowCount);
    SendMessageW(form.get(), WM_CTLCOLORLISTBOX, 0, reinterpret_cast<LPARAM>(list));
    SendMessageW(form.get(), WM_CTLCOLORLISTBOX, 0, reinterpret_cast<LPARAM>(list));
    SendMessageW(form.get(), WM_ENTERIDLE, MSGF_MENU, reinterpret_cast<LPARAM>(menuOwner));
    EXPECT_EQ(3, skin::Engine().skinnedWindowCount);
    EXPECT_EQ(skin::ControlKind::DropDownList, skin::ClassifyWindow(list));
    EXPECT_NE(0, GetSkinProp(list, kPropProcAddr));
    EXPECT_NE(0, GetSkinProp(menuOwner, kPropProcAddr));
    // Each message still reached the form's own procedure, once.
    EXPECT_EQ(3, Recorder::Count(WM_CTLCOLORLISTBOX));
    EXPECT_EQ(2, Recorder::Count(WM_ENTERIDLE));

    DestroyWindow(list);
    DestroyWindow(menuOwner);
    ASSERT_EQ(1, DetachSkin(form.get()));
}

TEST(Routing, ResizedButtonGetsNewBitmapsAndRegion) {
    TestWindow form(300, 100);
    HWND button = controls::CreateControl(L"Button", L"Resize", form.get(), 8, 8, 113, 33);
    ASSERT_EQ(1, AttachSkin(form.get()));
    HGDIOBJ oldBitmap = reinterpret_cast<HGDIOBJ>(GetSkinProp(button, "0BMP"));

    SetWindowPos(button, nullptr, 0, 0, 80, 25, SWP_NOMOVE | SWP_NOZORDER);
    for (int state = 0; state < 4; ++state) {
        HDC surface = skin::GetStateSurface(button, state);
        HGDIOBJ bitmap = GetCurrentObject(surface, OBJ_BITMAP);
        EXPECT_EQ(reinterpret_cast<intptr_t>(bitmap), GetSkinProp(button, kStateBitmapNames[state]));
        BITMAP info{};
        GetObjectW(bitmap, sizeof(info), &info);
        EXPECT_EQ(80, info.bmWidth) << state;
        EXPECT_EQ(25, info.bmHeight) << state;
    }
    EXPECT_EQ(0u, GetObjectType(oldBitmap));
    const RECT box = RegionBox(button);
    EXPECT_EQ(80, box.right);
    EXPECT_EQ(25, box.bottom);
    ASSERT_EQ(1, DetachSkin(form.get()));
}
