#include "render/progress_renderer.h"

#include <algorithm>

#include "render/flat_parts.h"
#include "render/primitives.h"

namespace skin {

void DrawProgressClient(HDC target, SIZE client, bool vertical, ProgressSpan fill) {
    ScopedMemorySurface surface(client.cx, client.cy);
    HDC dc = surface.get();
    FillSolid(dc, 0, 0, client.cx, client.cy, kSkinWhite);
    const int axis = vertical ? client.cy : client.cx;
    const int from = std::clamp(fill.start, 0, axis);
    const int to = std::clamp(fill.start + fill.length, 0, axis);
    if (to > from) {
        if (vertical)
            FillSolid(dc, 0, client.cy - to, client.cx, to - from, kSkinFill);
        else
            FillSolid(dc, from, 0, to - from, client.cy, kSkinFill);
    }
    BitBlt(target, 0, 0, client.cx, client.cy, dc, 0, 0, SRCCOPY);
}

void DrawProgressFrame(HDC windowDC, SIZE size, int thickness, bool enabled) {
    if (thickness <= 0) return;
    FrameSolid(windowDC, 0, 0, size.cx, size.cy, FrameColour(enabled));
    for (int d = 1; d < thickness; ++d)
        FrameSolid(windowDC, d, d, size.cx - 2 * d, size.cy - 2 * d, kSkinWhite);
}

}  // namespace skin
