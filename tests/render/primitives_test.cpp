#include "render/primitives.h"

#include <gtest/gtest.h>

#include <string>

#include "support/test_windows.h"

using namespace skin;

namespace {

constexpr COLORREF kMagenta = 0xFF00FF;

// Each source pixel tells where it came from: red 10 + 20x, green 10 + 10y, blue 0x40.
COLORREF Marker(int x, int y) { return RGB(10 + 20 * x, 10 + 10 * y, 0x40); }
int MarkerX(COLORREF c) { return (GetRValue(c) - 10) / 20; }
int MarkerY(COLORREF c) { return (GetGValue(c) - 10) / 10; }

void Paint(HDC dc, int x, int y, int width, int height, COLORREF (*colour)(int, int)) {
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column)
            SetPixel(dc, x + column, y + row, colour(column, row));
}

COLORREF Background(int x, int y) { return RGB(200 + x % 7, 30 + y % 11, 150); }

void ExpectUnchangedBackground(HDC dc, int width, int height) {
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            ASSERT_EQ(Background(x, y), GetPixel(dc, x, y)) << x << "," << y;
}

}  // namespace

TEST(MemorySurface, OwnsABlackBitmapOfItsSizeAndReleasesBoth) {
    const HDC surface = CreateMemorySurface(5, 4);
    ASSERT_NE(nullptr, surface);
    const HGDIOBJ bitmap = GetCurrentObject(surface, OBJ_BITMAP);
    BITMAP info{};
    ASSERT_EQ(static_cast<int>(sizeof info), GetObjectW(bitmap, sizeof info, &info));
    EXPECT_EQ(5, info.bmWidth);
    EXPECT_EQ(4, info.bmHeight);
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), info.bmBitsPixel * info.bmPlanes);
    ReleaseDC(nullptr, screen);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(0u, GetPixel(surface, x, y));
    SetPixel(surface, 4, 3, 0x123456);
    EXPECT_EQ(0x123456u, GetPixel(surface, 4, 3));

    ReleaseMemorySurface(surface);
    EXPECT_EQ(0u, GetObjectType(surface));
    EXPECT_EQ(0u, GetObjectType(bitmap));
    ReleaseMemorySurface(nullptr);  // nothing to do
}

TEST(SurfaceBitmap, TakesTheReferenceContextsFormat) {
    HDC screen = GetDC(nullptr);
    const int screenBits = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    const HBITMAP bitmap = CreateSurfaceBitmap(screen, 7, 3);
    ReleaseDC(nullptr, screen);
    ASSERT_NE(nullptr, bitmap);
    BITMAP info{};
    ASSERT_EQ(static_cast<int>(sizeof info), GetObjectW(bitmap, sizeof info, &info));
    EXPECT_EQ(7, info.bmWidth);
    EXPECT_EQ(3, info.bmHeight);
    EXPECT_EQ(screenBits, info.bmBitsPixel * info.bmPlanes);
    EXPECT_TRUE(DeleteObject(bitmap));

    // A fresh memory context holds the one-bit stock bitmap: like a compatible bitmap, the new
    // one is monochrome then.
    const HDC memory = CreateCompatibleDC(nullptr);
    const HBITMAP mono = CreateSurfaceBitmap(memory, 4, 4);
    DeleteDC(memory);
    ASSERT_NE(nullptr, mono);
    ASSERT_EQ(static_cast<int>(sizeof info), GetObjectW(mono, sizeof info, &info));
    EXPECT_EQ(1, info.bmBitsPixel * info.bmPlanes);
    EXPECT_TRUE(DeleteObject(mono));

    // No context: the display's format.
    const HBITMAP display = CreateSurfaceBitmap(nullptr, 2, 2);
    ASSERT_NE(nullptr, display);
    ASSERT_EQ(static_cast<int>(sizeof info), GetObjectW(display, sizeof info, &info));
    EXPECT_EQ(screenBits, info.bmBitsPixel * info.bmPlanes);
    EXPECT_TRUE(DeleteObject(display));
}

