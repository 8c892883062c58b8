#include "render/image_set.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "render/primitives.h"

using namespace skin;

namespace {

constexpr COLORREF kMagenta = 0xFF00FF;

// The image data as written in the design tables, parsed here so that the expected pixels do not
// come from the program's own tables.
// ButtonFaceImage, columns 0 to 3 of each row of frames 0 to 3.
const char* const kButtonFaceText = R"(
| 0 | F9E1BF E3B36B D8972C D58F1B | F9E1BF E3B36B D8972C D58F1B | F9E1BF E3B36B D8972C D58F1B | FBF7F2 EFD5AF EAC78F E8C387 |
| 1 | E2B269 E7C07E FBF3E7 FFFFFF | E2B269 E6A328 F8BB3C FBC34C | E2B269 E6A122 F8B530 FBBC39 | EFD5AE F1DCB8 FBF5ED FDFBF8 |
| 2 | D79529 FCF6EC FFFFFF FFFFFF | D79529 F9BC3D FEDA8D FFEDC6 | D79529 F8B62E F8C96F F3CC86 | E9C68E FBF7EF FDFBF8 FDFBF8 |
| 3 | D58F1B FDFAF5 FCF8F1 FCF8F1 | D58F1B FBC146 FDE3AE FCEED2 | D58F1B F9B731 F2CA83 F3D49F | E8C387 FCF8F3 FBF7F2 FBF7F2 |
| 4 | D58F1B FCF9F3 FBF6EE FBF6EE | D58F1B FBC24A FDE7BA FCF2DF | D58F1B F9B835 F2CC8D F3D7AB | E8C387 FBF8F2 FBF7F0 FBF7F0 |
| 5 | D58F1B FCF7F0 FBF4EA FBF4EA | D58F1B FBC34C FDE8C0 FCF2E4 | D58F1B F9B937 F1CE95 F3D9B3 | E8C387 FBF7F1 FBF6EE FBF6EE |
| 6 | D58F1B FCF6EE FBF2E6 FBF2E6 | D58F1B FBC34C FDE7C0 FCF2E2 | D58F1B F9B93A F2D09A F3DBB7 | E8C387 FBF7F0 FBF5EC FBF5EC |
| 7 | D58F1B FCF5EB FAF0E2 FAF0E2 | D58F1B FBC34C FCE7BF FBF1E0 | D58F1B F9BA3B F3D39F F5DDBC | E8C387 FBF6EF FBF4EA FBF4EA |
| 8 | D58F1B FCF3E8 FAEEDE FAEEDE | D58F1B FBC24B FCE6BC FBF0DD | D58F1B FABB3C F5D6A3 F6E1BF | E8C387 FBF5ED FBF3E8 FBF3E8 |
| 9 | D58F1B FBF2E5 F9ECDA F9ECDA | D58F1B FBC24A FCE5BA FBEEDB | D58F1B FABC3D F6D8A7 F8E2C3 | E8C387 FBF5EC FAF2E6 FAF2E6 |
| 10 | D58F1B FBF0E3 F9EAD7 F9EAD7 | D58F1B FBC24A FCE4B9 FBEDD9 | D58F1B FBBD3F F8DAAA F9E4C5 | E8C387 FBF4EB FAF1E5 FAF1E5 |
| 11 | D58F1B F8EBDB F5E2CC F5E2CC | D58F1B FABF46 F9DDAE F7E4CB | D58F1B FCBF42 FBE2B5 FBEBCF | E8C387 FAF1E7 F8EDDF F8EDDF |
| 12 | D58F1B F7E9D9 F3DFC8 F3DFC8 | D58F1B FABF45 F7DAAA F5E1C7 | D58F1B FCC043 FBE3B7 FBECD1 | E8C387 F9F0E6 F7EBDD F7EBDD |
| 13 | D58F1B F5E7D5 F1DCC3 F1DCC3 | D58F1B F9BE44 F6D8A7 F3DEC2 | D58F1B FCC044 FCE4B9 FCEDD4 | E8C387 F8EFE4 F6EADB F6EADB |
| 14 | D58F1B F4E4D2 EFD8BE EFD8BE | D58F1B F8BD42 F4D6A2 F2DBBC | D58F1B FCC145 FCE5BC FCEED6 | E8C387 F8EDE2 F5E7D8 F5E7D8 |
| 15 | D58F1B F2E2CD EDD5B8 EDD5B8 | D58F1B F8BC41 F3D29D F1D7B7 | D58F1B FCC144 FCE6BD FCEFD6 | E8C387 F7ECE0 F4E6D5 F4E6D5 |
| 16 | D58F1B F1E0CB EBD2B4 EBD2B4 | D58F1B F8BB3D F3D096 EFD5AF | D58F1B FCC042 FCE6B8 FCEED1 | E8C387 F6EBDF F3E4D3 F3E4D3 |
| 17 | D58F1B F0DEC9 EAD0B1 EAD0B1 | D58F1B F8BA39 F5D08F F2D4A7 | D58F1B FCBF3E FEE4AE FDEAC3 | E8C387 F6EADE F3E3D2 F3E3D2 |
| 18 | D79528 EED7BA ECD6BB E9CFB0 | D79528 F6B633 F7C970 F3D299 | D79528 FAB936 FED786 FDE4AE | E9C68D F5E7D6 F4E6D7 F2E3D1 |
| 19 | E2B064 E1B268 EED8BB F1E0CC | E2B064 E5A125 F6B533 F8BB3F | E2B064 E6A325 F9BA37 FDC140 | EFD3AB EED4AD F5E7D7 F6EBDF |
| 20 | FBE7CA E1AE60 D8962A D58F1B | FBE7CA E1AE60 D8962A D58F1B | FBE7CA E1AE60 D8962A D58F1B | FBF6F2 EED2A9 EAC68E E8C387 |
)";

