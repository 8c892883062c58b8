// Captions and frames under DORRIK_SKIN_FRAME, on real top-level windows: the pixels, the caption
// buttons against the platform's hit-testing, detach, and the compositor's switch.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

#include "core/frame.h"
#include "dorrik_skin.h"
#include "support/test_windows.h"

using testing_support::PumpMessages;

namespace {

constexpr COLORREF kBorder = 0xD5A554;
constexpr COLORREF kPaleBorder = 0xE9CFA4;
constexpr COLORREF kPressed = 0xC48639;
constexpr COLORREF kClient = 0x00FF00;

int PlatformPixelsInFrame(HWND window);

// What the window's procedure saw of the system commands, and a client that paints one colour.
// While watched, the frame is read right after the platform's own handling of the messages that
// draw the caption outside the frame paint: before the skin draws anything.
std::vector<WPARAM> systemCommands;
std::vector<UINT> themedDraws;
bool watchPlatformCaption = false;
int platformCaptionPixels = 0;

LRESULT CALLBACK CaptionedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (watchPlatformCaption &&
        (message == WM_SETTEXT || message == WM_SETICON || message == WM_NCACTIVATE)) {
        const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
        platformCaptionPixels += PlatformPixelsInFrame(window);
        return result;
    }
    if (message == 0x00AE || message == 0x00AF) themedDraws.push_back(message);
    if (message == WM_SYSCOMMAND) {
        systemCommands.push_back(wParam & 0xFFF0);
        return 0;  // nothing closes or moves under the test
    }
    if (message == WM_ERASEBKGND) {
        RECT client{};
        GetClientRect(window, &client);
        HBRUSH brush = CreateSolidBrush(kClient);
        FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
        DeleteObject(brush);
        return 1;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

const wchar_t* CaptionedClass() {
    static const wchar_t* name = [] {
        WNDCLASSW cls{};
        cls.lpfnWndProc = CaptionedProc;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        cls.lpszClassName = L"DorrikFrameTest";
        RegisterClassW(&cls);
        return L"DorrikFrameTest";
    }();
    return name;
}

// Every pixel of the whole window, row by row, read in one copy.
struct WindowPicture {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;
    COLORREF at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

WindowPicture Picture(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    WindowPicture picture;
    picture.width = rect.right - rect.left;
    picture.height = rect.bottom - rect.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC windowDC = GetWindowDC(window);
    HDC memory = CreateCompatibleDC(windowDC);
    HBITMAP bitmap = CreateDIBSection(windowDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, picture.width, picture.height, windowDC, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* raw = static_cast<const DWORD*>(bits);
    for (int i = 0; i < picture.width * picture.height; ++i) {
        const DWORD p = raw[i];  // 0x00RRGGBB
        picture.pixels.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, windowDC);
    return picture;
}

// The non-client ring and caption in window coordinates: the client rectangle's edges.
RECT ClientInWindow(HWND window) {
    RECT client{}, rect{};
    GetClientRect(window, &client);
    GetWindowRect(window, &rect);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    OffsetRect(&client, -rect.left, -rect.top);
    return client;
}

std::set<COLORREF> PlatformFrameColours() {
    std::set<COLORREF> colours;
    for (int index : {COLOR_ACTIVECAPTION, COLOR_GRADIENTACTIVECAPTION, COLOR_INACTIVECAPTION,
                      COLOR_GRADIENTINACTIVECAPTION, COLOR_ACTIVEBORDER, COLOR_INACTIVEBORDER,
                      COLOR_BTNFACE, COLOR_3DSHADOW, COLOR_3DDKSHADOW})
        colours.insert(GetSysColor(index));
    // White is the skin's too (its title and symbols); the platform's borders are white on Wine.
    colours.erase(0xFFFFFF);
    return colours;
}

// Counts the frame's pixels (everything outside the client area) of the platform's colours.
int PlatformPixelsInFrame(HWND window) {
    const WindowPicture picture = Picture(window);
    const RECT client = ClientInWindow(window);
    const std::set<COLORREF> platform = PlatformFrameColours();
    int count = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const bool inside = x >= client.left && x < client.right && y >= client.top && y < client.bottom;
            if (!inside && platform.count(picture.at(x, y))) ++count;
        }
    }
    return count;
}

class CaptionedWindow {
public:
    explicit CaptionedWindow(DWORD style = WS_OVERLAPPEDWINDOW, DWORD exStyle = 0)
        : window_(CreateWindowExW(exStyle, CaptionedClass(), L"Frame", style | WS_VISIBLE, 60, 60,
                                  320, 220, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr)) {
        SetCursorPos(1000, 740);
        PumpMessages();
        systemCommands.clear();
    }
    ~CaptionedWindow() {
        DetachSkin(window_);
        DestroyWindow(window_);
        PumpMessages();
    }
    CaptionedWindow(const CaptionedWindow&) = delete;
    CaptionedWindow& operator=(const CaptionedWindow&) = delete;
    HWND get() const { return window_; }
    void Attach(DWORD options = DORRIK_SKIN_FRAME) {
        ASSERT_EQ(1, AttachSkinEx(window_, options));
        PumpMessages();
    }

private:
    HWND window_;
};

// A row through the caption's middle, and a pixel of it left of the buttons but right of the
// title "Frame" (or of a short one).
int CaptionRow(HWND window) {
    return (GetSystemMetrics(SM_CYFRAME) + ClientInWindow(window).top) / 2;
}

TEST(FrameTest, CaptionAndRingShowTheSkinThroughTitlesIconsAndActivations) {
    CaptionedWindow window;
    window.Attach();
    HWND w = window.get();
    SendMessageW(w, WM_NCACTIVATE, TRUE, 0);
    EXPECT_EQ(0, PlatformPixelsInFrame(w));

    const RECT client = ClientInWindow(w);
    const int row = CaptionRow(w);
    HICON icon = LoadIconW(nullptr, IDI_QUESTION);
    for (int i = 0; i < 100; ++i) {
        watchPlatformCaption = i % 5 == 0;
        SetWindowTextW(w, i % 2 ? L"一个很长的标题 with a longer title" : L"F");
        if (i % 10 == 0) SendMessageW(w, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(i % 20 ? icon : nullptr));
        SendMessageW(w, WM_NCACTIVATE, i % 2 == 0, 0);
        if (i % 25 == 0 || i == 99) {
            SCOPED_TRACE(i);
            const WindowPicture picture = Picture(w);
            // Odd turns are inactive: the pale band; even ones the border colour.
            const COLORREF band = i % 2 ? kPaleBorder : kBorder;
            EXPECT_EQ(band, picture.at(picture.width / 2 + (i % 2 ? 60 : 0), row));
            EXPECT_EQ(band, picture.at(2, client.top + 10)) << "left side of the ring";
            EXPECT_EQ(band, picture.at(picture.width / 2, picture.height - 2)) << "bottom of the ring";
            EXPECT_EQ(i % 2 ? kBorder : kPressed, picture.at(0, client.top + 10)) << "outer edge";
            EXPECT_EQ(kClient, picture.at(client.left + 5, client.top + 5)) << "client untouched";
            EXPECT_EQ(0, PlatformPixelsInFrame(w));
        }
    }
    watchPlatformCaption = false;
    EXPECT_EQ(0, platformCaptionPixels) << "the platform drew its caption in between";
    // Windows' themed caption and frame draws never reach the window's own procedure either.
    themedDraws.clear();
    SendMessageW(w, 0x00AE, 0, 0);
    SendMessageW(w, 0x00AF, 0, 0);
    EXPECT_TRUE(themedDraws.empty());
    EXPECT_EQ(0, PlatformPixelsInFrame(w));
    // Real activation: another window takes it, then this one gets it back.
    {
        CaptionedWindow other;
        other.Attach();
        SetForegroundWindow(other.get());
        PumpMessages();
        EXPECT_EQ(kPaleBorder, Picture(w).at(2, client.top + 10)) << "active after losing the activation";
        EXPECT_EQ(kBorder, Picture(other.get()).at(2, client.top + 10)) << "the new active window";
        SetForegroundWindow(w);
        PumpMessages();
        EXPECT_EQ(kBorder, Picture(w).at(2, client.top + 10)) << "inactive after getting it back";
    }
    // The title and icon changes kept the window as it was.
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_EQ(static_cast<LONG>(WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPSIBLINGS),
              GetWindowLongW(w, GWL_STYLE) & ~WS_CLIPCHILDREN);

    // A frame repaint through the platform's own path (an update region) stays skinned too.
    RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(0, PlatformPixelsInFrame(w));
    // So do dialogs, tool windows and windows that cannot be maximised.
    for (const auto& [style, exStyle] : {std::pair<DWORD, DWORD>{WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME},
                                         {WS_OVERLAPPEDWINDOW, WS_EX_TOOLWINDOW},
                                         {WS_OVERLAPPEDWINDOW & ~WS_MAXIMIZEBOX, 0}}) {
        CaptionedWindow other(style, exStyle);
        other.Attach(DORRIK_SKIN_ALL);
        SCOPED_TRACE(exStyle);
        EXPECT_EQ(0, PlatformPixelsInFrame(other.get()));
    }
}

HWND mdiClient = nullptr;

LRESULT CALLBACK MdiFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefFrameProcW(window, mdiClient, message, wParam, lParam);
}

TEST(FrameTest, MdiChildrenGetTheSkinsFrameInsideTheirFrameWindow) {
    WNDCLASSW frameClass{};
    frameClass.lpfnWndProc = MdiFrameProc;
    frameClass.hInstance = GetModuleHandleW(nullptr);
    frameClass.lpszClassName = L"DorrikFrameTestMdi";
    RegisterClassW(&frameClass);
    WNDCLASSW childClass{};
    childClass.lpfnWndProc = DefMDIChildProcW;
    childClass.hInstance = GetModuleHandleW(nullptr);
    childClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    childClass.lpszClassName = L"DorrikFrameTestMdiChild";
    RegisterClassW(&childClass);

    HWND frame = CreateWindowExW(0, frameClass.lpszClassName, L"MDI", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                 40, 40, 500, 400, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    CLIENTCREATESTRUCT create{nullptr, 1000};
    mdiClient = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                0, 0, 480, 340, frame, nullptr, GetModuleHandleW(nullptr), &create);
    HWND child = CreateMDIWindowW(childClass.lpszClassName, L"Child", WS_VISIBLE | WS_OVERLAPPEDWINDOW,
                                  10, 10, 250, 180, mdiClient, GetModuleHandleW(nullptr), 0);
    PumpMessages();
    ASSERT_EQ(1, AttachSkinEx(frame, DORRIK_SKIN_FRAME));
    PumpMessages();
    SendMessageW(child, WM_NCPAINT, 1, 0);
    const COLORREF side = Picture(child).at(2, ClientInWindow(child).top + 5);
    EXPECT_TRUE(side == kBorder || side == kPaleBorder) << std::hex << side;
    EXPECT_EQ(0, PlatformPixelsInFrame(child));
    EXPECT_EQ(0, PlatformPixelsInFrame(frame));
    // Maximised, the child's caption is the platform's business (it has none of its own).
    SendMessageW(mdiClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child), 0);
    PumpMessages();
    EXPECT_EQ(0, PlatformPixelsInFrame(frame));
    DetachSkin(frame);
    DestroyWindow(frame);
    PumpMessages();
}

