// Captions and frames under DORRIK_SKIN_FRAME, on real top-level windows: the pixels, the caption
// buttons against the platform's hit-testing, detach, and the compositor's switch.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <ostream>
#include <sstream>
#include <set>
#include <utility>
#include <vector>

#include "core/frame.h"
#include "dorrik_skin.h"
#include "support/test_windows.h"

using testing_support::PumpMessages;
using testing_support::RegisterOwnClass;

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
    RegisterOwnClass(L"DorrikFrameTest", CaptionedProc);
    return L"DorrikFrameTest";
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
    explicit CaptionedWindow(DWORD style = WS_OVERLAPPEDWINDOW, DWORD exStyle = 0,
                             const wchar_t* className = CaptionedClass())
        : window_(CreateWindowExW(exStyle, className, L"Frame", style | WS_VISIBLE, 60, 60,
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
    // A minimised window is its caption bar alone, in the skin's look too.
    ShowWindow(w, SW_MINIMIZE);
    PumpMessages();
    ASSERT_TRUE(IsIconic(w));
    EXPECT_EQ(0, PlatformPixelsInFrame(w)) << "minimised";
    EXPECT_EQ(kBorder, Picture(w).at(GetSystemMetrics(SM_CXFRAME) + 30, GetSystemMetrics(SM_CYFRAME) + 2))
        << "the minimised window's caption band";
    ShowWindow(w, SW_RESTORE);
    PumpMessages();
    EXPECT_EQ(0, PlatformPixelsInFrame(w)) << "restored";
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

// The middle of the part of the caption row where the platform's hit-testing answers `hit`, on
// the screen.
POINT HitCentre(HWND window, int hit) {
    RECT rect{};
    GetWindowRect(window, &rect);
    const int y = rect.top + CaptionRow(window);
    int first = -1, last = -1;
    for (int x = rect.left; x < rect.right; ++x) {
        if (SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) != hit) continue;
        if (first < 0) first = x;
        last = x;
    }
    return {(first + last) / 2, y};
}

// The pressed face as the press's own loop takes each mouse message, read from the loop's
// message filter before the message has any effect.
HWND pressedWindow = nullptr;
std::vector<RECT> facesInTheLoop;

LRESULT CALLBACK ReadPressedFace(int code, WPARAM wParam, LPARAM lParam) {
    if (code == MSGF_MAX) facesInTheLoop.push_back(PressedBox(pressedWindow));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A posted mouse message carries the pointer's position as its point: taken from the thread's
// queue, it gets the point it names instead, so that the real pointer stays away.
LRESULT CALLBACK PointPostedMouseMessages(int code, WPARAM wParam, LPARAM lParam) {
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && msg->hwnd && (msg->message == WM_MOUSEMOVE || msg->message == WM_LBUTTONUP)) {
        msg->pt = {static_cast<short>(LOWORD(msg->lParam)), static_cast<short>(HIWORD(msg->lParam))};
        ClientToScreen(msg->hwnd, &msg->pt);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class PointedMouseMessages {
public:
    PointedMouseMessages()
        : hook_(SetWindowsHookExW(WH_GETMESSAGE, PointPostedMouseMessages, nullptr, GetCurrentThreadId())) {}
    ~PointedMouseMessages() { UnhookWindowsHookEx(hook_); }
    PointedMouseMessages(const PointedMouseMessages&) = delete;
    PointedMouseMessages& operator=(const PointedMouseMessages&) = delete;

private:
    HHOOK hook_;
};

struct MouseStep {
    UINT message;
    POINT screen;
};

// A press on a caption button at `at`, with the mouse messages the press takes already queued.
std::vector<RECT> PressWith(HWND window, int hit, POINT at, const std::vector<MouseStep>& steps) {
    const PointedMouseMessages pointed;
    for (const MouseStep& step : steps)
        PostMessageW(window, step.message, step.message == WM_MOUSEMOVE ? MK_LBUTTON : 0,
                     ClientLParam(window, step.screen));
    pressedWindow = window;
    facesInTheLoop.clear();
    HHOOK hook = SetWindowsHookExW(WH_MSGFILTER, ReadPressedFace, nullptr, GetCurrentThreadId());
    SendMessageW(window, WM_NCLBUTTONDOWN, hit, MAKELPARAM(at.x, at.y));
    UnhookWindowsHookEx(hook);
    PumpMessages();
    return facesInTheLoop;
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
        // Off the button the face comes up; back on it, down again; released there, the command.
        const POINT centre = HitCentre(w, hit);
        const POINT off{centre.x, rect.top + 100};
        const std::vector<RECT> faces = PressWith(w, hit, centre, {{WM_MOUSEMOVE, off}, {WM_MOUSEMOVE, centre},
                                                                   {WM_LBUTTONUP, centre}});
        ASSERT_EQ(3u, faces.size()) << "the press did not take the three mouse messages";
        const RECT pressed = faces[0];
        ASSERT_LT(pressed.left, pressed.right) << "no pressed face in the caption";
        EXPECT_EQ(hit, SendMessageW(w, WM_NCHITTEST, 0,
                                    MAKELPARAM(rect.left + (pressed.left + pressed.right) / 2,
                                               rect.top + (pressed.top + pressed.bottom) / 2)));
        EXPECT_GE(faces[1].left, faces[1].right) << "still pressed off the button";
        EXPECT_LT(faces[2].left, faces[2].right) << "not pressed back on the button";
        EXPECT_EQ(std::vector<WPARAM>{command}, systemCommands);
        EXPECT_EQ(nullptr, GetCapture());
        EXPECT_GE(PressedBox(w).left, PressedBox(w).right) << "pressed after the release";
    }

    // Released off the button: nothing. The pointer over a button lights it, and leaving puts it
    // back.
    systemCommands.clear();
    const POINT off{rect.left + 100, rect.top + 100};
    PressWith(w, HTCLOSE, HitCentre(w, HTCLOSE), {{WM_MOUSEMOVE, off}, {WM_LBUTTONUP, off}});
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

// ---- what a program observes of the skin's frame and bars ----

// One message as the window's procedure saw it: before its handler did anything, and for the
// frame's messages once more right after its call to DefWindowProc.
struct Seen {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool visible;
    LONG bars;
    bool afterDefault;
    bool operator==(const Seen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Seen& seen) {
    return out << std::hex << "\n{0x" << seen.message << " w 0x" << seen.wParam << " l 0x" << seen.lParam
               << (seen.visible ? " visible" : " hidden") << " bars 0x" << seen.bars
               << (seen.afterDefault ? " after default}" : "}");
}

// What the program does in its handlers of the frame's messages, before the default processing.
enum class Meddling { None, Hide, HideBars, RefuseClose };

std::vector<Seen> seenByTheProgram;
bool programObserves = false;
Meddling meddling = Meddling::None;

bool IsFrameMessage(UINT message) {
    for (UINT frame : {WM_SETTEXT, WM_SETICON, WM_NCACTIVATE, WM_NCPAINT, WM_NCMOUSEMOVE, WM_NCMOUSELEAVE,
                       WM_NCLBUTTONDOWN})
        if (message == frame) return true;
    return false;
}

void Observe(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool afterDefault) {
    // Handles and pointers are the same in both runs only for the messages the test sends.
    const bool told = IsFrameMessage(message) || message == WM_SYSCOMMAND || message == WM_CLOSE;
    seenByTheProgram.push_back({message, told && message != WM_NCPAINT ? wParam : 0, told ? lParam : 0,
                                IsWindowVisible(window) != FALSE,
                                GetWindowLongW(window, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL), afterDefault});
}

LRESULT CALLBACK ObservingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!programObserves) return DefWindowProcW(window, message, wParam, lParam);
    Observe(window, message, wParam, lParam, false);
    if (message == WM_CLOSE) return 0;  // the program closes when it decides to
    if (!IsFrameMessage(message)) return DefWindowProcW(window, message, wParam, lParam);
    if (meddling == Meddling::RefuseClose && message == WM_NCLBUTTONDOWN && wParam == HTCLOSE) return 0;
    if (meddling == Meddling::Hide) ShowWindow(window, SW_HIDE);
    if (meddling == Meddling::HideBars) ShowScrollBar(window, SB_BOTH, FALSE);
    const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
    Observe(window, message, wParam, lParam, true);
    return result;
}

const wchar_t* ObservingClass() {
    RegisterOwnClass(L"DorrikFrameTestObserving", ObservingProc, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    return L"DorrikFrameTestObserving";
}

// The same program, skinned with the options or not: the title, the icon, the activation, the
// frame paint and the pointer over the frame, first left to the platform, then with the window
// hidden or its bars taken off in the handlers; then a press on the close button that the program
// refuses, and one it lets the platform run.
std::vector<Seen> RunObservedProgram(DWORD options) {
    CaptionedWindow window(WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_HSCROLL, 0, ObservingClass());
    if (options) window.Attach(options);
    HWND w = window.get();
    RECT rect{};
    GetWindowRect(w, &rect);
    const RECT client = ClientInWindow(w);
    const POINT bar{rect.left + client.right + GetSystemMetrics(SM_CXVSCROLL) / 2,
                    rect.top + (client.top + client.bottom) / 2};
    const POINT close = HitCentre(w, HTCLOSE);
    const PointedMouseMessages pointed;
    const HICON icon = LoadIconW(nullptr, IDI_QUESTION);

    seenByTheProgram.clear();
    programObserves = true;
    for (const Meddling meddle : {Meddling::None, Meddling::Hide, Meddling::HideBars}) {
        meddling = meddle;
        SetWindowTextW(w, L"Observed");
        SendMessageW(w, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
        SendMessageW(w, WM_NCACTIVATE, FALSE, 0);
        SendMessageW(w, WM_NCACTIVATE, TRUE, 0);
        SendMessageW(w, WM_NCPAINT, 1, 0);
        SendMessageW(w, WM_NCMOUSEMOVE, HTVSCROLL, MAKELPARAM(bar.x, bar.y));
        SendMessageW(w, WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(close.x - 60, close.y));
        SendMessageW(w, WM_NCMOUSELEAVE, 0, 0);
        // The paint after the bars went is not compared: with the skin, the frame is painted once
        // more there.
        if (meddle == Meddling::HideBars) programObserves = false;
        PumpMessages();
        programObserves = true;
        // What the handlers did sticks: seen at the end, then undone unobserved.
        Observe(w, WM_NULL, 0, 0, true);
        programObserves = false;
        meddling = Meddling::None;
        ShowScrollBar(w, SB_BOTH, TRUE);
        ShowWindow(w, SW_SHOWNA);
        PumpMessages();
        programObserves = true;
    }
    for (const Meddling meddle : {Meddling::RefuseClose, Meddling::None}) {
        meddling = meddle;
        PostMessageW(w, WM_LBUTTONUP, 0, ClientLParam(w, close));
        SendMessageW(w, WM_NCLBUTTONDOWN, HTCLOSE, MAKELPARAM(close.x, close.y));
        PumpMessages();
    }
    programObserves = false;
    meddling = Meddling::None;
    return seenByTheProgram;
}

TEST(FrameTest, TheProgramObservesTheSameOfItsFrameAndBarsWithTheSkinAsWithout) {
    const std::vector<Seen> without = RunObservedProgram(0);
    ASSERT_FALSE(without.empty());
    for (const DWORD options : {DWORD{DORRIK_SKIN_FRAME | DORRIK_SKIN_SCROLLBARS}, DWORD{DORRIK_SKIN_SCROLLBARS},
                                DWORD{DORRIK_SKIN_FRAME}}) {
        SCOPED_TRACE(options);
        const std::vector<Seen> with = RunObservedProgram(options);
        const auto [mismatch, _] = std::mismatch(without.begin(), without.end(), with.begin(), with.end());
        const size_t at = static_cast<size_t>(mismatch - without.begin());
        std::ostringstream around;
        for (size_t i = at >= 3 ? at - 3 : 0; i < at + 3; ++i)
            around << (i < without.size() ? without[i] : Seen{}) << " / " << (i < with.size() ? with[i] : Seen{});
        EXPECT_EQ(without, with) << "first difference at " << at << ", without / with:" << around.str();
    }
}

}  // namespace
