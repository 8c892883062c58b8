// Placeholder until the header renderer lands.
#include "render/header_renderer.h"

namespace skin {

LRESULT PaintHeaderItem(HWND, HDC, int, int) { return 0; }

}  // namespace skin
