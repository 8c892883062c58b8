// Time per call of the two composing primitives at push-button size.
#include "bench_util.h"
#include "render/image_set.h"
#include "render/primitives.h"

int main() {
    constexpr int kWidth = 113, kHeight = 33;
    skin::BuildSkinImages();
    const skin::SkinImageSet& images = skin::SkinImages();
    skin::ScopedMemorySurface destination(kWidth, kHeight);

    // A button face: one frame of the face image, borders 3, no key.
    bench::Report("DrawNineSlice 113x33 (button face)", bench::MicrosecondsPerCall([&] {
                      skin::DrawNineSlice(destination.get(), 0, 0, kWidth, kHeight,
                                          images.ButtonFaceImage, 0, 21, 7, 21, 3, 3, 3, 3);
                  }),
                  "us/call");

    // The same size with the key colour, which adds a transparent copy.
    bench::Report("DrawNineSlice 113x33 keyed (option box)", bench::MicrosecondsPerCall([&] {
                      skin::DrawNineSlice(destination.get(), 0, 0, kWidth, kHeight,
                                          images.CheckBoxImage, 0, 13, 13, 13, 5, 5, 5, 5,
                                          skin::kKeyMagenta);
                  }),
                  "us/call");

    // A transparent copy of a keyed source of button size.
    skin::ScopedMemorySurface source(kWidth, kHeight);
    skin::DrawNineSlice(source.get(), 0, 0, kWidth, kHeight, images.CheckBoxImage, 0, 0, 13, 13, 5,
                        5, 5, 5);
    bench::Report("DrawTransparent 113x33", bench::MicrosecondsPerCall([&] {
                      skin::DrawTransparent(destination.get(), 0, 0, kWidth, kHeight, source.get(),
                                            0, 0, skin::kKeyMagenta, nullptr);
                  }),
                  "us/call");

    skin::ReleaseSkinImages();
    return 0;
}
