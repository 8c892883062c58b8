#include "paint/paint_fixture.h"

#include "core/props.h"

namespace paint_tests {

void CoverWindow(HWND window, COLORREF colour) {
    RECT bounds{};
    GetWindowRect(window, &bounds);
    HDC dc = GetWindowDC(window);
    HBRUSH brush = CreateSolidBrush(colour);
    const RECT all{0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    ReleaseDC(window, dc);
}

void RepaintClient(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void RepaintFrame(HWND window) { SendMessageW(window, WM_NCPAINT, 1, 0); }

int Prop(HWND window, const char* name) { return static_cast<int>(skin::GetSkinProp(window, name)); }

}  // namespace paint_tests
