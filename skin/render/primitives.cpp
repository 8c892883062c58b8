// Placeholder until the drawing primitives land.
#include "render/primitives.h"

namespace skin {

std::wstring GetWindowCaption(HWND) { return {}; }
int DrawCaption(HDC, const std::wstring&, int, int, int, int, UINT) { return 0; }
int FillSolid(HDC, int, int, int, int, COLORREF) { return 0; }
int FrameSolid(HDC, int, int, int, int, COLORREF) { return 0; }
int DrawFocusFrame(HDC, int, int, int, int) { return 0; }
int GetWindowBounds(HWND window, WindowBounds& bounds) {
    RECT rect{};
    const int ok = GetWindowRect(window, &rect);
    bounds = {rect.left, rect.top, rect.right, rect.bottom, rect.right - rect.left,
              rect.bottom - rect.top};
    return ok;
}
HDC CreateMemorySurface(int, int) { return nullptr; }
void ReleaseMemorySurface(HDC) {}
int DrawNineSlice(HDC, int, int, int, int, HDC, int, int, int, int, int, int, int, int,
                  std::optional<COLORREF>) {
    return 0;
}
void DrawTransparent(HDC, int, int, int, int, HDC, int, int, COLORREF, HPALETTE) {}

}  // namespace skin