// The bounding box of the pressed face's colour in the caption.
RECT PressedBox(HWND window) {
    const WindowPicture picture = Picture(window);
    const RECT client = ClientInWindow(window);
    RECT box{picture.width, picture.height, -1, -1};
    // Inside the outer edge, which is of the same colour on an active window.
    for (int y = 1; y < client.top; ++y) {
        for (int x = 1; x < picture.width - 1; ++x) {
            if (picture.at(x, y) != kPressed) continue;
            box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
                   std::max<LONG>(box.right, x + 1), std::max<LONG>(box.bottom, y + 1)};
        }
    }
    return box;
}

POINT ClientPoint(HWND window, POINT screen) {
    ScreenToClient(window, &screen);
    return screen;
}

LPARAM ClientLParam(HWND window, POINT screen) {
    const POINT point = ClientPoint(window, screen);
    return MAKELPARAM(point.x, point.y);
}

TEST(FrameTest, CaptionButtonsSitWhereThePlatformHitTestsThemAndSendItsCommands) {
    CaptionedWindow window;
    HWND w = window.get();
    RECT rect{};
    GetWindowRect(w, &rect);
    // The same answers over a grid of the window and round it, with and without the skin.
    std::vector<LRESULT> before, after;
    auto sample = [&](std::vector<LRESULT>& answers) {
        for (int y = rect.top - 4; y < rect.bottom + 4; y += 3)
            for (int x = rect.left - 4; x < rect.right + 4; x += 3)
                answers.push_back(SendMessageW(w, WM_NCHITTEST, 0, MAKELPARAM(x, y)));
    };
    sample(before);
    window.Attach();
    sample(after);
    EXPECT_EQ(before, after);

    for (const auto& [hit, command] : {std::pair<int, WPARAM>{HTCLOSE, SC_CLOSE},
                                       {HTMAXBUTTON, SC_MAXIMIZE},
                                       {HTMINBUTTON, SC_MINIMIZE}}) {
        SCOPED_TRACE(hit);
        systemCommands.clear();
        SendMessageW(w, WM_NCLBUTTONDOWN, hit, 0);
        const RECT pressed = PressedBox(w);
        ASSERT_LT(pressed.left, pressed.right) << "no pressed face in the caption";
        const POINT centre{rect.left + (pressed.left + pressed.right) / 2,
                           rect.top + (pressed.top + pressed.bottom) / 2};
        EXPECT_EQ(hit, SendMessageW(w, WM_NCHITTEST, 0, MAKELPARAM(centre.x, centre.y)));
        EXPECT_EQ(w, GetCapture());

        // Off the button the face comes up; back on it, down again; released there, the command.
        SendMessageW(w, WM_MOUSEMOVE, MK_LBUTTON, ClientLParam(w, {centre.x, rect.top + 100}));
        EXPECT_GE(PressedBox(w).left, PressedBox(w).right) << "still pressed off the button";
        SendMessageW(w, WM_MOUSEMOVE, MK_LBUTTON, ClientLParam(w, centre));
        EXPECT_LT(PressedBox(w).left, PressedBox(w).right);
        SendMessageW(w, WM_LBUTTONUP, 0, ClientLParam(w, centre));
        EXPECT_EQ(std::vector<WPARAM>{command}, systemCommands);
        EXPECT_EQ(nullptr, GetCapture());
        EXPECT_GE(PressedBox(w).left, PressedBox(w).right) << "pressed after the release";
    }

    // Released off the button: nothing. The pointer over a button lights it, and leaving puts it
    // back.
    systemCommands.clear();
    SendMessageW(w, WM_NCLBUTTONDOWN, HTCLOSE, 0);
    SendMessageW(w, WM_LBUTTONUP, 0, ClientLParam(w, {rect.left + 100, rect.top + 100}));
    EXPECT_TRUE(systemCommands.empty());
    const WindowPicture normal = Picture(w);
    SendMessageW(w, WM_NCMOUSEMOVE, HTCLOSE, 0);
    const WindowPicture hot = Picture(w);
    EXPECT_NE(normal.pixels, hot.pixels) << "no hot face";
    SendMessageW(w, WM_NCMOUSELEAVE, 0, 0);
    EXPECT_EQ(normal.pixels, Picture(w).pixels);
}

