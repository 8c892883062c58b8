// The four faces a skinned push button keeps, read back from its state surfaces, and the blend
// that puts one of them on screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "button/button_fixture.h"
#include "core/props.h"
#include "dorrik_skin.h"
#include "render/button_renderer.h"
#include "render/primitives.h"
#include "support/dialog_template.h"
#include "support/test_windows.h"

using button_tests::kButtonHeight;
using button_tests::kButtonWidth;
using button_tests::ReadPixels;
using button_tests::SkinnedForm;
using testing_support::WindowPixel;

namespace {

constexpr int W = kButtonWidth;
constexpr int H = kButtonHeight;

// The rim rows of each 7 x 21 face frame: rows 0, 1, 2 on top and 18, 19, 20 at the bottom.
struct FrameRims {
    COLORREF top[3][7];
    COLORREF bottom[3][7];
    COLORREF border;            // columns 0 and 6 of rows 3 to 17
    COLORREF centreFirst;       // column 3, row 3
    COLORREF centreLast;        // column 3, row 17
};

const FrameRims kFrames[4] = {
    // normal
    {{{0xF9E1BF, 0xE3B36B, 0xD8972C, 0xD58F1B, 0xD8972C, 0xE3B36B, 0xF9E1BF},
      {0xE2B269, 0xE7C07E, 0xFBF3E7, 0xFFFFFF, 0xFBF3E7, 0xE7C07E, 0xE2B269},
      {0xD79529, 0xFCF6EC, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFCF6EC, 0xD79529}},
     {{0xD79528, 0xEED7BA, 0xECD6BB, 0xE9CFB0, 0xECD5BB, 0xEED7BA, 0xD79528},
      {0xE2B064, 0xE1B268, 0xEED8BB, 0xF1E0CC, 0xEED8BB, 0xE1B268, 0xE1AF62},
      {0xFBE7CA, 0xE1AE60, 0xD8962A, 0xD58F1B, 0xD8962A, 0xE1AE60, 0xFBE7CA}},
     0xD58F1B, 0xFCF8F1, 0xEAD0B1},
    // hot
    {{{0xF9E1BF, 0xE3B36B, 0xD8972C, 0xD58F1B, 0xD8972C, 0xE3B36B, 0xF9E1BF},
      {0xE2B269, 0xE6A328, 0xF8BB3C, 0xFBC34C, 0xF8BB3C, 0xE6A328, 0xE2B269},
      {0xD79529, 0xF9BC3D, 0xFEDA8D, 0xFFEDC6, 0xFEDA8D, 0xF9BC3D, 0xD79529}},
     {{0xD79528, 0xF6B633, 0xF7C970, 0xF3D299, 0xF7CA71, 0xF6B635, 0xD79528},
      {0xE2B064, 0xE5A125, 0xF6B533, 0xF8BB3F, 0xF6B633, 0xE5A124, 0xE1AF62},
      {0xFBE7CA, 0xE1AE60, 0xD8962A, 0xD58F1B, 0xD8962A, 0xE1AE60, 0xFBE7CA}},
     0xD58F1B, 0xFCEED2, 0xF2D4A7},
    // pressed
    {{{0xF9E1BF, 0xE3B36B, 0xD8972C, 0xD58F1B, 0xD8972C, 0xE3B36B, 0xF9E1BF},
      {0xE2B269, 0xE6A122, 0xF8B530, 0xFBBC39, 0xF7B52F, 0xE6A123, 0xE2B269},
      {0xD79529, 0xF8B62E, 0xF8C96F, 0xF3CC86, 0xF8C86D, 0xF7B52C, 0xD79529}},
     {{0xD79528, 0xFAB936, 0xFED786, 0xFDE4AE, 0xFED788, 0xFABA36, 0xD79528},
      {0xE2B064, 0xE6A325, 0xF9BA37, 0xFDC140, 0xF9BA37, 0xE6A325, 0xE1AF62},
      {0xFBE7CA, 0xE1AE60, 0xD8962A, 0xD58F1B, 0xD8962A, 0xE1AE60, 0xFBE7CA}},
     0xD58F1B, 0xF3D49F, 0xFDEAC3},
    // disabled
    {{{0xFBF7F2, 0xEFD5AF, 0xEAC78F, 0xE8C387, 0xEAC78F, 0xEFD5AF, 0xFBF7F2},
      {0xEFD5AE, 0xF1DCB8, 0xFBF5ED, 0xFDFBF8, 0xFBF5ED, 0xF1DCB8, 0xEFD5AE},
      {0xE9C68E, 0xFBF7EF, 0xFDFBF8, 0xFDFBF8, 0xFDFBF8, 0xFBF7EF, 0xE9C68E}},
     {{0xE9C68D, 0xF5E7D6, 0xF4E6D7, 0xF2E3D1, 0xF4E6D7, 0xF5E7D6, 0xE9C68D},
      {0xEFD3AB, 0xEED4AD, 0xF5E7D7, 0xF6EBDF, 0xF5E7D7, 0xEED4AD, 0xEED3AA},
      {0xFBF6F2, 0xEED2A9, 0xEAC68E, 0xE8C387, 0xEAC68E, 0xEED2A9, 0xFBF6F2}},
     0xE8C387, 0xFBF7F2, 0xF3E3D2},
};

// Column 1 and column 3 of the normal frame, rows 3 to 17: the left inner edge and the centre.
const COLORREF kNormalColumn1[15] = {0xFDFAF5, 0xFCF9F3, 0xFCF7F0, 0xFCF6EE, 0xFCF5EB,
                                     0xFCF3E8, 0xFBF2E5, 0xFBF0E3, 0xF8EBDB, 0xF7E9D9,
                                     0xF5E7D5, 0xF4E4D2, 0xF2E2CD, 0xF1E0CB, 0xF0DEC9};
const COLORREF kNormalColumn3[15] = {0xFCF8F1, 0xFBF6EE, 0xFBF4EA, 0xFBF2E6, 0xFAF0E2,
                                     0xFAEEDE, 0xF9ECDA, 0xF9EAD7, 0xF5E2CC, 0xF3DFC8,
                                     0xF1DCC3, 0xEFD8BE, 0xEDD5B8, 0xEBD2B4, 0xEAD0B1};

constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kDisabledCaption = 0x968A79;

COLORREF Pixel(HWND button, int state, int x, int y) {
    return GetPixel(skin::GetStateSurface(button, state), x, y);
}

// A column of the face from row 3 to row h - 4, with runs of equal pixels merged into one.
std::vector<COLORREF> DistinctRunsDown(HWND button, int state, int x) {
    std::vector<COLORREF> runs;
    for (int y = 3; y <= H - 4; ++y) {
        const COLORREF colour = Pixel(button, state, x, y);
        if (runs.empty() || runs.back() != colour) runs.push_back(colour);
    }
    return runs;
}

// Positions where a face differs from the face of a button without a caption: the caption.
std::set<int> DifferingPixels(const std::vector<COLORREF>& face, const std::vector<COLORREF>& blank) {
    std::set<int> positions;
    for (size_t i = 0; i < face.size(); ++i) {
        if (face[i] != blank[i]) positions.insert(static_cast<int>(i));
    }
    return positions;
}

size_t CountColour(const std::vector<COLORREF>& pixels, COLORREF colour) {
    return static_cast<size_t>(std::count(pixels.begin(), pixels.end(), colour));
}

std::vector<COLORREF> Face(HWND button, int state) {
    return ReadPixels(skin::GetStateSurface(button, state), W, H);
}

}  // namespace

