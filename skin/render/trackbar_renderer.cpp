// Trackbars: channel, ticks and thumb, drawn flat in the skin's colours where the control reports
// them.
#include "render/trackbar_renderer.h"

#include <commctrl.h>

#include <algorithm>
#include <array>

#include "render/visual_state.h"
#include "render/flat_parts.h"
#include "render/primitives.h"
#include "render/scoped_gdi.h"

namespace skin {

namespace {

// Ticks are this long, those at both ends of the range one longer, and start this far from the
// thumb, as the platform draws them.
constexpr int kTickLength = 3;
constexpr int kEdgeTickLength = 4;
constexpr int kTickGap = 2;

struct TrackbarLayout {
    LONG style;
    bool vertical;
    bool enabled;
    RECT channel;
    RECT thumb;
    int minimum;
    int maximum;
};

RECT ThumbRect(HWND trackbar) {
    RECT thumb{};
    SendMessageW(trackbar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    return thumb;
}

TrackbarLayout MeasureTrackbar(HWND trackbar) {
    TrackbarLayout layout{};
    layout.style = GetWindowLongW(trackbar, GWL_STYLE);
    layout.vertical = (layout.style & TBS_VERT) != 0;
    layout.enabled = IsWindowEnabled(trackbar) != FALSE;
    SendMessageW(trackbar, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&layout.channel));
    // Windows reports a vertical bar's channel as if the bar lay on its side.
    RECT& channel = layout.channel;
    if (layout.vertical && channel.right - channel.left > channel.bottom - channel.top)
        channel = {channel.top, channel.left, channel.bottom, channel.right};
    layout.thumb = ThumbRect(trackbar);
    layout.minimum = static_cast<int>(SendMessageW(trackbar, TBM_GETRANGEMIN, 0, 0));
    layout.maximum = static_cast<int>(SendMessageW(trackbar, TBM_GETRANGEMAX, 0, 0));
    return layout;
}

// Where a position of the range lies along the channel: the thumb's centre at that position.
int PlaceOf(const TrackbarLayout& layout, int position) {
    const RECT& c = layout.channel;
    const RECT& t = layout.thumb;
    const int halfThumb = layout.vertical ? (t.bottom - t.top) / 2 : (t.right - t.left) / 2;
    const int start = (layout.vertical ? c.top : c.left) + halfThumb;
    const int end = (layout.vertical ? c.bottom : c.right) - halfThumb - 1;
    const int range = std::max(layout.maximum - layout.minimum, 1);
    return start + MulDiv(end - start, position - layout.minimum, range);
}

void DrawChannel(HDC dc, HWND trackbar, const TrackbarLayout& layout) {
    const RECT& c = layout.channel;
    FillSolid(dc, c.left, c.top, c.right - c.left, c.bottom - c.top, kSkinWhite);
    FrameSolid(dc, c.left, c.top, c.right - c.left, c.bottom - c.top, FrameColour(layout.enabled));
    if ((layout.style & TBS_ENABLESELRANGE) == 0) return;
    const int first = static_cast<int>(SendMessageW(trackbar, TBM_GETSELSTART, 0, 0));
    const int last = static_cast<int>(SendMessageW(trackbar, TBM_GETSELEND, 0, 0));
    if (first == last) return;
    const int from = PlaceOf(layout, first);
    const int to = PlaceOf(layout, last);
    if (layout.vertical)
        FillSolid(dc, c.left + 1, from, c.right - c.left - 2, to - from + 1, kSkinFill);
    else
        FillSolid(dc, from, c.top + 1, to - from + 1, c.bottom - c.top - 2, kSkinFill);
}

// One tick on each side the style asks for: below or right by default, above or left with
// TBS_TOP (TBS_LEFT), both with TBS_BOTH.
void DrawTick(HDC dc, const TrackbarLayout& layout, int place, int length, COLORREF colour) {
    const bool before = (layout.style & (TBS_TOP | TBS_BOTH)) != 0;
    const bool after = (layout.style & TBS_TOP) == 0 || (layout.style & TBS_BOTH) != 0;
    const RECT& t = layout.thumb;
    if (layout.vertical) {
        if (before) FillSolid(dc, t.left - kTickGap - length, place, length, 1, colour);
        if (after) FillSolid(dc, t.right + kTickGap, place, length, 1, colour);
    } else {
        if (before) FillSolid(dc, place, t.top - kTickGap - length, 1, length, colour);
        if (after) FillSolid(dc, place, t.bottom + kTickGap, 1, length, colour);
    }
}

void DrawTicks(HDC dc, HWND trackbar, const TrackbarLayout& layout) {
    if (layout.style & TBS_NOTICKS) return;
    const COLORREF colour = FrameColour(layout.enabled);
    DrawTick(dc, layout, PlaceOf(layout, layout.minimum), kEdgeTickLength, colour);
    DrawTick(dc, layout, PlaceOf(layout, layout.maximum), kEdgeTickLength, colour);
    // The count includes the two ends, which TBM_GETTIC does not list.
    const int count = static_cast<int>(SendMessageW(trackbar, TBM_GETNUMTICS, 0, 0)) - 2;
    for (int i = 0; i < count; ++i) {
        const int position = static_cast<int>(SendMessageW(trackbar, TBM_GETTIC, static_cast<WPARAM>(i), 0));
        if (position >= 0) DrawTick(dc, layout, PlaceOf(layout, position), kTickLength, colour);
    }
}

// The thumb's outline: a rectangle with TBS_BOTH, otherwise pointed at the ticks (down or right
// by default, up or left with TBS_TOP / TBS_LEFT), the point as long as half the thumb is wide.
HRGN CreateThumbOutline(const TrackbarLayout& layout) {
    const RECT& t = layout.thumb;
    if (layout.style & TBS_BOTH) return CreateRectRgn(t.left, t.top, t.right, t.bottom);
    const bool towardsStart = (layout.style & TBS_TOP) != 0;
    std::array<POINT, 5> p;
    if (layout.vertical) {
        const int half = (t.bottom - t.top) / 2;
        const int middle = t.top + half;
        if (towardsStart)
            p = {{{t.left + half, t.top}, {t.right, t.top}, {t.right, t.bottom},
                  {t.left + half, t.bottom}, {t.left, middle}}};
        else
            p = {{{t.left, t.top}, {t.right - half, t.top}, {t.right, middle},
                  {t.right - half, t.bottom}, {t.left, t.bottom}}};
    } else {
        const int half = (t.right - t.left) / 2;
        const int middle = t.left + half;
        if (towardsStart)
            p = {{{middle, t.top}, {t.right, t.top + half}, {t.right, t.bottom}, {t.left, t.bottom},
                  {t.left, t.top + half}}};
        else
            p = {{{t.left, t.top}, {t.right, t.top}, {t.right, t.bottom - half}, {middle, t.bottom},
                  {t.left, t.bottom - half}}};
    }
    return CreatePolygonRgn(p.data(), static_cast<int>(p.size()), WINDING);
}

// The face clipped to the outline, then the outline framed. The surface has no clip of its own.
void DrawThumb(HDC dc, const TrackbarLayout& layout, int state) {
    if (layout.style & TBS_NOTHUMB) return;
    const RECT& t = layout.thumb;
    const ScopedRegion outline(CreateThumbOutline(layout));
    if (!outline.get()) return;
    SelectClipRgn(dc, outline.get());
    DrawFlatFace(dc, t.left + 1, t.top + 1, t.right - t.left - 2, t.bottom - t.top - 2,
                 layout.enabled ? state : Normal);
    SelectClipRgn(dc, nullptr);
    const ScopedBrush frame(CreateSolidBrush(FrameColour(layout.enabled)));
    FrameRgn(dc, outline.get(), frame.get(), 1, 1);
}

}  // namespace

void DrawTrackbar(HWND trackbar, HDC target, int thumbState) {
    RECT client{};
    GetClientRect(trackbar, &client);
    const TrackbarLayout layout = MeasureTrackbar(trackbar);
    ScopedMemorySurface surface(client.right, client.bottom);
    HDC dc = surface.get();
    // The parent names the background, as it does for the platform's own trackbar.
    HBRUSH background = reinterpret_cast<HBRUSH>(SendMessageW(
        GetParent(trackbar), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(trackbar)));
    FillRect(dc, &client, background ? background : GetSysColorBrush(COLOR_BTNFACE));
    DrawChannel(dc, trackbar, layout);
    DrawTicks(dc, trackbar, layout);
    DrawThumb(dc, layout, thumbState);
    if (ShowsFocus(trackbar)) {
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        SetBkColor(dc, kSkinWhite);
        DrawFocusFrame(dc, 0, 0, client.right, client.bottom);
    }
    BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
}

bool IsOnThumb(HWND trackbar, POINT point) {
    const RECT thumb = ThumbRect(trackbar);
    return PtInRect(&thumb, point) != FALSE;
}

}  // namespace skin
