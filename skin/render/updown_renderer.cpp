// Up-down controls: two halves in one frame, each with the skin's drop arrow turned its way.
#include "render/updown_renderer.h"

#include <commctrl.h>

#include "render/visual_state.h"
#include "render/flat_parts.h"
#include "render/primitives.h"
#include "render/scoped_gdi.h"

namespace skin {

namespace {

// How the control sits against its buddy. The platform moves an up-down aligned to an edit
// field over the field's two-pixel border; overlap counts the field's columns it covers (0 when
// they only touch). The skinned field's border is one line in the border colour with white
// inside it, so the covered columns are drawn just so, whoever paints them last.
struct BuddyJoin {
    bool left = false;   // the buddy is on the left (UDS_ALIGNRIGHT)
    bool right = false;  // the buddy is on the right (UDS_ALIGNLEFT)
    int overlap = 0;
};

constexpr int kMaxOverlap = 2;

BuddyJoin JoinOf(HWND upDown, LONG style) {
    BuddyJoin join;
    HWND buddy = reinterpret_cast<HWND>(SendMessageW(upDown, UDM_GETBUDDY, 0, 0));
    if (!buddy || !IsWindowVisible(buddy)) return join;
    if ((GetWindowLongW(buddy, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) == 0) return join;
    RECT own{}, other{};
    GetWindowRect(upDown, &own);
    GetWindowRect(buddy, &other);
    if (own.top != other.top || own.bottom != other.bottom) return join;
    if (style & UDS_ALIGNRIGHT) {
        join.overlap = other.right - own.left;
        join.left = join.overlap >= 0 && join.overlap <= kMaxOverlap;
    } else if (style & UDS_ALIGNLEFT) {
        join.overlap = own.right - other.left;
        join.right = join.overlap >= 0 && join.overlap <= kMaxOverlap;
    }
    if (!join.left && !join.right) join.overlap = 0;
    return join;
}

// The area inside the frame, split in two along the control's length.
struct Halves {
    RECT first;
    RECT second;
};

Halves SplitHalves(SIZE client, LONG style, const BuddyJoin& join) {
    const int left = join.left ? join.overlap : 1;
    const int right = join.right ? client.cx - join.overlap : client.cx - 1;
    const int top = 1;
    const int bottom = client.cy - 1;
    if (style & UDS_HORZ) {
        const int middle = left + (right - left) / 2;
        return {{left, top, middle, bottom}, {middle, top, right, bottom}};
    }
    const int middle = top + (bottom - top) / 2;
    return {{left, top, right, middle}, {left, middle, right, bottom}};
}

bool IsEnabled(HWND upDown) {
    if (!IsWindowEnabled(upDown)) return false;
    HWND buddy = reinterpret_cast<HWND>(SendMessageW(upDown, UDM_GETBUDDY, 0, 0));
    return !buddy || IsWindowEnabled(buddy);
}

// The frame, continued from the buddy's border over the columns of the buddy the control covers.
void DrawJoinedFrame(HDC dc, SIZE client, const BuddyJoin& join, COLORREF colour) {
    // The shared edge lies on the buddy's own border line, the last column the control covers.
    const int start = join.left ? join.overlap - 1 : 0;
    const int end = join.right ? client.cx - join.overlap + 1 : client.cx;
    FrameSolid(dc, start, 0, end - start, client.cy, colour);
    // Columns of the buddy beyond that line: its top and bottom border go on over them.
    const int extra = join.overlap > 1 ? join.overlap - 1 : 0;
    if (extra == 0) return;
    const int x = join.left ? 0 : client.cx - extra;
    FillSolid(dc, x, 0, extra, 1, colour);
    FillSolid(dc, x, client.cy - 1, extra, 1, colour);
}

void DrawHalf(HDC dc, const RECT& half, ArrowDirection direction, int state, bool enabled) {
    const int width = half.right - half.left;
    const int height = half.bottom - half.top;
    DrawFlatFace(dc, half.left, half.top, width, height, enabled ? state : Normal);
    const bool across = direction == ArrowDirection::Up || direction == ArrowDirection::Down;
    const int arrowWidth = across ? kArrowBreadth : kArrowDepth;
    const int arrowHeight = across ? kArrowDepth : kArrowBreadth;
    DrawArrow(dc, half.left + RoundHalfEven((width - arrowWidth) / 2.0),
              half.top + RoundHalfEven((height - arrowHeight) / 2.0), direction, enabled);
}

int HalfState(int half, int hotHalf, int pressedHalf) {
    if (half == pressedHalf) return Pressed;
    return half == hotHalf ? Hot : Normal;
}

}  // namespace

void DrawUpDown(HWND upDown, HDC target, int hotHalf, int pressedHalf) {
    RECT rect{};
    GetClientRect(upDown, &rect);
    const SIZE client = {rect.right, rect.bottom};
    const LONG style = GetWindowLongW(upDown, GWL_STYLE);
    const bool enabled = IsEnabled(upDown);
    const BuddyJoin join = JoinOf(upDown, style);
    const Halves halves = SplitHalves(client, style, join);

    ScopedMemorySurface surface(client.cx, client.cy);
    HDC dc = surface.get();
    FillSolid(dc, 0, 0, client.cx, client.cy, kSkinWhite);
    DrawJoinedFrame(dc, client, join, FrameColour(enabled));
    const bool horizontal = (style & UDS_HORZ) != 0;
    DrawHalf(dc, halves.first, horizontal ? ArrowDirection::Left : ArrowDirection::Up,
             HalfState(kFirstHalf, hotHalf, pressedHalf), enabled);
    DrawHalf(dc, halves.second, horizontal ? ArrowDirection::Right : ArrowDirection::Down,
             HalfState(kSecondHalf, hotHalf, pressedHalf), enabled);
    BitBlt(target, 0, 0, client.cx, client.cy, dc, 0, 0, SRCCOPY);
}

int UpDownHalfAt(HWND upDown, POINT point) {
    RECT rect{};
    GetClientRect(upDown, &rect);
    if (!PtInRect(&rect, point)) return kNoHalf;
    const LONG style = GetWindowLongW(upDown, GWL_STYLE);
    const Halves halves = SplitHalves({rect.right, rect.bottom}, style, JoinOf(upDown, style));
    // Frame lines count with the half they border.
    if (style & UDS_HORZ) return point.x < halves.second.left ? kFirstHalf : kSecondHalf;
    return point.y < halves.second.top ? kFirstHalf : kSecondHalf;
}

}  // namespace skin
