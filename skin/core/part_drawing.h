// Parts a program draws itself through the platform (a check box beside an owner-drawn list
// item, a group frame, a push button's face, a scroll arrow, a tab or a header item) are drawn in
// the skin's look when they land on a skinned window: the program keeps its own layout and text,
// the part within the rectangle it gave is the skin's. The platform's own controls drawing
// themselves, and every other window and context, keep the platform's drawing.
#pragma once

namespace skin {

// Puts the skin's parts in front of user32's DrawFrameControl and DrawEdge and the visual
// style's DrawThemeBackground and DrawThemeText, once per process; a call that is not for a
// skinned window of the calling thread passes straight on.
void TakeOverPartDrawing();

}  // namespace skin
