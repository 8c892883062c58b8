// The five skin images: where each frame lies in its image (read by the renderers and the
// painter alike) and the constant pixel data the image is built from. Colours are 0x00BBGGRR.
#pragma once

#include <windows.h>

#include "render/visual_state.h"

namespace skin {

struct ImageSize {
    int width;
    int height;
};

// A rectangle of an image: its top-left pixel and its size.
struct ImageRect {
    int x;
    int y;
    int width;
    int height;
};

// The frame numbered index in an image whose frames, all of one size, lie one below another.
constexpr ImageRect StackedFrame(ImageSize frame, int index) {
    return {0, frame.height * index, frame.width, frame.height};
}

// ---- ButtonFaceImage: one 7 x 21 frame per visual state (normal, hot, pressed, disabled), one
// below another. Stretched, a frame keeps its 3-pixel rim.
inline constexpr ImageSize kButtonFrameSize = {7, 21};
inline constexpr int kButtonFrameRim = 3;
inline constexpr ImageSize kButtonFaceImageSize = {kButtonFrameSize.width,
                                                   kButtonFrameSize.height * kStateCount};
constexpr ImageRect ButtonFaceFrame(int state) { return StackedFrame(kButtonFrameSize, state); }

namespace image_tables {
// Each frame is symmetric about its middle column, so a row lists columns 0 to 3 of every frame;
// columns 4 to 6 mirror 2 to 0 except where listed.
inline constexpr int kButtonFaceHalfWidth = kButtonFrameSize.width / 2 + 1;
extern const COLORREF kButtonFaceRows[kButtonFrameSize.height][kStateCount]
                                     [kButtonFaceHalfWidth];  // [row][frame][column]

struct PixelOverride {
    int frame;
    int row;
    int column;
    COLORREF colour;
};
extern const PixelOverride kButtonFaceOverrides[];
extern const int kButtonFaceOverrideCount;
}  // namespace image_tables

// ---- ComboButtonImage: the drop button's hot and pressed faces, 4 x 18 strips side by side, each
// starting with a thin edge line; stretched, a face keeps two columns on the left (the line and
// the one after it) and one pixel on the other sides. Right of them the 7 x 4 drop arrow,
// enabled above disabled.
inline constexpr ImageSize kComboButtonImageSize = {15, 18};
inline constexpr ImageRect kComboHotFace = {0, 0, 4, 18};
inline constexpr ImageRect kComboPressedFace = {4, 0, 4, 18};
inline constexpr int kComboFaceLeft = 2, kComboFaceTop = 1, kComboFaceRight = 1,
                     kComboFaceBottom = 1;
inline constexpr ImageRect kComboArrow = {8, 0, 7, 4};
inline constexpr ImageRect kComboDisabledArrow = {8, 4, 7, 4};

namespace image_tables {
inline constexpr COLORREF kComboEdge = 0xD1A04E;
// Per row, the side columns and the centre column of each face.
struct ComboStripRow {
    COLORREF hotSide;
    COLORREF hotCentre;
    COLORREF pressedSide;
    COLORREF pressedCentre;
};
extern const ComboStripRow kComboStripRows[kComboButtonImageSize.height];
extern const char* const kDropArrow[kComboArrow.height];  // '#' = arrow colour, '.' = key
inline constexpr COLORREF kDropArrowEnabled = 0x5F5519;
inline constexpr COLORREF kDropArrowDisabled = 0xACA584;
}  // namespace image_tables

// ---- GlyphImage: the check mark, the indeterminate square and the option dot, one below
// another; each glyph's disabled twin lies 9 columns further right.
inline constexpr ImageSize kGlyphImageSize = {18, 24};
inline constexpr ImageRect kCheckMarkGlyph = {0, 0, 9, 8};
inline constexpr ImageRect kIndeterminateGlyph = {1, 9, 7, 7};
inline constexpr ImageRect kOptionDotGlyph = {2, 18, 5, 5};
inline constexpr int kDisabledGlyphOffset = 9;

namespace image_tables {
struct CheckMarkRow {
    const char* shape;  // '#' = the row's colour, '.' = key
    COLORREF enabled;
    COLORREF disabled;
};
extern const CheckMarkRow kCheckMarkRows[kCheckMarkGlyph.height];
extern const COLORREF kSquareEnabled[kIndeterminateGlyph.height];  // one colour per row
extern const COLORREF kSquareDisabled[kIndeterminateGlyph.height];
// Letters name colours in kDotColours, '.' = key.
extern const char* const kDotEnabled[kOptionDotGlyph.height];
extern const char* const kDotDisabled[kOptionDotGlyph.height];
struct DotColour {
    char letter;
    COLORREF colour;
};
extern const DotColour kDotColours[20];
}  // namespace image_tables

// ---- CheckBoxImage: one 13 x 13 round option box per visual state (normal, hot, pressed,
// disabled), one below another, sharing one outline; stretched, a box keeps a 5-pixel rim. An
// 11 x 5 strip inside the hot and the pressed box is the tint of a hot and a pressed check box.
inline constexpr ImageSize kCheckBoxFrameSize = {13, 13};
inline constexpr int kCheckBoxFrameRim = 5;
inline constexpr ImageSize kCheckBoxImageSize = {kCheckBoxFrameSize.width,
                                                 kCheckBoxFrameSize.height * kStateCount};
constexpr ImageRect CheckBoxFrame(int state) { return StackedFrame(kCheckBoxFrameSize, state); }
constexpr ImageRect CheckBoxTint(int state) { return {1, CheckBoxFrame(state).y + 4, 11, 5}; }

namespace image_tables {
extern const char* const kCheckBoxOutline[kCheckBoxFrameSize.height];  // 'M' = key, 'o' = inside
struct CheckBoxRing {
    COLORREF c0, c1, c2, c3;  // the outer ring runs c3 c2 c1 c0 c1 c2 c3 along each side
    COLORREF diagonal;
};
extern const CheckBoxRing kCheckBoxRings[kStateCount];
struct Point {
    int x;
    int y;
};
extern const Point kCheckBoxDiagonals[8];
inline constexpr int kCheckBoxInnerRingLength = 12;
extern const Point kCheckBoxInnerRing[kCheckBoxInnerRingLength];
extern const COLORREF kCheckBoxInnerRingColours[kStateCount][kCheckBoxInnerRingLength];
// Rows 1 to 11, columns 1 to 11 of each frame; 0 where the outline or a ring decides.
extern const COLORREF kCheckBoxInsides[kStateCount][kCheckBoxFrameSize.height - 2]
                                      [kCheckBoxFrameSize.width - 2];
}  // namespace image_tables

// ---- HeaderImage: three 3 x 20 frames side by side, normal, hot and pressed; stretched, a frame
// keeps its one-pixel edges. The normal frame's middle column is the background beyond the items.
inline constexpr int kHeaderFrameWidth = 3;
inline constexpr int kHeaderFrameHeight = 20;
inline constexpr int kHeaderFrameCount = 3;
inline constexpr int kHeaderFrameRim = 1;
inline constexpr ImageSize kHeaderImageSize = {kHeaderFrameWidth * kHeaderFrameCount,
                                               kHeaderFrameHeight};
inline constexpr ImageRect kHeaderBackground = {1, 0, 1, kHeaderFrameHeight};
// Any state but hot and pressed has the normal look.
constexpr ImageRect HeaderFrame(int state) {
    const int frame = state == Pressed ? 2 : state == Hot ? 1 : 0;
    return {kHeaderFrameWidth * frame, 0, kHeaderFrameWidth, kHeaderFrameHeight};
}

namespace image_tables {
// Every pixel listed.
extern const COLORREF kHeaderRows[kHeaderImageSize.height][kHeaderImageSize.width];
}  // namespace image_tables

}  // namespace skin
