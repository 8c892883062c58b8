// Date-time pickers (SysDateTimePick32): the control paints its fields, the skin then paints its
// drop button like a combo box's, pressed while the month calendar is down. The frame is the flat
// border every skinned field with a client edge gets. A picker with an up-down instead of the drop
// button (DTS_UPDOWN) is left to the up-down's own skin.
#include <windows.h>

#include <commctrl.h>

#include "core/kind_routes.h"
#include "render/flat_parts.h"
#include "render/primitives.h"
#include "render/scoped_gdi.h"

namespace skin {

namespace {

RECT DropButtonRect(HWND picker) {
    DATETIMEPICKERINFO info{};
    info.cbSize = sizeof(info);
    if (SendMessageW(picker, DTM_GETDATETIMEPICKERINFO, 0, reinterpret_cast<LPARAM>(&info)) &&
        info.rcButton.right > info.rcButton.left)
        return info.rcButton;
    // Where the control puts it: a scroll bar's width at the right of the client area.
    RECT client{};
    GetClientRect(picker, &client);
    client.left = client.right - GetSystemMetrics(SM_CXVSCROLL);
    return client;
}

void DrawDropButton(HWND picker, HDC dc) {
    if (GetWindowLongW(picker, GWL_STYLE) & DTS_UPDOWN) return;
    const RECT button = DropButtonRect(picker);
    const int width = button.right - button.left, height = button.bottom - button.top;
    if (width <= 2 || height <= 0) return;
    const bool enabled = IsWindowEnabled(picker) != FALSE;
    // The control may keep its calendar made and hidden: only a shown one is down.
    HWND calendar = reinterpret_cast<HWND>(SendMessageW(picker, DTM_GETMONTHCAL, 0, 0));
    const int state = calendar && IsWindowVisible(calendar) ? Pressed : Normal;
    // Straight onto the control's own paint, which has just drawn the button there.
    FillSolid(dc, button.left, button.top, 1, height, FrameColour(enabled));
    DrawFlatFace(dc, button.left + 1, button.top, width - 1, height, state);
    DrawArrow(dc, button.left + 1 + (width - 1 - kArrowBreadth) / 2,
              button.top + (height - kArrowDepth) / 2, ArrowDirection::Down, enabled);
}

// Whether the control's own procedure is the next one in the chain: then it paints into a context
// given in wParam, as the common controls do, and the skin's button joins its paint.
bool ClassPaintsNext(HWND picker, WNDPROC previous) {
    return reinterpret_cast<LONG_PTR>(previous) == static_cast<LONG_PTR>(GetClassLongPtrW(picker, GCLP_WNDPROC));
}

LRESULT PaintPicker(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT && !wParam && ClassPaintsNext(window, previous)) {
        const ScopedBeginPaint paint(window);
        const LRESULT result =
            CallPrevious(previous, window, message, reinterpret_cast<WPARAM>(paint.get()), lParam);
        if (IsAttached(window)) DrawDropButton(window, paint.get());
        return result;
    }
    const LRESULT result = RouteMessage(previous, window, message, wParam, lParam);
    if (!IsAttached(window)) return result;
    if (wParam) {
        DrawDropButton(window, reinterpret_cast<HDC>(wParam));
    } else {
        const ScopedWindowDC client(window, ScopedWindowDC::ClientArea);
        DrawDropButton(window, client.get());
    }
    return result;
}

// The calendar going up or down changes the button's state; the control may not repaint it.
LRESULT RepaintAfter(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = RouteMessage(previous, window, message, wParam, lParam);
    if (IsAttached(window)) {
        const ScopedWindowDC client(window, ScopedWindowDC::ClientArea);
        DrawDropButton(window, client.get());
    }
    return result;
}

const KindRoute kPickerRoutes[] = {
    {WM_PAINT, PaintPicker},
    {WM_PRINTCLIENT, PaintPicker},
    {WM_LBUTTONDOWN, RepaintAfter},
    {WM_ENABLE, RepaintAfter},
    {WM_COMMAND, RepaintAfter},
    {WM_NOTIFY, RepaintAfter},
};

}  // namespace

LRESULT DateTimePickerProc(WNDPROC previous, HWND window, UINT message, WPARAM wParam,
                           LPARAM lParam) {
    return RouteKindMessage(kPickerRoutes, previous, window, message, wParam, lParam);
}

}  // namespace skin
