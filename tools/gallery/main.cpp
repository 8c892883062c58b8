// The gallery program: every skinned control on one form. "--check" runs it through its
// switches by itself and reports by its exit code.
#include <windows.h>

#include "gallery_form.h"
#include "self_check.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int showCommand) {
    if (commandLine && lstrcmpiW(commandLine, L"--check") == 0) return gallery::RunSelfCheck(instance);

    HWND form = gallery::CreateGallery(instance);
    if (!form) return 1;
    ShowWindow(form, showCommand);
    UpdateWindow(form);
    SetFocus(gallery::GetGalleryParts(form)->focusButton);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsWindow(form) && IsDialogMessageW(form, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