TEST(ButtonFaces, RimsAndCentreOfEveryFaceComeFromTheFaceImage) {
    SkinnedForm form;
    HWND button = form.AddButton(L"");
    form.Attach();

    for (int state = 0; state < 4; ++state) {
        SCOPED_TRACE(state);
        const FrameRims& frame = kFrames[state];
        ASSERT_NE(nullptr, skin::GetStateSurface(button, state));
        for (int row = 0; row < 3; ++row) {
            // Corners keep their size; the middle column of the frame stretches across.
            for (int c = 0; c < 3; ++c) {
                EXPECT_EQ(frame.top[row][c], Pixel(button, state, c, row));
                EXPECT_EQ(frame.top[row][4 + c], Pixel(button, state, W - 3 + c, row));
                EXPECT_EQ(frame.bottom[row][c], Pixel(button, state, c, H - 3 + row));
                EXPECT_EQ(frame.bottom[row][4 + c], Pixel(button, state, W - 3 + c, H - 3 + row));
            }
            for (int x : {3, W / 2, W - 4}) {
                EXPECT_EQ(frame.top[row][3], Pixel(button, state, x, row));
                EXPECT_EQ(frame.bottom[row][3], Pixel(button, state, x, H - 3 + row));
            }
        }
        for (int y = 3; y <= H - 4; ++y) {
            EXPECT_EQ(frame.border, Pixel(button, state, 0, y));
            EXPECT_EQ(frame.border, Pixel(button, state, W - 1, y));
        }
        EXPECT_EQ(frame.centreFirst, Pixel(button, state, 3, 3));
        EXPECT_EQ(frame.centreFirst, Pixel(button, state, W - 4, 3));
        EXPECT_EQ(frame.centreLast, Pixel(button, state, 3, H - 4));
        EXPECT_EQ(frame.centreLast, Pixel(button, state, W - 4, H - 4));
        // The centre is one pixel wide in the image: every row of it is a single colour.
        for (int y = 3; y <= H - 4; ++y) {
            const COLORREF first = Pixel(button, state, 3, y);
            for (int x = 4; x <= W - 4; x += 7) ASSERT_EQ(first, Pixel(button, state, x, y)) << y;
        }
    }
}

