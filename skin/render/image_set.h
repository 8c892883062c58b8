// The five skin images, built pixel by pixel in memory when the engine starts.
#pragma once

#include <windows.h>

namespace skin {

// Memory surfaces (width x height): ButtonFaceImage 7 x 84, ComboButtonImage 15 x 18,
// GlyphImage 18 x 24, CheckBoxImage 13 x 52, HeaderImage 9 x 20.
struct SkinImageSet {
    HDC ButtonFaceImage = nullptr;
    HDC ComboButtonImage = nullptr;
    HDC GlyphImage = nullptr;
    HDC CheckBoxImage = nullptr;
    HDC HeaderImage = nullptr;
};

const SkinImageSet& SkinImages();
void BuildSkinImages();
void ReleaseSkinImages();

}  // namespace skin
