// The engine's life: each thread that skins windows has an engine of its own (its windows'
// records, its creation hook, its count), started by the first window it attaches and stopped
// when nothing of the skin is left on that thread's windows; the skin's images are shared by
// every thread that has a running engine. The engine keeps its own module loaded once its
// procedure is in a window.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "core/props.h"

namespace skin {

// What a part of the engine keeps for the windows of one thread (the menus it has taken over, a
// toolbar's custom-draw answers, ...), destroyed with the thread's engine. Kept here rather than in
// thread-local variables, whose destructors run at a thread's end in an order the engine does not
// control.
struct ThreadPart {
    virtual ~ThreadPart() = default;
};

// The engine of one thread. Only that thread ever reads or writes it.
struct EngineState {
    bool initialised = false;
    bool hasTrackMouseEvent = false;  // user32 exports TrackMouseEvent
    int32_t skinnedWindowCount = 0;
    HHOOK creationHook = nullptr;  // sees windows made on this thread while initialised
    int busy = 0;                  // attaches and detaches running, nested
    std::unordered_map<HWND, WindowRecord> records;  // one per window the skin is linked into
    std::vector<std::unique_ptr<ThreadPart>> parts;   // by ThreadPartIndex
};

// The calling thread's engine, made on first use and given back when the thread ends.
EngineState& Engine();
// The calling thread's engine, or null when this thread never used one: for the paths every
// message takes, which must not make one.
EngineState* EngineIfAny();

size_t NewThreadPartIndex();

// The calling thread's part of kind T (a ThreadPart), made on first use.
template <typename T>
T& ThisThreadPart() {
    static const size_t index = NewThreadPartIndex();
    EngineState& engine = Engine();
    if (engine.parts.size() <= index) engine.parts.resize(index + 1);
    std::unique_ptr<ThreadPart>& part = engine.parts[index];
    if (!part) part = std::make_unique<T>();
    return static_cast<T&>(*part);
}

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

// Whether the window belongs to the calling thread: only the thread that owns a window links the
// skin into it; windows of other threads and of other processes are never linked.
bool IsWindowOfThisThread(HWND window);

// Probe, images (shared with the other threads) and the creation hook on first use; keeps the
// engine's module loaded.
void StartEngine();

// After every change of a window's link: a count of 0 stops this thread's engine (its hook, its
// share of the images).
void SettleEngine();

// Whether a window procedure may attach a window it hears of: only while the engine is
// initialised (the procedure's own work may just have taken the last skin off).
bool MayAttachFromWindowProc();

}  // namespace skin