// Pixels of columns 4 to 6 that do not repeat their mirror (frame, row r, column: value).
const char* const kButtonFaceExceptionsText = R"(
frame 0: r18 c4 ECD5BB; r19 c6 E1AF62. Frame 1: r3 c4 FEE4B0; r4 c4 FDE7BB; r16 c4 F3D094, c5
F8BB3E; r17 c4 F3CC88; r18 c4 F7CA71, c5 F6B635; r19 c4 F6B633, c5 E5A124, c6 E1AF62. Frame 2:
r1 c4 F7B52F, c5 E6A123; r2 c4 F8C86D, c5 F7B52C; r3 c4 F4CE8A; r4 c4 F2CD8F; r5 c4 F2CE95; r17
c4 FDE2AC; r18 c4 FED788, c5 FABA36; r19 c6 E1AF62. Frame 3: r19 c6 EED3AA.
)";

// ComboButtonImage: strip 0 side, strip 0 centre, strip 1 side, strip 1 centre.
const char* const kComboStripText = R"(
| 0 | FFF9E8 | FFF9E8 | F3E1BE | F3E1BE |
| 1 | FEF8E6 | FDEEC1 | F3E1C0 | E2B561 |
| 2 | FEF7E4 | FCEBBC | F4E3C1 | E3B865 |
| 3 | FDF6E2 | FAE8B7 | F5E4C3 | E5BB6A |
| 4 | FDF5E0 | F9E5B2 | F5E5C6 | E6BE70 |
| 5 | FCF3DE | F7E1AC | F6E7C8 | E8C276 |
| 6 | FBF1DB | F5DDA5 | F7E8CB | EAC57C |
| 7 | FAF0D9 | F3D99F | F7E9CD | ECC983 |
| 8 | F9EED6 | F1D598 | F8EBD0 | EECD8A |
| 9 | F9EDD3 | EFD191 | F9EDD3 | EFD191 |
| 10 | F8EBD0 | EECD8A | F9EED6 | F1D598 |
| 11 | F7E9CD | ECC983 | FAF0D9 | F3D99F |
| 12 | F7E8CB | EAC57C | FBF1DB | F5DDA5 |
| 13 | F6E7C8 | E8C276 | FCF3DE | F7E1AC |
| 14 | F5E5C6 | E6BE70 | FDF5E0 | F9E5B2 |
| 15 | F5E4C3 | E5BB6A | FDF6E2 | FAE8B7 |
| 16 | F4E3C1 | E3B865 | FEF7E4 | FCEBBC |
| 17 | F3E1C0 | F3E1C0 | FEF8E6 | FEF8E6 |
)";

// GlyphImage check marks: shape, enabled colour, disabled colour.
const char* const kCheckMarkText = R"(
| 0 | ........# | 1DB754 | 8CDAA8 |
| 1 | .......## | 1BB451 | 8BD9A6 |
| 2 | ......### | 17AF4D | 89D6A4 |
| 3 | ##...###. | 13A948 | 87D3A2 |
| 4 | ###.###.. | 0FA243 | 85D09F |
| 5 | .#####... | 0A9C3E | 82CD9D |
| 6 | ..###.... | 069639 | 80C99A |
| 7 | ...#..... | 029135 | 7EC798 |
)";

