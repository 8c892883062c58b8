// The push button's hover fade and the request for a leave notification.
#include "core/hover.h"

#include <commctrl.h>

#include "core/attach.h"
#include "core/props.h"
#include "core/window_proc.h"
#include "render/button_renderer.h"

namespace skin {

namespace {

// The fade's timer shares the button with whatever timers the program sets on it: its identifier
// is an address inside the engine, which no program's timer can have.
const char kFadeTimerTag = 0;
constexpr UINT kHoverIntervalMs = 15;
// About 1.3 s from transparent to opaque at the nominal interval.
constexpr intptr_t kFadeStep = 3;

}  // namespace

UINT_PTR FadeTimerId() { return reinterpret_cast<UINT_PTR>(&kFadeTimerTag); }

LRESULT StartHoverTimer(HWND window) {
    if (GetSkinProp(window, kPropTimerId) != 0) return 0;
    const UINT_PTR id = SetTimer(window, FadeTimerId(), kHoverIntervalMs, nullptr);
    SetSkinProp(window, kPropTimerId, static_cast<intptr_t>(id));
    return static_cast<LRESULT>(id);
}

LRESULT StopHoverTimer(HWND window) {
    const intptr_t id = GetSkinProp(window, kPropTimerId);
    if (id == 0) return 0;
    const BOOL killed = KillTimer(window, static_cast<UINT_PTR>(id));
    SetSkinProp(window, kPropTimerId, 0);
    return killed;
}

// One fade step for a push button, whichever timer sent the tick; then the button's own handling.
LRESULT HandleTimer(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (AttachedKind(window) == ControlKind::PushButton) {
        intptr_t level = GetSkinProp(window, kPropAlphaLevel);
        BlendButtonFace(window, nullptr);
        level += kFadeStep;
        if (level > kFullStrengthAlpha) {
            StopHoverTimer(window);
            level = 0;
        }
        SetSkinProp(window, kPropAlphaLevel, level);
    }
    return CallPrevious(previous, window, message, wParam, lParam);
}

void TrackMouseLeave(HWND window) {
    TRACKMOUSEEVENT request{};
    request.cbSize = sizeof(request);
    request.dwFlags = TME_LEAVE;
    request.hwndTrack = window;
    request.dwHoverTime = 0;
    if (Engine().hasTrackMouseEvent)
        TrackMouseEvent(&request);
    else
        _TrackMouseEvent(&request);
}

bool IsExportAvailable(const char* functionName, const char* libraryName) {
    // A null library name would make GetModuleHandleA answer for the program itself.
    if (!functionName || !libraryName) return false;
    HMODULE library = GetModuleHandleA(libraryName);
    bool loadedHere = false;
    if (!library) {
        library = LoadLibraryA(libraryName);
        if (!library) return false;
        loadedHere = true;
    }
    const bool found = GetProcAddress(library, functionName) != nullptr;
    if (loadedHere) FreeLibrary(library);
    return found;
}

}  // namespace skin
