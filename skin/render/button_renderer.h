// Push buttons: four pre-rendered faces and the blend of one face onto the button.
#pragma once

#include <windows.h>

#include <cstdint>

namespace skin {

// The opacity ALPHALEVEL at which a face covers the button fully; 0 leaves the button as it is.
inline constexpr intptr_t kFullStrengthAlpha = 255;

// Draws the normal, hot, pressed and disabled faces into the button's state surfaces.
void RenderButtonFaces(HWND window);

// Blends the face of OLDSTATE over the button at opacity ALPHALEVEL, into target or (0) the
// button's whole-window context. Always returns 0.
LRESULT BlendButtonFace(HWND window, HDC target);

}  // namespace skin