const char* const kSquareText = R"(
One colour per row, rows 9 to 15: enabled 1BB451, 18B04E, 14AB49, 10A445, 0C9E40, 07983B,
069639; disabled 8BD9A6, 89D6A4, 87D4A3, 86D1A0, 83CE9E, 81CA9B, 80C99A.
)";

// Option dots: enabled and disabled letter grids, then the letters' colours.
const char* const kDotText = R"(
| 0 | . a b a . | . p q p . |
| 1 | c d d d c | r s s s r |
| 2 | e f f f e | t u u u t |
| 3 | g h h h g | v w w w v |
| 4 | . i j i . | . x y x . |
)";

const char* const kDotLetterText = R"(
Enabled: a 60CC87, b 28BA5C, c 5EC883, d 19B14F, e 1DAC50, f 12A847, g 54BA78, h 0B9D3F, i
4FB473, j 109940. Disabled: p AFE5C3, q 93DCAD, r AEE3C1, s 8CD8A7, t 8ED5A7, u 88D3A3, v
A9DCBB, w 85CE9F, x A7D9B9, y 87CC9F.
)";

// CheckBoxImage outer ring: frame, state, c0, c1, c2, c3, d.
const char* const kCheckBoxRingText = R"(
| 0 | normal | D2A683 | D3A886 | D9B395 | E7CFBC | DBB89D |
| 1 | hot | D2A683 | D3A886 | D9B395 | E7CFBC | DBB89D |
| 2 | pressed | C18964 | C28B67 | CA9976 | DDBCA4 | CD9F7F |
| 3 | disabled | E8D2C1 | E9D3C2 | ECD9CA | F3E7DD | EDDBCE |
)";

// Inner ring positions, then colours for frames 0 and 1, frame 2, frame 3.
const char* const kCheckBoxInnerRingText = R"(
at (3, 1), (9, 1), (1, 3), (11, 3), (2, 2), (10, 2), (1, 9), (11, 9), (2, 10), (10, 10), (3,
11), (9, 11)): frames 0 and 1: DFC2A9, DFC2A9, DFC2A9, DFC2A9, E5CEB9, E5CEB9, E3C8B3, E3C8B3,
ECD9CA, ECD9CA, E5CAB6, E5CAB6; frame 2: D3AC8C, D8B399, D3AC8C, DAB59C, DABBA0, E5CAB5, D3AC8C,
DAB59C, DABBA0, E5CAB5, D3AC8C, D8B399; frame 3: EFE0D4, EFE0D4, EFE0D4, EFE0D4, F2E6DC, F2E6DC,
F1E3D9, F1E3D9, F5ECE4, F5ECE4, F2E4DA, F2E4DA.
)";

const char* const kCheckBoxTellingRowsText = R"(
Telling rows (row 6 of each frame, columns 0 to 12): frame 0: D2A683 FAF7F3 FEFEFD FFFFFF FFFFFF
FFFFFF FFFFFF FFFFFF FFFFFF FFFFFF FEFEFD FAF7F3 D2A683; frame 1: D2A683 F8EAC4 F8EBC5 F9ECC7
F9EDC9 FAEECC FAEECF FAF0D0 FAF1D4 FBF1D6 FBF2D9 FCF4DB D2A683; frame 2: C18964 F5E1AD F5E2AE
F5E2B1 F7E5B4 F7E6B8 F8E7BC F9EABF F9ECC3 F9EDC8 FAEFCD FAEFCF C18964; frame 3: E8D2C1 FCFBF9
FEFEFE FFFFFF FFFFFF FFFFFF FFFFFF FFFFFF FFFFFF FFFFFF FEFEFE FCFBF9 E8D2C1.
)";

