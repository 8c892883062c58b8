// The engine's life in the process: started by the first window it attaches, stopped when nothing
// of the skin is left, serving one thread at a time, watching that thread's new windows, and
// keeping its own module loaded once its procedure is in a window.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

namespace skin {

// Process-wide state shared by every skinned window. The engine serves one thread at a time: the
// thread that claimed it, until nothing of the skin is left on any of its windows.
struct EngineState {
    bool initialised = false;
    bool hasTrackMouseEvent = false;  // user32 exports TrackMouseEvent
    int32_t skinnedWindowCount = 0;
    std::atomic<DWORD> thread{0};  // the thread the engine serves, 0 while it serves none
    HHOOK creationHook = nullptr;  // sees windows made on that thread while initialised
    int busy = 0;                  // attaches and detaches running, nested
};
EngineState& Engine();

// Held while windows are attached or detached: the engine is settled when the outermost ends,
// never in the middle (a failed attach of a form's first control must not stop the engine under
// the rest of the form).
class EngineBusy {
public:
    EngineBusy();
    ~EngineBusy();
    EngineBusy(const EngineBusy&) = delete;
    EngineBusy& operator=(const EngineBusy&) = delete;
};

// Claims the engine for the calling thread: true when it is this thread's already, or was free
// and now is. Two threads asking at once: one gets it.
bool ClaimEngineThread();

// Whether the window belongs to the calling thread and the engine serves it (or serves none);
// windows of other threads and of other processes are never linked.
bool IsWindowOfEngineThread(HWND window);

// Probe and images (and the creation hook) on first use; keeps the engine's module loaded.
void StartEngine();

// After every change of a window's link: a count of 0 stops the engine (images, hook), and with
// no link left anywhere the thread is given up.
void SettleEngine();

// Whether a window procedure may attach a window it hears of: only while the engine is
// initialised (the procedure's own work may just have taken the last skin off).
bool MayAttachFromWindowProc();

}  // namespace skin
