// The drawing primitives: text, solid fills and frames, memory surfaces, nine-slice stretching and
// key-coloured transparency. They keep nothing between calls.
#include "render/primitives.h"

#include <olectl.h>

#include <atomic>
#include <cstddef>
#include <vector>

#include "render/scoped_gdi.h"

namespace skin {

namespace {

// SRCCOPY/SRCAND/SRCPAINT have names; "destination AND NOT source" does not.
constexpr DWORD kDestinationAndNotSource = 0x00220326;

RECT MakeRect(int x, int y, int width, int height) { return {x, y, x + width, y + height}; }

// Selects a palette (SelectObject refuses palettes) and realises it; puts the previous one back
// and realises that at the end of the scope.
class ScopedSelectPalette {
public:
    ScopedSelectPalette(HDC dc, HPALETTE palette, bool background)
        : dc_(dc),
          previous_(dc && palette ? SelectPalette(dc, palette, background ? TRUE : FALSE)
                                  : nullptr),
          background_(background) {
        if (previous_) RealizePalette(dc_);
    }
    ~ScopedSelectPalette() {
        if (!previous_) return;
        SelectPalette(dc_, previous_, background_ ? TRUE : FALSE);
        RealizePalette(dc_);
    }
    ScopedSelectPalette(const ScopedSelectPalette&) = delete;
    ScopedSelectPalette& operator=(const ScopedSelectPalette&) = delete;

private:
    HDC dc_;
    HPALETTE previous_;
    bool background_;
};

// The display's bits per pixel, 0 until asked. Asking is a trip to the display settings under
// Wine (over 100 us, more than the bitmap itself), and the depth changes only with the display
// mode, so it is asked once per engine start.
std::atomic<int> displayBitsPerPixel{0};

int DisplayBitsPerPixel() {
    int bits = displayBitsPerPixel.load(std::memory_order_relaxed);
    if (bits == 0) {
        const ScopedWindowDC screen(nullptr, ScopedWindowDC::ClientArea);
        bits = GetDeviceCaps(screen.get(), BITSPIXEL) * GetDeviceCaps(screen.get(), PLANES);
        displayBitsPerPixel.store(bits, std::memory_order_relaxed);
    }
    return bits;
}

using TranslateColorFunction = HRESULT(WINAPI*)(OLE_COLOR, HPALETTE, COLORREF*);

// The OLE automation library is large to load; only a key that is a reference needs it.
TranslateColorFunction OleTranslateColorFunction() {
    static const TranslateColorFunction translate = [] {
        HMODULE library = LoadLibraryW(L"oleaut32.dll");
        return library ? reinterpret_cast<TranslateColorFunction>(
                             reinterpret_cast<void*>(GetProcAddress(library, "OleTranslateColor")))
                       : nullptr;
    }();
    return translate;
}

// The key as a plain colour: a system colour reference becomes that colour. A plain RGB value
// (high byte 0) is its own colour and is not looked up.
COLORREF TranslateKey(COLORREF key, HPALETTE palette) {
    if ((key & 0xFF000000) == 0) return key;
    COLORREF translated = key;
    if (TranslateColorFunction translate = OleTranslateColorFunction())
        translate(static_cast<OLE_COLOR>(key), palette, &translated);
    return translated & 0xFFFFFF;
}

}  // namespace

std::wstring GetWindowCaption(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, buffer.data(), length + 1);
    return std::wstring(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

int DrawCaption(HDC dc, const std::wstring& text, int x, int y, int width, int height,
                UINT format) {
    RECT rect = MakeRect(x, y, width, height);
    // The text is the caller's and stays as it is.
    return DrawTextW(dc, text.c_str(), -1, &rect, format & ~DT_MODIFYSTRING);
}

int FillSolid(HDC dc, int x, int y, int width, int height, COLORREF colour) {
    const ScopedBrush brush(CreateSolidBrush(colour));
    const RECT rect = MakeRect(x, y, width, height);
    return FillRect(dc, &rect, brush.get());
}

int FrameSolid(HDC dc, int x, int y, int width, int height, COLORREF colour) {
    const ScopedBrush brush(CreateSolidBrush(colour));
    const RECT rect = MakeRect(x, y, width, height);
    return FrameRect(dc, &rect, brush.get());
}

int DrawFocusFrame(HDC dc, int x, int y, int width, int height) {
    const RECT rect = MakeRect(x, y, width, height);
    return DrawFocusRect(dc, &rect);
}

int GetWindowBounds(HWND window, WindowBounds& bounds) {
    RECT rect{};
    const int ok = GetWindowRect(window, &rect);
    bounds = {rect.left,
              rect.top,
              rect.right,
              rect.bottom,
              rect.right - rect.left,
              rect.bottom - rect.top};
    return ok;
}

namespace {

// The bits per pixel of a bitmap that CreateCompatibleBitmap would make for the reference.
int ReferenceBitsPerPixel(HDC reference) {
    if (!reference) return DisplayBitsPerPixel();
    // A memory context's format is that of the bitmap selected into it.
    if (GetObjectType(reference) == OBJ_MEMDC) {
        BITMAP selected{};
        if (!GetObjectW(GetCurrentObject(reference, OBJ_BITMAP), sizeof selected, &selected))
            return 0;
        return selected.bmBitsPixel * selected.bmPlanes;
    }
    if (GetDeviceCaps(reference, TECHNOLOGY) == DT_RASDISPLAY) return DisplayBitsPerPixel();
    return GetDeviceCaps(reference, BITSPIXEL) * GetDeviceCaps(reference, PLANES);
}

}  // namespace

HBITMAP CreateSurfaceBitmap(HDC reference, int width, int height) {
    const int bitsPerPixel = ReferenceBitsPerPixel(reference);
    // Fewer bits per pixel quantise colours (and 8 go through a palette): there only a compatible
    // bitmap reads back what the display would show. Sizes of nothing or less keep the
    // platform's own answer too.
    if ((bitsPerPixel != 24 && bitsPerPixel != 32) || width <= 0 || height <= 0) {
        if (reference) return CreateCompatibleBitmap(reference, width, height);
        const ScopedWindowDC screen(nullptr, ScopedWindowDC::ClientArea);
        return CreateCompatibleBitmap(screen.get(), width, height);
    }

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down, rows in the order of a compatible bitmap
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    // The system allocates the pixels zeroed: black, like a new compatible bitmap. Colours in the
    // header need no context.
    return CreateDIBSection(reference, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

void ForgetDisplayFormat() { displayBitsPerPixel.store(0, std::memory_order_relaxed); }

HDC CreateMemorySurface(int width, int height) {
    // Both made for the display without a context of it: getting one costs more than the rest.
    ScopedCreatedDC surface(CreateCompatibleDC(nullptr));
    if (!surface.get()) return nullptr;
    ScopedBitmap bitmap(CreateSurfaceBitmap(nullptr, width, height));
    if (!bitmap.get()) return nullptr;
    // The surface keeps its bitmap selected for life; ReleaseMemorySurface frees both. The
    // displaced default bitmap is a stock object and needs no freeing.
    if (!SelectObject(surface.get(), bitmap.get())) return nullptr;
    bitmap.release();
    return surface.release();
}

void ReleaseMemorySurface(HDC surface) {
    if (!surface) return;
    // A bitmap cannot be deleted while it is selected: delete the context first.
    const HGDIOBJ bitmap = GetCurrentObject(surface, OBJ_BITMAP);
    DeleteDC(surface);
    if (bitmap) DeleteObject(bitmap);
}

int DrawNineSlice(HDC destination, int dx, int dy, int dw, int dh, HDC source, int sx, int sy,
                  int sw, int sh, int left, int top, int right, int bottom,
                  std::optional<COLORREF> key) {
    if (dw == 0 || dh == 0 || sw == 0 || sh == 0) return 0;
    // Drawn at its own size the image is its own nine slices: it goes straight to the
    // destination, without the surface in between.
    if (dw == sw && dh == sh && left >= 0 && top >= 0 && right >= 0 && bottom >= 0) {
        if (!key) return BitBlt(destination, dx, dy, dw, dh, source, sx, sy, SRCCOPY);
        DrawTransparent(destination, dx, dy, dw, dh, source, sx, sy, *key, nullptr);
        return 1;
    }
    const ScopedMemorySurface composed(dw, dh);
    const HDC t = composed.get();

    if (left <= 0 && top <= 0 && right <= 0 && bottom <= 0) {
        StretchBlt(t, 0, 0, dw, dh, source, sx + left, sy + top, sw - right, sh - bottom, SRCCOPY);
    } else {
        const int centreWidth = dw - left - right;
        const int centreHeight = dh - top - bottom;
        const int sourceCentreWidth = sw - left - right;
        const int sourceCentreHeight = sh - top - bottom;
        const int sourceRight = sx + sw - right;
        const int sourceBottom = sy + sh - bottom;

        // Corners keep their size: a corner needs both of its borders.
        if (left > 0 && top > 0) BitBlt(t, 0, 0, left, top, source, sx, sy, SRCCOPY);
        if (right > 0 && top > 0)
            BitBlt(t, dw - right, 0, right, top, source, sourceRight, sy, SRCCOPY);
        if (left > 0 && bottom > 0)
            BitBlt(t, 0, dh - bottom, left, bottom, source, sx, sourceBottom, SRCCOPY);
        if (right > 0 && bottom > 0)
            BitBlt(t, dw - right, dh - bottom, right, bottom, source, sourceRight, sourceBottom,
                   SRCCOPY);

        // Edges stretch along their length only.
        if (left > 0)
            StretchBlt(t, 0, top, left, centreHeight, source, sx, sy + top, left,
                       sourceCentreHeight, SRCCOPY);
        if (right > 0)
            StretchBlt(t, dw - right, top, right, centreHeight, source, sourceRight, sy + top,
                       right, sourceCentreHeight, SRCCOPY);
        if (top > 0)
            StretchBlt(t, left, 0, centreWidth, top, source, sx + left, sy, sourceCentreWidth, top,
                       SRCCOPY);
        if (bottom > 0)
            StretchBlt(t, left, dh - bottom, centreWidth, bottom, source, sx + left, sourceBottom,
                       sourceCentreWidth, bottom, SRCCOPY);

        StretchBlt(t, left, top, centreWidth, centreHeight, source, sx + left, sy + top,
                   sourceCentreWidth, sourceCentreHeight, SRCCOPY);
    }

    if (!key) return BitBlt(destination, dx, dy, dw, dh, t, 0, 0, SRCCOPY);
    DrawTransparent(destination, dx, dy, dw, dh, t, 0, 0, *key, nullptr);
    return 1;
}

namespace {

// The pixels of a 32-bit DIB section selected into a memory context that draws one to one (no
// clipping, no mapping), or nothing.
struct DibPixels {
    uint32_t* bits = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;  // in pixels, negative for a bottom-up section
    HBITMAP bitmap = nullptr;

    uint32_t* Row(int y) const { return bits + static_cast<ptrdiff_t>(y) * stride; }
};

// The section does not say which way its rows run (its header gives the height without sign):
// the first pixel in memory is the top-left one when changing it changes what the context shows
// there. It is put back at once.
bool RowsRunDown(HDC dc, uint32_t* first) {
    GdiFlush();
    const COLORREF before = GetPixel(dc, 0, 0);
    const uint32_t saved = *first;
    *first = saved ^ 0x00FFFFFF;
    const COLORREF after = GetPixel(dc, 0, 0);
    *first = saved;
    return after != before;
}

std::optional<DibPixels> PlainDibOf(HDC dc) {
    if (!dc || GetObjectType(dc) != OBJ_MEMDC) return std::nullopt;
    const HBITMAP bitmap = static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP));
    DIBSECTION section{};
    if (!bitmap || GetObjectW(bitmap, sizeof section, &section) != static_cast<int>(sizeof section))
        return std::nullopt;
    const BITMAPINFOHEADER& header = section.dsBmih;
    if (!section.dsBm.bmBits || header.biBitCount != 32 || header.biCompression != BI_RGB)
        return std::nullopt;
    POINT viewport{}, origin{};
    GetViewportOrgEx(dc, &viewport);
    GetWindowOrgEx(dc, &origin);
    if (GetMapMode(dc) != MM_TEXT || GetGraphicsMode(dc) != GM_COMPATIBLE || viewport.x != 0 ||
        viewport.y != 0 || origin.x != 0 || origin.y != 0)
        return std::nullopt;
    DibPixels pixels;
    pixels.width = section.dsBm.bmWidth;
    pixels.height = section.dsBm.bmHeight;
    // Nothing may be clipped away: the clip box must be the whole bitmap, in one rectangle.
    RECT clip{};
    if (GetClipBox(dc, &clip) != SIMPLEREGION || clip.left != 0 || clip.top != 0 ||
        clip.right != pixels.width || clip.bottom != pixels.height)
        return std::nullopt;
    const int rowPixels = section.dsBm.bmWidthBytes / 4;
    uint32_t* first = static_cast<uint32_t*>(section.dsBm.bmBits);
    if (RowsRunDown(dc, first)) {
        pixels.bits = first;
        pixels.stride = rowPixels;
    } else {
        pixels.bits = first + static_cast<ptrdiff_t>(pixels.height - 1) * rowPixels;
        pixels.stride = -rowPixels;
    }
    pixels.bitmap = bitmap;
    return pixels;
}

bool Inside(const DibPixels& pixels, int x, int y, int width, int height) {
    return x >= 0 && y >= 0 && width <= pixels.width - x && height <= pixels.height - y;
}

// A 32-bit DIB pixel holds blue in its low byte; a colour reference holds red there.
uint32_t DibPixelOf(COLORREF colour) {
    return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

// Between two of the engine's own surfaces, the masked copy below comes to this loop over memory:
// every source pixel that is not the key replaces the destination's. Anything else (a window's
// context, other formats, clipping or mapping, a rectangle reaching outside a bitmap, one bitmap
// on both sides) takes the masked copy.
bool CopyKeyedPixels(HDC destination, int dx, int dy, int width, int height, HDC source, int sx,
                     int sy, COLORREF key) {
    if (width <= 0 || height <= 0 || (key & 0xFF000000) != 0) return false;
    const std::optional<DibPixels> to = PlainDibOf(destination);
    if (!to || !Inside(*to, dx, dy, width, height)) return false;
    const std::optional<DibPixels> from = PlainDibOf(source);
    if (!from || from->bitmap == to->bitmap || !Inside(*from, sx, sy, width, height)) return false;

    GdiFlush();  // drawing the platform may still hold back lands in the bits first
    const uint32_t keyPixel = DibPixelOf(key);
    for (int row = 0; row < height; ++row) {
        const uint32_t* in = from->Row(sy + row) + sx;
        uint32_t* out = to->Row(dy + row) + dx;
        for (int column = 0; column < width; ++column) {
            if ((in[column] & 0x00FFFFFF) != keyPixel) out[column] = in[column];
        }
    }
    return true;
}

}  // namespace

void DrawTransparent(HDC destination, int dx, int dy, int width, int height, HDC source, int sx,
                     int sy, COLORREF key, HPALETTE palette) {
    if (CopyKeyedPixels(destination, dx, dy, width, height, source, sx, sy, key)) return;
    const ScopedWindowDC display(nullptr, ScopedWindowDC::ClientArea);
    const ScopedPalette halftone(palette ? nullptr : CreateHalftonePalette(display.get()));
    const HPALETTE usedPalette = palette ? palette : halftone.get();
    const COLORREF plainKey = TranslateKey(key, usedPalette);

    // W: the destination's background.
    const ScopedCreatedDC work(CreateCompatibleDC(display.get()));
    const ScopedBitmap workBitmap(CreateSurfaceBitmap(display.get(), width, height));
    const ScopedSelectObject workSelect(work.get(), workBitmap.get());
    const ScopedSelectPalette workPalette(work.get(), usedPalette, true);
    BitBlt(work.get(), 0, 0, width, height, destination, dx, dy, SRCCOPY);

    // I: the source image, with the source's colours for any monochrome conversion.
    const ScopedCreatedDC image(CreateCompatibleDC(display.get()));
    const ScopedBitmap imageBitmap(CreateSurfaceBitmap(display.get(), width, height));
    const ScopedSelectObject imageSelect(image.get(), imageBitmap.get());
    const ScopedSelectPalette imagePalette(image.get(), usedPalette, true);
    SetBkColor(image.get(), GetBkColor(source));
    SetTextColor(image.get(), GetTextColor(source));
    BitBlt(image.get(), 0, 0, width, height, source, sx, sy, SRCCOPY);

    // M: one bit per pixel, 1 where the image shows the key.
    const ScopedCreatedDC mask(CreateCompatibleDC(display.get()));
    const ScopedBitmap maskBitmap(CreateBitmap(width, height, 1, 1, nullptr));
    const ScopedSelectObject maskSelect(mask.get(), maskBitmap.get());
    SetBkColor(image.get(), plainKey);
    SetTextColor(image.get(), 0xFFFFFF);
    BitBlt(mask.get(), 0, 0, width, height, image.get(), 0, 0, SRCCOPY);

    // Black out the key pixels of the image, punch the image's shape out of the background,
    // then OR the two together.
    SetTextColor(image.get(), 0x000000);
    SetBkColor(image.get(), 0xFFFFFF);
    BitBlt(image.get(), 0, 0, width, height, mask.get(), 0, 0, kDestinationAndNotSource);
    BitBlt(work.get(), 0, 0, width, height, mask.get(), 0, 0, SRCAND);
    BitBlt(work.get(), 0, 0, width, height, image.get(), 0, 0, SRCPAINT);

    BitBlt(destination, dx, dy, width, height, work.get(), 0, 0, SRCCOPY);
}

}  // namespace skin
