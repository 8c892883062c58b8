// The window procedure of every skinned window: one handler per message the skin cares about,
// everything else unchanged to the window's previous procedure.
#include "core/window_proc.h"

#include <atomic>

#include "core/attach.h"
#include "core/common_controls.h"
#include "core/default_button.h"
#include "core/default_processing.h"
#include "core/engine.h"
#include "core/frame.h"
#include "core/hover.h"
#include "core/interaction.h"
#include "core/menus.h"
#include "core/paint.h"
#include "core/props.h"
#include "core/scroll_bars.h"
#include "dorrik_skin.h"
#include "render/button_renderer.h"
#include "render/combo_renderer.h"
#include "render/primitives.h"
#include "render/scoped_gdi.h"
#include "render/state_surfaces.h"

namespace skin {

namespace {

LRESULT HandleDestroy(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Detach first: the previous procedure then sees a window that is back to its own state.
    DetachWindow(window);
    return CallPrevious(previous, window, message, wParam, lParam);
}

// A push button gets new state bitmaps, faces and region at its new size.
LRESULT HandleSize(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (AttachedKind(window) != ControlKind::PushButton)
        return CallPrevious(previous, window, message, wParam, lParam);

    const LRESULT result = CallPrevious(previous, window, message, wParam, lParam);
    WindowBounds bounds;
    {
        const ScopedWindowDC windowDC(window);
        GetWindowBounds(window, bounds);
        ResizeStateSurfaces(window, windowDC.get(), bounds.Width, bounds.Height);
        RenderButtonFaces(window);
    }
    SetButtonRegion(window, bounds.Width, bounds.Height);
    return result;
}

// A dialog or popup that takes or gives up the activation is skinned with its contents.
LRESULT HandleActivate(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND other = reinterpret_cast<HWND>(lParam);
    if (other && MayAttachFromWindowProc()) {
        const DWORD options = FindRecord(window)->options;
        if (GetParent(other) == window)
            AttachWindow(other, options);
        else if (ClassifyWindow(other) == ControlKind::Form)
            AttachWindow(other, options);
    }
    return CallPrevious(previous, window, message, wParam, lParam);
}

LRESULT HandleWindowPosChanging(WNDPROC previous, HWND window, UINT message, WPARAM wParam,
                                LPARAM lParam) {
    const ControlKind kind = AttachedKind(window);
    if (kind != ControlKind::ComboBox && kind != ControlKind::DriveList)
        return CallPrevious(previous, window, message, wParam, lParam);

    const LRESULT result = CallPrevious(previous, window, message, wParam, lParam);
    int state = Normal;
    PaintComboButton(window, nullptr, state, false);
    return result;
}

// WM_ENTERIDLE names a dialog or menu owner, WM_CTLCOLORLISTBOX a combo's drop-down list:
// windows that the form's attach never reached. The control's own handling may have taken the
// last skin off (and the images with it): then nothing more is attached.
LRESULT AttachNamedWindow(WNDPROC previous, HWND window, UINT message, WPARAM wParam,
                          LPARAM lParam) {
    const LRESULT result = CallPrevious(previous, window, message, wParam, lParam);
    if (lParam != 0 && MayAttachFromWindowProc()) {
        const WindowRecord* record = FindRecord(window);
        AttachWindow(reinterpret_cast<HWND>(lParam), record ? record->options : 0);
    }
    return result;
}

// After every left-button release the check boxes and option buttons beside the window repaint:
// those under its parent (for a dialog or message box, its owner), or under the window itself
// when it has neither. A combo's drop-down list is a child of the desktop; the desktop's windows
// are not the skin's to walk.
LRESULT HandleLButtonUpAndRefresh(WNDPROC previous, HWND window, UINT message, WPARAM wParam,
                                  LPARAM lParam) {
    const LRESULT result = HandleLButtonUp(previous, window, message, wParam, lParam);
    HWND parent = GetParent(window);
    if (!parent || parent == GetDesktopWindow()) parent = window;
    EnumChildWindows(parent, RefreshCheckSiblings, 0);
    return result;
}

// The messages that paint a window for the first time.
bool IsFirstPaintMessage(UINT message) {
    return message == WM_NCPAINT || message == WM_ERASEBKGND || message == WM_PAINT;
}

// A push button's faces carry its caption and font: a new one draws them anew, and the button
// shows the new face when it next paints (at once for a caption, as the font's redraw flag says
// for a font).
LRESULT HandleCaptionOrFont(WNDPROC previous, HWND window, UINT message, WPARAM wParam,
                            LPARAM lParam) {
    const LRESULT result = CallPrevious(previous, window, message, wParam, lParam);
    if (AttachedKind(window) != ControlKind::PushButton || !IsAttached(window)) return result;
    RenderButtonFaces(window);
    if (message == WM_SETTEXT || LOWORD(lParam) != 0) InvalidateRect(window, nullptr, FALSE);
    return result;
}

// Under the images option a push button's faces carry its image: a new one draws them anew.
LRESULT HandleButtonImage(WNDPROC previous, HWND window, UINT message, WPARAM wParam,
                          LPARAM lParam) {
    const LRESULT result = CallPrevious(previous, window, message, wParam, lParam);
    const WindowRecord* record = FindRecord(window);
    if (!record || !(record->options & DORRIK_SKIN_IMAGES) || !IsAttached(window) ||
        AttachedKind(window) != ControlKind::PushButton)
        return result;
    RenderButtonFaces(window);
    InvalidateRect(window, nullptr, FALSE);
    return result;
}

struct Route {
    UINT message;
    MessageHandler handler;
};

const Route kRoutes[] = {
    {WM_DESTROY, HandleDestroy},
    {WM_SIZE, HandleSize},
    {WM_SETTEXT, HandleCaptionOrFont},
    {WM_ACTIVATE, HandleActivate},
    {WM_SETFOCUS, HandleSetFocus},
    {WM_KILLFOCUS, HandleKillFocus},
    {WM_ENABLE, HandleEnable},
    {WM_PAINT, HandlePaint},
    {WM_SETFONT, HandleCaptionOrFont},
    {WM_WINDOWPOSCHANGING, HandleWindowPosChanging},
    {WM_NCCALCSIZE, HandleNcCalcSizeMenus},
    {WM_NCPAINT, HandleNcPaint},
    {WM_KEYDOWN, HandleKeyDown},
    {WM_KEYUP, HandleKeyUp},
    {WM_TIMER, HandleTimer},
    {WM_ENTERIDLE, AttachNamedWindow},
    {WM_CTLCOLORLISTBOX, AttachNamedWindow},
    {WM_MOUSEMOVE, HandleMouseMove},
    {WM_LBUTTONDOWN, HandleLButtonDown},
    {WM_LBUTTONUP, HandleLButtonUpAndRefresh},
    {WM_LBUTTONDBLCLK, HandleLButtonDblClk},
    {WM_MOUSELEAVE, HandleMouseLeave},
    {BM_SETIMAGE, HandleButtonImage},
    {WM_ENTERMENULOOP, HandleEnterMenuLoop},
    {WM_INITMENUPOPUP, HandleInitMenuPopup},
    {WM_UNINITMENUPOPUP, HandleUninitMenuPopup},
    {WM_EXITMENULOOP, HandleExitMenuLoop},
    {WM_MEASUREITEM, HandleMeasureItem},
    {WM_DRAWITEM, HandleDrawItem},
    {WM_MENUCHAR, HandleMenuChar},
    {WM_NOTIFY, HandleNotify},
    {WM_NCMOUSEMOVE, HandleNcMouseMove},
    {WM_NCMOUSELEAVE, HandleNcMouseLeave},
    {WM_GETDLGCODE, HandleGetDlgCode},
    {BM_SETSTYLE, HandleSetStyle},
};

// The window message by which the engine asks whether its link is still somewhere in a window's
// chain (under other code's subclass): registered on first use.
std::atomic<UINT> linkProbe{0};

// The kinds that have a procedure of their own.
MessageHandler KindProcedure(ControlKind kind) {
    switch (kind) {
    case ControlKind::ButtonCheckBox:
    case ControlKind::ButtonOption:
    case ControlKind::GroupBox:
        return ButtonBoxProc;
    case ControlKind::TabControl:
        return TabControlProc;
    case ControlKind::UpDown:
        return UpDownProc;
    case ControlKind::Trackbar:
        return TrackbarProc;
    case ControlKind::ProgressControl:
        return ProgressControlProc;
    case ControlKind::StatusBar:
        return StatusBarProc;
    case ControlKind::ListView:
        return ListViewProc;
    case ControlKind::TreeView:
        return TreeViewProc;
    case ControlKind::DateTimePicker:
        return DateTimePickerProc;
    case ControlKind::EditLikeField:
        return EditLikeFieldProc;
    case ControlKind::ScrollBar:
        return ScrollBarProc;
    default:
        return nullptr;
    }
}

// An attached window's message, to its kind's own procedure, the frame's or the shared routes.
LRESULT DispatchToKind(ControlKind kind, DWORD options, WNDPROC previous, HWND window, UINT message,
                       WPARAM wParam, LPARAM lParam) {
    if (const MessageHandler own = KindProcedure(kind)) return own(previous, window, message, wParam, lParam);
    if (options & DORRIK_SKIN_FRAME) return FrameProc(previous, window, message, wParam, lParam);
    return RouteMessage(previous, window, message, wParam, lParam);
}

}  // namespace

LRESULT RouteMessage(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    for (const Route& route : kRoutes) {
        if (route.message == message) return route.handler(previous, window, message, wParam, lParam);
    }
    return CallPrevious(previous, window, message, wParam, lParam);
}

bool IsLinkInChain(HWND window) {
    const WPARAM self = reinterpret_cast<WPARAM>(&SkinWindowProc);
    if (GetWindowLongPtrW(window, GWLP_WNDPROC) == static_cast<LONG_PTR>(self)) return true;
    UINT probe = linkProbe.load(std::memory_order_relaxed);
    if (!probe) {
        probe = RegisterWindowMessageA("DorrikSkinLinkProbe");
        linkProbe.store(probe, std::memory_order_relaxed);
    }
    return probe && static_cast<WPARAM>(SendMessageW(window, probe, self, 0)) == self;
}

namespace {

// Class libraries (Delphi's VCL, ATL) make a control with a start-up procedure that, on the first
// message, puts the control's own procedure in the window in place of itself, dropping whatever
// the window ran on top of it: the skin's link made at creation among them.
// A form linked as a whole is skinned as it is shown (ShowWindow's own message), before anything
// of it is painted, whether or not it is activated.
bool IsFormShown(const WindowRecord& record, UINT message, WPARAM wParam, LPARAM lParam) {
    return !record.container && message == WM_SHOWWINDOW && wParam && !lParam;
}

LRESULT PassOnWhileWaiting(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LONG_PTR before = GetWindowLongPtrW(window, GWLP_WNDPROC);
    const LRESULT result = CallPrevious(previous, window, message, wParam, lParam);
    // A window gone meanwhile has no record left to relink.
    if (GetWindowLongPtrW(window, GWLP_WNDPROC) != before) RelinkIfCutOut(window);
    return result;
}

}  // namespace

LRESULT CALLBACK SkinWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!window) return 0;
    // The probe of this copy of the engine; another copy's probe goes on down the chain.
    const UINT probe = linkProbe.load(std::memory_order_relaxed);
    if (message == probe && wParam == reinterpret_cast<WPARAM>(&SkinWindowProc) && probe)
        return static_cast<LRESULT>(wParam);
    const WindowRecord* record = FindRecord(window);
    if (!record) return DefWindowProcW(window, message, wParam, lParam);
    const WNDPROC previous = record->previous;

    if (message == WM_NCDESTROY) {
        // The last message of the window's life: whatever link the skin still has (WM_DESTROY
        // has normally detached it) goes, and the window is forgotten.
        DetachWindow(window);
        ForgetWindow(window);
        return CallPrevious(previous, window, message, wParam, lParam);
    }
    if (record->link == Link::Waiting &&
        (IsFirstPaintMessage(message) || IsFormShown(*record, message, wParam, lParam))) {
        // Attached now, or from now on only passing on: either way the message goes on once.
        AttachWaitingWindow(window);
        record = FindRecord(window);
        if (!record || record->link != Link::Attached)
            return CallPrevious(previous, window, message, wParam, lParam);
    }
    if (record->link == Link::Waiting) return PassOnWhileWaiting(previous, window, message, wParam, lParam);
    if (record->link != Link::Attached && record->link != Link::Detaching)
        return CallPrevious(previous, window, message, wParam, lParam);
    if (record->values[SlotProcAddr] == 0) return DefWindowProcW(window, message, wParam, lParam);

    // The style changes the skin makes for the platform's sake are the skin's alone, and what the
    // platform sends the window meanwhile finds the window's true style.
    if ((message == WM_STYLECHANGING || message == WM_STYLECHANGED) && IsUnseenStyleChange(window, wParam))
        return 0;
    const ShownToTheWindow shown(window);
    const ControlKind kind = record->kind;
    const DWORD options = record->options;
    if (options & DORRIK_SKIN_SCROLLBARS) {
        LRESULT result = 0;
        if (RouteWindowScrollBarMessage(window, message, wParam, lParam, result)) return result;
        if (message == WM_ENABLE) {
            // The bars show the window's new state.
            result = DispatchToKind(kind, options, previous, window, message, wParam, lParam);
            if (IsWindow(window)) PaintWindowScrollBars(window);
            return result;
        }
        // Where the skin does not stand in the default processing (Windows), around the window's
        // procedure instead.
        if (RepaintsWholeFrame(window, message) && !SkinDoesDefaultProcessing()) {
            const HiddenScrollBars hidden(window);
            return DispatchToKind(kind, options, previous, window, message, wParam, lParam);
        }
    }
    return DispatchToKind(kind, options, previous, window, message, wParam, lParam);
}

}  // namespace skin
