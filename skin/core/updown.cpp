// Up-down controls in the skin's look, joined to their buddy. HMINDEX holds the half under the
// pointer, HDINDEX the half held pressed (-1 for none).
#include "core/kind_routes.h"
#include "render/scoped_gdi.h"
#include "render/updown_renderer.h"

namespace skin {

namespace {

void DrawUpDownInto(HWND upDown, HDC dc) {
    DrawUpDown(upDown, dc, IntProp(upDown, kPropHmIndex), IntProp(upDown, kPropHdIndex));
}

void SetHalfProp(HWND upDown, const char* name, int value) {
    if (IntProp(upDown, name) == value) return;
    SetSkinProp(upDown, name, value);
    const ScopedWindowDC client(upDown, ScopedWindowDC::ClientArea);
    DrawUpDownInto(upDown, client.get());
}

// The skin paints instead of the control; a context in wParam is drawn into as it is.
LRESULT PaintUpDown(WNDPROC, HWND window, UINT, WPARAM wParam, LPARAM) {
    if (wParam) {
        DrawUpDownInto(window, reinterpret_cast<HDC>(wParam));
        return 0;
    }
    const ScopedBeginPaint paint(window);
    DrawUpDownInto(window, paint.get());
    return 0;
}

LRESULT PrintUpDown(WNDPROC, HWND window, UINT, WPARAM wParam, LPARAM) {
    DrawUpDownInto(window, reinterpret_cast<HDC>(wParam));
    return 0;
}

LRESULT UpDownMouseMove(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = RouteMessage(previous, window, message, wParam, lParam);
    if (!IsAttached(window)) return result;
    TrackPointerOnce(window);
    SetHalfProp(window, kPropHmIndex, UpDownHalfAt(window, MessagePoint(lParam)));
    return result;
}

// The control takes the capture when a press lands on a half; the half shows pressed until the
// capture goes.
LRESULT UpDownButtonDown(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = RouteMessage(previous, window, message, wParam, lParam);
    if (IsAttached(window) && GetCapture() == window)
        SetHalfProp(window, kPropHdIndex, UpDownHalfAt(window, MessagePoint(lParam)));
    return result;
}

LRESULT UpDownRelease(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = RouteMessage(previous, window, message, wParam, lParam);
    if (IsAttached(window) && GetCapture() != window) SetHalfProp(window, kPropHdIndex, kNoHalf);
    return result;
}

LRESULT UpDownMouseLeave(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = RouteMessage(previous, window, message, wParam, lParam);
    if (!IsAttached(window)) return result;
    SetSkinProp(window, kPropMouseFlag, 0);
    SetHalfProp(window, kPropHmIndex, kNoHalf);
    return result;
}

LRESULT UpDownEnable(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = RouteMessage(previous, window, message, wParam, lParam);
    if (IsAttached(window)) InvalidateRect(window, nullptr, FALSE);
    return result;
}

const KindRoute kUpDownRoutes[] = {
    {WM_PAINT, PaintUpDown},
    {WM_PRINTCLIENT, PrintUpDown},
    {WM_ERASEBKGND, SkipErase},
    {WM_MOUSEMOVE, UpDownMouseMove},
    {WM_LBUTTONDOWN, UpDownButtonDown},
    {WM_LBUTTONDBLCLK, UpDownButtonDown},
    {WM_LBUTTONUP, UpDownRelease},
    {WM_CAPTURECHANGED, UpDownRelease},
    {WM_MOUSELEAVE, UpDownMouseLeave},
    {WM_ENABLE, UpDownEnable},
};

}  // namespace

LRESULT UpDownProc(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return RouteKindMessage(kUpDownRoutes, previous, window, message, wParam, lParam);
}

}  // namespace skin
