// Placeholder until the combo renderer lands.
#include "render/combo_renderer.h"

namespace skin {

void PaintComboButton(HWND, HDC, int&, bool) {}

}  // namespace skin