TEST(ButtonFaces, EdgesAndCentreStretchDownThroughEveryRowOfTheImage) {
    SkinnedForm form;
    HWND button = form.AddButton(L"");
    form.Attach();

    // 15 rows become 27: each source row shows at least once, in order.
    EXPECT_EQ(std::vector<COLORREF>(std::begin(kNormalColumn1), std::end(kNormalColumn1)),
              DistinctRunsDown(button, 0, 1));
    EXPECT_EQ(std::vector<COLORREF>(std::begin(kNormalColumn1), std::end(kNormalColumn1)),
              DistinctRunsDown(button, 0, W - 2));
    EXPECT_EQ(std::vector<COLORREF>(std::begin(kNormalColumn3), std::end(kNormalColumn3)),
              DistinctRunsDown(button, 0, W / 2));
}

TEST(ButtonFaces, PressedFaceDiffersFromNormalOnlyInItsBackground) {
    SkinnedForm form;
    HWND captioned = form.AddButton(L"Open tray");
    HWND blank = form.AddButton(L"");
    form.Attach();

    const std::set<int> normalCaption = DifferingPixels(Face(captioned, 0), Face(blank, 0));
    const std::set<int> pressedCaption = DifferingPixels(Face(captioned, 2), Face(blank, 2));
    ASSERT_GT(normalCaption.size(), 20u);
    // Same caption pixels in the same place; everything else is the pressed background.
    EXPECT_EQ(normalCaption, pressedCaption);
    const std::vector<COLORREF> normal = Face(captioned, 0);
    const std::vector<COLORREF> pressed = Face(captioned, 2);
    for (int position : normalCaption) {
        if (normal[position] == kBlack) {
            EXPECT_EQ(kBlack, pressed[position]) << position;
        }
    }
    EXPECT_GT(CountColour(normal, kBlack), 10u);
}

TEST(ButtonFaces, CaptionIsBlackExceptOnTheDisabledFace) {
    SkinnedForm form;
    HWND button = form.AddButton(L"Close tray");
    form.Attach();

    for (int state = 0; state < 3; ++state) {
        const std::vector<COLORREF> face = Face(button, state);
        EXPECT_GT(CountColour(face, kBlack), 10u) << state;
        EXPECT_EQ(0u, CountColour(face, kDisabledCaption)) << state;
    }
    const std::vector<COLORREF> disabled = Face(button, 3);
    EXPECT_GT(CountColour(disabled, kDisabledCaption), 10u);
    EXPECT_EQ(0u, CountColour(disabled, kBlack));
}

