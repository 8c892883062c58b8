// Dorrik: opens and closes the CD tray.
#include <windows.h>

#include "main_form.h"

namespace {

constexpr DWORD kSearchSystemFolder = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

// Libraries loaded by name (the multimedia driver behind the tray commands, for one) come from
// the system folder only, never from the program's or the working folder. Systems before
// Windows 8 without its update lack the call: there the usual search stays.
void LoadLibrariesFromSystemFolderOnly() {
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (!kernel) return;
    const auto setDirectories = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDirectories) setDirectories(kSearchSystemFolder);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    LoadLibrariesFromSystemFolderOnly();
    HWND form = app::CreateMainForm(instance);
    if (!form) return 1;
    ShowWindow(form, showCommand);
    UpdateWindow(form);
    SetFocus(app::GetFormParts(form)->command1);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsWindow(form) && app::IsFormMessage(form, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
