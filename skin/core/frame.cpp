// The frame in the skin's look. The platform keeps everything but the pixels: styles, sizes, the
// client rectangle, hit-testing, moving and sizing, the system menu. Where the platform would draw
// the caption outside the non-client paint (a new title or icon, the activation, a caption button
// pressed, menu tracking), the skin keeps it from drawing or draws over it at once.
#include "core/frame.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <string>

#include "core/default_processing.h"
#include "core/kind_routes.h"
#include "core/props.h"
#include "core/window_proc.h"
#include "dorrik_skin.h"
#include "render/frame_renderer.h"
#include "render/primitives.h"
#include "render/scoped_gdi.h"

namespace skin {

namespace {

// DwmSetWindowAttribute's attribute and values (dwmapi.h is not in every SDK the engine builds
// with).
constexpr DWORD kNcRenderingPolicy = 2;    // DWMWA_NCRENDERING_POLICY
constexpr DWORD kPolicyFromStyle = 0;      // DWMNCRP_USEWINDOWSTYLE
constexpr DWORD kPolicyDisabled = 1;       // DWMNCRP_DISABLED

// The indexes of TITLEBARINFOEX's rectangles and states.
constexpr int kMinimizeIndex = 2, kMaximizeIndex = 3, kHelpIndex = 4, kCloseIndex = 5;

// The symbol is this share of the caption font's height.
constexpr double kGlyphShare = 0.6;

HRESULT WINAPI LoadedWindowAttributeSetter(HWND window, DWORD attribute, LPCVOID value, DWORD size);

WindowAttributeSetter windowAttributeSetter = LoadedWindowAttributeSetter;

// From the system folder only, never by a bare name; kept loaded once found (user32 and the
// theme code have it loaded anyway on the systems that have it).
WindowAttributeSetter LoadDwmSetter() {
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::wstring path = std::wstring(folder, length) + L"\\dwmapi.dll";
    const HMODULE module = LoadLibraryW(path.c_str());
    if (!module) return nullptr;
    return reinterpret_cast<WindowAttributeSetter>(
        reinterpret_cast<void*>(GetProcAddress(module, "DwmSetWindowAttribute")));
}

HRESULT WINAPI LoadedWindowAttributeSetter(HWND window, DWORD attribute, LPCVOID value, DWORD size) {
    static const WindowAttributeSetter loaded = LoadDwmSetter();
    return loaded ? loaded(window, attribute, value, size) : E_NOTIMPL;
}

void SetCompositorPolicy(HWND window, DWORD policy) {
    windowAttributeSetter(window, kNcRenderingPolicy, &policy, sizeof(policy));
}

LONG Style(HWND window) { return GetWindowLongW(window, GWL_STYLE); }
LONG ExStyle(HWND window) { return GetWindowLongW(window, GWL_EXSTYLE); }

bool HasSkinnableCaption(LONG style, LONG exStyle) {
    if ((style & WS_CAPTION) != WS_CAPTION) return false;
    return !(style & WS_CHILD) || (exStyle & WS_EX_MDICHILD);
}

bool IsToolWindow(LONG exStyle) { return (exStyle & WS_EX_TOOLWINDOW) != 0; }

struct FrameGeometry {
    SIZE window{};
    RECT screen{};   // the window's rectangle on the screen
    RECT inner{};    // window coordinates
    RECT caption{};  // window coordinates
};

// The ring and caption as the window's styles make them. A window that makes its own non-client
// area (a client rectangle reaching into that ring) keeps the platform's frame. A minimised window
// is its caption bar alone: the caption where it always is, and no client area under it.
bool MeasureFrame(HWND window, LONG style, LONG exStyle, FrameGeometry& frame) {
    if (!HasSkinnableCaption(style, exStyle)) return false;
    GetWindowRect(window, &frame.screen);
    frame.window = {frame.screen.right - frame.screen.left, frame.screen.bottom - frame.screen.top};
    RECT ring{0, 0, 0, 0};
    if (!AdjustWindowRectEx(&ring, style & ~(WS_VSCROLL | WS_HSCROLL | WS_MINIMIZE), FALSE,
                            exStyle & ~WS_EX_CLIENTEDGE))
        return false;
    const bool minimised = (style & WS_MINIMIZE) != 0;
    const int captionHeight = GetSystemMetrics(IsToolWindow(exStyle) ? SM_CYSMCAPTION : SM_CYCAPTION);
    frame.inner = {-ring.left, -ring.top, frame.window.cx - ring.right,
                   minimised ? -ring.top : frame.window.cy - ring.bottom};
    frame.caption = {frame.inner.left, frame.inner.top - captionHeight, frame.inner.right,
                     frame.inner.top};
    if (minimised) return frame.inner.right > frame.inner.left && frame.caption.top >= 0 &&
                          frame.caption.bottom <= frame.window.cy;
    if (frame.inner.right <= frame.inner.left || frame.inner.bottom <= frame.inner.top ||
        frame.caption.top < 0)
        return false;

    RECT client{};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    OffsetRect(&client, -frame.screen.left, -frame.screen.top);
    return client.left >= frame.inner.left && client.top >= frame.inner.top &&
           client.right <= frame.inner.right && client.bottom <= frame.inner.bottom;
}

bool FrameOptionOn(HWND window) {
    const WindowRecord* record = FindRecord(window);
    return record && (record->options & DORRIK_SKIN_FRAME) && record->link == Link::Attached;
}

// ---- the caption's buttons ----

struct ButtonSpec {
    int index;  // in TITLEBARINFOEX
    int hit;    // the hit-test code the platform answers over it
};

// Right to left, as the platform lays them out.
constexpr ButtonSpec kButtonSpecs[] = {
    {kCloseIndex, HTCLOSE},
    {kMaximizeIndex, HTMAXBUTTON},
    {kMinimizeIndex, HTMINBUTTON},
    {kHelpIndex, HTHELP},
};

bool IsCaptionButtonHit(WPARAM hit) {
    return hit == HTCLOSE || hit == HTMAXBUTTON || hit == HTMINBUTTON || hit == HTHELP;
}

bool CloseIsDisabled(HWND window) {
    if (GetClassLongPtrW(window, GCL_STYLE) & CS_NOCLOSE) return true;
    const HMENU systemMenu = GetSystemMenu(window, FALSE);
    if (!systemMenu) return false;
    const UINT state = GetMenuState(systemMenu, SC_CLOSE, MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED));
}

CaptionButton KindOf(int hit, LONG style) {
    switch (hit) {
    case HTMAXBUTTON:
        return (style & WS_MAXIMIZE) ? CaptionButton::Restore : CaptionButton::Maximize;
    case HTMINBUTTON:
        return CaptionButton::Minimize;
    case HTHELP:
        return CaptionButton::Help;
    default:
        return CaptionButton::Close;
    }
}

int ButtonState(const FrameState& state, int hit, bool disabled) {
    if (disabled) return Disabled;
    if (state.held == hit) return state.heldShown ? Pressed : Normal;
    return state.hot == hit && state.held == 0 ? Hot : Normal;
}

// Where the platform says (WM_GETTITLEBARINFOEX); where it does not answer (Wine), as it lays
// them out for its hit-testing: square cells as wide as SM_CXSIZE at the caption's right end,
// close, then maximize and minimize for a window that has either box and is no tool window.
void CollectButtons(HWND window, LONG style, LONG exStyle, const FrameGeometry& frame,
                    const FrameState& state, FrameLook& look) {
    if (!(style & WS_SYSMENU)) return;
    TITLEBARINFOEX info{};
    info.cbSize = sizeof(info);
    // Asked of the platform, not of the window: the window hears nothing of the skin's drawing.
    const bool reported = DefWindowProcW(window, WM_GETTITLEBARINFOEX, 0, reinterpret_cast<LPARAM>(&info)) &&
                          !IsRectEmpty(&info.rgrect[kCloseIndex]);
    if (!reported) {
        TITLEBARINFO plain{};
        plain.cbSize = sizeof(plain);
        GetTitleBarInfo(window, &plain);
        std::copy(std::begin(plain.rgstate), std::end(plain.rgstate), std::begin(info.rgstate));
        const int cell = GetSystemMetrics(SM_CXSIZE);
        const int top = frame.caption.top;
        const int bottom = std::max(top, static_cast<int>(frame.caption.bottom) - 1);
        int right = frame.caption.right;
        const bool boxes = !IsToolWindow(exStyle) && (style & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX));
        for (const ButtonSpec& spec : kButtonSpecs) {
            RECT& rect = info.rgrect[spec.index];
            const bool shown = spec.hit == HTCLOSE || (boxes && spec.hit != HTHELP);
            if (!shown) {
                info.rgstate[spec.index] = STATE_SYSTEM_INVISIBLE;
                continue;
            }
            rect = {right - cell, top, right, bottom};
            right -= cell;
            OffsetRect(&rect, frame.screen.left, frame.screen.top);
        }
        info.rgstate[kMaximizeIndex] |= (style & WS_MAXIMIZEBOX) ? 0 : STATE_SYSTEM_UNAVAILABLE;
        info.rgstate[kMinimizeIndex] |= (style & WS_MINIMIZEBOX) ? 0 : STATE_SYSTEM_UNAVAILABLE;
    }
    for (const ButtonSpec& spec : kButtonSpecs) {
        const DWORD flags = info.rgstate[spec.index];
        RECT rect = info.rgrect[spec.index];
        if ((flags & STATE_SYSTEM_INVISIBLE) || IsRectEmpty(&rect)) continue;
        if (look.buttonCount == kMaxCaptionButtons) break;
        OffsetRect(&rect, -frame.screen.left, -frame.screen.top);
        bool disabled = (flags & STATE_SYSTEM_UNAVAILABLE) != 0;
        if (spec.hit == HTCLOSE) disabled = disabled || CloseIsDisabled(window);
        CaptionButtonFace& face = look.buttons[look.buttonCount++];
        face.kind = KindOf(spec.hit, style);
        face.rect = rect;
        face.state = ButtonState(state, spec.hit, disabled);
    }
}