TEST(FrameTest, DetachBringsBackThePlatformsFramePixelForPixel) {
    for (const auto& [style, exStyle] : {std::pair<DWORD, DWORD>{WS_OVERLAPPEDWINDOW, 0},
                                         {WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME},
                                         {WS_OVERLAPPEDWINDOW, WS_EX_TOOLWINDOW}}) {
        SCOPED_TRACE(exStyle);
        CaptionedWindow window(style, exStyle);
        SendMessageW(window.get(), WM_NCPAINT, 1, 0);
        const WindowPicture platform = Picture(window.get());
        window.Attach();
        ASSERT_NE(platform.pixels, Picture(window.get()).pixels);
        DetachSkin(window.get());
        PumpMessages();
        EXPECT_EQ(platform.pixels, Picture(window.get()).pixels);
    }
}

// The compositor's frame drawing is asked off for the windows whose frame the skin draws, and
// back on at detach, with DwmSetWindowAttribute's arguments.
struct AttributeCall {
    HWND window;
    DWORD attribute;
    DWORD value;
    DWORD size;
    bool operator==(const AttributeCall&) const = default;
};
std::vector<AttributeCall> attributeCalls;

HRESULT WINAPI RecordAttribute(HWND window, DWORD attribute, LPCVOID value, DWORD size) {
    attributeCalls.push_back({window, attribute, *static_cast<const DWORD*>(value), size});
    return S_OK;
}

TEST(FrameTest, CompositorFrameIsOffOnlyWhileTheSkinDrawsIt) {
    const skin::WindowAttributeSetter original = skin::ReplaceWindowAttributeSetter(RecordAttribute);
    attributeCalls.clear();
    {
        CaptionedWindow captioned, plain(WS_OVERLAPPEDWINDOW), captionless(WS_POPUP);
        captioned.Attach();
        plain.Attach(DORRIK_SKIN_ALL & ~DORRIK_SKIN_FRAME);
        captionless.Attach(DORRIK_SKIN_ALL);
        EXPECT_EQ((std::vector<AttributeCall>{{captioned.get(), 2, 1, sizeof(DWORD)}}), attributeCalls);
        attributeCalls.clear();
        DetachSkin(captioned.get());
        DetachSkin(plain.get());
        DetachSkin(captionless.get());
        EXPECT_EQ((std::vector<AttributeCall>{{captioned.get(), 2, 0, sizeof(DWORD)}}), attributeCalls);
    }
    skin::ReplaceWindowAttributeSetter(original);
}

}  // namespace
