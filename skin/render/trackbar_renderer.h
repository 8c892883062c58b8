// Trackbars in the skin's look: a flat channel and a flat thumb, the ticks kept.
#pragma once

#include <windows.h>

namespace skin {

// Draws the whole client area of the trackbar into target (client coordinates) through one memory
// surface and one copy: the parent's background, the channel as a one-pixel frame round a white
// inside (a selection range in the progress fill colour), the ticks in the border colour, the
// thumb as a frame round a face of the given visual state, and the focus rectangle where the
// platform shows one.
void DrawTrackbar(HWND trackbar, HDC target, int thumbState);

// Whether a point of the client area lies on the thumb.
bool IsOnThumb(HWND trackbar, POINT point);

}  // namespace skin