// The icon the platform shows at the caption's left: the window's own, its class's, or for any
// window but a modal-framed dialog the system's default.
HICON CaptionIcon(HWND window, LONG style, LONG exStyle) {
    if (!(style & WS_SYSMENU) || IsToolWindow(exStyle)) return nullptr;
    // The window's own icons as the platform keeps them, read without a message as it reads them.
    HICON icon = reinterpret_cast<HICON>(DefWindowProcW(window, WM_GETICON, ICON_SMALL, 0));
    if (!icon) icon = reinterpret_cast<HICON>(DefWindowProcW(window, WM_GETICON, ICON_BIG, 0));
    if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrW(window, GCLP_HICONSM));
    if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrW(window, GCLP_HICON));
    if (!icon && !(exStyle & WS_EX_DLGMODALFRAME)) icon = LoadIconW(nullptr, IDI_WINLOGO);
    return icon;
}

// Read without a message, as Windows' caption does; where the skin draws in the stead of Wine's
// caption, asked of the window as Wine asks it.
std::wstring WindowTitle(HWND window, CaptionSource source) {
    wchar_t text[512];
    const int length = source == CaptionSource::AsThePlatformsCaption
                           ? static_cast<int>(SendMessageW(window, WM_GETTEXT, std::size(text),
                                                           reinterpret_cast<LPARAM>(text)))
                           : InternalGetWindowText(window, text, static_cast<int>(std::size(text)));
    return std::wstring(text, std::clamp(length, 0, static_cast<int>(std::size(text)) - 1));
}

