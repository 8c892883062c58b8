// Form1: opens and closes the CD tray, and links to the forum. Labels are windowless: the form
// draws them itself.
#include "main_form.h"

#include <commctrl.h>
#include <mmsystem.h>

#include "dorrik_skin.h"

namespace app {

namespace {

constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr COLORREF kVendorColour = 0xFF0000;    // blue
constexpr COLORREF kLinkColour = 0x008000;      // dark green
constexpr COLORREF kLinkHotColour = 0xFF0000;   // blue, kept after the first hover
constexpr int kLinkPointSize = 9;
constexpr wchar_t kLinkFace[] = L"宋体";

// The frame's line runs through the middle of where a caption would be.
constexpr int kFrameLineTop = 6;

FormParts* Parts(HWND form) {
    return reinterpret_cast<FormParts*>(GetWindowLongPtrW(form, GWLP_USERDATA));
}

bool InRect(const RECT& rect, LPARAM lParam) {
    const POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    return PtInRect(&rect, point) != 0;
}

HFONT CreateLinkFont(bool underline) {
    LOGFONTW font{};
    font.lfHeight = -MulDiv(kLinkPointSize, 96, 72);
    font.lfWeight = FW_NORMAL;
    font.lfItalic = TRUE;
    font.lfUnderline = underline ? TRUE : FALSE;
    font.lfCharSet = GB2312_CHARSET;
    lstrcpynW(font.lfFaceName, kLinkFace, LF_FACESIZE);
    return CreateFontIndirectW(&font);
}

// The tray command's result is not looked at: no drive, or the door already there, is silent.
void SendTrayCommand(const char* command) { mciSendStringA(command, nullptr, 0, nullptr); }

// The system's own rundll32, by its full path: with no application name, CreateProcess would
// look in the program's and the working folder first, where anyone may have left a rundll32.exe.
std::wstring SystemRundllPath() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::wstring(folder, length) + L"\\rundll32.exe";
}

void OpenForum() {
    const std::wstring application = SystemRundllPath();
    if (application.empty()) return;
    std::wstring commandLine = ForumCommandLine();
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       nullptr, &startup, &process)) {
        // Not waited for; the handles would only leak.
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

// --- Frame1: a group frame with no caption that hands its buttons' commands to the form.

LRESULT FramePaint(HWND frame) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(frame, &ps);
    RECT rect;
    GetClientRect(frame, &rect);
    rect.top = kFrameLineTop;
    DrawEdge(dc, &rect, EDGE_ETCHED, BF_RECT);
    EndPaint(frame, &ps);
    return 0;
}

LRESULT CALLBACK FrameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        return FramePaint(frame);
    case WM_COMMAND:
        return SendMessageW(GetParent(frame), message, wParam, lParam);
    default:
        return DefWindowProcW(frame, message, wParam, lParam);
    }
}

// --- Form1

HWND CreateButton(HWND parent, const wchar_t* caption, const RECT& rect, int id, HFONT font) {
    HWND button = CreateWindowExW(0, L"Button", caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                  rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                                  parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                  GetModuleHandleW(nullptr), nullptr);
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return button;
}

HWND CreateLinkTooltip(HWND form) {
    HWND tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                   WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, form, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
    TOOLINFOW tool{};
    // The size that every comctl32 version accepts.
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = form;
    tool.uId = 1;
    tool.rect = kLabel2Rect;
    tool.lpszText = const_cast<wchar_t*>(kForumTooltip);
    SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    return tooltip;
}

LRESULT FormCreate(HWND form) {
    auto* parts = new FormParts{.form = form,
                                .uiFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)),
                                .linkFont = skin::ScopedGdiObject<HFONT>(CreateLinkFont(false)),
                                .linkHotFont = skin::ScopedGdiObject<HFONT>(CreateLinkFont(true)),
                                .linkColour = kLinkColour};
    SetWindowLongPtrW(form, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(parts));

    const RECT& f = kFrameRect;
    parts->frame = CreateWindowExW(WS_EX_CONTROLPARENT, kFrameClass, L"", WS_CHILD | WS_VISIBLE,
                                   f.left, f.top, f.right - f.left, f.bottom - f.top, form, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
    SendMessageW(parts->frame, WM_SETFONT, reinterpret_cast<WPARAM>(parts->uiFont), FALSE);
    parts->command1 = CreateButton(parts->frame, kCloseTrayCaption, kCommand1Rect, kCommand1Id, parts->uiFont);
    parts->command2 = CreateButton(parts->frame, kOpenTrayCaption, kCommand2Rect, kCommand2Id, parts->uiFont);
    parts->tooltip = CreateLinkTooltip(form);
    return 0;
}