// Everything the renderers do to a surface gives the same pixels on the engine's surface as on
// one with a screen-compatible bitmap.
TEST(SurfaceBitmap, DrawsTheSamePixelsAsACompatibleBitmap) {
    constexpr int kWidth = 23, kHeight = 13;
    HDC screen = GetDC(nullptr);
    const HDC compatible = CreateCompatibleDC(screen);
    const HBITMAP compatibleBitmap = CreateCompatibleBitmap(screen, kWidth, kHeight);
    const HGDIOBJ previous = SelectObject(compatible, compatibleBitmap);
    ReleaseDC(nullptr, screen);
    ScopedMemorySurface engine(kWidth, kHeight);
    ScopedMemorySurface source(9, 7);
    ASSERT_NE(nullptr, engine.get());
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x)
            SetPixel(source.get(), x, y, (x + y) % 4 == 0 ? kMagenta : RGB(37 * x, 29 * y, 91 + x * y));

    for (HDC dc : {compatible, engine.get()}) {
        Paint(dc, 0, 0, kWidth, kHeight, Background);
        StretchBlt(dc, 0, 0, 4, 3, source.get(), 0, 0, 9, 7, SRCCOPY);    // shrunk: ANDed
        StretchBlt(dc, 4, 0, 12, 9, source.get(), 1, 1, 5, 4, SRCCOPY);   // enlarged
        const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 77, 0};
        AlphaBlend(dc, 15, 2, 8, 6, source.get(), 0, 0, 8, 6, blend);
        DrawTransparent(dc, 1, 5, 9, 7, source.get(), 0, 0, kMagenta, nullptr);
        DrawNineSlice(dc, 10, 8, 13, 5, source.get(), 0, 0, 9, 7, 2, 2, 2, 2, kMagenta);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, 0x968A79);
        DrawCaption(dc, L"Ab", 0, 0, kWidth, kHeight, CaptionFormat);
    }
    // The engine's surface as a source too.
    const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 140, 0};
    ScopedMemorySurface overCompatible(kWidth, kHeight), overEngine(kWidth, kHeight);
    for (HDC dc : {overCompatible.get(), overEngine.get()}) Paint(dc, 0, 0, kWidth, kHeight, Background);
    AlphaBlend(overCompatible.get(), 0, 0, kWidth, kHeight, compatible, 0, 0, kWidth, kHeight, blend);
    AlphaBlend(overEngine.get(), 0, 0, kWidth, kHeight, engine.get(), 0, 0, kWidth, kHeight, blend);

    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            ASSERT_EQ(GetPixel(compatible, x, y), GetPixel(engine.get(), x, y)) << x << "," << y;
            ASSERT_EQ(GetPixel(overCompatible.get(), x, y), GetPixel(overEngine.get(), x, y))
                << x << "," << y;
        }
    SelectObject(compatible, previous);
    DeleteObject(compatibleBitmap);
    DeleteDC(compatible);
}

TEST(SmallPrimitives, FillAndFrame) {
    ScopedMemorySurface surface(8, 6);
    const HDC dc = surface.get();
    EXPECT_NE(0, FillSolid(dc, 0, 0, 8, 6, 0x010203));
    EXPECT_NE(0, FillSolid(dc, 2, 1, 3, 2, 0xD5A554));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool inside = x >= 2 && x < 5 && y >= 1 && y < 3;
            EXPECT_EQ(inside ? 0xD5A554u : 0x010203u, GetPixel(dc, x, y)) << x << "," << y;
        }

    EXPECT_NE(0, FillSolid(dc, 0, 0, 8, 6, 0xFFFFFF));
    EXPECT_NE(0, FrameSolid(dc, 1, 1, 5, 4, 0xE9CFA4));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool inRect = x >= 1 && x < 6 && y >= 1 && y < 5;
            const bool onEdge = inRect && (x == 1 || x == 5 || y == 1 || y == 4);
            EXPECT_EQ(onEdge ? 0xE9CFA4u : 0xFFFFFFu, GetPixel(dc, x, y)) << x << "," << y;
        }
}

TEST(SmallPrimitives, FocusFrameIsDrawnByXor) {
    ScopedMemorySurface surface(12, 10);
    const HDC dc = surface.get();
    FillSolid(dc, 0, 0, 12, 10, 0xFFFFFF);
    EXPECT_NE(0, DrawFocusFrame(dc, 1, 1, 10, 8));
    int changed = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x) {
            const bool inRect = x >= 1 && x < 11 && y >= 1 && y < 9;
            const bool onEdge = inRect && (x == 1 || x == 10 || y == 1 || y == 8);
            if (GetPixel(dc, x, y) != 0xFFFFFF) {
                ++changed;
                EXPECT_TRUE(onEdge) << x << "," << y;
            }
        }
    EXPECT_GT(changed, 0);
    DrawFocusFrame(dc, 1, 1, 10, 8);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x) EXPECT_EQ(0xFFFFFFu, GetPixel(dc, x, y));
}

