// Where the platform draws the frame or the scroll bars in its default processing, the skin keeps
// it from drawing and draws after it, within that processing: the window's procedure, before and
// after its call to DefWindowProc, sees its own styles, visibility and messages.
#include "core/default_processing.h"

#include <atomic>

#include "core/frame.h"
#include "core/import_table.h"
#include "core/props.h"
#include "core/scroll_bars.h"
#include "render/scoped_gdi.h"

namespace skin {

namespace {

// win32u's NtUserMessageCall, and the type by which Wine 8's user32 asks it for the default
// processing (NtUserDefWindowProc; checked in DefWindowProcA and DefWindowProcW on both
// architectures). The other types (SendMessage among them) pass straight on.
using MessageCallFunction = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM, void*, DWORD, BOOL);
constexpr DWORD kDefaultProcessing = 0x029E;

MessageCallFunction platformMessageCall = nullptr;
std::atomic<bool> standingIn{false};

// The window whose style the skin is changing on this thread.
thread_local HWND restyling = nullptr;

// The style bits this thread has taken off a window for the platform's processing, and whether
// any thread has (so that every other message pays one load).
struct HiddenStyle {
    HWND window = nullptr;
    LONG_PTR bits = 0;
};
thread_local HiddenStyle hiddenStyle;
std::atomic<int> hiddenAnywhere{0};

void ChangeStyleUnseen(HWND window, LONG_PTR style) {
    const HWND outer = restyling;
    restyling = window;
    SetWindowLongPtrW(window, GWL_STYLE, style);
    restyling = outer;
}

struct DefaultCall {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    void* resultInfo;
    DWORD type;
    BOOL ansi;

    LRESULT Platform() const { return Platform(wParam, lParam); }
    LRESULT Platform(WPARAM otherWParam, LPARAM otherLParam) const {
        return platformMessageCall(window, message, otherWParam, otherLParam, resultInfo, type, ansi);
    }
};

LRESULT PlatformWithoutBars(const DefaultCall& call) {
    const HiddenScrollBars hidden(call.window, HiddenFrom::ThePlatformOnly);
    return call.Platform();
}

// The platform draws the caption after a new title or icon only for a window with the whole of
// WS_CAPTION: for its processing the window has only the border part of it (a change of style
// that, unlike one of visibility, sets nothing else off), and the skin draws the caption after.
LRESULT CaptionChangeDefault(const DefaultCall& call) {
    if (DrawsFrame(call.window)) {
        LRESULT result = 0;
        {
            const UnseenStyleChange unseen(call.window, WS_CAPTION & ~WS_BORDER, HiddenFrom::ThePlatformOnly);
            result = call.Platform();
        }
        PaintCaptionStep(call.window, CaptionSource::AsThePlatformsCaption);
        return result;
    }
    if (RepaintsWholeFrame(call.window, call.message)) return PlatformWithoutBars(call);
    return call.Platform();
}

// The platform marks the activation without drawing (lParam -1), and the skin draws the new look.
// The look follows every change, also one made while the skin leaves the frame to the platform
// (minimised), so that it is right when the skin draws again.
LRESULT ActivationDefault(const DefaultCall& call) {
    NoteFrameActivation(call.window, call.wParam != 0);
    if (DrawsFrame(call.window)) {
        const LRESULT result = call.Platform(call.wParam, -1);
        if (call.lParam != -1) PaintFrameStep(call.window, CaptionSource::AsThePlatformsCaption);
        return result;
    }
    if (RepaintsWholeFrame(call.window, call.message)) return PlatformWithoutBars(call);
    return call.Platform();
}

// The platform paints only what no step of the skin paints over, and never the scroll bars; the
// skin draws the frame in its stead at once, and its other steps after the window's procedure
// (core/paint.cpp).
LRESULT FramePaintDefault(const DefaultCall& call) {
    LRESULT result = 0;
    {
        const PlatformFrameUpdate update(call.window, call.wParam);
        if (!update.empty()) {
            const HiddenScrollBars hidden(call.window, HiddenFrom::ThePlatformOnly);
            result = call.Platform(update.region(), call.lParam);
        }
    }
    PaintFrameStep(call.window, CaptionSource::AsThePlatformsCaption);
    return result;
}

// The platform lights its own part of a bar it would draw: the skin lights its own.
LRESULT PointerMoveDefault(const DefaultCall& call) {
    LRESULT result = 0;
    if (PointerMayLightBars(call.window, call.wParam)) {
        result = PlatformWithoutBars(call);
    } else {
        result = call.Platform();
    }
    FollowPointerOverBars(call.window, call.wParam, call.lParam);
    FollowPointerOverCaption(call.window, call.wParam);
    return result;
}

LRESULT PointerLeaveDefault(const DefaultCall& call) {
    const LRESULT result = PlatformWithoutBars(call);
    PointerLeftBars(call.window);
    PointerLeftCaption(call.window);
    return result;
}

// A press on a caption button is run by the skin's loop, the platform's in all but the drawing.
LRESULT PressDefault(const DefaultCall& call) {
    if (TrackCaptionButton(call.window, call.wParam, call.lParam)) return 0;
    return call.Platform();
}

// A press on a window's own bar, which the window's procedure has seen and passed on.
LRESULT BarPressDefault(const DefaultCall& call) {
    return RunPressOnWindowBar(call.window, call.wParam, call.lParam) ? 0 : call.Platform();
}

using DefaultHandler = LRESULT (*)(const DefaultCall& call);

struct DefaultRoute {
    UINT message;
    DefaultHandler handler;
};

const DefaultRoute kDefaultRoutes[] = {
    {WM_SETTEXT, CaptionChangeDefault},   {WM_SETICON, CaptionChangeDefault},
    {WM_NCACTIVATE, ActivationDefault},   {WM_NCPAINT, FramePaintDefault},
    {WM_NCMOUSEMOVE, PointerMoveDefault}, {WM_NCMOUSELEAVE, PointerLeaveDefault},
    {WM_NCLBUTTONDOWN, PressDefault},     {WM_SYSCOMMAND, BarPressDefault},
};

DefaultHandler SkinHandlerOf(UINT message) {
    for (const DefaultRoute& route : kDefaultRoutes) {
        if (route.message == message) return route.handler;
    }
    return nullptr;
}

// On the path of every DefWindowProc and SendMessage in the process: the type is compared first,
// the window's record looked up only for a message the skin has work in.
LRESULT WINAPI MessageCallInstead(HWND window, UINT message, WPARAM wParam, LPARAM lParam, void* resultInfo,
                                  DWORD type, BOOL ansi) {
    const DefaultHandler handler = type == kDefaultProcessing ? SkinHandlerOf(message) : nullptr;
    const DefaultCall call{window, message, wParam, lParam, resultInfo, type, ansi};
    if (!handler) return call.Platform();
    const WindowRecord* record = FindRecord(window);
    if (!record || record->link != Link::Attached) return call.Platform();
    return handler(call);
}

// The type's meaning is Wine's: Windows' user32 does most of its default processing itself.
bool IsWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

BOOL CALLBACK StandInTheDefaultProcessing(PINIT_ONCE, PVOID, PVOID*) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!user32 || !IsWine()) return TRUE;
    void** entry = ImportEntry(user32, "win32u.dll", "NtUserMessageCall");
    if (!entry || !*entry) return TRUE;
    // What the entry holds (the platform, or another copy of the engine) is what the stand-in
    // calls: published before the entry leads to the stand-in.
    platformMessageCall = reinterpret_cast<MessageCallFunction>(*entry);
    if (!ReplaceImport(entry, reinterpret_cast<void*>(&MessageCallInstead))) return TRUE;
    standingIn.store(true, std::memory_order_release);
    return TRUE;
}

}  // namespace

