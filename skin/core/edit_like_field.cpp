// Hot-key fields (msctls_hotkey32) and IP-address fields (SysIPAddress32), framed like a skinned
// edit field. A field with a client edge gets the flat border every skinned window with one gets;
// one that draws its sunken edge inside its client area (the IP-address field) gets the same flat
// border drawn over that edge after its own paint.
#include "core/kind_routes.h"
#include "render/flat_parts.h"
#include "render/primitives.h"
#include "render/scoped_gdi.h"

namespace skin {

namespace {

void FrameClient(HWND field) {
    if (GetWindowLongW(field, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) return;
    RECT client{};
    GetClientRect(field, &client);
    const bool enabled = IsWindowEnabled(field) != FALSE;
    const ScopedWindowDC dc(field, ScopedWindowDC::ClientArea);
    FrameSolid(dc.get(), 0, 0, client.right, client.bottom, FrameColour(enabled));
    // The inner line of the sunken edge takes the field's background.
    FrameSolid(dc.get(), 1, 1, client.right - 2, client.bottom - 2,
               GetSysColor(enabled ? COLOR_WINDOW : COLOR_BTNFACE));
}

LRESULT PaintField(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = RouteMessage(previous, window, message, wParam, lParam);
    if (IsAttached(window)) FrameClient(window);
    return result;
}

const KindRoute kFieldRoutes[] = {
    {WM_PAINT, PaintField},
    {WM_ENABLE, PaintField},
};

}  // namespace

LRESULT EditLikeFieldProc(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return RouteKindMessage(kFieldRoutes, previous, window, message, wParam, lParam);
}

}  // namespace skin
