// Placeholder until the image set lands.
#include "render/image_set.h"

namespace skin {

namespace {
SkinImageSet images;
}

const SkinImageSet& SkinImages() { return images; }
void BuildSkinImages() {}
void ReleaseSkinImages() {}

}  // namespace skin
