// Trackbars in the skin's look: flat channel and thumb. OLDSTATE holds the thumb's visual state:
// hot under the pointer, pressed while it is dragged.
#include "core/kind_routes.h"
#include "render/scoped_gdi.h"
#include "render/trackbar_renderer.h"

namespace skin {

namespace {

void DrawTrackbarInto(HWND trackbar, HDC dc) {
    DrawTrackbar(trackbar, dc, IntProp(trackbar, kPropOldState));
}

void SetThumbState(HWND trackbar, int state) {
    if (IntProp(trackbar, kPropOldState) == state) return;
    SetSkinProp(trackbar, kPropOldState, state);
    const ScopedWindowDC client(trackbar, ScopedWindowDC::ClientArea);
    DrawTrackbarInto(trackbar, client.get());
}

// The skin paints instead of the control; a context in wParam is drawn into as it is.
LRESULT PaintTrackbar(WNDPROC, HWND window, UINT, WPARAM wParam, LPARAM) {
    if (wParam) {
        DrawTrackbarInto(window, reinterpret_cast<HDC>(wParam));
        return 0;
    }
    const ScopedBeginPaint paint(window);
    DrawTrackbarInto(window, paint.get());
    return 0;
}

LRESULT PrintTrackbar(WNDPROC, HWND window, UINT, WPARAM wParam, LPARAM) {
    DrawTrackbarInto(window, reinterpret_cast<HDC>(wParam));
    return 0;
}

bool Dragging(HWND trackbar) {
    return IntProp(trackbar, kPropOldState) == Pressed && GetCapture() == trackbar;
}

// A dragged thumb stays pressed wherever the pointer goes.
LRESULT TrackbarMouseMove(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = RouteMessage(previous, window, message, wParam, lParam);
    if (!IsAttached(window)) return result;
    TrackPointerOnce(window);
    if (!Dragging(window)) SetThumbState(window, IsOnThumb(window, MessagePoint(lParam)) ? Hot : Normal);
    return result;
}

// A press on the thumb starts a drag (the control takes the capture); a press beside it pages.
LRESULT TrackbarButtonDown(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool onThumb = IsOnThumb(window, MessagePoint(lParam));
    const LRESULT result = RouteMessage(previous, window, message, wParam, lParam);
    if (IsAttached(window) && onThumb && GetCapture() == window) SetThumbState(window, Pressed);
    return result;
}

// The pointer itself, not a message's point: WM_CAPTURECHANGED carries none.
bool PointerOnThumb(HWND trackbar) {
    POINT point{};
    if (!GetCursorPos(&point) || WindowFromPoint(point) != trackbar) return false;
    ScreenToClient(trackbar, &point);
    return IsOnThumb(trackbar, point);
}

// The drag ends when the control lets the capture go.
LRESULT TrackbarRelease(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = RouteMessage(previous, window, message, wParam, lParam);
    if (!IsAttached(window) || GetCapture() == window) return result;
    if (IntProp(window, kPropOldState) == Pressed)
        SetThumbState(window, PointerOnThumb(window) ? Hot : Normal);
    return result;
}

LRESULT TrackbarMouseLeave(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = RouteMessage(previous, window, message, wParam, lParam);
    if (!IsAttached(window)) return result;
    SetSkinProp(window, kPropMouseFlag, 0);
    if (!Dragging(window)) SetThumbState(window, Normal);
    return result;
}

LRESULT TrackbarEnable(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = RouteMessage(previous, window, message, wParam, lParam);
    if (IsAttached(window)) InvalidateRect(window, nullptr, FALSE);
    return result;
}

const KindRoute kTrackbarRoutes[] = {
    {WM_PAINT, PaintTrackbar},
    {WM_PRINTCLIENT, PrintTrackbar},
    {WM_ERASEBKGND, SkipErase},
    {WM_MOUSEMOVE, TrackbarMouseMove},
    {WM_LBUTTONDOWN, TrackbarButtonDown},
    {WM_LBUTTONUP, TrackbarRelease},
    {WM_CAPTURECHANGED, TrackbarRelease},
    {WM_MOUSELEAVE, TrackbarMouseLeave},
    {WM_ENABLE, TrackbarEnable},
};

}  // namespace

LRESULT TrackbarProc(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return RouteKindMessage(kTrackbarRoutes, previous, window, message, wParam, lParam);
}

}  // namespace skin
