// The drawing primitives through which every renderer reaches GDI.
#pragma once

#include <windows.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

namespace skin {

// A window's screen rectangle (right and bottom exclusive) with its size.
struct WindowBounds {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    int32_t Width = 0;
    int32_t Height = 0;
};

// One line, centred both ways, cut with an ellipsis: the format of every skinned caption.
inline constexpr UINT CaptionFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;

// The skin's colours shared by more than one control.
inline constexpr COLORREF kSkinWhite = 0xFFFFFF;
inline constexpr COLORREF kSkinBorder = 0xD5A554;
inline constexpr COLORREF kSkinDisabledBorder = 0xE9CFA4;
inline constexpr COLORREF kSkinDisabledCaption = 0x968A79;

// The skin's transparent key colour.
inline constexpr COLORREF kKeyMagenta = 0xFF00FF;

// To the nearest integer, halves to the even neighbour (2.5 gives 2, 3.5 gives 4): how every
// fractional position or size of the skin becomes a pixel.
inline int RoundHalfEven(double value) { return static_cast<int>(std::lrint(value)); }

std::wstring GetWindowCaption(HWND window);
int DrawCaption(HDC dc, const std::wstring& text, int x, int y, int width, int height, UINT format);
int FillSolid(HDC dc, int x, int y, int width, int height, COLORREF colour);
int FrameSolid(HDC dc, int x, int y, int width, int height, COLORREF colour);
int DrawFocusFrame(HDC dc, int x, int y, int width, int height);
int GetWindowBounds(HWND window, WindowBounds& bounds);

// A width x height bitmap (black until drawn) in the colour format of the reference context (0:
// the display), or 0.
// On true-colour displays it is a 32-bit DIB section: the same pixels as a compatible bitmap, at
// a fraction of its cost under Wine. Every off-screen bitmap of the skin is made here.
HBITMAP CreateSurfaceBitmap(HDC reference, int width, int height);

// The display's format is asked once and kept: after this, the next surface asks again. For
// each engine start and for a change of the display mode (WM_DISPLAYCHANGE).
void ForgetDisplayFormat();

// An off-screen context compatible with the display holding a width x height bitmap of its own
// (black until drawn), or 0. Free it with ReleaseMemorySurface, which frees the bitmap too.
HDC CreateMemorySurface(int width, int height);
void ReleaseMemorySurface(HDC surface);

// Draws the source rectangle stretched into the destination rectangle, keeping the corners and
// stretching the edges one way and the centre both ways. With a key, key-coloured pixels leave the
// destination as it was. Returns 0 when a size is 0 (nothing drawn).
int DrawNineSlice(HDC destination, int dx, int dy, int dw, int dh, HDC source, int sx, int sy,
                  int sw, int sh, int left, int top, int right, int bottom,
                  std::optional<COLORREF> key = std::nullopt);

// Copies a width x height block, leaving the destination where the source shows the key colour.
// With palette 0 a halftone palette is made for the call.
void DrawTransparent(HDC destination, int dx, int dy, int width, int height, HDC source, int sx,
                     int sy, COLORREF key, HPALETTE palette);

// Owns a memory surface for one scope.
class ScopedMemorySurface {
public:
    ScopedMemorySurface(int width, int height) : dc_(CreateMemorySurface(width, height)) {}
    ~ScopedMemorySurface() { ReleaseMemorySurface(dc_); }
    ScopedMemorySurface(const ScopedMemorySurface&) = delete;
    ScopedMemorySurface& operator=(const ScopedMemorySurface&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

}  // namespace skin