// HeaderImage: frame 0 (x 0 to 2), frame 1 (x 3 to 5), frame 2 (x 6 to 8).
const char* const kHeaderText = R"(
| 0 | FEF5EA FEF5EA FEF5EA | FDE6BD FEEED3 FDE6BD | FBD797 FBD797 FBD797 |
| 1 | FEF4E9 FEF4E9 FEF4E9 | FCDEA7 FFEFD6 FCDEA7 | FACE7E FFDC9F FACE7E |
| 2 | FDF4E9 FDF3E8 FAEFE0 | FCD48F FFEED3 F9D18B | FAC566 FFDDA0 F7C364 |
| 3 | FDF3E9 FDF2E6 F7E8D6 | FBCB77 FFEDD0 F5C571 | FAC25E FFDEA2 F4BD5B |
| 4 | FDF5EB FCF1E4 EFD9BC | FAC565 FFECCC EDB85B | FAC25E FFDFA4 EDB556 |
| 5 | FDF5EC FCF0E2 EBD1AE | FAC25E FEEBC8 EAB154 | FAC25E FFE0A6 EAB154 |
| 6 | FDF6ED FBEFE0 E6C79F | FAC25E FEE9C4 E5AC51 | FAC25E FFE2A8 E5AC51 |
| 7 | FDF6EF FBEDDF E2BF94 | FAC25E FEE8C1 E1A84F | FAC25E FFE3AB E1A84F |
| 8 | FDF7F1 FAECDD DCB582 | FAC25E FEE7BD DCA34C | FAC25E FFE5AD DCA34C |
| 9 | FBF5ED F6E5D3 D9B07A | FAC25E FDE1AF DBA24B | FAC25E FFE7B0 DBA24B |
| 10 | FBF4ED F6E5D3 D9B07A | FAC25E FDE0AE DBA24B | FAC25E FFE8B3 DBA24B |
| 11 | FBF3EB F6E5D3 DAB27D | FAC25E FDE1AE DCA34C | FAC25E FFEAB6 DCA34C |
| 12 | FAF0E5 F6E5D3 DFBA8C | FAC25E FDE1AF E1A84E | FAC25E FFECB9 E1A84E |
| 13 | F9EEE2 F6E5D3 E3C197 | FAC25E FDE1AF E5AC51 | FAC565 FFEDBC E5AD55 |
| 14 | F8ECDE F6E5D3 E6C8A3 | FAC25E FDE1AF E9B154 | FBCA6F FFEFBE E9B65F |
| 15 | F8E9DA F6E5D3 EACFAF | FAC25E FDE1AF EDB556 | FBD07C FFF2C5 EEBF6D |
| 16 | F6E6D5 F6E5D3 F1DCC4 | FAC25E FDE1AF F4BD5A | FCD68B FFF2C8 F6CF83 |
| 17 | F6E5D3 F6E5D3 F3E1CC | FAC25E FDE0AC F7C05C | FDDD99 FFF2C8 FAD994 |
| 18 | F6E5D3 F6E5D3 F6E5D3 | FBCC73 FCDDA8 FBCC73 | FDE3A8 FFF2C8 FDE3A8 |
| 19 | F2DAC0 F2DAC0 F2DAC0 | F2DAC0 F2DAC0 F2DAC0 | F2DAC0 F2DAC0 F2DAC0 |
)";

// Every word of exactly six upper-case hexadecimal digits, in order.
std::vector<COLORREF> HexColours(const std::string& text) {
    std::vector<COLORREF> colours;
    std::string word;
    auto flush = [&] {
        bool hex = word.size() == 6;
        for (char c : word)
            hex = hex && (std::isdigit(static_cast<unsigned char>(c)) || (c >= 'A' && c <= 'F'));
        if (hex) colours.push_back(static_cast<COLORREF>(std::strtoul(word.c_str(), nullptr, 16)));
        word.clear();
    };
    for (char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            word += c;
        } else {
            flush();
        }
    }
    flush();
    return colours;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        if (!line.empty()) lines.push_back(line);
    return lines;
}

// The cells of a table row "| a | b | c |".
std::vector<std::string> Cells(const std::string& line) {
    std::vector<std::string> cells;
    std::istringstream stream(line);
    std::string cell;
    std::getline(stream, cell, '|');
    while (std::getline(stream, cell, '|')) {
        std::string trimmed;
        for (char c : cell)
            if (c != ' ') trimmed += c;
        cells.push_back(trimmed);
    }
    return cells;
}

using Image = std::vector<std::vector<COLORREF>>;  // [y][x]

Image Blank(int width, int height, COLORREF colour) {
    return Image(height, std::vector<COLORREF>(width, colour));
}

