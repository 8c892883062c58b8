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

// The images for the rest of one full expression: every thread that skins windows shares them,
// and a drawing context serves one thread at a time, so a copy from an image holds the images'
// lock while it runs, as in `DrawNineSlice(dc, ..., SkinImages().HeaderImage, ...)`. Held
// longer (bound to a reference), it keeps the other threads' copies waiting.
class SkinImagesInUse : public SkinImageSet {
public:
    SkinImagesInUse();
    ~SkinImagesInUse();
    SkinImagesInUse(const SkinImagesInUse&) = delete;
    SkinImagesInUse& operator=(const SkinImagesInUse&) = delete;
};

SkinImagesInUse SkinImages();
void BuildSkinImages();
void ReleaseSkinImages();

}  // namespace skin
