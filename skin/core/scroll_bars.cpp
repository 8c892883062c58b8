// Scroll bars in the skin's look: how the skin draws them, keeps the platform's paint off them,
// and follows the pointer over them. Where the platform draws a bar through a callback the skin
// can take (Wine 8, core/scroll_draw_hook.cpp), whatever drawing is still left to the platform
// comes out in the skin's look too.
#include "core/scroll_bars.h"

#include <atomic>

#include "core/default_processing.h"
#include "core/engine.h"
#include "core/kind_routes.h"
#include "core/scroll_calls.h"
#include "core/scroll_draw_hook.h"
#include "dorrik_skin.h"
#include "render/scoped_gdi.h"

namespace skin {

namespace {

// The one bar under the pointer on this thread, and its hot part.
struct HotBar {
    HWND window = nullptr;
    int bar = SB_VERT;
    ScrollPart part = ScrollPart::None;
};
thread_local HotBar hot;

std::atomic<bool> platformCallbackUsed{true};

bool IsSizeBox(HWND window) {
    return (GetWindowLongW(window, GWL_STYLE) & (SBS_SIZEBOX | SBS_SIZEGRIP)) != 0;
}

ScrollPart HotPartOf(HWND window, int bar) {
    return hot.window == window && hot.bar == bar ? hot.part : ScrollPart::None;
}

// The platform greys the bars of a disabled window (one under a modal box, say): neither arrow
// works, and the thumb shows its disabled face.
void ShowWindowState(HWND window, ScrollBarLook& look) {
    if (IsWindowEnabled(window)) return;
    look.upDisabled = look.downDisabled = true;
    look.thumbDisabled = true;
}

bool PaintSkinnedScrollBar(const PlatformScrollBar& bar) {
    if (!platformCallbackUsed.load(std::memory_order_relaxed) || !SkinsScrollBars(bar.window, bar.bar))
        return false;
    ScrollBarLook look;
    look.width = bar.rect.right - bar.rect.left;
    look.height = bar.rect.bottom - bar.rect.top;
    look.vertical = bar.vertical;
    look.arrowSize = bar.arrowSize;
    look.thumbPos = bar.thumbPos;
    look.thumbSize = bar.thumbSize;
    look.upDisabled = (bar.enableFlags & ESB_DISABLE_LTUP) != 0;
    look.downDisabled = (bar.enableFlags & ESB_DISABLE_RTDN) != 0;
    look.hot = HotPartOf(bar.window, bar.bar);
    ShowWindowState(bar.window, look);
    ApplyScrollTracking(bar.window, bar.bar, look);
    DrawScrollBar(bar.dc, bar.rect.left, bar.rect.top, look);
    return true;
}

// The arrow buttons' length as the platform lays them out: the scroll bar's size, shared out when
// the bar is too short for two of them and a little track. (Wine's SCROLLBARINFO gives the thumb's
// size as dxyLineButton.)
int ArrowSize(int length, bool vertical) {
    const int metric = GetSystemMetrics(vertical ? SM_CYVSCROLL : SM_CXHSCROLL);
    constexpr int kLeastTrack = 4;
    if (length > 2 * metric + kLeastTrack) return metric;
    return length > kLeastTrack ? (length - kLeastTrack) / 2 : 0;
}

LONG ObjectOf(int bar) {
    return bar == SB_VERT ? OBJID_VSCROLL : bar == SB_HORZ ? OBJID_HSCROLL : OBJID_CLIENT;
}

LONG_PTR StyleBitOf(int bar) { return bar == SB_VERT ? WS_VSCROLL : bar == SB_HORZ ? WS_HSCROLL : 0; }

// The bar's look as it is to be drawn now: the platform's layout with the skin's state on it.
bool CurrentLook(HWND window, int bar, ScrollBarLook& look, POINT& origin) {
    if (!PlatformScrollBarLayout(window, bar, look, origin)) return false;
    look.hot = HotPartOf(window, bar);
    ShowWindowState(window, look);
    ApplyScrollTracking(window, bar, look);
    return true;
}

void DrawCurrentLook(HWND window, int bar, HDC dc) {
    ScrollBarLook look;
    POINT origin{};
    if (CurrentLook(window, bar, look, origin)) DrawScrollBar(dc, origin.x, origin.y, look);
}

ScrollPart PartAtScreenPoint(HWND window, int bar, POINT screen) {
    ScrollBarLook look;
    POINT origin{};
    if (!PlatformScrollBarLayout(window, bar, look, origin)) return ScrollPart::None;
    RECT frame{};
    if (bar == SB_CTL) {
        ScreenToClient(window, &screen);
    } else {
        GetWindowRect(window, &frame);
        screen.x -= frame.left;
        screen.y -= frame.top;
    }
    const int across = look.vertical ? screen.x - origin.x : screen.y - origin.y;
    if (across < 0 || across >= (look.vertical ? look.width : look.height)) return ScrollPart::None;
    return ScrollPartAt(look, look.vertical ? screen.y - origin.y : screen.x - origin.x);
}

// The hot part moves: the bar it leaves and the bar it enters are drawn again.
void SetHot(HWND window, int bar, ScrollPart part) {
    const HotBar before = hot;
    if (before.window == window && before.bar == bar && before.part == part) return;
    hot = {part == ScrollPart::None ? nullptr : window, bar, part};
    if (before.window && IsWindow(before.window)) RedrawScrollBar(before.window, before.bar);
    if (hot.window && (hot.window != before.window || hot.bar != before.bar)) RedrawScrollBar(window, bar);
}

// Asked only when no leave of that kind is asked for the window yet, as the platform's own bars
// ask it: a request sets off a hit test, and a second one may end the first with a leave.
void TrackLeave(HWND window, DWORD flags) {
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_QUERY;
    TrackMouseEvent(&track);
    if ((track.dwFlags & (TME_LEAVE | flags)) == (TME_LEAVE | flags) && track.hwndTrack == window) return;
    track.dwFlags = TME_LEAVE | flags;
    track.hwndTrack = window;
    TrackMouseEvent(&track);
}

// The square where a window's two bars meet, in window coordinates; empty without both.
RECT ScrollCorner(HWND window) {
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    if ((style & (WS_VSCROLL | WS_HSCROLL)) != (WS_VSCROLL | WS_HSCROLL)) return {};
    RECT client{}, frame{};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    GetWindowRect(window, &frame);
    OffsetRect(&client, -frame.left, -frame.top);
    const int width = GetSystemMetrics(SM_CXVSCROLL);
    const int height = GetSystemMetrics(SM_CYHSCROLL);
    if (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR)
        return {client.left - width, client.bottom, client.left, client.bottom + height};
    return {client.right, client.bottom, client.right + width, client.bottom + height};
}

// Scroll-bar controls. The skin paints them and runs a press on them; what changes their state
// goes to the platform first (with its drawing, when the callback does not catch it) and is then
// drawn in the skin's look.
LRESULT ControlPaint(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!SkinsScrollBars(window, SB_CTL)) return CallPrevious(previous, window, message, wParam, lParam);
    if (wParam) {
        DrawCurrentLook(window, SB_CTL, reinterpret_cast<HDC>(wParam));
        return 0;
    }
    PAINTSTRUCT paint{};
    if (HDC dc = BeginPaint(window, &paint)) {
        DrawCurrentLook(window, SB_CTL, dc);
        EndPaint(window, &paint);
    }
    return 0;
}

LRESULT ControlPress(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!SkinsScrollBars(window, SB_CTL)) return CallPrevious(previous, window, message, wParam, lParam);
    POINT point = MessagePoint(lParam);
    ClientToScreen(window, &point);
    SetHot(window, SB_CTL, ScrollPart::None);
    TrackScrollBar(window, SB_CTL, point);
    return 0;
}