TEST(SmallPrimitives, WindowBoundsAndUnicodeCaption) {
    testing_support::TestWindow window(30, 40, nullptr, WS_POPUP, 10, 20);
    WindowBounds bounds;
    EXPECT_NE(0, GetWindowBounds(window.get(), bounds));
    EXPECT_EQ(10, bounds.Left);
    EXPECT_EQ(20, bounds.Top);
    EXPECT_EQ(40, bounds.Right);
    EXPECT_EQ(60, bounds.Bottom);
    EXPECT_EQ(30, bounds.Width);
    EXPECT_EQ(40, bounds.Height);

    const std::wstring text = L"\x5173\x95ed\x5149\x9a71 \x00dc";  // 关闭光驱 Ü
    SetWindowTextW(window.get(), text.c_str());
    EXPECT_EQ(text, GetWindowCaption(window.get()));
    SetWindowTextW(window.get(), L"");
    EXPECT_EQ(L"", GetWindowCaption(window.get()));
    EXPECT_EQ(L"", GetWindowCaption(nullptr));
}

TEST(SmallPrimitives, WideCaptionIsOneLineEndingInAnEllipsis) {
    const std::wstring text = L"Open the tray of the drive and keep it open for a while";
    constexpr int kWidth = 60, kHeight = 60;
    ScopedMemorySurface caption(kWidth, kHeight);
    ScopedMemorySurface reference(kWidth, kHeight);
    const HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW metrics{};
    for (HDC dc : {caption.get(), reference.get()}) {
        SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, 0x000000);
        FillSolid(dc, 0, 0, kWidth, kHeight, 0xFFFFFF);
    }
    GetTextMetricsW(caption.get(), &metrics);

    const int height = DrawCaption(caption.get(), text, 0, 0, kWidth, kHeight, CaptionFormat);

    // What the platform shows of the text in that width, drawn as a plain centred line.
    std::wstring shown = text + std::wstring(8, L'\0');
    RECT rect{0, 0, kWidth, kHeight};
    ScopedMemorySurface scratch(kWidth, kHeight);
    SelectObject(scratch.get(), font);
    DrawTextW(scratch.get(), shown.data(), -1, &rect, CaptionFormat | DT_MODIFYSTRING);
    shown.resize(wcslen(shown.c_str()));
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(L"...", shown.substr(shown.size() - 3));
    const int shownHeight = DrawTextW(reference.get(), shown.c_str(), -1, &rect,
                                      DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    // Centred vertically, the height reaches to the bottom of the one line drawn.
    EXPECT_EQ(shownHeight, height);

    int ink = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const COLORREF pixel = GetPixel(caption.get(), x, y);
            ASSERT_EQ(GetPixel(reference.get(), x, y), pixel) << x << "," << y;
            if (pixel != 0xFFFFFF) {
                ++ink;
                // Centred vertically, one line high.
                EXPECT_GE(y, (kHeight - metrics.tmHeight) / 2 - 1);
                EXPECT_LE(y, (kHeight + metrics.tmHeight) / 2 + 1);
            }
        }
    EXPECT_GT(ink, 0);
}

TEST(NineSlice, KeepsCornersAndStretchesEdgesOneWay) {
    // A 7 x 21 image with borders 3 drawn at button size.
    ScopedMemorySurface source(12, 30);
    Paint(source.get(), 2, 5, 7, 21, Marker);
    ScopedMemorySurface destination(80, 30);
    Paint(destination.get(), 0, 0, 80, 30, Background);

    EXPECT_NE(
        0, DrawNineSlice(destination.get(), 4, 6, 75, 23, source.get(), 2, 5, 7, 21, 3, 3, 3, 3));

    int lastCentreRow = 3;
    for (int y = 0; y < 23; ++y) {
        int rowOfRow = -1;
        for (int x = 0; x < 75; ++x) {
            const COLORREF pixel = GetPixel(destination.get(), 4 + x, 6 + y);
            ASSERT_EQ(0x40, GetBValue(pixel)) << x << "," << y;
            const int sourceX = MarkerX(pixel), sourceY = MarkerY(pixel);
            // Columns: the outer three on each side kept, the one centre column repeated.
            const int wantX = x < 3 ? x : x >= 72 ? x - 72 + 4 : 3;
            ASSERT_EQ(wantX, sourceX) << x << "," << y;
            if (rowOfRow < 0) rowOfRow = sourceY;
            ASSERT_EQ(rowOfRow, sourceY) << "a row comes from one source row " << x << "," << y;
        }
        if (y < 3) {
            EXPECT_EQ(y, rowOfRow);
        } else if (y >= 20) {
            EXPECT_EQ(y - 20 + 18, rowOfRow);
        } else {
            // The 15 centre rows fill 17 rows in order, none left out.
            EXPECT_GE(rowOfRow, lastCentreRow);
            EXPECT_LE(rowOfRow, lastCentreRow + 1);
            EXPECT_LE(rowOfRow, 17);
            lastCentreRow = rowOfRow;
        }
    }
    EXPECT_EQ(17, lastCentreRow);

    // Nothing outside the destination rectangle is touched.
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 80; ++x)
            if (x < 4 || x >= 79 || y < 6 || y >= 29) {
                ASSERT_EQ(Background(x, y), GetPixel(destination.get(), x, y)) << x << "," << y;
            }
}

