// The engine's life: start and stop, the thread it serves, the hook that sees that thread's new
// windows, and its own module, which stays loaded once its procedure is in a window.
#include "core/engine.h"

#include <utility>

#include "core/attach.h"
#include "core/hover.h"
#include "core/props.h"
#include "core/window_proc.h"
#include "render/image_set.h"

namespace skin {

namespace {

EngineState engine;

// Windows made on the engine's thread inside a skinned window get the skin's link at once and
// are attached when they first paint, when they are complete (class, style, size, caption,
// font) and before anything of theirs is on screen. The hook runs only when a window is made,
// activated or focused, never for the thread's messages.
LRESULT CALLBACK WatchCreation(int code, WPARAM wParam, LPARAM lParam) {
    const LRESULT next = CallNextHookEx(nullptr, code, wParam, lParam);
    if (code != HCBT_CREATEWND || next != 0 || !engine.initialised) return next;
    const CBT_CREATEWNDW* create = reinterpret_cast<const CBT_CREATEWNDW*>(lParam);
    if (!create || !create->lpcs) return next;
    LinkNewWindow(reinterpret_cast<HWND>(wParam), *create->lpcs);
    return next;
}

// A DLL whose procedure sits in windows must never be unloaded: a window of the program may
// run it at any time, and the last detach itself usually runs inside a window's own message and
// returns into the DLL after the program's handler. Linked into the program, there is nothing to
// keep.
void PinOwnModule() {
    static bool pinned = false;
    if (pinned) return;
    HMODULE module = nullptr;
    pinned = GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                                reinterpret_cast<LPCWSTR>(&SkinWindowProc), &module) != FALSE;
}

// Windows that waited for their first paint inside windows no longer skinned will not be
// attached: their links go now, so that nothing keeps the thread.
void DropWaitingLinks() {
    for (HWND window : RecordedWindows()) {
        const WindowRecord* record = FindRecord(window);
        if (record && record->link == Link::Waiting) LeaveChain(window);
    }
}

void StopEngine() {
    engine.skinnedWindowCount = 0;
    ReleaseSkinImages();
    engine.initialised = false;
    if (engine.creationHook) UnhookWindowsHookEx(std::exchange(engine.creationHook, nullptr));
    DropWaitingLinks();
}

}  // namespace

EngineState& Engine() { return engine; }

EngineBusy::EngineBusy() { ++engine.busy; }

EngineBusy::~EngineBusy() {
    if (--engine.busy == 0) SettleEngine();
}

bool ClaimEngineThread() {
    const DWORD self = GetCurrentThreadId();
    DWORD expected = 0;
    return engine.thread.compare_exchange_strong(expected, self) || expected == self;
}

bool IsWindowOfEngineThread(HWND window) {
    const DWORD self = GetCurrentThreadId();
    const DWORD served = engine.thread.load();
    return GetWindowThreadProcessId(window, nullptr) == self && (served == 0 || served == self);
}

void StartEngine() {
    if (engine.initialised) return;
    PinOwnModule();
    engine.initialised = true;
    engine.hasTrackMouseEvent = IsExportAvailable("TrackMouseEvent", "User32");
    BuildSkinImages();
    engine.creationHook = SetWindowsHookExW(WH_CBT, WatchCreation, nullptr, GetCurrentThreadId());
}

void SettleEngine() {
    if (engine.busy > 0) return;
    if (engine.initialised && engine.skinnedWindowCount <= 0) StopEngine();
    if (!engine.initialised && RecordCount() == 0) engine.thread.store(0);
}

bool MayAttachFromWindowProc() { return engine.initialised; }

}  // namespace skin
