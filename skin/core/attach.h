// Putting the skin on windows and taking it off: control kinds, attach and detach, engine state.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "core/kinds.h"
#include "core/props.h"

namespace skin {

// Process-wide state shared by every skinned window. The engine serves one thread at a time: the
// thread that initialised it, until nothing of the skin is left on any of its windows.
struct EngineState {
    bool initialised = false;
    bool hasTrackMouseEvent = false;  // user32 exports TrackMouseEvent
    int32_t skinnedWindowCount = 0;
    DWORD thread = 0;             // the thread the engine serves, 0 while it serves none
    HHOOK creationHook = nullptr;  // sees windows made on that thread while initialised
    HMODULE heldModule = nullptr;  // the engine's own module, kept loaded while it is in use
};
EngineState& Engine();

// 1 when this call attached (detached) the window, 0 for a null handle or nothing to do.
// options: the form's AttachSkinEx options, with kWholeTree; 0 for AttachSkin.
LRESULT AttachWindow(HWND window, DWORD options = 0);
LRESULT DetachWindow(HWND window);

// Attaches a window that was made inside a skinned window, now that it paints for the first time;
// a window whose container is no longer skinned loses the skin's link instead.
void AttachWaitingWindow(HWND window);

// Takes a reference to the engine's own module while anything of the skin is in use and gives it
// back when nothing is; forgets the engine's thread then.
void SettleEngine();

// Whether a window procedure may attach a window it hears of: only while the engine is
// initialised (the procedure's own work may just have taken the last skin off).
bool MayAttachFromWindowProc();

// Whether a "Button" window of this style paints its own face (check boxes, radio buttons and
// group boxes), so that the skin leaves its painting alone.
bool ButtonKeepsOwnPainting(LONG style);

// Gives a push button its rounded region at size w x h (the system owns the region afterwards).
void SetButtonRegion(HWND window, int width, int height);

}  // namespace skin
