// A skinned form for the paint tests, with the controls of one test, and pixel helpers.
#pragma once

#include <windows.h>

#include "support/skinned_form.h"

namespace paint_tests {

// A colour the skin never draws, laid over a window before a drawing call so that untouched
// pixels can be told from drawn ones.
inline constexpr COLORREF kCover = 0x0000FF;

// The shared form (480 x 360). It clips its children, which keeps the form's own paints off the
// controls being read back.
class SkinnedForm : public testing_support::SkinnedForm {
public:
    SkinnedForm() : testing_support::SkinnedForm({480, 360, WS_POPUP | WS_CLIPCHILDREN}) {}
};

// Fills the whole window, frame included, with one colour.
void CoverWindow(HWND window, COLORREF colour = kCover);

// A client repaint only (no erase, no frame), and a frame repaint only.
void RepaintClient(HWND window);
void RepaintFrame(HWND window);

// Property value of the skin, as an int.
int Prop(HWND window, const char* name);

}  // namespace paint_tests
