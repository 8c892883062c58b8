// The gallery checking itself: the skin on every window of the form, off again after the switch,
// on again, and on a message box; the form looking the same after every switch back.
#pragma once

#include <windows.h>

namespace gallery {

// Runs the checks on a gallery of its own; 0 when all passed, 1 otherwise (each fault on stderr).
int RunSelfCheck(HINSTANCE instance);

}  // namespace gallery