LRESULT ControlChange(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallPrevious(previous, window, message, wParam, lParam);
    RedrawScrollBar(window, SB_CTL);
    return result;
}

// Asked directly, the control gives the dragged thumb's position as GetScrollInfo does.
LRESULT ControlScrollInfo(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallPrevious(previous, window, message, wParam, lParam);
    if (result) PutDraggedThumb(window, SB_CTL, reinterpret_cast<SCROLLINFO*>(lParam));
    return result;
}

// The platform's control does nothing with the pointer's moves but draw its own hot part, at
// every move: the skin's hot part replaces it. Other code under the skin still sees them, and the
// skin draws over whatever the platform drew meanwhile.
LRESULT PassPointerMessage(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (reinterpret_cast<WNDPROC>(GetClassLongPtrW(window, GCLP_WNDPROC)) == previous) return 0;
    const LRESULT result = CallPrevious(previous, window, message, wParam, lParam);
    RedrawScrollBar(window, SB_CTL);
    return result;
}

// The hot part follows the pointer over the client area.
LRESULT ControlMouseMove(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!SkinsScrollBars(window, SB_CTL)) return CallPrevious(previous, window, message, wParam, lParam);
    const LRESULT result = PassPointerMessage(previous, window, message, wParam, lParam);
    POINT point = MessagePoint(lParam);
    ClientToScreen(window, &point);
    const ScrollPart part = PartAtScreenPoint(window, SB_CTL, point);
    if (part != ScrollPart::None) TrackLeave(window, 0);
    SetHot(window, SB_CTL, part);
    return result;
}

