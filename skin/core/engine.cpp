// The engine's life: each thread's start and stop, the hook that sees that thread's new windows,
// the images every thread shares, what a thread that ends leaves, and the engine's own module,
// which stays loaded once its procedure is in a window.
#include "core/engine.h"

#include <atomic>
#include <memory>
#include <utility>

#include "core/attach.h"
#include "core/hover.h"
#include "core/part_drawing.h"
#include "core/props.h"
#include "core/scroll_calls.h"
#include "core/window_proc.h"
#include "render/image_set.h"
#include "render/state_surfaces.h"

namespace skin {

namespace {

// The images are built by the first thread that starts an engine and freed by the last that
// stops one; the count says how many threads hold them.
SRWLOCK imagesLock = SRWLOCK_INIT;
int imageHolders = 0;

void HoldSkinImages() {
    AcquireSRWLockExclusive(&imagesLock);
    if (imageHolders++ == 0) BuildSkinImages();
    ReleaseSRWLockExclusive(&imagesLock);
}

void LetGoOfSkinImages() {
    AcquireSRWLockExclusive(&imagesLock);
    if (imageHolders > 0 && --imageHolders == 0) ReleaseSkinImages();
    ReleaseSRWLockExclusive(&imagesLock);
}

// A thread that ends with windows still skinned: the platform destroys those windows without
// their last messages, so nothing of theirs would ever be released. The thread's engine gives
// back what it holds (the push buttons' surfaces, the hook, its share of the images) and puts
// the windows' own procedures back where the skin is on top; it sends nothing, as the thread is
// on its way out.
void ReleaseEndedThread(EngineState* ended) {
    const std::unique_ptr<EngineState> state(ended);
    if (!state) return;
    const LONG_PTR skinProc = reinterpret_cast<LONG_PTR>(&SkinWindowProc);
    for (const auto& [window, record] : state->records) {
        FreeStateSurfaces(record);
        NoteSkinnedBars(window, false);
        if (record.previous && GetWindowLongPtrW(window, GWLP_WNDPROC) == skinProc)
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(record.previous));
    }
    if (state->creationHook) UnhookWindowsHookEx(state->creationHook);
    if (state->initialised) LetGoOfSkinImages();
}

// The engine belongs to the thread, not to a fiber: a program that converts its thread to fibers
// and pumps its messages from any of them (or deletes one) still finds the same engine. A thread-
// local slot is the thread's, seen alike from every fiber.
DWORD EngineSlot() {
    static const DWORD slot = TlsAlloc();
    return slot;
}

// A thread's engine when the process had no thread-local slot left for it.
thread_local EngineState* engineWithoutSlot = nullptr;

// The loader tells every module's thread-local callbacks of a thread's end, in that thread, whether
// the engine is linked into the program or loaded as a DLL (the C++ runtime's own thread-local
// destructors may run after the storage they would read is gone).
void NTAPI OnThreadNotice(PVOID, DWORD reason, PVOID) {
    if (reason != DLL_THREAD_DETACH) return;
    const DWORD slot = EngineSlot();
    if (slot == TLS_OUT_OF_INDEXES) return;
    auto* engine = static_cast<EngineState*>(TlsGetValue(slot));
    if (!engine) return;
    TlsSetValue(slot, nullptr);
    ReleaseEndedThread(engine);
}

// Windows made on a skinning thread inside a skinned window get the skin's link at once and are
// attached when they first paint, when they are complete (class, style, size, caption, font)
// and before anything of theirs is on screen. The hook runs only when a window is made,
// activated or focused, never for the thread's messages.
LRESULT CALLBACK WatchCreation(int code, WPARAM wParam, LPARAM lParam) {
    const LRESULT next = CallNextHookEx(nullptr, code, wParam, lParam);
    if (code != HCBT_CREATEWND || next != 0) return next;
    const EngineState* engine = EngineIfAny();
    if (!engine || !engine->initialised) return next;
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
    static const bool pinned = [] {
        HMODULE module = nullptr;
        return GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                                  reinterpret_cast<LPCWSTR>(&SkinWindowProc), &module) != FALSE;
    }();
    (void)pinned;
}

// Windows that waited for their first paint inside windows no longer skinned will not be
// attached: their links go now. Forms linked as a whole wait on.
void DropWaitingLinks() {
    for (HWND window : RecordedWindows()) {
        const WindowRecord* record = FindRecord(window);
        if (record && record->link == Link::Waiting && record->container) LeaveChain(window);
    }
}

void StopEngine(EngineState& engine) {
    engine.skinnedWindowCount = 0;
    engine.initialised = false;
    LetGoOfSkinImages();
    if (engine.creationHook) UnhookWindowsHookEx(std::exchange(engine.creationHook, nullptr));
    DropWaitingLinks();
}

}  // namespace

EngineState* EngineIfAny() {
    const DWORD slot = EngineSlot();
    EngineState* engine = slot == TLS_OUT_OF_INDEXES ? nullptr : static_cast<EngineState*>(TlsGetValue(slot));
    return engine ? engine : engineWithoutSlot;
}

EngineState& Engine() {
    if (EngineState* engine = EngineIfAny()) return *engine;
    auto made = std::make_unique<EngineState>();
    const DWORD slot = EngineSlot();
    if (slot == TLS_OUT_OF_INDEXES || !TlsSetValue(slot, made.get())) {
        // The process has used up its thread-local slots: the thread's engine still works, it is
        // only not given back when the thread ends.
        engineWithoutSlot = made.release();
        return *engineWithoutSlot;
    }
    return *made.release();
}

size_t NewThreadPartIndex() {
    static std::atomic<size_t> next{0};
    return next++;
}

EngineBusy::EngineBusy() { ++Engine().busy; }

EngineBusy::~EngineBusy() {
    if (--Engine().busy == 0) SettleEngine();
}

bool IsWindowOfThisThread(HWND window) {
    return GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

void StartEngine() {
    EngineState& engine = Engine();
    if (engine.initialised) return;
    PinOwnModule();
    engine.initialised = true;
    engine.hasTrackMouseEvent = IsExportAvailable("TrackMouseEvent", "User32");
    HoldSkinImages();
    TakeOverPartDrawing();
    engine.creationHook = SetWindowsHookExW(WH_CBT, WatchCreation, nullptr, GetCurrentThreadId());
}

void SettleEngine() {
    EngineState* engine = EngineIfAny();
    if (!engine || engine->busy > 0) return;
    if (engine->initialised && engine->skinnedWindowCount <= 0) StopEngine(*engine);
}

bool MayAttachFromWindowProc() {
    const EngineState* engine = EngineIfAny();
    return engine && engine->initialised;
}

}  // namespace skin

// The callback in the image's list of thread-local callbacks, which the C runtime's start-up
// files end and the linker keeps.
#ifdef _MSC_VER
#ifdef _WIN64
#pragma comment(linker, "/INCLUDE:_tls_used")
#pragma comment(linker, "/INCLUDE:dorrikEngineThreadNotice")
#else
#pragma comment(linker, "/INCLUDE:__tls_used")
#pragma comment(linker, "/INCLUDE:_dorrikEngineThreadNotice")
#endif
#pragma const_seg(".CRT$XLD")
extern "C" const PIMAGE_TLS_CALLBACK dorrikEngineThreadNotice = skin::OnThreadNotice;
#pragma const_seg()
#else
extern "C" __attribute__((section(".CRT$XLD"), used)) const PIMAGE_TLS_CALLBACK dorrikEngineThreadNotice =
    skin::OnThreadNotice;
#endif
