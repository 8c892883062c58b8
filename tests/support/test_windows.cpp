#include "support/test_windows.h"

#include <algorithm>
#include <cstring>

#include "control_classes.h"

namespace testing_support {

namespace {

const char* const kSkinPropertyNames[] = {
    "0BMP", "0HDC", "1BMP", "1HDC", "2BMP", "2HDC", "3BMP", "3HDC", "ALPHALEVEL", "HDINDEX",
    "HMINDEX", "MOUSEFLAG", "OLDSTATE", "OLDSTYLE", "PROCADDR", "TIMERID",
};

BOOL CALLBACK CollectProperty(HWND, LPSTR name, HANDLE, ULONG_PTR names) {
    // Properties set by atom have no string name.
    if (reinterpret_cast<ULONG_PTR>(name) <= 0xFFFF) return TRUE;
    for (const char* known : kSkinPropertyNames) {
        if (std::strcmp(known, name) == 0) {
            reinterpret_cast<std::vector<std::string>*>(names)->push_back(name);
            break;
        }
    }
    return TRUE;
}

}  // namespace

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

void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

COLORREF WindowPixel(HWND window, int x, int y) {
    HDC dc = GetWindowDC(window);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

COLORREF DCPixel(HDC dc, int x, int y) { return GetPixel(dc, x, y); }

std::vector<std::string> SkinPropertyNames(HWND window) {
    std::vector<std::string> names;
    EnumPropsExA(window, CollectProperty, reinterpret_cast<LPARAM>(&names));
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace testing_support
