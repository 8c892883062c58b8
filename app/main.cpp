// Dorrik: opens and closes the CD tray.
#include <windows.h>

#include "main_form.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    HWND form = app::CreateMainForm(instance);
    if (!form) return 1;
    ShowWindow(form, showCommand);
    UpdateWindow(form);
    SetFocus(app::GetFormParts(form)->command1);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        // Tab, Shift+Tab and Space move and press as in a dialog.
        if (IsWindow(form) && IsDialogMessageW(form, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
