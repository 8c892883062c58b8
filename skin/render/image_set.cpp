// The five skin images, painted pixel by pixel from constant tables when the engine starts.
#include "render/image_set.h"

#include "render/image_tables.h"
#include "render/primitives.h"

namespace skin {

namespace {

using namespace image_tables;

SkinImageSet images;

COLORREF ButtonFacePixel(int x, int y) {
    const int frame = y / kButtonFrameSize.height;
    const int row = y % kButtonFrameSize.height;
    for (int i = 0; i < kButtonFaceOverrideCount; ++i) {
        const PixelOverride& pixel = kButtonFaceOverrides[i];
        if (pixel.frame == frame && pixel.row == row && pixel.column == x) return pixel.colour;
    }
    const int mirrored = x < kButtonFaceHalfWidth ? x : kButtonFrameSize.width - 1 - x;
    return kButtonFaceRows[row][frame][mirrored];
}

bool Contains(const ImageRect& rect, int x, int y) {
    return x >= rect.x && x < rect.x + rect.width && y >= rect.y && y < rect.y + rect.height;
}

// A face's first column is its edge line, its middle column its centre.
COLORREF ComboFacePixel(const ImageRect& face, int x, COLORREF side, COLORREF centre) {
    if (x == face.x) return kComboEdge;
    return x == face.x + face.width / 2 ? centre : side;
}

COLORREF ArrowPixel(const ImageRect& arrow, int x, int y, COLORREF colour) {
    return kDropArrow[y - arrow.y][x - arrow.x] == '#' ? colour : kKeyMagenta;
}

COLORREF ComboButtonPixel(int x, int y) {
    const ComboStripRow& strip = kComboStripRows[y];
    if (Contains(kComboHotFace, x, y))
        return ComboFacePixel(kComboHotFace, x, strip.hotSide, strip.hotCentre);
    if (Contains(kComboPressedFace, x, y))
        return ComboFacePixel(kComboPressedFace, x, strip.pressedSide, strip.pressedCentre);
    if (Contains(kComboArrow, x, y)) return ArrowPixel(kComboArrow, x, y, kDropArrowEnabled);
    if (Contains(kComboDisabledArrow, x, y))
        return ArrowPixel(kComboDisabledArrow, x, y, kDropArrowDisabled);
    return kKeyMagenta;
}

COLORREF DotColourOf(char letter) {
    for (const DotColour& colour : kDotColours)
        if (colour.letter == letter) return colour.colour;
    return kKeyMagenta;
}

COLORREF GlyphPixel(int x, int y) {
    const bool disabled = x >= kDisabledGlyphOffset;
    const int column = disabled ? x - kDisabledGlyphOffset : x;
    if (Contains(kCheckMarkGlyph, column, y)) {
        const CheckMarkRow& row = kCheckMarkRows[y - kCheckMarkGlyph.y];
        if (row.shape[column - kCheckMarkGlyph.x] != '#') return kKeyMagenta;
        return disabled ? row.disabled : row.enabled;
    }
    if (Contains(kIndeterminateGlyph, column, y)) {
        const int row = y - kIndeterminateGlyph.y;
        return disabled ? kSquareDisabled[row] : kSquareEnabled[row];
    }
    if (Contains(kOptionDotGlyph, column, y)) {
        const char letter = (disabled ? kDotDisabled : kDotEnabled)[y - kOptionDotGlyph.y]
                                                                   [column - kOptionDotGlyph.x];
        return letter == '.' ? kKeyMagenta : DotColourOf(letter);
    }
    return kKeyMagenta;
}

COLORREF CheckBoxPixel(int x, int y) {
    const int frame = y / kCheckBoxFrameSize.height;
    const int row = y % kCheckBoxFrameSize.height;
    if (kCheckBoxOutline[row][x] == 'M') return kKeyMagenta;

    const CheckBoxRing& ring = kCheckBoxRings[frame];
    const COLORREF sides[7] = {ring.c3, ring.c2, ring.c1, ring.c0, ring.c1, ring.c2, ring.c3};
    constexpr int kLast = kCheckBoxFrameSize.width - 1;
    if (row == 0 || row == kLast) return sides[x - 3];
    if (x == 0 || x == kLast) return sides[row - 3];
    for (const Point& point : kCheckBoxDiagonals)
        if (point.x == x && point.y == row) return ring.diagonal;
    for (int i = 0; i < kCheckBoxInnerRingLength; ++i)
        if (kCheckBoxInnerRing[i].x == x && kCheckBoxInnerRing[i].y == row)
            return kCheckBoxInnerRingColours[frame][i];
    return kCheckBoxInsides[frame][row - 1][x - 1];
}

COLORREF HeaderPixel(int x, int y) { return kHeaderRows[y][x]; }

// Every pixel is set once, row by row from the top, so none of the surface's black remains.
void PaintImage(HDC surface, ImageSize size, COLORREF (*pixel)(int x, int y)) {
    if (!surface) return;
    for (int y = 0; y < size.height; ++y)
        for (int x = 0; x < size.width; ++x) SetPixel(surface, x, y, pixel(x, y));
}

struct ImageRecipe {
    HDC SkinImageSet::*surface;
    ImageSize size;
    COLORREF (*pixel)(int x, int y);
};

const ImageRecipe kRecipes[] = {
    {&SkinImageSet::ButtonFaceImage, kButtonFaceImageSize, ButtonFacePixel},
    {&SkinImageSet::ComboButtonImage, kComboButtonImageSize, ComboButtonPixel},
    {&SkinImageSet::GlyphImage, kGlyphImageSize, GlyphPixel},
    {&SkinImageSet::CheckBoxImage, kCheckBoxImageSize, CheckBoxPixel},
    {&SkinImageSet::HeaderImage, kHeaderImageSize, HeaderPixel},
};

// Entered again by the same thread when one expression uses two images.
CRITICAL_SECTION& ImagesLock() {
    static CRITICAL_SECTION* const lock = [] {
        auto* made = new CRITICAL_SECTION;
        InitializeCriticalSection(made);
        return made;
    }();
    return *lock;
}

}  // namespace

SkinImagesInUse::SkinImagesInUse() {
    EnterCriticalSection(&ImagesLock());
    static_cast<SkinImageSet&>(*this) = images;
}

SkinImagesInUse::~SkinImagesInUse() { LeaveCriticalSection(&ImagesLock()); }

SkinImagesInUse SkinImages() { return {}; }

void BuildSkinImages() {
    ReleaseSkinImages();  // a set built twice is replaced, not leaked
    ForgetDisplayFormat();  // the display may have changed since the last start
    for (const ImageRecipe& recipe : kRecipes)
        images.*recipe.surface = CreateMemorySurface(recipe.size.width, recipe.size.height);
    for (const ImageRecipe& recipe : kRecipes)
        PaintImage(images.*recipe.surface, recipe.size, recipe.pixel);
}

void ReleaseSkinImages() {
    // Each surface goes with its bitmap; cleared handles make a second release harmless.
    for (const ImageRecipe& recipe : kRecipes) {
        ReleaseMemorySurface(images.*recipe.surface);
        images.*recipe.surface = nullptr;
    }
}

}  // namespace skin
