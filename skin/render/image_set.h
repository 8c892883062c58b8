// The five skin images, built pixel by pixel in memory when the engine starts.
#pragma once

#include <windows.h>

namespace skin {

// Memory surfaces; render/image_tables.h says how large each is and where its frames lie.
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