TEST(ButtonFaces, FocusFrameIsInsetTwoPixelsOnEveryFaceWhileFocused) {
    SkinnedForm form;
    HWND button = form.AddButton(L"");
    form.Attach();
    std::vector<std::vector<COLORREF>> plain;
    for (int state = 0; state < 4; ++state) plain.push_back(Face(button, state));

    SetFocus(button);
    ASSERT_EQ(button, GetFocus());
    skin::RenderButtonFaces(button);
    for (int state = 0; state < 4; ++state) {
        SCOPED_TRACE(state);
        const std::vector<COLORREF> focused = Face(button, state);
        int changedOnFrame = 0;
        for (int y = 0; y < H; ++y) {
            for (int x = 0; x < W; ++x) {
                const size_t i = static_cast<size_t>(y) * W + x;
                const bool onFrame = (x == 2 || x == W - 3) ? (y >= 2 && y <= H - 3)
                                     : (y == 2 || y == H - 3) ? (x >= 2 && x <= W - 3)
                                                              : false;
                if (!onFrame) {
                    ASSERT_EQ(plain[state][i], focused[i]) << x << "," << y;
                } else if (plain[state][i] != focused[i]) {
                    ++changedOnFrame;
                    // The dotted outline inverts the pixels it covers.
                    EXPECT_EQ(plain[state][i] ^ 0xFFFFFF, focused[i]) << x << "," << y;
                }
            }
        }
        // A dotted outline: about every other pixel of its 2 * (109 + 29) - 4 pixels.
        EXPECT_GT(changedOnFrame, 110);
        EXPECT_LT(changedOnFrame, 170);
    }

    // Focus elsewhere, faces drawn again: the outline is gone.
    SetFocus(form.form());
    skin::RenderButtonFaces(button);
    for (int state = 0; state < 4; ++state) EXPECT_EQ(plain[state], Face(button, state)) << state;
}

TEST(ButtonFaces, CaptionTooWideEndsInAnEllipsisOnOneLine) {
    SkinnedForm form;
    HWND button = form.AddButton(L"Open the tray of the first CD drive now\r\nsecond line");
    HWND blank = form.AddButton(L"");
    form.Attach();

    const std::vector<COLORREF> face = Face(button, 0);
    const std::vector<COLORREF> background = Face(blank, 0);
    int left = W, right = -1, top = H, bottom = -1;
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            if (face[y * W + x] == background[y * W + x]) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    // Cut to the caption rectangle (2, 2) - (w - 2, h - 2), filling its width.
    ASSERT_GE(right, 0);
    EXPECT_GE(left, 2);
    EXPECT_LE(right, W - 3);
    EXPECT_LT(left, 12);
    EXPECT_GT(right, W - 14);
    // One line of text: no second line below the first.
    EXPECT_LE(bottom - top, 16);

    // The text ends in three dots on the baseline: in the last columns, the caption covers only a
    // few rows, in three separate groups of columns.
    int groups = 0;
    bool inGroup = false;
    int x = right;
    for (; x >= left && groups <= 3; --x) {
        int rows = 0;
        for (int y = top; y <= bottom; ++y) rows += face[y * W + x] != background[y * W + x];
        if (rows > 0 && !inGroup) ++groups;
        inGroup = rows > 0;
        if (groups == 3 && !inGroup) break;
        if (rows > 0) {
            EXPECT_LE(rows, 3) << "column " << x;
        }
        if (right - x > 16) break;
    }
    EXPECT_EQ(3, groups);
}

TEST(ButtonBlend, FullLevelShowsTheFaceAndZeroChangesNothing) {
    SkinnedForm form;
    HWND button = form.AddButton(L"Go");
    form.Attach();

    skin::SetSkinProp(button, skin::kPropOldState, skin::Hot);
    skin::SetSkinProp(button, skin::kPropAlphaLevel, 255);
    EXPECT_EQ(0, skin::BlendButtonFace(button, nullptr));
    const int points[][2] = {{2, 2}, {1, 5}, {W / 2, 1}, {W / 2, H / 2}, {W - 3, H - 3}, {10, 20}};
    for (const auto& p : points) EXPECT_EQ(Pixel(button, 1, p[0], p[1]), WindowPixel(button, p[0], p[1]));

    skin::SetSkinProp(button, skin::kPropOldState, skin::Pressed);
    skin::SetSkinProp(button, skin::kPropAlphaLevel, 0);
    skin::BlendButtonFace(button, nullptr);
    for (const auto& p : points) EXPECT_EQ(Pixel(button, 1, p[0], p[1]), WindowPixel(button, p[0], p[1]));
}