void TakeOverDefaultProcessing() {
    static INIT_ONCE started = INIT_ONCE_STATIC_INIT;
    InitOnceExecuteOnce(&started, StandInTheDefaultProcessing, nullptr, nullptr);
}

bool SkinDoesDefaultProcessing() { return standingIn.load(std::memory_order_acquire); }

UnseenStyleChange::UnseenStyleChange(HWND window, LONG_PTR bits, HiddenFrom whom) {
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    if (!(style & bits)) return;
    window_ = window;
    bits_ = style & bits;
    platformOnly_ = whom == HiddenFrom::ThePlatformOnly;
    if (platformOnly_) {
        outerWindow_ = hiddenStyle.window;
        outerBits_ = hiddenStyle.bits;
        hiddenStyle = {window, bits_};
        hiddenAnywhere.fetch_add(1, std::memory_order_relaxed);
    }
    ChangeStyleUnseen(window, style & ~bits_);
}

UnseenStyleChange::~UnseenStyleChange() {
    if (!window_) return;
    LONG_PTR bits = bits_;
    if (platformOnly_) {
        // Less, when the window's procedure took some of them off itself meanwhile.
        bits = hiddenStyle.bits;
        hiddenStyle = {outerWindow_, outerBits_};
        hiddenAnywhere.fetch_sub(1, std::memory_order_relaxed);
    }
    if (!bits || !IsWindow(window_)) return;
    const LONG_PTR style = GetWindowLongPtrW(window_, GWL_STYLE);
    if ((style & bits) != bits) ChangeStyleUnseen(window_, style | bits);
}

ShownToTheWindow::ShownToTheWindow(HWND window) {
    if (hiddenAnywhere.load(std::memory_order_relaxed) == 0 || hiddenStyle.window != window ||
        !hiddenStyle.bits)
        return;
    window_ = window;
    bits_ = hiddenStyle.bits;
    hiddenStyle.bits = 0;
    ChangeStyleUnseen(window, GetWindowLongPtrW(window, GWL_STYLE) | bits_);
}

ShownToTheWindow::~ShownToTheWindow() {
    if (!window_ || !IsWindow(window_)) return;
    // What the window's procedure changed meanwhile stays as it made it.
    const LONG_PTR style = GetWindowLongPtrW(window_, GWL_STYLE);
    hiddenStyle.bits = style & bits_;
    if (hiddenStyle.bits) ChangeStyleUnseen(window_, style & ~bits_);
}

bool IsUnseenStyleChange(HWND window, WPARAM which) {
    return window == restyling && which == static_cast<WPARAM>(GWL_STYLE);
}

}  // namespace skin
