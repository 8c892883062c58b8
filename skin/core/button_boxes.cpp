// Button-class check boxes, three-state boxes, option buttons and group boxes in the skin's look.
//
// The skin paints these controls whole instead of the control. The control still draws itself
// straight onto the screen when its state changes (check, press, focus, enable, caption), outside
// any paint message: after each of those messages the skin draws its own look again.
#include "core/attach.h"
#include "core/hover.h"
#include "core/props.h"
#include "core/window_proc.h"
#include "render/button_box_renderer.h"

namespace skin {

namespace {

bool IsGroupBox(HWND window) { return AttachedKind(window) == ControlKind::GroupBox; }

// The look of the state the box is in now (OLDSTATE), drawn again whatever was drawn before.
void Redraw(HWND window) {
    if (!IsAttached(window) || !IsWindowVisible(window)) return;
    if (IsGroupBox(window))
        PaintGroupBox(window, nullptr);
    else
        PaintButtonBox(window, nullptr, static_cast<int>(GetSkinProp(window, kPropOldState)), true);
}

// The previous procedure, like the control, takes a context in wParam as the one to paint into.
LRESULT PrintClient(WNDPROC, HWND window, UINT, WPARAM wParam, LPARAM);

LRESULT PaintWhole(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (wParam) return PrintClient(previous, window, message, wParam, lParam);
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    if (IsGroupBox(window))
        PaintGroupBox(window, dc);
    else
        PaintButtonBox(window, dc, static_cast<int>(GetSkinProp(window, kPropOldState)), true);
    EndPaint(window, &paint);
    return 0;
}

// A picture of the control for its parent (animations, print previews), into the given context.
LRESULT PrintClient(WNDPROC, HWND window, UINT, WPARAM wParam, LPARAM) {
    HDC dc = reinterpret_cast<HDC>(wParam);
    if (IsGroupBox(window))
        PaintGroupBox(window, dc);
    else
        PaintButtonBox(window, dc, static_cast<int>(GetSkinProp(window, kPropOldState)), true);
    return 0;
}

// Messages after which the control may have drawn itself on the screen.
LRESULT PassOnThenRedraw(WNDPROC previous, HWND window, UINT message, WPARAM wParam,
                         LPARAM lParam) {
    const LRESULT result = CallPrevious(previous, window, message, wParam, lParam);
    Redraw(window);
    return result;
}

// ---- Hot and pressed, by the check box's and option button's rules ----

void Enter(HWND window) {
    if (GetSkinProp(window, kPropMouseFlag) != 0) return;
    SetSkinProp(window, kPropMouseFlag, 1);
    TrackMouseLeave(window);
}

void Show(HWND window, int state, bool force) {
    if (IsAttached(window) && IsWindowVisible(window)) PaintButtonBox(window, nullptr, state, force);
}

// Every move repaints, so the box follows the button being pressed or let go.
LRESULT MouseMove(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallPrevious(previous, window, message, wParam, lParam);
    if (!IsAttached(window)) return result;
    Enter(window);
    Show(window, (wParam & MK_LBUTTON) ? Pressed : Hot, true);
    return result;
}

LRESULT ButtonDown(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallPrevious(previous, window, message, wParam, lParam);
    Show(window, Pressed, false);
    return result;
}

// A double click presses the control as a click does, unless it only reports the double click
// (option buttons, BS_NOTIFY): then it has not taken the mouse.
LRESULT DoubleClick(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallPrevious(previous, window, message, wParam, lParam);
    if (GetCapture() == window) Show(window, Pressed, false);
    return result;
}

LRESULT MouseLeave(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallPrevious(previous, window, message, wParam, lParam);
    if (!IsAttached(window)) return result;
    SetSkinProp(window, kPropMouseFlag, 0);
    Show(window, Normal, false);
    return result;
}

LRESULT KeyDown(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallPrevious(previous, window, message, wParam, lParam);
    if (wParam == VK_SPACE) Show(window, Pressed, false);
    return result;
}

LRESULT KeyUp(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallPrevious(previous, window, message, wParam, lParam);
    if (wParam == VK_SPACE) Show(window, Normal, false);
    return result;
}

struct BoxRoute {
    UINT message;
    MessageHandler handler;
    bool groupBoxToo;  // group boxes have no hot or pressed look
};

// A release goes the shared way: the control's own handling, then every check box and option
// button beside it (this one too) is drawn normal again.
const BoxRoute kBoxRoutes[] = {
    {WM_PAINT, PaintWhole, true},
    {WM_PRINTCLIENT, PrintClient, true},
    {WM_ENABLE, PassOnThenRedraw, true},
    {WM_SETTEXT, PassOnThenRedraw, true},
    {WM_UPDATEUISTATE, PassOnThenRedraw, true},
    {WM_SETFOCUS, PassOnThenRedraw, false},
    {WM_KILLFOCUS, PassOnThenRedraw, false},
    {BM_SETCHECK, PassOnThenRedraw, false},
    {BM_SETSTATE, PassOnThenRedraw, false},
    {WM_MOUSEMOVE, MouseMove, false},
    {WM_LBUTTONDOWN, ButtonDown, false},
    {WM_LBUTTONDBLCLK, DoubleClick, false},
    {WM_MOUSELEAVE, MouseLeave, false},
    {WM_KEYDOWN, KeyDown, false},
    {WM_KEYUP, KeyUp, false},
};

}  // namespace

LRESULT ButtonBoxProc(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    for (const BoxRoute& route : kBoxRoutes) {
        if (route.message != message) continue;
        if (!route.groupBoxToo && IsGroupBox(window)) break;
        return route.handler(previous, window, message, wParam, lParam);
    }
    return RouteMessage(previous, window, message, wParam, lParam);
}

}  // namespace skin