bool IsActiveCaption(HWND window) {
    WINDOWINFO info{};
    info.cbSize = sizeof(info);
    return GetWindowInfo(window, &info) && info.dwWindowStatus == WS_ACTIVECAPTION;
}

// Everything one paint draws; the caption font is made here and owned by the caller.
struct DescribedFrame {
    FrameLook look;
    std::optional<ScopedGdiObject<HFONT>> font;
};

bool DescribeFrame(HWND window, DescribedFrame& described,
                   CaptionSource source = CaptionSource::ThePlatformsRecord) {
    const WindowRecord* record = FindRecord(window);
    if (!record || !(record->options & DORRIK_SKIN_FRAME) || record->link != Link::Attached)
        return false;
    // Nothing shows of a hidden window's frame (and the platform draws none).
    if (!IsWindowVisible(window)) return false;
    const LONG style = Style(window), exStyle = ExStyle(window);
    FrameGeometry frame;
    if (!MeasureFrame(window, style, exStyle, frame)) return false;

    FrameLook& look = described.look;
    look.window = frame.window;
    look.inner = frame.inner;
    look.caption = frame.caption;
    look.active = record->frame.active;
    look.title = WindowTitle(window, source);

    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    const LOGFONTW& captionFont = IsToolWindow(exStyle) ? metrics.lfSmCaptionFont : metrics.lfCaptionFont;
    described.font.emplace(CreateFontIndirectW(&captionFont));
    look.font = described.font->get();
    look.glyphSize = RoundHalfEven(std::abs(captionFont.lfHeight) * kGlyphShare);

    look.icon = CaptionIcon(window, style, exStyle);
    if (look.icon) {
        const int cell = GetSystemMetrics(SM_CXSIZE);
        const int iconWidth = GetSystemMetrics(SM_CXSMICON), iconHeight = GetSystemMetrics(SM_CYSMICON);
        const int captionHeight = frame.caption.bottom - frame.caption.top - 1;
        const int x = frame.caption.left + (cell - iconWidth) / 2;
        const int y = frame.caption.top + (captionHeight - iconHeight) / 2;
        look.iconRect = {x, y, x + iconWidth, y + iconHeight};
    }
    CollectButtons(window, style, exStyle, frame, record->frame, look);
    return true;
}

}  // namespace

