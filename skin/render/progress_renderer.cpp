#include "render/progress_renderer.h"

#include <algorithm>

#include "render/flat_parts.h"
#include "render/primitives.h"

namespace skin {

void DrawProgressClient(HDC target, SIZE client, bool vertical, ProgressSpan fill,
                        bool frameInside, bool enabled) {
    ScopedMemorySurface surface(client.cx, client.cy);
    HDC dc = surface.get();
    FillSolid(dc, 0, 0, client.cx, client.cy, kSkinWhite);
    const int inset = frameInside ? 1 : 0;
    const SIZE inside{client.cx - 2 * inset, client.cy - 2 * inset};
    const int axis = vertical ? inside.cy : inside.cx;
    const int from = std::clamp(fill.start, 0, axis);
    const int to = std::clamp(fill.start + fill.length, 0, axis);
    if (to > from) {
        if (vertical)
            FillSolid(dc, inset, inset + inside.cy - to, inside.cx, to - from, kSkinFill);
        else
            FillSolid(dc, inset + from, inset, to - from, inside.cy, kSkinFill);
    }
    if (frameInside) FrameSolid(dc, 0, 0, client.cx, client.cy, FrameColour(enabled));
    BitBlt(target, 0, 0, client.cx, client.cy, dc, 0, 0, SRCCOPY);
}

void DrawProgressFrame(HDC windowDC, SIZE size, int thickness, bool enabled) {
    if (thickness <= 0) return;
    FrameSolid(windowDC, 0, 0, size.cx, size.cy, FrameColour(enabled));
    for (int d = 1; d < thickness; ++d)
        FrameSolid(windowDC, d, d, size.cx - 2 * d, size.cy - 2 * d, kSkinWhite);
}

}  // namespace skin