TEST(ButtonBlend, DrawsIntoAGivenTarget) {
    SkinnedForm form;
    HWND button = form.AddButton(L"Go");
    form.Attach();

    skin::ScopedMemorySurface target(W, H);
    ASSERT_NE(nullptr, target.get());
    skin::SetSkinProp(button, skin::kPropOldState, skin::Pressed);
    skin::SetSkinProp(button, skin::kPropAlphaLevel, 255);
    EXPECT_EQ(0, skin::BlendButtonFace(button, target.get()));
    EXPECT_EQ(Face(button, 2), ReadPixels(target.get(), W, H));
}

TEST(ButtonBlend, DisabledButtonShowsTheDisabledFace) {
    SkinnedForm form;
    HWND button = form.AddButton(L"Go");
    form.Attach();
    EnableWindow(button, FALSE);

    skin::SetSkinProp(button, skin::kPropOldState, skin::Hot);
    skin::SetSkinProp(button, skin::kPropAlphaLevel, 255);
    skin::BlendButtonFace(button, nullptr);
    EXPECT_EQ(skin::Disabled, skin::GetSkinProp(button, skin::kPropOldState));
    EXPECT_EQ(0xE8C387u, WindowPixel(button, 0, H / 2));
    EXPECT_EQ(Pixel(button, 3, W / 2, H / 2), WindowPixel(button, W / 2, H / 2));
}

TEST(ButtonBlend, ButtonsKeepingTheirOwnPaintingGetNothingDrawn) {
    SkinnedForm form;
    HWND checkBox = form.AddButton(L"Check", BS_CHECKBOX);
    form.Attach();
    ASSERT_NE(0, skin::GetSkinProp(checkBox, skin::kPropOldStyle) & 6);

    skin::ScopedMemorySurface target(W, H);
    const std::vector<COLORREF> before = ReadPixels(target.get(), W, H);
    skin::SetSkinProp(checkBox, skin::kPropAlphaLevel, 255);
    EXPECT_EQ(0, skin::BlendButtonFace(checkBox, target.get()));
    EXPECT_EQ(before, ReadPixels(target.get(), W, H));

    EnableWindow(checkBox, FALSE);
    skin::SetSkinProp(checkBox, skin::kPropOldState, skin::Normal);
    EXPECT_EQ(0, skin::BlendButtonFace(checkBox, target.get()));
    EXPECT_EQ(skin::Disabled, skin::GetSkinProp(checkBox, skin::kPropOldState));
    EXPECT_EQ(before, ReadPixels(target.get(), W, H));
}

TEST(ButtonFaces, CaptionKeepsCharactersOutsideTheAnsiCodePage) {
    SkinnedForm form;
    HWND chinese = form.AddButton(L"\u5173\u95ED\u5149\u9A71");
    HWND question = form.AddButton(L"????");
    HWND blank = form.AddButton(L"");
    form.Attach();

    // Through an ANSI round trip the four characters would come out as question marks.
    const std::vector<COLORREF> background = Face(blank, 0);
    EXPECT_FALSE(DifferingPixels(Face(chinese, 0), background).empty());
    EXPECT_NE(Face(question, 0), Face(chinese, 0));
}

