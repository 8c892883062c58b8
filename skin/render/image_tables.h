// The constant pixel data of the five skin images. Colours are 0x00BBGGRR.
#pragma once

#include <windows.h>

namespace skin::image_tables {

// ButtonFaceImage: four 7 x 21 frames, one above another. Each frame is symmetric about column 3,
// so a row lists columns 0 to 3 of every frame; columns 4 to 6 mirror 2 to 0 except where listed.
inline constexpr int kButtonFrameHeight = 21;
extern const COLORREF kButtonFaceRows[kButtonFrameHeight][4][4];  // [row][frame][column]

struct PixelOverride {
    int frame;
    int row;
    int column;
    COLORREF colour;
};
extern const PixelOverride kButtonFaceOverrides[];
extern const int kButtonFaceOverrideCount;

// ComboButtonImage: the left edge line, two gradient strips (side and centre column per row) and
// the drop arrow, enabled above disabled.
inline constexpr COLORREF kComboEdge = 0xD1A04E;
struct ComboStripRow {
    COLORREF hotSide;
    COLORREF hotCentre;
    COLORREF pressedSide;
    COLORREF pressedCentre;
};
extern const ComboStripRow kComboStripRows[18];
extern const char* const kDropArrow[4];  // '#' = arrow colour, '.' = key
inline constexpr COLORREF kDropArrowEnabled = 0x5F5519;
inline constexpr COLORREF kDropArrowDisabled = 0xACA584;

// GlyphImage: check marks, indeterminate squares and option dots, enabled left of disabled.
struct CheckMarkRow {
    const char* shape;  // '#' = the row's colour, '.' = key
    COLORREF enabled;
    COLORREF disabled;
};
extern const CheckMarkRow kCheckMarkRows[8];
extern const COLORREF kSquareEnabled[7];
extern const COLORREF kSquareDisabled[7];
extern const char* const kDotEnabled[5];  // letters name colours in kDotColours, '.' = key
extern const char* const kDotDisabled[5];
struct DotColour {
    char letter;
    COLORREF colour;
};
extern const DotColour kDotColours[20];

// CheckBoxImage: four 13 x 13 frames sharing one outline.
extern const char* const kCheckBoxOutline[13];  // 'M' = key, 'o' = inside the shape
struct CheckBoxRing {
    COLORREF c0, c1, c2, c3;  // the outer ring runs c3 c2 c1 c0 c1 c2 c3 along each side
    COLORREF diagonal;
};
extern const CheckBoxRing kCheckBoxRings[4];
struct Point {
    int x;
    int y;
};
extern const Point kCheckBoxDiagonals[8];
extern const Point kCheckBoxInnerRing[12];
extern const COLORREF kCheckBoxInnerRingColours[4][12];
// Rows 1 to 11, columns 1 to 11 of each frame; 0 where the outline or a ring decides.
extern const COLORREF kCheckBoxInsides[4][11][11];

// HeaderImage: three 3 x 20 frames side by side, every pixel listed.
extern const COLORREF kHeaderRows[20][9];

}  // namespace skin::image_tables
