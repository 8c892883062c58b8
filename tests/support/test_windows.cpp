#include "support/test_windows.h"

#include "control_classes.h"

namespace testing_support {

TestWindow::TestWindow(int width, int height, const wchar_t* className, DWORD style, int x, int y) {
    controls::RegisterControlClasses();
    window_ = CreateWindowExW(0, className ? className : controls::kFormClass, L"Test",
                              style | WS_VISIBLE, x, y, width, height, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    PumpMessages();
}

TestWindow::~TestWindow() {
    if (window_ && IsWindow(window_)) DestroyWindow(window_);
    PumpMessages();
}

HWND TestWindow::release() {
    HWND window = window_;
    window_ = nullptr;
    return window;
}

bool RegisterOwnClass(const wchar_t* name, WNDPROC procedure, HBRUSH background) {
    WNDCLASSW own{};
    own.lpfnWndProc = procedure;
    own.hInstance = GetModuleHandleW(nullptr);
    own.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    own.hbrBackground = background;
    own.lpszClassName = name;
    return RegisterClassW(&own) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

COLORREF WindowPixel(HWND window, int x, int y) {
    HDC dc = GetWindowDC(window);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

COLORREF DCPixel(HDC dc, int x, int y) { return GetPixel(dc, x, y); }

RECT RegionBox(HWND window) {
    RECT box{};
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(window, region) != ERROR) GetRgnBox(region, &box);
    DeleteObject(region);
    return box;
}

}  // namespace testing_support
