// The platform's progress bars (msctls_progress32) in the look of the skinned progress bar: white,
// filled from the left (from the bottom when vertical) in the progress fill colour, a one-pixel
// frame. Smooth and block bars look alike. A marquee bar shows a block that moves on by one step
// with each tick of the control's own timer.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <unordered_map>

#include "core/common_controls.h"
#include "core/engine.h"
#include "core/kind_routes.h"
#include "core/paint.h"
#include "render/primitives.h"
#include "render/progress_renderer.h"
#include "render/scoped_gdi.h"

namespace skin {

namespace {

// The marquee block is a quarter of the bar and moves this many pixels a tick.
constexpr int kMarqueeBlockShare = 4;
constexpr int kMarqueeStride = 4;

// How far each marquee bar's block has moved, for the windows of this thread.
struct MarqueeSteps : ThreadPart {
    std::unordered_map<HWND, int> steps;
};

std::unordered_map<HWND, int>& Marquees() { return ThisThreadPart<MarqueeSteps>().steps; }

LONG Style(HWND bar) { return GetWindowLongW(bar, GWL_STYLE); }

SIZE ClientSize(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

ProgressSpan MarqueeSpan(HWND bar, int axis) {
    const int block = std::max(axis / kMarqueeBlockShare, 1);
    const auto found = Marquees().find(bar);
    const int step = found == Marquees().end() ? 0 : found->second;
    // The block comes in at the start and leaves at the end, then comes in again.
    return {step % (axis + block) - block, block};
}

ProgressSpan PositionSpan(HWND bar, int axis) {
    PBRANGE range{};
    SendMessageW(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    if (range.iHigh <= range.iLow) return {0, 0};
    const int position = std::clamp(static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0)),
                                    range.iLow, range.iHigh);
    const double share = static_cast<double>(position - range.iLow) / (range.iHigh - range.iLow);
    return {0, RoundHalfEven(share * axis)};
}

int BorderThickness(HWND bar) {
    int horizontal = 0, vertical = 0;
    GetBorderThickness(bar, horizontal, vertical);
    return std::max(horizontal, vertical);
}

void DrawBarInto(HWND bar, HDC dc) {
    const SIZE client = ClientSize(bar);
    const bool vertical = (Style(bar) & PBS_VERTICAL) != 0;
    // A themed bar has no border of its own: its frame lies on the client area's outer pixels.
    const bool frameInside = BorderThickness(bar) == 0;
    const int axis = (vertical ? client.cy : client.cx) - (frameInside ? 2 : 0);
    const ProgressSpan fill =
        (Style(bar) & PBS_MARQUEE) ? MarqueeSpan(bar, axis) : PositionSpan(bar, axis);
    DrawProgressClient(dc, client, vertical, fill, frameInside, IsWindowEnabled(bar) != FALSE);
}

LRESULT PaintBar(WNDPROC, HWND window, UINT, WPARAM wParam, LPARAM) {
    if (wParam) {
        DrawBarInto(window, reinterpret_cast<HDC>(wParam));
        return 0;
    }
    const ScopedBeginPaint paint(window);
    DrawBarInto(window, paint.get());
    return 0;
}

LRESULT PrintBar(WNDPROC, HWND window, UINT, WPARAM wParam, LPARAM) {
    DrawBarInto(window, reinterpret_cast<HDC>(wParam));
    return 0;
}

void DrawFrameOf(HWND bar) {
    WindowBounds bounds;
    GetWindowBounds(bar, bounds);
    const ScopedWindowDC windowDC(bar);
    DrawProgressFrame(windowDC.get(), {bounds.Width, bounds.Height}, BorderThickness(bar),
                      IsWindowEnabled(bar) != FALSE);
}

// The control's own frame is a platform edge: the skin draws its flat one instead.
LRESULT NcPaintBar(WNDPROC, HWND window, UINT, WPARAM, LPARAM) {
    DrawFrameOf(window);
    return 0;
}

// The control's marquee timer: the block moves on, and the control asks for the repaint.
LRESULT BarTimer(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (Style(window) & PBS_MARQUEE) Marquees()[window] += kMarqueeStride;
    return RouteMessage(previous, window, message, wParam, lParam);
}

LRESULT BarEnable(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = RouteMessage(previous, window, message, wParam, lParam);
    if (!IsAttached(window)) return result;
    DrawFrameOf(window);
    InvalidateRect(window, nullptr, FALSE);
    return result;
}

const KindRoute kBarRoutes[] = {
    {WM_PAINT, PaintBar},
    {WM_PRINTCLIENT, PrintBar},
    {WM_ERASEBKGND, SkipErase},
    {WM_NCPAINT, NcPaintBar},
    {WM_TIMER, BarTimer},
    {WM_ENABLE, BarEnable},
};

}  // namespace

LRESULT ProgressControlProc(WNDPROC previous, HWND window, UINT message, WPARAM wParam,
                            LPARAM lParam) {
    return RouteKindMessage(kBarRoutes, previous, window, message, wParam, lParam);
}

void ForgetMarquee(HWND bar) { Marquees().erase(bar); }

}  // namespace skin