LRESULT ControlMouseLeave(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!SkinsScrollBars(window, SB_CTL)) return CallPrevious(previous, window, message, wParam, lParam);
    const LRESULT result = PassPointerMessage(previous, window, message, wParam, lParam);
    if (hot.window == window) SetHot(window, SB_CTL, ScrollPart::None);
    return result;
}

const KindRoute kScrollBarRoutes[] = {
    {WM_PAINT, ControlPaint},
    {WM_LBUTTONDOWN, ControlPress},
    {WM_LBUTTONDBLCLK, ControlPress},
    {SBM_SETSCROLLINFO, ControlChange},
    {SBM_SETPOS, ControlChange},
    {SBM_SETRANGEREDRAW, ControlChange},
    {SBM_ENABLE_ARROWS, ControlChange},
    {SBM_GETSCROLLINFO, ControlScrollInfo},
    {WM_ENABLE, ControlChange},
    {WM_MOUSEMOVE, ControlMouseMove},
    {WM_MOUSELEAVE, ControlMouseLeave},
};

BOOL CALLBACK StandInFrontOfThePlatform(PINIT_ONCE, PVOID, PVOID*) {
    InterceptScrollBarDrawing(PaintSkinnedScrollBar);
    TakeOverScrollCalls();
    TakeOverDefaultProcessing();
    return TRUE;
}

}  // namespace

void StartScrollBarSkin() {
    // Every thread that attaches with the option waits until the first has put the skin in
    // front of the platform's drawing and scroll calls.
    static INIT_ONCE started = INIT_ONCE_STATIC_INIT;
    InitOnceExecuteOnce(&started, StandInFrontOfThePlatform, nullptr, nullptr);
}

bool SkinsScrollBars(HWND window, int bar) {
    // Asked for every bar the platform draws, on any thread: a thread without an engine gets none.
    const EngineState* engine = EngineIfAny();
    if (!window || !engine || !engine->initialised || !IsWindowOfThisThread(window)) return false;
    const WindowRecord* record = FindRecord(window);
    if (!record || record->link != Link::Attached || !(record->options & DORRIK_SKIN_SCROLLBARS))
        return false;
    if (bar == SB_CTL) return record->kind == ControlKind::ScrollBar && !IsSizeBox(window);
    return record->kind != ControlKind::ScrollBar;
}

bool PlatformScrollBarLayout(HWND window, int bar, ScrollBarLook& look, POINT& origin) {
    SCROLLBARINFO info{};
    info.cbSize = sizeof(info);
    if (!GetScrollBarInfo(window, ObjectOf(bar), &info)) return false;
    if (info.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN)) return false;
    RECT frame{};
    if (bar == SB_CTL) {
        POINT client{0, 0};
        ClientToScreen(window, &client);
        frame = {client.x, client.y, client.x, client.y};
    } else {
        GetWindowRect(window, &frame);
    }
    origin = {info.rcScrollBar.left - frame.left, info.rcScrollBar.top - frame.top};
    look.width = info.rcScrollBar.right - info.rcScrollBar.left;
    look.height = info.rcScrollBar.bottom - info.rcScrollBar.top;
    look.vertical = bar == SB_VERT || (bar == SB_CTL && (GetWindowLongW(window, GWL_STYLE) & SBS_VERT));
    look.arrowSize = ArrowSize(look.vertical ? look.height : look.width, look.vertical);
    look.thumbPos = info.xyThumbTop;
    look.thumbSize = info.xyThumbBottom - info.xyThumbTop;
    look.upDisabled = (info.rgstate[1] & STATE_SYSTEM_UNAVAILABLE) != 0;
    look.downDisabled = (info.rgstate[5] & STATE_SYSTEM_UNAVAILABLE) != 0;
    return look.width > 0 && look.height > 0;
}

void RedrawScrollBar(HWND window, int bar) {
    if (!SkinsScrollBars(window, bar) && !BarsSkinnedByAnotherThread(window)) return;
    if (bar != SB_CTL && !(GetWindowLongPtrW(window, GWL_STYLE) & StyleBitOf(bar))) return;
    const ScopedWindowDC dc(window, bar == SB_CTL ? ScopedWindowDC::ClientArea : ScopedWindowDC::WholeWindow);
    DrawCurrentLook(window, bar, dc.get());
}

