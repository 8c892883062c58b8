// The gallery's second form: the platform's own controls, as a C or C++ program makes them
// (button-class check boxes and option buttons in group boxes, a tab control with pages, an
// up-down with its buddy, trackbars, a list view with its header and check boxes, a toolbar, a
// tree with check boxes, progress bars, date-time, hot-key and IP fields, a status bar), with a choice of no skin,
// AttachSkin or AttachSkinEx(DORRIK_SKIN_ALL), and the platform's property sheet opened over it.
#pragma once

#include <windows.h>

namespace gallery {

enum class PlatformSkin { None, Plain, Whole };

inline constexpr wchar_t kPlatformCaption[] = L"Dorrik gallery — platform controls 系统控件";
inline constexpr wchar_t kSheetCaption[] = L"Dorrik property sheet 属性表";

inline constexpr int kPlatformClientWidth = 620;
inline constexpr int kPlatformClientHeight = 590;

enum PlatformControlId {
    kSheetButtonId = 200,
    kNoSkinId,
    kPlainSkinId,
    kWholeSkinId,
    kCloseButtonId,
    kTabsId,
};

// Creates the form (a dialog, as the platform's own programs make them) with the given skin and
// shows it. With quitWhenClosed, closing it ends the program's message loop.
HWND CreatePlatformForm(HINSTANCE instance, HWND owner, PlatformSkin skin, bool quitWhenClosed);

// Takes the skin off and puts the chosen one on; the option buttons follow.
void SetPlatformSkin(HWND form, PlatformSkin skin);
PlatformSkin GetPlatformSkin(HWND form);

// Opens the platform's property sheet, two pages of check boxes, option buttons and group
// boxes, over the form; returns when it is closed.
void ShowPropertySheet(HWND form);

// Posted to the form: open the property sheet once the form is up.
inline constexpr UINT kOpenSheet = WM_APP + 11;

}  // namespace gallery