void PaintCaptionStep(HWND window, CaptionSource source) {
    DescribedFrame described;
    if (!DescribeFrame(window, described, source)) return;
    const ScopedWindowDC dc(window);
    DrawCaptionBand(dc.get(), described.look);
}

namespace {

// ---- tracking a caption button, as the platform's own loop would ----

int SystemCommandOf(HWND window, int hit) {
    switch (hit) {
    case HTMAXBUTTON:
        return IsZoomed(window) ? SC_RESTORE : SC_MAXIMIZE;
    case HTMINBUTTON:
        return SC_MINIMIZE;
    case HTHELP:
        return SC_CONTEXTHELP;
    default:
        return SC_CLOSE;
    }
}

// The platform's own hit-testing, as its press on a button uses it: no message to the window.
int HitAt(HWND window, POINT screen) {
    return static_cast<int>(DefWindowProcW(window, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)));
}

bool IsButtonEnabled(HWND window, int hit) {
    DescribedFrame described;
    if (!DescribeFrame(window, described)) return false;
    const CaptionButton kind = KindOf(hit, Style(window));
    for (int i = 0; i < described.look.buttonCount; ++i) {
        const CaptionButtonFace& face = described.look.buttons[i];
        if (face.kind == kind) return face.state != Disabled;
    }
    return false;
}

// Ends a press: the state first, so that anything the release sets off sees none.
void EndHold(HWND window, WindowRecord& record) {
    record.frame.held = 0;
    record.frame.heldShown = false;
    if (GetCapture() == window) ReleaseCapture();
    PaintCaptionStep(window);
}

// Where the skin stands in the default processing, a press is run there (TrackCaptionButton); on
// Windows the skin runs it from the window's own mouse messages.
LRESULT PressButton(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowRecord* record = FindRecord(window);
    if (!record || SkinDoesDefaultProcessing() || !IsCaptionButtonHit(wParam) || !DrawsFrame(window) ||
        !IsButtonEnabled(window, static_cast<int>(wParam)))
        return RouteMessage(previous, window, message, wParam, lParam);
    record->frame.held = static_cast<int>(wParam);
    record->frame.heldShown = true;
    SetCapture(window);
    PaintCaptionStep(window);
    return 0;
}

POINT ScreenPoint(HWND window, LPARAM lParam) {
    POINT point = MessagePoint(lParam);
    ClientToScreen(window, &point);
    return point;
}

