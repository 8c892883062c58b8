// Placeholder until the button renderer lands.
#include "render/button_renderer.h"

namespace skin {

void RenderButtonFaces(HWND) {}
LRESULT BlendButtonFace(HWND, HDC) { return 0; }

}  // namespace skin
