// Small helpers shared by the test programs: windows to skin, messages, pixels, properties.
#pragma once

#include <windows.h>

#include "message_pump.h"
#include "window_names.h"

namespace testing_support {

// A visible top-level window of the given class (a plain form by default), destroyed at scope end.
class TestWindow {
public:
    TestWindow(int width, int height, const wchar_t* className = nullptr, DWORD style = WS_POPUP,
               int x = 100, int y = 100);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND get() const { return window_; }
    HWND release();

private:
    HWND window_;
};

// A window class of the test's own, with the arrow cursor and the given background (a system
// colour's brush, COLOR_WINDOW + 1 say, or none): registered by the first call, there for the rest
// of the program. False when it could not be registered.
bool RegisterOwnClass(const wchar_t* name, WNDPROC procedure, HBRUSH background = nullptr);

// A pixel of the window as it is on screen (whole-window coordinates), and of a context.
COLORREF WindowPixel(HWND window, int x, int y);
COLORREF DCPixel(HDC dc, int x, int y);

// The box of the window's region (window coordinates), or an empty one when it has none.
RECT RegionBox(HWND window);

}  // namespace testing_support