LRESULT MoveWhileHeld(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowRecord* record = FindRecord(window);
    if (!record || (record->frame.held == 0 && record->frame.hot == 0))
        return RouteMessage(previous, window, message, wParam, lParam);
    if (record->frame.held == 0 || SkinDoesDefaultProcessing()) {
        // The pointer went from a button straight into the client area.
        record->frame.hot = 0;
        PaintCaptionStep(window);
        return RouteMessage(previous, window, message, wParam, lParam);
    }
    const bool onButton = HitAt(window, ScreenPoint(window, lParam)) == record->frame.held;
    if (onButton != record->frame.heldShown) {
        record->frame.heldShown = onButton;
        PaintCaptionStep(window);
    }
    return 0;
}

LRESULT ReleaseHeld(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowRecord* record = FindRecord(window);
    if (!record || record->frame.held == 0 || SkinDoesDefaultProcessing())
        return RouteMessage(previous, window, message, wParam, lParam);
    const int held = record->frame.held;
    const POINT point = ScreenPoint(window, lParam);
    const bool onButton = HitAt(window, point) == held;
    EndHold(window, *record);
    if (onButton)
        SendMessageW(window, WM_SYSCOMMAND, SystemCommandOf(window, held), MAKELPARAM(point.x, point.y));
    return 0;
}

// Another window took the capture (or the press was cancelled): the button comes up unused.
LRESULT CaptureLost(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowRecord* record = FindRecord(window);
    if (record && record->frame.held != 0 && reinterpret_cast<HWND>(lParam) != window) {
        record->frame.held = 0;
        record->frame.heldShown = false;
        PaintCaptionStep(window);
    }
    return RouteMessage(previous, window, message, wParam, lParam);
}

// ---- the pointer over the caption's buttons ----

void SetHot(HWND window, WindowRecord& record, int hot) {
    if (record.frame.hot == hot) return;
    record.frame.hot = hot;
    PaintCaptionStep(window);
}

LRESULT NcMouseMove(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (SkinDoesDefaultProcessing()) return RouteMessage(previous, window, message, wParam, lParam);
    const LRESULT result = RouteMessage(previous, window, message, wParam, lParam);
    FollowPointerOverCaption(window, wParam);
    return result;
}

// The leave the skin asked for is asked again at the next button the pointer lights, whatever
// the window's procedure does with this one.
LRESULT NcMouseLeave(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (WindowRecord* record = FindRecord(window)) record->frame.leaveAsked = false;
    if (SkinDoesDefaultProcessing()) return RouteMessage(previous, window, message, wParam, lParam);
    const LRESULT result = RouteMessage(previous, window, message, wParam, lParam);
    PointerLeftCaption(window);
    return result;
}

// ---- where the platform draws the caption outside the non-client paint ----

// Where the skin does not stand in the default processing (Windows), the work of
// core/default_processing.cpp is done around the window's procedure: the activation is passed
// with lParam -1 (the platform does not draw; themed Windows draws all the same, and its drawing
// is the theme's messages below), and the window is invisible while it handles a new title or
// icon.
LRESULT NcActivate(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (SkinDoesDefaultProcessing()) return RouteMessage(previous, window, message, wParam, lParam);
    NoteFrameActivation(window, wParam != 0);
    if (!DrawsFrame(window)) return RouteMessage(previous, window, message, wParam, lParam);
    const LRESULT result = RouteMessage(previous, window, message, wParam, -1);
    PaintFrameStep(window);
    return result;
}

LRESULT UnseenCaptionChange(WNDPROC previous, HWND window, UINT message, WPARAM wParam,
                            LPARAM lParam) {
    if (SkinDoesDefaultProcessing() || !(Style(window) & WS_VISIBLE) || !DrawsFrame(window))
        return RouteMessage(previous, window, message, wParam, lParam);
    LRESULT result = 0;
    {
        const UnseenStyleChange unseen(window, WS_VISIBLE, HiddenFrom::TheWindowToo);
        result = RouteMessage(previous, window, message, wParam, lParam);
    }
    PaintCaptionStep(window);
    return result;
}

// Windows' visual styles draw a themed caption or frame outside the frame paint with these
// (undocumented) messages; where the skin draws the frame they are not the theme's to draw.
constexpr UINT kThemedCaptionDraw = 0x00AE;  // WM_NCUAHDRAWCAPTION
constexpr UINT kThemedFrameDraw = 0x00AF;    // WM_NCUAHDRAWFRAME