TEST(NineSlice, WithoutBordersIsOneStretchOfTheWholeSource) {
    ScopedMemorySurface source(4, 3);
    Paint(source.get(), 0, 0, 4, 3, Marker);
    ScopedMemorySurface destination(8, 6);
    EXPECT_NE(0,
              DrawNineSlice(destination.get(), 0, 0, 8, 6, source.get(), 0, 0, 4, 3, 0, 0, 0, 0));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(Marker(x / 2, y / 2), GetPixel(destination.get(), x, y)) << x << "," << y;
}

TEST(NineSlice, SomeBordersOnly) {
    // Left 2 and bottom 2 only: the bottom-left corner is kept, the left edge is stretched down,
    // the bottom edge across, the centre both ways; there is no top or right border.
    ScopedMemorySurface source(6, 6);
    Paint(source.get(), 0, 0, 6, 6, Marker);
    ScopedMemorySurface destination(10, 10);
    DrawNineSlice(destination.get(), 0, 0, 10, 10, source.get(), 0, 0, 6, 6, 2, 0, 0, 2);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const int wantX = x < 2 ? x : 2 + (x - 2) / 2;
            const int wantY = y >= 8 ? y - 8 + 4 : y / 2;
            EXPECT_EQ(Marker(wantX, wantY), GetPixel(destination.get(), x, y)) << x << "," << y;
        }

    // Top 1 and right 1 only.
    ScopedMemorySurface other(9, 9);
    DrawNineSlice(other.get(), 0, 0, 9, 9, source.get(), 0, 0, 5, 5, 0, 1, 1, 0);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x) {
            const int wantX = x == 8 ? 4 : x / 2;
            const int wantY = y == 0 ? 0 : 1 + (y - 1) / 2;
            EXPECT_EQ(Marker(wantX, wantY), GetPixel(other.get(), x, y)) << x << "," << y;
        }
}

TEST(NineSlice, ZeroSizeDrawsNothing) {
    ScopedMemorySurface source(7, 21);
    Paint(source.get(), 0, 0, 7, 21, Marker);
    ScopedMemorySurface destination(20, 20);
    Paint(destination.get(), 0, 0, 20, 20, Background);
    const HDC d = destination.get(), s = source.get();
    EXPECT_EQ(0, DrawNineSlice(d, 0, 0, 0, 20, s, 0, 0, 7, 21, 3, 3, 3, 3));
    EXPECT_EQ(0, DrawNineSlice(d, 0, 0, 20, 0, s, 0, 0, 7, 21, 3, 3, 3, 3));
    EXPECT_EQ(0, DrawNineSlice(d, 0, 0, 20, 20, s, 0, 0, 0, 21, 3, 3, 3, 3));
    EXPECT_EQ(0, DrawNineSlice(d, 0, 0, 20, 20, s, 0, 0, 7, 0, 3, 3, 3, 3, kMagenta));
    ExpectUnchangedBackground(d, 20, 20);
}

TEST(NineSlice, KeyPixelsShowTheOldDestination) {
    // A 3 x 3 image, magenta on its diagonal, doubled with no borders and with border 1.
    auto image = [](int x, int y) -> COLORREF { return x == y ? kMagenta : Marker(x, y); };
    ScopedMemorySurface source(3, 3);
    Paint(source.get(), 0, 0, 3, 3, image);

    ScopedMemorySurface destination(8, 8);
    Paint(destination.get(), 0, 0, 8, 8, Background);
    EXPECT_EQ(1, DrawNineSlice(destination.get(), 1, 1, 6, 6, source.get(), 0, 0, 3, 3, 0, 0, 0, 0,
                               kMagenta));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool inside = x >= 1 && x < 7 && y >= 1 && y < 7;
            const int sourceX = (x - 1) / 2, sourceY = (y - 1) / 2;
            const COLORREF want =
                inside && sourceX != sourceY ? Marker(sourceX, sourceY) : Background(x, y);
            EXPECT_EQ(want, GetPixel(destination.get(), x, y)) << x << "," << y;
        }

    ScopedMemorySurface bordered(5, 5);
    Paint(bordered.get(), 0, 0, 5, 5, Background);
    EXPECT_EQ(1, DrawNineSlice(bordered.get(), 0, 0, 5, 5, source.get(), 0, 0, 3, 3, 1, 1, 1, 1,
                               kMagenta));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            const int sourceX = x == 0 ? 0 : x == 4 ? 2 : 1;
            const int sourceY = y == 0 ? 0 : y == 4 ? 2 : 1;
            const COLORREF want = sourceX == sourceY ? Background(x, y) : Marker(sourceX, sourceY);
            EXPECT_EQ(want, GetPixel(bordered.get(), x, y)) << x << "," << y;
        }
}