void PaintWindowScrollBars(HWND window) {
    if (!SkinsScrollBars(window, SB_VERT)) return;
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    if (!(style & (WS_VSCROLL | WS_HSCROLL))) return;
    const ScopedWindowDC dc(window);
    // The corner first: Wine lays each bar one pixel into it, and a bar drawn alone later covers
    // that pixel with its arrow's edge again.
    const RECT corner = ScrollCorner(window);
    if (!IsRectEmpty(&corner)) DrawScrollCorner(dc.get(), corner);
    if (style & WS_VSCROLL) DrawCurrentLook(window, SB_VERT, dc.get());
    if (style & WS_HSCROLL) DrawCurrentLook(window, SB_HORZ, dc.get());
}

HiddenScrollBars::HiddenScrollBars(HWND window, HiddenFrom whom)
    : change_(window, SkinsScrollBars(window, SB_VERT) ? WS_VSCROLL | WS_HSCROLL : 0, whom) {}

LRESULT CallPreviousWithoutBars(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const HiddenScrollBars hidden(window);
    return CallPrevious(previous, window, message, wParam, lParam);
}

bool RepaintsWholeFrame(HWND window, UINT message) {
    // Only a captioned window's frame is painted again by these. (A control's own handling of
    // them, an edit's new text, may show or hide its bars: it must see its true styles.)
    if (message != WM_NCACTIVATE && message != WM_SETTEXT && message != WM_SETICON) return false;
    return (GetWindowLongPtrW(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
}

bool RunPressOnWindowBar(HWND window, WPARAM command, LPARAM point) {
    const WPARAM which = command & 0xFFF0;
    if (which != SC_VSCROLL && which != SC_HSCROLL) return false;
    const int bar = which == SC_VSCROLL ? SB_VERT : SB_HORZ;
    if (!SkinsScrollBars(window, bar)) return false;
    SetHot(window, bar, ScrollPart::None);
    TrackScrollBar(window, bar, MessagePoint(point));
    return true;
}

bool RouteWindowScrollBarMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_SYSCOMMAND: {
        // Where the skin runs it in the default processing, the window's procedure sees it first.
        if (SkinDoesDefaultProcessing() || !RunPressOnWindowBar(window, wParam, lParam)) return false;
        result = 0;
        return true;
    }
    default:
        return false;
    }
}

bool PointerMayLightBars(HWND window, WPARAM hit) {
    return hit == HTVSCROLL || hit == HTHSCROLL || hot.window == window;
}

void FollowPointerOverBars(HWND window, WPARAM hit, LPARAM lParam) {
    const int bar = hit == HTVSCROLL ? SB_VERT : hit == HTHSCROLL ? SB_HORZ : -1;
    if (bar < 0 || !SkinsScrollBars(window, bar)) {
        if (hot.window == window) SetHot(window, hot.bar, ScrollPart::None);
        return;
    }
    const ScrollPart part = PartAtScreenPoint(window, bar, MessagePoint(lParam));
    if (part != ScrollPart::None) TrackLeave(window, TME_NONCLIENT);
    SetHot(window, bar, part);
}

void PointerLeftBars(HWND window) {
    if (hot.window == window) SetHot(window, hot.bar, ScrollPart::None);
}

// Where the skin does not stand in the default processing (Windows), the bars are hidden around
// the window's procedure instead.
LRESULT HandleNcMouseMove(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (SkinDoesDefaultProcessing()) return CallPrevious(previous, window, message, wParam, lParam);
    const LRESULT result = PointerMayLightBars(window, wParam)
                               ? CallPreviousWithoutBars(previous, window, message, wParam, lParam)
                               : CallPrevious(previous, window, message, wParam, lParam);
    FollowPointerOverBars(window, wParam, lParam);
    return result;
}

LRESULT HandleNcMouseLeave(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (SkinDoesDefaultProcessing()) return CallPrevious(previous, window, message, wParam, lParam);
    const LRESULT result = CallPreviousWithoutBars(previous, window, message, wParam, lParam);
    PointerLeftBars(window);
    return result;
}

LRESULT ScrollBarProc(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return RouteKindMessage(kScrollBarRoutes, previous, window, message, wParam, lParam);
}

void UsePlatformScrollBarCallback(bool use) { platformCallbackUsed.store(use, std::memory_order_relaxed); }

}  // namespace skin
