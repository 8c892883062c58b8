// What the procedures of the whole look's kinds share: a table of their own handlers in front of
// the routes every skinned window shares, and the bookkeeping of the pointer's visits.
#pragma once

#include <windows.h>

#include <span>

#include "core/hover.h"
#include "core/props.h"
#include "core/window_proc.h"

namespace skin {

struct KindRoute {
    UINT message;
    MessageHandler handler;
};

// The kind's own handler for the message, else the shared routes.
inline LRESULT RouteKindMessage(std::span<const KindRoute> routes, WNDPROC previous, HWND window,
                                UINT message, WPARAM wParam, LPARAM lParam) {
    for (const KindRoute& route : routes) {
        if (route.message == message) return route.handler(previous, window, message, wParam, lParam);
    }
    return RouteMessage(previous, window, message, wParam, lParam);
}

// The first move of a visit asks for one leave notification; later moves ask for none.
inline void TrackPointerOnce(HWND window) {
    if (GetSkinProp(window, kPropMouseFlag) != 0) return;
    SetSkinProp(window, kPropMouseFlag, 1);
    TrackMouseLeave(window);
}

// The client point of a mouse message, sign-extended (a control holding the capture sees
// points left of or above itself).
inline POINT MessagePoint(LPARAM lParam) {
    return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

inline int IntProp(HWND window, const char* name) {
    return static_cast<int>(GetSkinProp(window, name));
}

// The control paints all of its client area itself: the platform's erase would only flicker.
inline LRESULT SkipErase(WNDPROC, HWND, UINT, WPARAM, LPARAM) { return 1; }

}  // namespace skin
