// Check boxes and option buttons: the skin's boxes, marks and dots.
#pragma once

#include <windows.h>

namespace skin {

// 1 after drawing, 0 when the state equals OLDSTATE and force is not set.
LRESULT PaintCheckBox(HWND window, int state, bool force);
LRESULT PaintOptionButton(HWND window, int state, bool force);

}  // namespace skin
