// Push buttons: four pre-rendered faces and the blend of one face onto the button.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace skin {

// The opacity ALPHALEVEL at which a face covers the button fully; 0 leaves the button as it is.
inline constexpr intptr_t kFullStrengthAlpha = 255;

// A button's image (BM_GETIMAGE), 0 when it has none.
struct ButtonImage {
    HANDLE handle = nullptr;
    UINT type = IMAGE_BITMAP;  // or IMAGE_ICON
    int width = 0;
    int height = 0;
    bool alone = false;  // BS_BITMAP or BS_ICON: the image instead of the caption
};

// The image a button shows: of the kind its BS_BITMAP / BS_ICON style names, else either kind
// (the version 6 button shows one beside its caption).
ButtonImage FindButtonImage(HWND window, LONG style);

// What a face shows on its frame.
struct FaceContent {
    HFONT font = nullptr;
    std::wstring caption;
    bool focused = false;
    LONG style = 0;  // the alignment bits place an image shown alone
    bool isDefault = false;  // marked with a second frame line: Enter presses it
    ButtonImage image;
};

// One face of a push button's look, the frame of the state stretched over width x height.
void DrawButtonFace(HDC surface, int state, const FaceContent& content, int width, int height);

// Draws the normal, hot, pressed and disabled faces into the button's state surfaces. With the
// images option the button's image is on every face.
void RenderButtonFaces(HWND window);

// Blends the face of OLDSTATE over the button at opacity ALPHALEVEL, into target or (0) the
// button's whole-window context. Always returns 0.
LRESULT BlendButtonFace(HWND window, HDC target);

}  // namespace skin