void DrawLabel(HDC dc, const RECT& rect, const wchar_t* text, HFONT font, COLORREF colour) {
    HGDIOBJ previousFont = SelectObject(dc, font);
    SetTextColor(dc, colour);
    SetBkMode(dc, TRANSPARENT);
    RECT box = rect;
    // Not clipped: the link's underline sits just below its 12-pixel box.
    DrawTextW(dc, text, -1, &box, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    SelectObject(dc, previousFont);
}

LRESULT FormPaint(HWND form, FormParts& parts) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(form, &ps);
    DrawLabel(dc, kLabel1Rect, kVendorCaption, parts.uiFont, kVendorColour);
    const HFONT linkFont = parts.linkUnderlined ? parts.linkHotFont.get() : parts.linkFont.get();
    DrawLabel(dc, kLabel2Rect, kForumAddress, linkFont, parts.linkColour);
    EndPaint(form, &ps);
    return 0;
}

void SetLinkLook(HWND form, FormParts& parts, bool underlined, COLORREF colour) {
    if (parts.linkUnderlined == underlined && parts.linkColour == colour) return;
    parts.linkUnderlined = underlined;
    parts.linkColour = colour;
    RECT area = kLabel2Rect;
    area.bottom = kClientHeight;  // with the underline
    InvalidateRect(form, &area, TRUE);
}

void RelayToTooltip(HWND form, FormParts& parts, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg = {form, message, wParam, lParam, 0, {}};
    SendMessageW(parts.tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

// The form's own surface: inside its client area, on no child window (the frame and the buttons
// in it) and on neither label. While the link holds the mouse, moves over a child come here too.
bool OnFormSurface(HWND form, LPARAM lParam) {
    if (InRect(kLabel1Rect, lParam) || InRect(kLabel2Rect, lParam)) return false;
    const POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    return ChildWindowFromPointEx(form, point, CWP_SKIPINVISIBLE) == form;
}

// Over the link: underlined and blue. Over the form's own surface: no underline, colour kept.
LRESULT FormMouseMove(HWND form, FormParts& parts, LPARAM lParam) {
    if (InRect(kLabel2Rect, lParam))
        SetLinkLook(form, parts, true, kLinkHotColour);
    else if (OnFormSurface(form, lParam))
        SetLinkLook(form, parts, false, parts.linkColour);
    return 0;
}

LRESULT FormLButtonUp(FormParts& parts, LPARAM lParam) {
    const bool pressedOnLink = parts.linkPressed;
    parts.linkPressed = false;
    if (GetCapture() == parts.form) ReleaseCapture();
    if (pressedOnLink && InRect(kLabel2Rect, lParam)) OpenForum();
    return 0;
}

struct TrayButton {
    int id;
    HWND FormParts::*window;
    const char* command;
};

constexpr TrayButton kTrayButtons[] = {
    {kCommand1Id, &FormParts::command1, kCloseTrayCommand},
    {kCommand2Id, &FormParts::command2, kOpenTrayCommand},
};

// An owner-drawn button reports the second click of a quick pair as a double click, without
// BN_CLICKED: it is a click all the same. A command counts only when its own button sends it:
// the dialog manager sends commands of its own for Enter and Esc.
LRESULT FormCommand(const FormParts& parts, WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) != BN_CLICKED && HIWORD(wParam) != BN_DOUBLECLICKED) return 0;
    const HWND sender = reinterpret_cast<HWND>(lParam);
    for (const TrayButton& button : kTrayButtons) {
        if (LOWORD(wParam) == button.id && sender && sender == parts.*button.window)
            SendTrayCommand(button.command);
    }
    return 0;
}

// Enter on a focused, enabled tray button: the click that button would report.
bool PressFocusedButton(const FormParts& parts) {
    const HWND focus = GetFocus();
    for (const TrayButton& button : kTrayButtons) {
        if (focus && focus == parts.*button.window && IsWindowEnabled(focus)) {
            SendMessageW(parts.form, WM_COMMAND, MAKEWPARAM(button.id, BN_CLICKED),
                         reinterpret_cast<LPARAM>(focus));
            return true;
        }
    }
    return false;
}

