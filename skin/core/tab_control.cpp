// Tab controls in the skin's look: flat tabs and page frame. HMINDEX holds the tab under the
// pointer, HDINDEX the tab the left button went down on (-1 for none).
#include <windows.h>

#include <commctrl.h>

#include "core/kind_routes.h"
#include "render/scoped_gdi.h"
#include "render/tab_renderer.h"

namespace skin {

namespace {

void DrawTabsInto(HWND tab, HDC dc) {
    DrawTabControl(tab, dc, IntProp(tab, kPropHmIndex), IntProp(tab, kPropHdIndex));
}

void RedrawTabs(HWND tab) {
    const ScopedWindowDC client(tab, ScopedWindowDC::ClientArea);
    DrawTabsInto(tab, client.get());
}

// The skin paints instead of the control. A context in wParam (the platform's way of having a
// control print itself) is drawn into as it is.
LRESULT PaintTabs(WNDPROC, HWND window, UINT, WPARAM wParam, LPARAM) {
    if (wParam) {
        DrawTabsInto(window, reinterpret_cast<HDC>(wParam));
        return 0;
    }
    const ScopedBeginPaint paint(window);
    DrawTabsInto(window, paint.get());
    return 0;
}

LRESULT PrintTabs(WNDPROC, HWND window, UINT, WPARAM wParam, LPARAM) {
    DrawTabsInto(window, reinterpret_cast<HDC>(wParam));
    return 0;
}

void SetTabProp(HWND tab, const char* name, int value) {
    if (IntProp(tab, name) == value) return;
    SetSkinProp(tab, name, value);
    RedrawTabs(tab);
}

// While the button is held the hot tab stays the one that was hot at the press.
LRESULT TabMouseMove(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = RouteMessage(previous, window, message, wParam, lParam);
    if (!IsAttached(window)) return result;
    TrackPointerOnce(window);
    if ((wParam & MK_LBUTTON) == 0) SetTabProp(window, kPropHmIndex, TabAt(window, MessagePoint(lParam)));
    return result;
}

LRESULT TabButtonDown(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = RouteMessage(previous, window, message, wParam, lParam);
    if (IsAttached(window)) SetTabProp(window, kPropHdIndex, TabAt(window, MessagePoint(lParam)));
    return result;
}

LRESULT TabButtonUp(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = RouteMessage(previous, window, message, wParam, lParam);
    if (IsAttached(window)) SetTabProp(window, kPropHdIndex, kNoTab);
    return result;
}

LRESULT TabMouseLeave(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = RouteMessage(previous, window, message, wParam, lParam);
    if (!IsAttached(window)) return result;
    SetSkinProp(window, kPropMouseFlag, 0);
    const bool changed = IntProp(window, kPropHmIndex) != kNoTab || IntProp(window, kPropHdIndex) != kNoTab;
    SetSkinProp(window, kPropHmIndex, kNoTab);
    SetSkinProp(window, kPropHdIndex, kNoTab);
    if (changed) RedrawTabs(window);
    return result;
}

// The platform does not repaint a control that is enabled or disabled; its frame colour changes.
LRESULT TabEnable(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = RouteMessage(previous, window, message, wParam, lParam);
    if (IsAttached(window)) InvalidateRect(window, nullptr, FALSE);
    return result;
}

const KindRoute kTabRoutes[] = {
    {WM_PAINT, PaintTabs},
    {WM_PRINTCLIENT, PrintTabs},
    {WM_ERASEBKGND, SkipErase},
    {WM_MOUSEMOVE, TabMouseMove},
    {WM_LBUTTONDOWN, TabButtonDown},
    {WM_LBUTTONDBLCLK, TabButtonDown},
    {WM_LBUTTONUP, TabButtonUp},
    {WM_MOUSELEAVE, TabMouseLeave},
    {WM_ENABLE, TabEnable},
};

}  // namespace

LRESULT TabControlProc(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // The program draws the tabs of an owner-drawn tab control (WM_DRAWITEM to its parent): the
    // control paints as its own, and only the frame is the skin's.
    if (GetWindowLongW(window, GWL_STYLE) & TCS_OWNERDRAWFIXED)
        return RouteMessage(previous, window, message, wParam, lParam);
    return RouteKindMessage(kTabRoutes, previous, window, message, wParam, lParam);
}

}  // namespace skin