Image ExpectedButtonFace() {
    Image image = Blank(7, 84, 0);
    const auto rows = Lines(kButtonFaceText);
    EXPECT_EQ(21u, rows.size());
    for (int r = 0; r < 21; ++r) {
        const auto values = HexColours(rows[r]);
        EXPECT_EQ(16u, values.size());
        for (int frame = 0; frame < 4; ++frame)
            for (int x = 0; x < 4; ++x) {
                image[21 * frame + r][x] = values[4 * frame + x];
                image[21 * frame + r][6 - x] = values[4 * frame + x];
            }
    }
    // "frame 0: r18 c4 ECD5BB; r19 c6 E1AF62. Frame 1: ..."
    std::string text = kButtonFaceExceptionsText;
    for (char& c : text)
        if (c == ':' || c == ';' || c == ',' || c == '.' || c == '\n') c = ' ';
    std::istringstream words(text);
    int frame = -1, row = -1, exceptions = 0;
    for (std::string word; words >> word;) {
        if (word == "frame" || word == "Frame") {
            words >> frame;
        } else if (word[0] == 'r') {
            row = std::atoi(word.c_str() + 1);
        } else if (word[0] == 'c') {
            std::string value;
            words >> value;
            image[21 * frame + row][std::atoi(word.c_str() + 1)] =
                static_cast<COLORREF>(std::strtoul(value.c_str(), nullptr, 16));
            ++exceptions;
        }
    }
    EXPECT_EQ(24, exceptions);
    return image;
}

Image ExpectedComboButton() {
    Image image = Blank(15, 18, kMagenta);
    const auto rows = Lines(kComboStripText);
    EXPECT_EQ(18u, rows.size());
    for (int y = 0; y < 18; ++y) {
        const auto v = HexColours(rows[y]);
        const COLORREF row[8] = {0xD1A04E, v[0], v[1], v[0], 0xD1A04E, v[2], v[3], v[2]};
        for (int x = 0; x < 8; ++x) image[y][x] = row[x];
    }
    const char* const arrow[4] = {"#######", ".#####.", "..###..", "...#..."};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 7; ++x)
            if (arrow[y % 4][x] == '#') image[y][8 + x] = y < 4 ? 0x5F5519 : 0xACA584;
    return image;
}

Image ExpectedGlyph() {
    Image image = Blank(18, 24, kMagenta);
    const auto marks = Lines(kCheckMarkText);
    EXPECT_EQ(8u, marks.size());
    for (int y = 0; y < 8; ++y) {
        const auto cells = Cells(marks[y]);
        const auto colours = HexColours(marks[y]);
        for (int x = 0; x < 9; ++x)
            if (cells[1][x] == '#') {
                image[y][x] = colours[0];
                image[y][9 + x] = colours[1];
            }
    }
    const auto squares = HexColours(kSquareText);
    EXPECT_EQ(14u, squares.size());
    for (int y = 9; y <= 15; ++y)
        for (int x = 0; x < 7; ++x) {
            image[y][1 + x] = squares[y - 9];
            image[y][10 + x] = squares[7 + y - 9];
        }
    std::map<char, COLORREF> letters;
    std::istringstream words(kDotLetterText);
    for (std::string word, last; words >> word; last = word)
        if (last.size() == 1 && std::islower(static_cast<unsigned char>(last[0])))
            letters[last[0]] = HexColours(word).at(0);
    EXPECT_EQ(20u, letters.size());
    const auto dots = Lines(kDotText);
    EXPECT_EQ(5u, dots.size());
    for (int y = 0; y < 5; ++y) {
        const auto cells = Cells(dots[y]);
        for (int x = 0; x < 5; ++x) {
            if (cells[1][x] != '.') image[18 + y][2 + x] = letters.at(cells[1][x]);
            if (cells[2][x] != '.') image[18 + y][11 + x] = letters.at(cells[2][x]);
        }
    }
    return image;
}

Image ExpectedHeader() {
    Image image = Blank(9, 20, 0);
    const auto rows = Lines(kHeaderText);
    EXPECT_EQ(20u, rows.size());
    for (int y = 0; y < 20; ++y) {
        const auto values = HexColours(rows[y]);
        EXPECT_EQ(9u, values.size());
        for (int x = 0; x < 9; ++x) image[y][x] = values[x];
    }
    return image;
}

// What the design fixes of the check box frames: the key outline, both rings and row 6. The
// other inside pixels are 0 here and are checked by their gradients.
const char* const kCheckBoxKeys[13] = {
    "MMMoooooooMMM", "MMoooooooooMM", "MoooooooooooM", "ooooooooooooo", "ooooooooooooo",
    "ooooooooooooo", "ooooooooooooo", "ooooooooooooo", "ooooooooooooo", "ooooooooooooo",
    "MoooooooooooM", "MMoooooooooMM", "MMMoooooooMMM",
};

