// Form1: the one window of the program, with its frame, two tray buttons and two labels.
#pragma once

#include <windows.h>

#include <string>

#include "render/scoped_gdi.h"

namespace app {

inline constexpr wchar_t kFormClass[] = L"ThunderRT6FormDC";
inline constexpr wchar_t kFrameClass[] = L"DorrikFrame";

inline constexpr wchar_t kFormCaption[] = L"Dorrik";
inline constexpr wchar_t kCloseTrayCaption[] = L"关闭光驱";
inline constexpr wchar_t kOpenTrayCaption[] = L"打开光驱";
inline constexpr wchar_t kVendorCaption[] = L"Quillbeck软件：";
inline constexpr wchar_t kForumAddress[] = L"http://bbs.quillbeck.com";
inline constexpr wchar_t kForumTooltip[] = L"如果喜欢Quillbeck软件，请点击登录Quillbeck论坛。";

inline constexpr char kCloseTrayCommand[] = "set CDAudio door closed";
inline constexpr char kOpenTrayCommand[] = "set CDAudio door open";

// Clear of IDOK and IDCANCEL: the dialog manager turns Enter and Esc into those commands, and
// neither button is a default or cancel button.
inline constexpr int kCommand1Id = 101;
inline constexpr int kCommand2Id = 102;
inline constexpr int kIconId = 1;

// Client-area layout in pixels (96 dots per inch).
inline constexpr int kClientWidth = 264;
inline constexpr int kClientHeight = 79;
inline constexpr RECT kFrameRect = {8, 0, 8 + 249, 0 + 57};
inline constexpr RECT kCommand1Rect = {8, 16, 8 + 113, 16 + 33};  // inside the frame
inline constexpr RECT kCommand2Rect = {128, 16, 128 + 113, 16 + 33};
inline constexpr RECT kLabel1Rect = {8, 64, 8 + 96, 64 + 12};
inline constexpr RECT kLabel2Rect = {104, 64, 104 + 154, 64 + 12};

// The windows of a form and the look of its link label.
struct FormParts {
    HWND form = nullptr;
    HWND frame = nullptr;
    HWND command1 = nullptr;
    HWND command2 = nullptr;
    HWND tooltip = nullptr;
    HFONT uiFont = nullptr;       // the default UI font: frame, buttons, Label1
    skin::ScopedGdiObject<HFONT> linkFont;     // Label2's own font, without underline
    skin::ScopedGdiObject<HFONT> linkHotFont;  // the same, underlined
    bool linkUnderlined = false;
    COLORREF linkColour = 0;
    bool linkPressed = false;   // the left button went down on the link
    HWND lastFocus = nullptr;   // the focused control while the form is inactive
};

// Registers the form and frame classes (once per process).
bool RegisterFormClasses(HINSTANCE instance);

// Creates and loads Form1 (the skin goes on at load), centred on the screen; not yet shown.
// Closing it detaches the skin and destroys it; the last form destroyed ends the message loop.
HWND CreateMainForm(HINSTANCE instance);

// The parts of a form made by CreateMainForm, or nullptr.
const FormParts* GetFormParts(HWND form);

// Keyboard handling as in a dialog, for the message loop: true when the message was used.
// Enter presses the focused button; Tab, Shift+Tab and Space work as the dialog manager has them.
bool IsFormMessage(HWND form, MSG* msg);

// The browser command line for the forum page.
std::wstring ForumCommandLine();

}  // namespace app
