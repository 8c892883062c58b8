// A press on a scroll bar the skin draws, run by the skin instead of the platform's own tracking
// loop (which draws the bar itself at every step). It sends what the platform sends: the arrow's
// or the page's code at once, again after 200 ms and every 50 ms while the pointer stays on the
// part held; for the thumb SB_THUMBTRACK at the press and at every move, SB_THUMBPOSITION at the
// release; SB_ENDSCROLL last. The thumb springs back to where it was taken while the pointer is
// far from the bar.
//
// A press on a window's own bar reaches the window's procedure first, as the platform's
// WM_SYSCOMMAND, and runs in the default processing of that command (core/default_processing.cpp),
// as the platform's loop does: a program may note that a press runs and keep painting at every
// step meanwhile, since its own loop, which would paint later, is held until the release.
#include <windows.h>

#include <algorithm>

#include "core/kind_routes.h"
#include "core/scroll_bars.h"

namespace skin {

namespace {

// The repeat's timer shares the window with the program's timers: its identifier is an address
// inside the engine, which no program's timer can have.
const char kRepeatTimerTag = 0;
const UINT_PTR kRepeatTimer = reinterpret_cast<UINT_PTR>(&kRepeatTimerTag);
constexpr UINT kFirstRepeatDelay = 200;
constexpr UINT kRepeatDelay = 50;

// The press the skin is running on this thread (one at a time: the loop holds the thread).
struct Tracking {
    HWND window = nullptr;
    int bar = SB_VERT;
    ScrollPart part = ScrollPart::None;
    bool overPart = false;     // the pointer is on the part held: it shows pressed
    bool repeating = false;    // the repeat timer runs
    int pressedAlong = 0;      // where along the bar the thumb was taken
    int lastAlong = 0;
    int thumbAtPress = 0;
    int thumbPos = 0;  // the dragged thumb, from the bar's top or left edge
    int thumbValue = 0;
    POINT pointer{};   // where the last mouse message put the pointer, in screen coordinates
};
thread_local Tracking tracking;

// The scroll position a thumb at thumbPos stands for: its share of the free track, of the range
// less the page.
int ThumbValue(HWND window, int bar, const ScrollBarLook& look, int thumbPos) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE;
    if (!GetScrollInfo(window, bar, &info)) return 0;
    const int length = look.vertical ? look.height : look.width;
    const int track = length - 2 * look.arrowSize;
    const int free = track - look.thumbSize;
    if (track <= 0 || free <= 0) return info.nMin;
    const int pos = std::clamp(thumbPos - look.arrowSize, 0, free);
    const int range = info.nPage ? info.nMax - info.nMin - static_cast<int>(info.nPage) + 1 : info.nMax - info.nMin;
    return info.nMin + MulDiv(pos, range, free);
}

// A screen point relative to the bar's top-left corner.
POINT OnBar(HWND window, int bar, POINT origin, POINT screen) {
    if (bar == SB_CTL) {
        ScreenToClient(window, &screen);
    } else {
        RECT frame{};
        GetWindowRect(window, &frame);
        screen.x -= frame.left;
        screen.y -= frame.top;
    }
    return {screen.x - origin.x, screen.y - origin.y};
}

// Near enough to the bar for the dragged thumb to follow: eight of its thicknesses across, two
// along beyond its ends.
bool NearBar(const ScrollBarLook& look, POINT point) {
    RECT reach{0, 0, look.width, look.height};
    const int thickness = look.vertical ? look.width : look.height;
    if (look.vertical)
        InflateRect(&reach, thickness * 8, thickness * 2);
    else
        InflateRect(&reach, thickness * 2, thickness * 8);
    return PtInRect(&reach, point) != FALSE;
}

WORD CodeOf(ScrollPart part) {
    switch (part) {
    case ScrollPart::LineUp:
        return SB_LINEUP;
    case ScrollPart::PageUp:
        return SB_PAGEUP;
    case ScrollPart::PageDown:
        return SB_PAGEDOWN;
    default:
        return SB_LINEDOWN;
    }
}

// What Windows tells accessibility tools as a press on a bar starts and ends.
void NotifyScrolling(HWND window, int bar, DWORD event) {
    const LONG object = bar == SB_VERT ? OBJID_VSCROLL : bar == SB_HORZ ? OBJID_HSCROLL : OBJID_CLIENT;
    NotifyWinEvent(event, window, object, CHILDID_SELF);
}

void SendScroll(HWND window, int bar, bool vertical, WORD code, int value) {
    const HWND owner = bar == SB_CTL ? GetParent(window) : window;
    const LPARAM control = bar == SB_CTL ? reinterpret_cast<LPARAM>(window) : 0;
    SendMessageW(owner, vertical ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, static_cast<WORD>(value)), control);
}

// The pointer moved, or the repeat timer fired, during a press on an arrow or a page.
void FollowRepeat(HWND window, int bar, POINT screen, bool timer) {
    ScrollBarLook look;
    POINT origin{};
    if (!PlatformScrollBarLayout(window, bar, look, origin)) return;
    const POINT at = OnBar(window, bar, origin, screen);
    const bool inside = at.x >= 0 && at.y >= 0 && at.x < look.width && at.y < look.height;
    const ScrollPart under = inside ? ScrollPartAt(look, look.vertical ? at.y : at.x) : ScrollPart::None;
    const bool over = under == tracking.part;
    if (over && (!tracking.repeating || timer)) {
        SendScroll(window, bar, look.vertical, CodeOf(tracking.part), 0);
        SetTimer(window, kRepeatTimer, kRepeatDelay, nullptr);
        tracking.repeating = true;
    } else if (!over && tracking.repeating) {
        KillTimer(window, kRepeatTimer);
        tracking.repeating = false;
    }
    if (over != tracking.overPart) {
        tracking.overPart = over;
        RedrawScrollBar(window, bar);
    }
}