Image ExpectedCheckBoxOutline() {
    Image image = Blank(13, 52, 0);
    const auto rings = Lines(kCheckBoxRingText);
    EXPECT_EQ(4u, rings.size());
    const auto inner = HexColours(kCheckBoxInnerRingText);
    EXPECT_EQ(36u, inner.size());
    std::vector<int> numbers;  // the 12 positions (x, y) listed before the colours
    for (const char* p = kCheckBoxInnerRingText; *p && numbers.size() < 24;) {
        if (std::isdigit(static_cast<unsigned char>(*p))) {
            char* end;
            numbers.push_back(static_cast<int>(std::strtol(p, &end, 10)));
            p = end;
        } else {
            ++p;
        }
    }
    const auto telling = HexColours(kCheckBoxTellingRowsText);
    EXPECT_EQ(52u, telling.size());
    const int diagonals[8][2] = {{2, 1},  {1, 2},  {10, 1},  {11, 2},
                                 {1, 10}, {2, 11}, {10, 11}, {11, 10}};

    for (int frame = 0; frame < 4; ++frame) {
        auto at = [&](int x, int y) -> COLORREF& { return image[13 * frame + y][x]; };
        const auto ring = HexColours(rings[frame]);  // c0 c1 c2 c3 d
        const COLORREF side[7] = {ring[3], ring[2], ring[1], ring[0], ring[1], ring[2], ring[3]};
        for (int y = 0; y < 13; ++y)
            for (int x = 0; x < 13; ++x)
                if (kCheckBoxKeys[y][x] == 'M') at(x, y) = kMagenta;
        for (int i = 0; i < 7; ++i) {
            at(3 + i, 0) = at(3 + i, 12) = at(0, 3 + i) = at(12, 3 + i) = side[i];
        }
        for (const auto& d : diagonals) at(d[0], d[1]) = ring[4];
        const int innerSet = frame <= 1 ? 0 : frame - 1;
        for (int i = 0; i < 12; ++i)
            at(numbers[2 * i], numbers[2 * i + 1]) = inner[12 * innerSet + i];
        for (int x = 0; x < 13; ++x) at(x, 6) = telling[13 * frame + x];
    }
    return image;
}

Image ReadBack(HDC surface, int width, int height) {
    Image image = Blank(width, height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image[y][x] = GetPixel(surface, x, y);
    return image;
}

void ExpectSameImage(const Image& want, const Image& got, const char* name) {
    ASSERT_EQ(want.size(), got.size());
    int wrong = 0;
    for (size_t y = 0; y < want.size(); ++y)
        for (size_t x = 0; x < want[y].size(); ++x)
            if (want[y][x] != got[y][x] && ++wrong <= 10)
                ADD_FAILURE() << name << " pixel (" << x << ", " << y << ") is " << std::hex
                              << got[y][x] << ", want " << want[y][x];
    EXPECT_EQ(0, wrong) << name;
}

size_t DistinctColours(const Image& image) {
    std::set<COLORREF> colours;
    for (const auto& row : image) colours.insert(row.begin(), row.end());
    return colours.size();
}

bool NoChannelDarker(COLORREF lighter, COLORREF darker) {
    return GetRValue(lighter) >= GetRValue(darker) && GetGValue(lighter) >= GetGValue(darker) &&
           GetBValue(lighter) >= GetBValue(darker);
}

class SkinImageSetTest : public ::testing::Test {
protected:
    void SetUp() override { BuildSkinImages(); }
    void TearDown() override { ReleaseSkinImages(); }
};

}  // namespace

TEST_F(SkinImageSetTest, EveryPixelOfTheFixedImages) {
    const SkinImageSet& images = SkinImages();
    ExpectSameImage(ExpectedButtonFace(), ReadBack(images.ButtonFaceImage, 7, 84), "button face");
    ExpectSameImage(ExpectedComboButton(), ReadBack(images.ComboButtonImage, 15, 18), "combo");
    ExpectSameImage(ExpectedGlyph(), ReadBack(images.GlyphImage, 18, 24), "glyph");
    ExpectSameImage(ExpectedHeader(), ReadBack(images.HeaderImage, 9, 20), "header");
}

