// Placeholder until the check box renderer lands.
#include "render/check_renderer.h"

namespace skin {

LRESULT PaintCheckBox(HWND, int, bool) { return 0; }
LRESULT PaintOptionButton(HWND, int, bool) { return 0; }

}  // namespace skin
