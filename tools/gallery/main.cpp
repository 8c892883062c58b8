// The gallery program: every skinned control on one form, and the platform's own controls on a
// second one. "--check" runs it through its switches by itself and reports by its exit code;
// "--platform none|plain|ex" shows only the second form with no skin, AttachSkin or
// AttachSkinEx(DORRIK_SKIN_ALL), and "--sheet" after it opens the property sheet over it.
#include <windows.h>

#include <cwchar>

#include "gallery_form.h"
#include "platform_form.h"
#include "self_check.h"

namespace {

bool StartsWith(const wchar_t* text, const wchar_t* prefix) {
    return std::wcsncmp(text, prefix, std::wcslen(prefix)) == 0;
}

HWND OpenPlatformFormOnly(HINSTANCE instance, const wchar_t* commandLine) {
    gallery::PlatformSkin skin = gallery::PlatformSkin::None;
    if (std::wcsstr(commandLine, L" plain")) skin = gallery::PlatformSkin::Plain;
    if (std::wcsstr(commandLine, L" ex")) skin = gallery::PlatformSkin::Whole;
    HWND form = gallery::CreatePlatformForm(instance, nullptr, skin, true);
    if (form && std::wcsstr(commandLine, L"--sheet")) PostMessageW(form, gallery::kOpenSheet, 0, 0);
    return form;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int showCommand) {
    if (commandLine && lstrcmpiW(commandLine, L"--check") == 0) return gallery::RunSelfCheck(instance);

    if (commandLine && StartsWith(commandLine, L"--platform")) {
        if (!OpenPlatformFormOnly(instance, commandLine)) return 1;
    } else {
        HWND form = gallery::CreateGallery(instance);
        if (!form) return 1;
        ShowWindow(form, showCommand);
        UpdateWindow(form);
        SetFocus(gallery::GetGalleryParts(form)->focusButton);
    }

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        // Tab and the arrow keys move through each form as through a dialog.
        HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
        if (root && IsDialogMessageW(root, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