LRESULT SkipThemedDraw(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!DrawsFrame(window)) return RouteMessage(previous, window, message, wParam, lParam);
    PaintFrameStep(window);
    return 0;
}

// Menu tracking (the system menu among others) may light the caption's parts: drawn again after.
LRESULT AfterMenuStep(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = RouteMessage(previous, window, message, wParam, lParam);
    if (DrawsFrame(window)) PaintCaptionStep(window);
    return result;
}

const KindRoute kFrameRoutes[] = {
    {WM_NCACTIVATE, NcActivate},
    {WM_SETTEXT, UnseenCaptionChange},
    {WM_SETICON, UnseenCaptionChange},
    {WM_NCLBUTTONDOWN, PressButton},
    {WM_NCLBUTTONDBLCLK, PressButton},
    {WM_MOUSEMOVE, MoveWhileHeld},
    {WM_LBUTTONUP, ReleaseHeld},
    {WM_CAPTURECHANGED, CaptureLost},
    {WM_NCMOUSEMOVE, NcMouseMove},
    {WM_NCMOUSELEAVE, NcMouseLeave},
    {WM_INITMENUPOPUP, AfterMenuStep},
    {WM_EXITMENULOOP, AfterMenuStep},
    {kThemedCaptionDraw, SkipThemedDraw},
    {kThemedFrameDraw, SkipThemedDraw},
};

}  // namespace

bool DrawsFrame(HWND window) {
    if (!FrameOptionOn(window)) return false;
    FrameGeometry frame;
    return MeasureFrame(window, Style(window), ExStyle(window), frame);
}

void NoteFrameActivation(HWND window, bool active) {
    if (WindowRecord* record = FindRecord(window)) record->frame.active = active;
}

bool TrackCaptionButton(HWND window, WPARAM hit, LPARAM lParam) {
    if (hit != HTCLOSE && hit != HTMINBUTTON && hit != HTMAXBUTTON) return false;
    if (!DrawsFrame(window)) return false;
    // The platform's conditions: where it neither draws nor sends anything, the skin has nothing
    // to do either.
    const HMENU systemMenu = GetSystemMenu(window, FALSE);
    UINT command = SC_CLOSE;
    if (hit == HTCLOSE) {
        if (!systemMenu) return false;
        const UINT state = GetMenuState(systemMenu, SC_CLOSE, MF_BYCOMMAND);
        if (state == static_cast<UINT>(-1) || (state & (MF_DISABLED | MF_GRAYED))) return false;
    } else {
        const bool minimize = hit == HTMINBUTTON;
        if (!(Style(window) & (minimize ? WS_MINIMIZEBOX : WS_MAXIMIZEBOX))) return false;
        // A box whose command the system menu lacks is pressed all the same, but sends nothing.
        const UINT state = GetMenuState(systemMenu, minimize ? SC_MINIMIZE : SC_MAXIMIZE, MF_BYCOMMAND);
        command = state == static_cast<UINT>(-1) ? 0 : minimize ? SC_MINIMIZE : SC_MAXIMIZE;
    }
    WindowRecord* record = FindRecord(window);
    if (!record) return false;
    record->frame.held = static_cast<int>(hit);
    record->frame.heldShown = true;
    SetCapture(window);
    PaintCaptionStep(window);

    // The platform's loop: the mouse messages are taken from the queue, not dispatched.
    bool pressed = true;
    MSG msg{};
    for (;;) {
        if (!GetMessageW(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST)) break;
        if (CallMsgFilterW(&msg, MSGF_MAX)) continue;
        if (msg.message == WM_LBUTTONUP) break;
        if (msg.message != WM_MOUSEMOVE) continue;
        const bool over = HitAt(window, msg.pt) == static_cast<int>(hit);
        if (over == pressed) continue;
        pressed = over;
        if ((record = FindRecord(window)) != nullptr && record->frame.held != 0) {
            record->frame.heldShown = pressed;
            PaintCaptionStep(window);
        }
    }
    // Let go before the release sets anything off (a capture-changed message, the command).
    if ((record = FindRecord(window)) != nullptr) {
        record->frame.held = 0;
        record->frame.heldShown = false;
        PaintCaptionStep(window);
    }
    ReleaseCapture();
    if (!pressed || command == 0) return true;
    if (hit == HTCLOSE) {
        SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, lParam);
    } else {
        if (hit == HTMINBUTTON ? IsIconic(window) : IsZoomed(window)) command = SC_RESTORE;
        SendMessageW(window, WM_SYSCOMMAND, command, MAKELPARAM(msg.pt.x, msg.pt.y));
    }
    return true;
}