TEST_F(SkinImageSetTest, CheckBoxOutlineRingsAndRowSix) {
    const Image want = ExpectedCheckBoxOutline();
    const Image got = ReadBack(SkinImages().CheckBoxImage, 13, 52);
    int compared = 0;
    for (int y = 0; y < 52; ++y)
        for (int x = 0; x < 13; ++x)
            if (want[y][x] != 0) {
                ++compared;
                EXPECT_EQ(want[y][x], got[y][x]) << "(" << x << ", " << y << ")";
            }
    // Per frame: 24 key, 36 ring, 12 inner ring and 11 more of row 6.
    EXPECT_EQ(4 * (24 + 36 + 12 + 11), compared);
}

TEST_F(SkinImageSetTest, CheckBoxInsidesFollowTheirGradients) {
    const Image outline = ExpectedCheckBoxOutline();
    const Image got = ReadBack(SkinImages().CheckBoxImage, 13, 52);
    auto inside = [&](int x, int y) {
        return x >= 0 && x < 13 && y >= 0 && y < 13 && outline[y][x] == 0;
    };
    // Row 6 belongs to the gradient too, although its values are fixed.
    auto insideOrRowSix = [&](int x, int y) {
        return inside(x, y) || (y == 6 && x >= 1 && x <= 11);
    };

    for (int frame : {0, 3}) {
        auto at = [&](int x, int y) { return got[13 * frame + y][x]; };
        const COLORREF topCentre = frame == 0 ? 0xF1E9DF : 0xF8F4EF;
        EXPECT_EQ(topCentre, at(6, 1));
        for (int y = 0; y < 13; ++y)
            for (int x = 0; x < 13; ++x) {
                EXPECT_EQ(at(x, y), at(12 - x, y)) << frame << ": symmetric about column 6";
                if (!insideOrRowSix(x, y)) continue;
                EXPECT_TRUE(NoChannelDarker(at(x, y), topCentre)) << frame << ": " << x << "," << y;
                if (insideOrRowSix(x, y + 1)) {
                    EXPECT_TRUE(NoChannelDarker(at(x, y + 1), at(x, y)))
                        << frame << ": lighter downwards at " << x << "," << y;
                }
                // Row 6 shows that the pixel next but one to the ring still shades a little.
                bool awayFromRings = y >= 4 && y <= 10;
                for (int dy = -2; dy <= 2; ++dy)
                    for (int dx = -2; dx <= 2; ++dx)
                        awayFromRings = awayFromRings && insideOrRowSix(x + dx, y + dy);
                if (awayFromRings || y == 11) {
                    EXPECT_EQ(0xFFFFFFu, at(x, y)) << frame << ": " << x << "," << y;
                }
            }
    }

    // Hot lightens along x + y, pressed along x - y, each from a corner colour to another.
    struct Diagonal {
        int frame;
        int dy;  // the step (1, dy) goes along the gradient
        COLORREF start;
        COLORREF end;
    };
    for (const Diagonal& d :
         {Diagonal{1, 1, 0xF8EAC3, 0xFDF5E1}, Diagonal{2, -1, 0xF5E1AD, 0xFDF1D4}}) {
        auto at = [&](int x, int y) { return got[13 * d.frame + y][x]; };
        auto along = [&](int x, int y) { return x + d.dy * y; };
        int first = 100, last = -100;
        for (int y = 0; y < 13; ++y)
            for (int x = 0; x < 13; ++x)
                if (insideOrRowSix(x, y)) {
                    first = std::min(first, along(x, y));
                    last = std::max(last, along(x, y));
                }
        for (int y = 0; y < 13; ++y)
            for (int x = 0; x < 13; ++x) {
                if (!insideOrRowSix(x, y)) continue;
                if (along(x, y) == first) {
                    EXPECT_EQ(d.start, at(x, y)) << d.frame << ": " << x << "," << y;
                }
                if (along(x, y) == last) {
                    EXPECT_EQ(d.end, at(x, y)) << d.frame << ": " << x << "," << y;
                }
                if (insideOrRowSix(x + 1, y + d.dy)) {
                    EXPECT_TRUE(NoChannelDarker(at(x + 1, y + d.dy), at(x, y)))
                        << d.frame << ": " << x << "," << y;
                }
            }
    }
}

TEST_F(SkinImageSetTest, SizesAndDistinctColours) {
    const SkinImageSet& images = SkinImages();
    const struct {
        HDC surface;
        int width, height;
        size_t colours;
    } expected[] = {
        {images.ButtonFaceImage, 7, 84, 222}, {images.ComboButtonImage, 15, 18, 40},
        {images.GlyphImage, 18, 24, 46},      {images.CheckBoxImage, 13, 52, 158},
        {images.HeaderImage, 9, 20, 106},
    };
    for (const auto& image : expected) {
        ASSERT_NE(nullptr, image.surface);
        BITMAP info{};
        GetObjectW(GetCurrentObject(image.surface, OBJ_BITMAP), sizeof info, &info);
        EXPECT_EQ(image.width, info.bmWidth);
        EXPECT_EQ(image.height, info.bmHeight);
        EXPECT_EQ(image.colours,
                  DistinctColours(ReadBack(image.surface, image.width, image.height)))
            << image.width << " x " << image.height;
    }
}

