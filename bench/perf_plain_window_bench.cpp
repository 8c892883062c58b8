// A plain Win32 window the size of Dorrik's main window (264 x 79 client, the same styles,
// centred), for start-up comparisons: it shows itself, paints and exits right after its first
// paint. With "--wait" it stays until it is closed, so that a measuring program sees it painted
// and closes it itself, as it does Dorrik.
#include <windows.h>

#include <cwchar>

namespace {

constexpr wchar_t kClassName[] = L"PerfPlainWindow";
bool exitAfterFirstPaint = true;

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(window, &ps);
        EndPaint(window, &ps);
        if (exitAfterFirstPaint) PostMessageW(window, WM_CLOSE, 0, 0);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int main() {
    exitAfterFirstPaint = std::wcsstr(GetCommandLineW(), L"--wait") == nullptr;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = PlainWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    if (!RegisterClassExW(&wc)) return 1;

    constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT rect = {0, 0, 264, 79};
    AdjustWindowRectEx(&rect, kStyle, FALSE, 0);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    HWND window = CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, L"Plain", kStyle,
                                  work.left + (work.right - work.left - width) / 2,
                                  work.top + (work.bottom - work.top - height) / 2, width, height,
                                  nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    ShowWindow(window, SW_SHOWDEFAULT);
    UpdateWindow(window);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
