// The five skin images, painted pixel by pixel from constant tables when the engine starts.
#include "render/image_set.h"

#include "render/image_tables.h"
#include "render/primitives.h"

namespace skin {

namespace {

using namespace image_tables;

SkinImageSet images;

COLORREF ButtonFacePixel(int x, int y) {
    const int frame = y / kButtonFrameHeight;
    const int row = y % kButtonFrameHeight;
    for (int i = 0; i < kButtonFaceOverrideCount; ++i) {
        const PixelOverride& pixel = kButtonFaceOverrides[i];
        if (pixel.frame == frame && pixel.row == row && pixel.column == x) return pixel.colour;
    }
    const int mirrored = x <= 3 ? x : 6 - x;
    return kButtonFaceRows[row][frame][mirrored];
}

COLORREF ComboButtonPixel(int x, int y) {
    if (x == 0 || x == 4) return kComboEdge;
    const ComboStripRow& strip = kComboStripRows[y];
    if (x < 4) return x == 2 ? strip.hotCentre : strip.hotSide;
    if (x < 8) return x == 6 ? strip.pressedCentre : strip.pressedSide;
    if (y >= 8 || kDropArrow[y % 4][x - 8] != '#') return kKeyMagenta;
    return y < 4 ? kDropArrowEnabled : kDropArrowDisabled;
}

COLORREF DotColourOf(char letter) {
    for (const DotColour& colour : kDotColours)
        if (colour.letter == letter) return colour.colour;
    return kKeyMagenta;
}

// The disabled glyph of each pair sits 9 columns right of the enabled one.
COLORREF GlyphPixel(int x, int y) {
    const bool disabled = x >= 9;
    const int column = disabled ? x - 9 : x;
    if (y < 8) {
        const CheckMarkRow& row = kCheckMarkRows[y];
        if (row.shape[column] != '#') return kKeyMagenta;
        return disabled ? row.disabled : row.enabled;
    }
    if (y >= 9 && y < 16 && column >= 1 && column < 8)
        return disabled ? kSquareDisabled[y - 9] : kSquareEnabled[y - 9];
    if (y >= 18 && y < 23 && column >= 2 && column < 7) {
        const char letter = (disabled ? kDotDisabled : kDotEnabled)[y - 18][column - 2];
        return letter == '.' ? kKeyMagenta : DotColourOf(letter);
    }
    return kKeyMagenta;
}

COLORREF CheckBoxPixel(int x, int y) {
    const int frame = y / 13;
    const int row = y % 13;
    if (kCheckBoxOutline[row][x] == 'M') return kKeyMagenta;

    const CheckBoxRing& ring = kCheckBoxRings[frame];
    const COLORREF sides[7] = {ring.c3, ring.c2, ring.c1, ring.c0, ring.c1, ring.c2, ring.c3};
    if (row == 0 || row == 12) return sides[x - 3];
    if (x == 0 || x == 12) return sides[row - 3];
    for (const Point& point : kCheckBoxDiagonals)
        if (point.x == x && point.y == row) return ring.diagonal;
    for (int i = 0; i < 12; ++i)
        if (kCheckBoxInnerRing[i].x == x && kCheckBoxInnerRing[i].y == row)
            return kCheckBoxInnerRingColours[frame][i];
    return kCheckBoxInsides[frame][row - 1][x - 1];
}

COLORREF HeaderPixel(int x, int y) { return kHeaderRows[y][x]; }

// Every pixel is set once, row by row from the top, so none of the surface's black remains.
void PaintImage(HDC surface, int width, int height, COLORREF (*pixel)(int x, int y)) {
    if (!surface) return;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) SetPixel(surface, x, y, pixel(x, y));
}

}  // namespace

const SkinImageSet& SkinImages() { return images; }

void BuildSkinImages() {
    ReleaseSkinImages();  // a set built twice is replaced, not leaked
    ForgetDisplayFormat();  // the display may have changed since the last start
    images.ButtonFaceImage = CreateMemorySurface(7, 84);
    images.ComboButtonImage = CreateMemorySurface(15, 18);
    images.GlyphImage = CreateMemorySurface(18, 24);
    images.CheckBoxImage = CreateMemorySurface(13, 52);
    images.HeaderImage = CreateMemorySurface(9, 20);
    PaintImage(images.ButtonFaceImage, 7, 84, ButtonFacePixel);
    PaintImage(images.ComboButtonImage, 15, 18, ComboButtonPixel);
    PaintImage(images.GlyphImage, 18, 24, GlyphPixel);
    PaintImage(images.CheckBoxImage, 13, 52, CheckBoxPixel);
    PaintImage(images.HeaderImage, 9, 20, HeaderPixel);
}

void ReleaseSkinImages() {
    // Each surface goes with its bitmap; cleared handles make a second release harmless.
    for (HDC* surface : {&images.ButtonFaceImage, &images.ComboButtonImage, &images.GlyphImage,
                         &images.CheckBoxImage, &images.HeaderImage}) {
        ReleaseMemorySurface(*surface);
        *surface = nullptr;
    }
}

}  // namespace skin