TEST(ButtonFaces, CaptionIsDrawnInTheButtonsFontWhichIsNotKeptSelectedAndFollowsChanges) {
    SkinnedForm form;
    HWND large = form.AddButton(L"Go");
    HWND standard = form.AddButton(L"Go");
    HWND blank = form.AddButton(L"");
    HFONT font = CreateFontW(-24, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0,
                             0, L"Arial");
    ASSERT_NE(nullptr, font);
    SendMessageW(large, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    form.Attach();

    const std::vector<COLORREF> background = Face(blank, 0);
    EXPECT_GT(DifferingPixels(Face(large, 0), background).size(),
              DifferingPixels(Face(standard, 0), background).size() + 40);
    // The font belongs to the program; a surface that kept it selected would stop its deletion.
    for (int state = 0; state < 4; ++state) {
        EXPECT_NE(static_cast<HGDIOBJ>(font),
                  GetCurrentObject(skin::GetStateSurface(large, state), OBJ_FONT));
    }

    // A caption or a font the program gives while skinned is in the faces at once.
    SetWindowTextW(blank, L"Go");
    EXPECT_EQ(Face(standard, 0), Face(blank, 0)) << "the new caption is not on the face";
    SendMessageW(standard, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    EXPECT_EQ(Face(large, 0), Face(standard, 0)) << "the new font is not on the face";

    SendMessageW(large, WM_SETFONT, 0, FALSE);
    SendMessageW(standard, WM_SETFONT, 0, FALSE);
    EXPECT_TRUE(DeleteObject(font));
}

namespace {

INT_PTR CALLBACK PlainDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

constexpr int kOtherButton = 100;

// The left inner column, halfway down, of a button's normal face.
COLORREF InnerEdge(HWND button) {
    RECT rect{};
    GetWindowRect(button, &rect);
    return GetPixel(skin::GetStateSurface(button, skin::Normal), 1, (rect.bottom - rect.top) / 2);
}

}  // namespace

// Under the whole look the default button's frame is a line thicker, in the skin's border colour,
// and the mark moves where the dialog moves the default; detach leaves the types the dialog gave.
TEST(ButtonFaces, TheDefaultButtonIsMarkedAndTheMarkFollowsTheDialog) {
    constexpr COLORREF kBorder = 0xD5A554;
    testing_support::DialogTemplate layout(L"Default", 10, 10, 120, 60);
    layout.AddItem(testing_support::DialogTemplate::kButtonAtom, L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK,
                   7, 7, 50, 14);
    layout.AddItem(testing_support::DialogTemplate::kButtonAtom, L"Other", BS_PUSHBUTTON | WS_TABSTOP,
                   kOtherButton, 7, 30, 50, 14);
    HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), layout.get(), nullptr, PlainDialog, 0);
    ASSERT_NE(nullptr, dialog);
    HWND ok = GetDlgItem(dialog, IDOK);
    HWND other = GetDlgItem(dialog, kOtherButton);

    ASSERT_EQ(1, AttachSkin(dialog));
    EXPECT_NE(kBorder, InnerEdge(ok)) << "plain AttachSkin keeps today's look";
    ASSERT_EQ(1, DetachSkin(dialog));

    ASSERT_EQ(1, AttachSkinEx(dialog, 0));
    EXPECT_EQ(kBorder, InnerEdge(ok));
    EXPECT_NE(kBorder, InnerEdge(other));
    EXPECT_EQ(IDOK, LOWORD(SendMessageW(dialog, DM_GETDEFID, 0, 0)));
    testing_support::PumpMessages();
    EXPECT_EQ(kBorder, WindowPixel(ok, 1, 10));

    // The dialog makes the focused push button the default.
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(other), TRUE);
    testing_support::PumpMessages();
    EXPECT_NE(kBorder, InnerEdge(ok));
    EXPECT_EQ(kBorder, InnerEdge(other));
    EXPECT_EQ(kBorder, WindowPixel(other, 1, 10));
    EXPECT_EQ(BS_OWNERDRAW, GetWindowLongW(other, GWL_STYLE) & BS_TYPEMASK);

    ASSERT_EQ(1, DetachSkin(dialog));
    EXPECT_EQ(BS_PUSHBUTTON, GetWindowLongW(ok, GWL_STYLE) & BS_TYPEMASK);
    EXPECT_EQ(BS_DEFPUSHBUTTON, GetWindowLongW(other, GWL_STYLE) & BS_TYPEMASK);
    DestroyWindow(dialog);
}