TEST_F(SkinImageSetTest, SpotChecks) {
    const SkinImageSet& images = SkinImages();
    EXPECT_EQ(kMagenta, GetPixel(images.ComboButtonImage, 8, 1));
    EXPECT_EQ(kMagenta, GetPixel(images.ComboButtonImage, 14, 1));
    for (int x = 9; x <= 13; ++x) EXPECT_EQ(0x5F5519u, GetPixel(images.ComboButtonImage, x, 1));
    EXPECT_EQ(0x1DB754u, GetPixel(images.GlyphImage, 8, 0));
    EXPECT_EQ(0x8CDAA8u, GetPixel(images.GlyphImage, 17, 0));
    EXPECT_EQ(kMagenta, GetPixel(images.GlyphImage, 0, 0));
    const COLORREF row0[7] = {0xF9E1BF, 0xE3B36B, 0xD8972C, 0xD58F1B, 0xD8972C, 0xE3B36B, 0xF9E1BF};
    for (int x = 0; x < 7; ++x) EXPECT_EQ(row0[x], GetPixel(images.ButtonFaceImage, x, 0));

    int glyphKeys = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 18; ++x) glyphKeys += GetPixel(images.GlyphImage, x, y) == kMagenta;
    EXPECT_EQ(240, glyphKeys);
    // The opaque images hold no key pixel.
    for (int y = 0; y < 84; ++y)
        for (int x = 0; x < 7; ++x) EXPECT_NE(kMagenta, GetPixel(images.ButtonFaceImage, x, y));
}

namespace {

struct Handles {
    HDC surfaces[5];
    HGDIOBJ bitmaps[5];
};

Handles CurrentHandles() {
    const SkinImageSet& images = SkinImages();
    Handles handles{{images.ButtonFaceImage, images.ComboButtonImage, images.GlyphImage,
                     images.CheckBoxImage, images.HeaderImage},
                    {}};
    for (int i = 0; i < 5; ++i)
        handles.bitmaps[i] = GetCurrentObject(handles.surfaces[i], OBJ_BITMAP);
    return handles;
}

void ExpectAllFreed(const Handles& handles) {
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(0u, GetObjectType(handles.surfaces[i])) << "surface " << i;
        EXPECT_EQ(0u, GetObjectType(handles.bitmaps[i])) << "bitmap " << i;
    }
}

}  // namespace

TEST(SkinImageSetLifetime, ReleaseFreesEverySurfaceAndItsBitmap) {
    BuildSkinImages();
    const Handles built = CurrentHandles();
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(static_cast<DWORD>(OBJ_MEMDC), GetObjectType(built.surfaces[i]));
        ASSERT_EQ(static_cast<DWORD>(OBJ_BITMAP), GetObjectType(built.bitmaps[i]));
    }
    ReleaseSkinImages();
    ExpectAllFreed(built);
    EXPECT_EQ(nullptr, SkinImages().ButtonFaceImage);
    EXPECT_EQ(nullptr, SkinImages().HeaderImage);
    ReleaseSkinImages();  // a second release has nothing left to free
}

TEST(SkinImageSetLifetime, RebuildGivesAnIdenticalSetAndFreesTheOld) {
    BuildSkinImages();
    auto snapshot = [] {
        const SkinImageSet& images = SkinImages();
        return std::vector<Image>{
            ReadBack(images.ButtonFaceImage, 7, 84), ReadBack(images.ComboButtonImage, 15, 18),
            ReadBack(images.GlyphImage, 18, 24), ReadBack(images.CheckBoxImage, 13, 52),
            ReadBack(images.HeaderImage, 9, 20)};
    };
    const auto first = snapshot();
    ReleaseSkinImages();
    BuildSkinImages();
    EXPECT_TRUE(first == snapshot());

    // Building over a built set replaces it without leaking the old one.
    const Handles old = CurrentHandles();
    BuildSkinImages();
    ExpectAllFreed(old);
    EXPECT_TRUE(first == snapshot());
    ReleaseSkinImages();
}
