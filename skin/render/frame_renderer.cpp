// The frame in the skin's look: a flat band of the border colour round the window, darker on its
// outer edge, the caption on the same band, and caption buttons that show only their symbol until
// the pointer is over them.
#include "render/frame_renderer.h"

#include <algorithm>

#include "render/primitives.h"
#include "render/scoped_gdi.h"

namespace skin {

namespace {

constexpr COLORREF kPressedFrame = 0xC48639;

struct FrameColours {
    COLORREF band;
    COLORREF edge;
    COLORREF title;
    COLORREF disabledSymbol;
};

// The inactive look is the active one faded: the pale border colour, the title in the disabled
// caption colour.
constexpr FrameColours kActiveColours{kSkinBorder, kPressedFrame, kSkinWhite, kSkinDisabledBorder};
constexpr FrameColours kInactiveColours{kSkinDisabledBorder, kSkinBorder, kSkinDisabledCaption,
                                        kSkinWhite};

const FrameColours& ColoursOf(const FrameLook& look) {
    return look.active ? kActiveColours : kInactiveColours;
}

// Fills with one brush for many small rectangles (a symbol is drawn row by row).
class SolidPainter {
public:
    SolidPainter(HDC dc, COLORREF colour) : dc_(dc), brush_(CreateSolidBrush(colour)) {}
    void Fill(int x, int y, int width, int height) const {
        const RECT rect{x, y, x + width, y + height};
        FillRect(dc_, &rect, brush_.get());
    }

private:
    HDC dc_;
    ScopedBrush brush_;
};

// Symbols in a box of side s at x, y; strokes are one pixel, two for the heavy parts, as the
// platform's own caption symbols are.
void DrawCloseSymbol(const SolidPainter& paint, int x, int y, int s) {
    for (int i = 0; i < s; ++i) {
        const int stroke = i + 1 < s ? 2 : 1;
        paint.Fill(x + i, y + i, stroke, 1);
        paint.Fill(x + s - i - stroke, y + i, stroke, 1);
    }
}

void DrawBoxSymbol(const SolidPainter& paint, int x, int y, int width, int height) {
    paint.Fill(x, y, width, 2);
    paint.Fill(x, y + height - 1, width, 1);
    paint.Fill(x, y, 1, height);
    paint.Fill(x + width - 1, y, 1, height);
}

void DrawRestoreSymbol(const SolidPainter& paint, int x, int y, int s) {
    const int box = std::max(3, s * 2 / 3 + 1);
    const int shift = s - box;
    // The back window shows only its top and right edges beside the front one.
    paint.Fill(x + shift, y, box, 2);
    paint.Fill(x + s - 1, y, 1, box);
    paint.Fill(x + box, y + box - 1, s - box, 1);
    DrawBoxSymbol(paint, x, y + shift, box, box);
}

void DrawSymbol(HDC dc, const CaptionButtonFace& button, int side, COLORREF colour, HFONT font) {
    const int width = button.rect.right - button.rect.left;
    const int height = button.rect.bottom - button.rect.top;
    const int s = std::clamp(side, 3, std::max(3, std::min(width, height) - 4));
    const int x = button.rect.left + (width - s) / 2;
    const int y = button.rect.top + (height - s) / 2;
    const SolidPainter paint(dc, colour);
    switch (button.kind) {
    case CaptionButton::Close:
        DrawCloseSymbol(paint, x, y, s);
        break;
    case CaptionButton::Maximize:
        DrawBoxSymbol(paint, x, y, s, s);
        break;
    case CaptionButton::Restore:
        DrawRestoreSymbol(paint, x, y, s);
        break;
    case CaptionButton::Minimize:
        paint.Fill(x, y + s - 2, s * 2 / 3 + 1, 2);
        break;
    case CaptionButton::Help: {
        const ScopedSelectObject selectFont(dc, font);
        SetTextColor(dc, colour);
        DrawCaption(dc, L"?", button.rect.left, button.rect.top, width, height, CaptionFormat);
        break;
    }
    }
}

void DrawButton(HDC dc, const CaptionButtonFace& button, const FrameLook& look) {
    const FrameColours& colours = ColoursOf(look);
    const int x = button.rect.left + 1, y = button.rect.top + 1;
    const int width = button.rect.right - button.rect.left - 2;
    const int height = button.rect.bottom - button.rect.top - 2;
    COLORREF symbol = colours.title;
    switch (button.state) {
    case 1:  // Hot
        FillSolid(dc, x, y, width, height, kSkinWhite);
        FrameSolid(dc, x, y, width, height, colours.edge);
        symbol = kPressedFrame;
        break;
    case 2:  // Pressed
        FillSolid(dc, x, y, width, height, kPressedFrame);
        symbol = kSkinWhite;
        break;
    case 3:  // Disabled
        symbol = colours.disabledSymbol;
        break;
    default:
        break;
    }
    DrawSymbol(dc, button, look.glyphSize, symbol, look.font);
}

// The band holds the top border and the caption, drawn at the band's origin (the window's).
void ComposeCaptionBand(HDC dc, const FrameLook& look, int bandHeight) {
    const FrameColours& colours = ColoursOf(look);
    SetBkMode(dc, TRANSPARENT);
    FillSolid(dc, 0, 0, look.window.cx, bandHeight, colours.band);
    FillSolid(dc, 0, 0, look.window.cx, 1, colours.edge);
    FillSolid(dc, 0, 0, 1, bandHeight, colours.edge);
    FillSolid(dc, look.window.cx - 1, 0, 1, bandHeight, colours.edge);

    int titleLeft = look.caption.left + 2;
    if (look.icon) {
        const RECT& r = look.iconRect;
        DrawIconEx(dc, r.left, r.top, look.icon, r.right - r.left, r.bottom - r.top, 0, nullptr,
                   DI_NORMAL);
        titleLeft = r.right + 2;
    }
    int titleRight = look.caption.right - 2;
    for (int i = 0; i < look.buttonCount; ++i) {
        DrawButton(dc, look.buttons[i], look);
        titleRight = std::min(titleRight, static_cast<int>(look.buttons[i].rect.left) - 2);
    }
    if (!look.title.empty() && titleRight > titleLeft) {
        const ScopedSelectObject selectFont(dc, look.font);
        SetTextColor(dc, colours.title);
        RECT text{titleLeft, look.caption.top, titleRight, look.caption.bottom};
        DrawTextW(dc, look.title.c_str(), -1, &text,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
}

}  // namespace

void DrawCaptionBand(HDC dc, const FrameLook& look) {
    const int bandHeight = std::min(static_cast<int>(look.inner.top), static_cast<int>(look.window.cy));
    if (look.window.cx <= 0 || bandHeight <= 0) return;
    ScopedMemorySurface surface(look.window.cx, bandHeight);
    if (!surface.get()) return;
    ComposeCaptionBand(surface.get(), look, bandHeight);
    BitBlt(dc, 0, 0, look.window.cx, bandHeight, surface.get(), 0, 0, SRCCOPY);
}

void DrawWindowFrame(HDC dc, const FrameLook& look) {
    DrawCaptionBand(dc, look);
    // Below the caption the ring is plain colour: drawn straight onto the window.
    const FrameColours& colours = ColoursOf(look);
    const int top = look.inner.top;
    const int w = look.window.cx, h = look.window.cy;
    const int below = h - top;
    if (below <= 0) return;
    const SolidPainter band(dc, colours.band);
    band.Fill(1, top, look.inner.left - 1, below - 1);
    band.Fill(look.inner.right, top, w - 1 - look.inner.right, below - 1);
    band.Fill(look.inner.left, look.inner.bottom, look.inner.right - look.inner.left,
              h - 1 - look.inner.bottom);
    const SolidPainter edge(dc, colours.edge);
    edge.Fill(0, top, 1, below);
    edge.Fill(w - 1, top, 1, below);
    edge.Fill(0, h - 1, w, 1);
}

}  // namespace skin