// The focused control is kept across deactivation, as in a dialog.
void FormActivate(FormParts& parts, WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(parts.form, focus)) parts.lastFocus = focus;
    } else if (HWND focus = parts.lastFocus; focus && IsWindow(focus)) {
        SetFocus(focus);
    }
}

// Unload takes the skin off, then the form goes.
LRESULT FormClose(HWND form) {
    DetachSkin(form);
    DestroyWindow(form);
    return 0;
}

void FormNcDestroy(HWND form, FormParts* parts) {
    SetWindowLongPtrW(form, GWLP_USERDATA, 0);
    delete parts;  // with it the link fonts
    PostQuitMessage(0);
}

LRESULT CALLBACK FormProc(HWND form, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) return FormCreate(form);
    FormParts* parts = Parts(form);
    if (!parts) return DefWindowProcW(form, message, wParam, lParam);

    switch (message) {
    case WM_PAINT:
        return FormPaint(form, *parts);
    case WM_MOUSEMOVE:
        RelayToTooltip(form, *parts, message, wParam, lParam);
        return FormMouseMove(form, *parts, lParam);
    case WM_LBUTTONDOWN:
        RelayToTooltip(form, *parts, message, wParam, lParam);
        parts->linkPressed = InRect(kLabel2Rect, lParam);
        if (parts->linkPressed) SetCapture(form);
        return 0;
    case WM_LBUTTONUP:
        RelayToTooltip(form, *parts, message, wParam, lParam);
        return FormLButtonUp(*parts, lParam);
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            POINT point;
            GetCursorPos(&point);
            ScreenToClient(form, &point);
            if (PtInRect(&kLabel2Rect, point)) {
                SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
                return TRUE;
            }
        }
        return DefWindowProcW(form, message, wParam, lParam);
    case WM_COMMAND:
        return FormCommand(*parts, wParam, lParam);
    case WM_ACTIVATE:
        FormActivate(*parts, wParam);
        return 0;
    case WM_CLOSE:
        return FormClose(form);
    case WM_NCDESTROY:
        FormNcDestroy(form, parts);
        return 0;
    default:
        return DefWindowProcW(form, message, wParam, lParam);
    }
}

}  // namespace

std::wstring ForumCommandLine() {
    std::wstring line = L"rundll32.exe url.dll,FileProtocolHandler \"";
    line += kForumAddress;
    line += L"/\"";
    return line;
}

bool IsFormMessage(HWND form, MSG* msg) {
    const FormParts* parts = GetFormParts(form);
    if (!parts) return false;
    const bool enter = msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN;
    if (enter && PressFocusedButton(*parts)) return true;
    return IsDialogMessageW(form, msg) != FALSE;
}

bool RegisterFormClasses(HINSTANCE instance) {
    static bool registered = false;
    if (registered) return true;

    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);

    WNDCLASSEXW form{};
    form.cbSize = sizeof(form);
    // The second press of a double click comes as WM_LBUTTONDBLCLK: one double click on the link
    // opens the page once.
    form.style = CS_DBLCLKS;
    form.lpfnWndProc = FormProc;
    form.hInstance = instance;
    form.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconId), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON),
                                               LR_DEFAULTCOLOR | LR_SHARED));
    form.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconId), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXSMICON),
                                                 GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR | LR_SHARED));
    form.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    form.lpszClassName = kFormClass;

    WNDCLASSEXW frame = form;
    frame.style = 0;
    frame.lpfnWndProc = FrameProc;
    frame.hIcon = nullptr;
    frame.hIconSm = nullptr;
    frame.lpszClassName = kFrameClass;

    registered = RegisterClassExW(&form) != 0 && RegisterClassExW(&frame) != 0;
    return registered;
}

HWND CreateMainForm(HINSTANCE instance) {
    if (!RegisterFormClasses(instance)) return nullptr;

    RECT window = {0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&window, kFormStyle, FALSE, 0);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    RECT workArea;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    const int x = workArea.left + (workArea.right - workArea.left - width) / 2;
    const int y = workArea.top + (workArea.bottom - workArea.top - height) / 2;

    HWND form = CreateWindowExW(WS_EX_CONTROLPARENT, kFormClass, kFormCaption, kFormStyle, x, y,
                                width, height, nullptr, nullptr, instance, nullptr);
    if (!form) return nullptr;
    // Load: the skin goes on before the form is first shown.
    AttachSkin(form);
    return form;
}

const FormParts* GetFormParts(HWND form) { return IsWindow(form) ? Parts(form) : nullptr; }

}  // namespace app