void FollowPointerOverCaption(HWND window, WPARAM hit) {
    WindowRecord* record = FindRecord(window);
    if (!record || record->link != Link::Attached || !DrawsFrame(window)) return;
    const int hot = IsCaptionButtonHit(hit) ? static_cast<int>(hit) : 0;
    // Only a lit button needs to hear that the pointer left the frame, and only when no such
    // leave is asked for yet (the platform's bars ask it too).
    if (hot != 0 && !record->frame.leaveAsked) {
        TRACKMOUSEEVENT track{sizeof(track), TME_QUERY, nullptr, 0};
        TrackMouseEvent(&track);
        const DWORD leave = TME_LEAVE | TME_NONCLIENT;
        if ((track.dwFlags & leave) != leave || track.hwndTrack != window) {
            track = {sizeof(track), leave, window, 0};
            TrackMouseEvent(&track);
        }
        record->frame.leaveAsked = true;
    }
    SetHot(window, *record, hot);
}

void PointerLeftCaption(HWND window) {
    if (WindowRecord* record = FindRecord(window)) SetHot(window, *record, 0);
}

PlatformFrameUpdate::PlatformFrameUpdate(HWND window, WPARAM update) : update_(update) {
    if (!FrameOptionOn(window)) return;
    FrameGeometry frame;
    if (!MeasureFrame(window, Style(window), ExStyle(window), frame)) return;
    RECT inner = frame.inner;
    OffsetRect(&inner, frame.screen.left, frame.screen.top);
    part_.reset(CreateRectRgnIndirect(&inner));
    if (!part_.get()) return;
    if (update > 1) CombineRgn(part_.get(), part_.get(), reinterpret_cast<HRGN>(update), RGN_AND);
    // The client area is never the non-client paint's.
    RECT client{};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const ScopedRegion clientRegion(CreateRectRgnIndirect(&client));
    if (clientRegion.get()) CombineRgn(part_.get(), part_.get(), clientRegion.get(), RGN_DIFF);
}

WPARAM PlatformFrameUpdate::region() const {
    return part_.get() ? reinterpret_cast<WPARAM>(part_.get()) : update_;
}

bool PlatformFrameUpdate::empty() const {
    RECT box{};
    return part_.get() && GetRgnBox(part_.get(), &box) == NULLREGION;
}

void PaintFrameStep(HWND window, CaptionSource source) {
    DescribedFrame described;
    if (!DescribeFrame(window, described, source)) return;
    const ScopedWindowDC dc(window);
    DrawWindowFrame(dc.get(), described.look);
}

void AttachFrame(HWND window) {
    WindowRecord* record = FindRecord(window);
    if (!record || !(record->options & DORRIK_SKIN_FRAME)) return;
    TakeOverDefaultProcessing();
    if (!HasSkinnableCaption(Style(window), ExStyle(window))) return;
    record->frame = FrameState{};
    record->frame.active = IsActiveCaption(window);
    record->frame.compositorOff = true;
    SetCompositorPolicy(window, kPolicyDisabled);
}

void DetachFrame(HWND window) {
    WindowRecord* record = FindRecord(window);
    if (!record) return;
    const FrameState state = record->frame;
    record->frame = FrameState{};
    if (state.held != 0 && GetCapture() == window) ReleaseCapture();
    if (state.compositorOff) SetCompositorPolicy(window, kPolicyFromStyle);
}

LRESULT FrameProc(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return RouteKindMessage(kFrameRoutes, previous, window, message, wParam, lParam);
}

WindowAttributeSetter ReplaceWindowAttributeSetter(WindowAttributeSetter setter) {
    const WindowAttributeSetter replaced = windowAttributeSetter;
    windowAttributeSetter = setter ? setter : LoadedWindowAttributeSetter;
    return replaced;
}

}  // namespace skin
