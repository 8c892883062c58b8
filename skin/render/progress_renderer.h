// The platform's progress bars in the look of the skinned progress bar.
#pragma once

#include <windows.h>

namespace skin {

// Where the fill lies along the bar's axis, measured from where it starts (the left, or the
// bottom of a vertical bar); it may reach beyond either end, and is cut there.
struct ProgressSpan {
    int start;
    int length;
};

// The client area, white with the fill in the progress fill colour, drawn into target through one
// memory surface and one copy. A bar without a border of its own (a themed one) gets its frame
// here, on the client area's outer pixels, and the fill inside it.
void DrawProgressClient(HDC target, SIZE client, bool vertical, ProgressSpan fill,
                        bool frameInside, bool enabled);

// The frame of a bar whose border is `thickness` pixels: a ring in the border colour (the paler
// one when disabled), any rings inside it white. Drawn into a whole-window context.
void DrawProgressFrame(HDC windowDC, SIZE size, int thickness, bool enabled);

}  // namespace skin
