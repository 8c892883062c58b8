#include "render/status_bar_renderer.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>

#include "render/flat_parts.h"
#include "render/primitives.h"
#include "render/scoped_gdi.h"

namespace skin {

namespace {

// The dots of the grip: 2 x 2 squares, 4 pixels apart, in three rows along the diagonal.
constexpr int kGripDot = 2;
constexpr int kGripPitch = 4;
constexpr int kGripRows = 3;
constexpr int kIconInset = 2;

void DrawGrip(HDC dc, SIZE client, COLORREF colour) {
    for (int row = 0; row < kGripRows; ++row) {
        // Row 0 is the single dot in the corner, row 2 the three dots furthest from it.
        for (int dot = 0; dot <= row; ++dot) {
            const int x = client.cx - kGripPitch * (row - dot + 1);
            const int y = client.cy - kGripPitch * (dot + 1);
            FillSolid(dc, x, y, kGripDot, kGripDot, colour);
        }
    }
}

void DrawPart(HDC dc, const StatusPart& part) {
    RECT inside = part.bounds;
    if (part.icon) {
        // As the control places it: square, the part's height, two pixels in.
        const int side = inside.bottom - inside.top;
        DrawIconEx(dc, inside.left + kIconInset, inside.top, part.icon, side, side, 0, nullptr, DI_NORMAL);
        inside.left += side;
    }
    // The platform's own status text: it splits at the tabs, keeps its margin and draws no
    // border with this flag.
    if (!part.text.empty()) DrawStatusTextW(dc, &inside, part.text.c_str(), SBT_NOBORDERS);
}

}  // namespace

int StatusGripSize(SIZE client) {
    return std::min<int>(GetSystemMetrics(SM_CXVSCROLL), client.cy);
}

void DrawStatusBar(HDC dc, SIZE client, std::span<const StatusPart> parts, HFONT font, bool grip,
                   bool enabled) {
    const COLORREF frame = FrameColour(enabled);
    FillSolid(dc, 0, 0, client.cx, client.cy, GetSysColor(COLOR_BTNFACE));
    FillSolid(dc, 0, 0, client.cx, 1, frame);
    const ScopedSelectObject selectFont(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    const int gripLeft = grip ? client.cx - StatusGripSize(client) : client.cx;
    for (const StatusPart& part : parts) {
        if (!part.ownerDrawn) DrawPart(dc, part);
        // A part that reaches the right end (or the grip) needs no separator after it.
        if (part.bounds.right < gripLeft - 1)
            FillSolid(dc, part.bounds.right, part.bounds.top, 1, part.bounds.bottom - part.bounds.top, frame);
    }
    if (grip) DrawGrip(dc, client, frame);
}

}  // namespace skin