namespace {

// Colours close to the key, black and white must all be copied as they are.
COLORREF Mixed(int x, int y) {
    static const COLORREF kColours[] = {kMagenta, 0xFE00FF, 0xFF01FF, 0xFF00FE, 0x000000,
                                        0xFFFFFF, 0x5F5519, kMagenta, 0x00FF00};
    return kColours[(x + 3 * y) % 9];
}

}  // namespace

TEST(TransparentCopy, KeyPixelsKeepTheDestinationOthersTakeTheSource) {
    ScopedMemorySurface source(12, 10);
    Paint(source.get(), 0, 0, 12, 10, [](int x, int y) -> COLORREF {
        return x >= 2 && y >= 1 ? Mixed(x - 2, y - 1) : 0x777777;
    });
    // The source context's own colours must not matter.
    SetBkColor(source.get(), 0x00FF00);
    SetTextColor(source.get(), kMagenta);
    ScopedMemorySurface destination(14, 12);
    Paint(destination.get(), 0, 0, 14, 12, Background);

    DrawTransparent(destination.get(), 3, 2, 9, 8, source.get(), 2, 1, kMagenta, nullptr);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 14; ++x) {
            const bool inside = x >= 3 && x < 12 && y >= 2 && y < 10;
            const COLORREF sourcePixel = inside ? Mixed(x - 3, y - 2) : kMagenta;
            const COLORREF want = sourcePixel == kMagenta ? Background(x, y) : sourcePixel;
            EXPECT_EQ(want, GetPixel(destination.get(), x, y)) << x << "," << y;
        }
}

TEST(TransparentCopy, WithoutKeyPixelsItIsAPlainCopy) {
    ScopedMemorySurface source(9, 7);
    Paint(source.get(), 0, 0, 9, 7, Marker);
    SetPixel(source.get(), 0, 0, 0x000000);
    SetPixel(source.get(), 1, 0, 0xFFFFFF);
    ScopedMemorySurface copied(9, 7);
    ScopedMemorySurface plain(9, 7);
    Paint(copied.get(), 0, 0, 9, 7, Background);
    DrawTransparent(copied.get(), 0, 0, 9, 7, source.get(), 0, 0, kMagenta, nullptr);
    BitBlt(plain.get(), 0, 0, 9, 7, source.get(), 0, 0, SRCCOPY);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(GetPixel(plain.get(), x, y), GetPixel(copied.get(), x, y)) << x << "," << y;
}

TEST(TransparentCopy, AllKeySourceLeavesTheDestination) {
    ScopedMemorySurface source(10, 10);
    FillSolid(source.get(), 0, 0, 10, 10, kMagenta);
    ScopedMemorySurface destination(10, 10);
    Paint(destination.get(), 0, 0, 10, 10, Background);
    HPALETTE palette = CreateHalftonePalette(destination.get());
    DrawTransparent(destination.get(), 0, 0, 10, 10, source.get(), 0, 0, kMagenta, palette);
    DrawTransparent(destination.get(), 0, 0, 10, 10, source.get(), 0, 0, kMagenta, nullptr);
    ExpectUnchangedBackground(destination.get(), 10, 10);
    // The caller's palette stays the caller's.
    EXPECT_EQ(static_cast<DWORD>(OBJ_PAL), GetObjectType(palette));
    DeleteObject(palette);
}

TEST(TransparentCopy, SystemColourKeyIsTranslated) {
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    ScopedMemorySurface source(2, 1);
    SetPixel(source.get(), 0, 0, window);
    SetPixel(source.get(), 1, 0, 0x123456);
    ScopedMemorySurface destination(2, 1);
    FillSolid(destination.get(), 0, 0, 2, 1, 0x0A0B0C);
    DrawTransparent(destination.get(), 0, 0, 2, 1, source.get(), 0, 0, 0x80000000 | COLOR_WINDOW,
                    nullptr);
    EXPECT_EQ(0x0A0B0Cu, GetPixel(destination.get(), 0, 0));
    EXPECT_EQ(0x123456u, GetPixel(destination.get(), 1, 0));
}
