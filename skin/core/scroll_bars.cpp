// Scroll bars in the skin's look. The platform draws every scroll bar through one callback that
// the skin intercepts (core/scroll_draw_hook.cpp); the bars of windows skinned with the option are
// drawn there by the skin, the rest by the platform. The skin adds the hot part under the pointer
// and the square where a window's two bars meet.
#include "core/scroll_bars.h"

#include "core/engine.h"
#include "core/kind_routes.h"
#include "core/scroll_draw_hook.h"
#include "dorrik_skin.h"
#include "render/scoped_gdi.h"
#include "render/scrollbar_renderer.h"

namespace skin {

namespace {

// The one bar under the pointer on this thread, and its hot part.
struct HotBar {
    HWND window = nullptr;
    int bar = SB_VERT;
    ScrollPart part = ScrollPart::None;
};
thread_local HotBar hot;

bool IsSizeBox(HWND window) {
    return (GetWindowLongW(window, GWL_STYLE) & (SBS_SIZEBOX | SBS_SIZEGRIP)) != 0;
}

// Skinned with the option, on this thread, and not a size box (which has no bar to draw).
bool SkinsScrollBars(HWND window, int bar) {
    // Asked for every bar the platform draws, on any thread: a thread without an engine gets none.
    const EngineState* engine = EngineIfAny();
    if (!window || !engine || !engine->initialised || !IsWindowOfThisThread(window)) return false;
    const WindowRecord* record = FindRecord(window);
    if (!record || record->link != Link::Attached || !(record->options & DORRIK_SKIN_SCROLLBARS))
        return false;
    return bar != SB_CTL || !IsSizeBox(window);
}

ScrollPart HotPartOf(HWND window, int bar) {
    return hot.window == window && hot.bar == bar ? hot.part : ScrollPart::None;
}

bool PaintSkinnedScrollBar(const PlatformScrollBar& bar) {
    if (!SkinsScrollBars(bar.window, bar.bar)) return false;
    ScrollBarLook look;
    look.width = bar.rect.right - bar.rect.left;
    look.height = bar.rect.bottom - bar.rect.top;
    look.vertical = bar.vertical;
    look.arrowSize = bar.arrowSize;
    look.thumbPos = bar.thumbPos;
    look.thumbSize = bar.thumbSize;
    look.upDisabled = (bar.enableFlags & ESB_DISABLE_LTUP) != 0;
    look.downDisabled = (bar.enableFlags & ESB_DISABLE_RTDN) != 0;
    // The platform numbers the parts from the top as ScrollPart does.
    if (bar.heldPart > 0 && bar.heldPart <= static_cast<int>(ScrollPart::LineDown))
        look.pressed = static_cast<ScrollPart>(bar.heldPart);
    look.hot = HotPartOf(bar.window, bar.bar);
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

// The bar as the platform lays it out now, and where it lies: in window coordinates for a
// window's bars, in client coordinates for a control.
bool CurrentLook(HWND window, int bar, ScrollBarLook& look, POINT& origin) {
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
    for (int part = 1; part <= 5; ++part) {
        if (info.rgstate[part] & STATE_SYSTEM_PRESSED) look.pressed = static_cast<ScrollPart>(part);
    }
    look.hot = HotPartOf(window, bar);
    return true;
}

void RedrawBar(HWND window, int bar) {
    if (!SkinsScrollBars(window, bar)) return;
    ScrollBarLook look;
    POINT origin{};
    if (!CurrentLook(window, bar, look, origin)) return;
    const ScopedWindowDC dc(window, bar == SB_CTL ? ScopedWindowDC::ClientArea : ScopedWindowDC::WholeWindow);
    DrawScrollBar(dc.get(), origin.x, origin.y, look);
}

ScrollPart PartAtScreenPoint(HWND window, int bar, POINT screen) {
    ScrollBarLook look;
    POINT origin{};
    if (!CurrentLook(window, bar, look, origin)) return ScrollPart::None;
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
    if (before.window && IsWindow(before.window)) RedrawBar(before.window, before.bar);
    if (hot.window && (hot.window != before.window || hot.bar != before.bar)) RedrawBar(window, bar);
}

void TrackLeave(HWND window, DWORD flags) {
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_LEAVE | flags;
    track.hwndTrack = window;
    TrackMouseEvent(&track);
}

// The square where a window's two bars meet, in screen coordinates; empty without both.
RECT ScrollCorner(HWND window) {
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    if ((style & (WS_VSCROLL | WS_HSCROLL)) != (WS_VSCROLL | WS_HSCROLL)) return {};
    RECT client{};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const int width = GetSystemMetrics(SM_CXVSCROLL);
    const int height = GetSystemMetrics(SM_CYHSCROLL);
    if (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR)
        return {client.left - width, client.bottom, client.left, client.bottom + height};
    return {client.right, client.bottom, client.right + width, client.bottom + height};
}

// Scroll-bar controls: the hot part follows the pointer over the client area.
LRESULT ControlMouseMove(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallPrevious(previous, window, message, wParam, lParam);
    POINT point = MessagePoint(lParam);
    ClientToScreen(window, &point);
    const ScrollPart part = PartAtScreenPoint(window, SB_CTL, point);
    if (part != ScrollPart::None) TrackLeave(window, 0);
    SetHot(window, SB_CTL, part);
    return result;
}

LRESULT ControlMouseLeave(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallPrevious(previous, window, message, wParam, lParam);
    if (hot.window == window) SetHot(window, SB_CTL, ScrollPart::None);
    return result;
}

const KindRoute kScrollBarRoutes[] = {
    {WM_MOUSEMOVE, ControlMouseMove},
    {WM_MOUSELEAVE, ControlMouseLeave},
};

}  // namespace

void StartScrollBarSkin() { InterceptScrollBarDrawing(PaintSkinnedScrollBar); }

HRGN NcPaintRegionWithoutScrollCorner(HWND window, WPARAM wParam) {
    if (!SkinsScrollBars(window, SB_VERT)) return nullptr;
    const RECT corner = ScrollCorner(window);
    if (IsRectEmpty(&corner)) return nullptr;
    HRGN region = nullptr;
    if (wParam > 1) {
        region = CreateRectRgn(0, 0, 0, 0);
        if (region) CombineRgn(region, reinterpret_cast<HRGN>(wParam), nullptr, RGN_COPY);
    } else {
        RECT whole{};
        GetWindowRect(window, &whole);
        region = CreateRectRgnIndirect(&whole);
    }
    if (!region) return nullptr;
    const ScopedRegion cornerRegion(CreateRectRgnIndirect(&corner));
    if (cornerRegion.get()) CombineRgn(region, region, cornerRegion.get(), RGN_DIFF);
    return region;
}

void PaintScrollBarCorner(HWND window) {
    if (!SkinsScrollBars(window, SB_VERT)) return;
    RECT corner = ScrollCorner(window);
    if (IsRectEmpty(&corner)) return;
    RECT frame{};
    GetWindowRect(window, &frame);
    OffsetRect(&corner, -frame.left, -frame.top);
    const ScopedWindowDC dc(window);
    DrawScrollCorner(dc.get(), corner);
}

LRESULT HandleNcMouseMove(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallPrevious(previous, window, message, wParam, lParam);
    const int bar = wParam == HTVSCROLL ? SB_VERT : wParam == HTHSCROLL ? SB_HORZ : -1;
    if (bar < 0 || !SkinsScrollBars(window, bar)) {
        if (hot.window == window) SetHot(window, hot.bar, ScrollPart::None);
        return result;
    }
    const ScrollPart part = PartAtScreenPoint(window, bar, MessagePoint(lParam));
    if (part != ScrollPart::None) TrackLeave(window, TME_NONCLIENT);
    SetHot(window, bar, part);
    return result;
}

LRESULT HandleNcMouseLeave(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallPrevious(previous, window, message, wParam, lParam);
    if (hot.window == window) SetHot(window, hot.bar, ScrollPart::None);
    return result;
}

LRESULT ScrollBarProc(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return RouteKindMessage(kScrollBarRoutes, previous, window, message, wParam, lParam);
}

}  // namespace skin