void FollowThumb(HWND window, int bar, POINT screen) {
    ScrollBarLook look;
    POINT origin{};
    if (!PlatformScrollBarLayout(window, bar, look, origin)) return;
    const POINT at = OnBar(window, bar, origin, screen);
    const int length = look.vertical ? look.height : look.width;
    const int along = NearBar(look, at) ? std::clamp(static_cast<int>(look.vertical ? at.y : at.x), 0, length) : tracking.pressedAlong;
    if (along == tracking.lastAlong) return;
    tracking.lastAlong = along;
    tracking.thumbPos = tracking.thumbAtPress + along - tracking.pressedAlong;
    tracking.thumbValue = ThumbValue(window, bar, look, tracking.thumbPos);
    SendScroll(window, bar, look.vertical, SB_THUMBTRACK, tracking.thumbValue);
    RedrawScrollBar(window, bar);
}

void Release(HWND window, int bar) {
    ScrollBarLook look;
    POINT origin{};
    const bool laidOut = PlatformScrollBarLayout(window, bar, look, origin);
    const bool vertical = laidOut ? look.vertical : bar == SB_VERT;
    if (tracking.part == ScrollPart::Thumb)
        SendScroll(window, bar, vertical, SB_THUMBPOSITION,
                   laidOut ? ThumbValue(window, bar, look, tracking.thumbPos) : tracking.thumbValue);
    SendScroll(window, bar, vertical, SB_ENDSCROLL, 0);
}

}  // namespace

void TrackScrollBar(HWND window, int bar, POINT screen) {
    if (tracking.window) return;
    ScrollBarLook look;
    POINT origin{};
    if (!PlatformScrollBarLayout(window, bar, look, origin)) return;
    const POINT at = OnBar(window, bar, origin, screen);
    const int along = look.vertical ? at.y : at.x;
    const ScrollPart part = ScrollPartAt(look, along);
    if (part == ScrollPart::None) return;

    HideCaret(window);
    if (bar == SB_CTL && (GetWindowLongW(window, GWL_STYLE) & WS_TABSTOP)) SetFocus(window);
    SetCapture(window);
    NotifyScrolling(window, bar, EVENT_SYSTEM_SCROLLINGSTART);
    tracking = {window, bar, part, true, false, along, along, look.thumbPos, look.thumbPos, 0, screen};
    if (part == ScrollPart::Thumb) {
        tracking.thumbValue = ThumbValue(window, bar, look, look.thumbPos);
        RedrawScrollBar(window, bar);
        SendScroll(window, bar, look.vertical, SB_THUMBTRACK, tracking.thumbValue);
    } else {
        RedrawScrollBar(window, bar);
        SendScroll(window, bar, look.vertical, CodeOf(part), 0);
        SetTimer(window, kRepeatTimer, kFirstRepeatDelay, nullptr);
        tracking.repeating = true;
    }

    bool released = false;
    MSG msg{};
    while (!released && GetCapture() == window && IsWindow(window)) {
        if (!GetMessageW(&msg, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (CallMsgFilterW(&msg, MSGF_SCROLLBAR)) continue;
        const bool repeat = msg.message == WM_TIMER && msg.hwnd == window && msg.wParam == kRepeatTimer;
        if (msg.message == WM_LBUTTONUP) {
            released = true;
        } else if ((msg.message == WM_MOUSEMOVE && msg.hwnd == window) || repeat) {
            // The captured window's client coordinates; the timer goes on from the last move.
            if (!repeat) {
                tracking.pointer = MessagePoint(msg.lParam);
                ClientToScreen(window, &tracking.pointer);
            }
            if (tracking.part == ScrollPart::Thumb) {
                if (!repeat) FollowThumb(window, bar, tracking.pointer);
            } else {
                FollowRepeat(window, bar, tracking.pointer, repeat);
            }
        } else {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

    if (IsWindow(window)) {
        KillTimer(window, kRepeatTimer);
        if (released) Release(window, bar);
        NotifyScrolling(window, bar, EVENT_SYSTEM_SCROLLINGEND);
    }
    tracking = {};
    if (GetCapture() == window) ReleaseCapture();
    if (IsWindow(window)) {
        if (GetFocus() == window) ShowCaret(window);
        RedrawScrollBar(window, bar);
    }
}

void ApplyScrollTracking(HWND window, int bar, ScrollBarLook& look) {
    if (tracking.window != window || tracking.bar != bar) return;
    look.hot = ScrollPart::None;
    if (tracking.part != ScrollPart::Thumb) {
        look.pressed = tracking.overPart ? tracking.part : ScrollPart::None;
        return;
    }
    look.pressed = ScrollPart::Thumb;
    const int length = look.vertical ? look.height : look.width;
    if (look.thumbSize > 0)
        look.thumbPos = std::clamp(tracking.thumbPos, look.arrowSize, length - look.arrowSize - look.thumbSize);
}

void PutDraggedThumb(HWND window, int bar, SCROLLINFO* info) {
    if (!info || !(info->fMask & SIF_TRACKPOS) || info->cbSize != sizeof(SCROLLINFO)) return;
    if (tracking.window == window && tracking.bar == bar && tracking.part == ScrollPart::Thumb)
        info->nTrackPos = tracking.thumbValue;
}

}  // namespace skin
