// Skins a dialog made from this program's own resources and takes the skin off again, through
// the SDK's DorrikSkin::dll or DorrikSkin::static. Exit code 0 when every step did what it should.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "dorrik_skin.h"

namespace {

int failures = 0;

void Expect(bool condition, const char* what) {
    if (condition) return;
    ++failures;
    std::fprintf(stderr, "skin consumer: %s\n", what);
}

INT_PTR CALLBACK DialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool IsSkinned(HWND window) { return GetPropA(window, "PROCADDR") != nullptr; }

#ifdef SKIN_DLL_VERSION
void ExpectDllVersion() {
    const WORD expected[] = {SKIN_DLL_VERSION};
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(GetModuleHandleW(L"dorrikskin.dll"), path, MAX_PATH);
    DWORD ignored = 0;
    std::vector<BYTE> data(GetFileVersionInfoSizeW(path, &ignored));
    VS_FIXEDFILEINFO* info = nullptr;
    UINT size = 0;
    const bool read = !data.empty() && GetFileVersionInfoW(path, 0, static_cast<DWORD>(data.size()), data.data()) &&
                      VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &size) && info;
    Expect(read, "dorrikskin.dll has no version resource");
    if (!read) return;
    Expect(HIWORD(info->dwFileVersionMS) == expected[0] && LOWORD(info->dwFileVersionMS) == expected[1] &&
               HIWORD(info->dwFileVersionLS) == expected[2],
           "dorrikskin.dll's version resource is not the package's version");
}
#endif

}  // namespace

int main() {
    HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), nullptr, DialogProc, 0);
    Expect(dialog != nullptr, "the dialog could not be made");
    if (!dialog) return 1;
    Pump();
    const HWND windows[] = {dialog, GetDlgItem(dialog, 10), GetDlgItem(dialog, 11), GetDlgItem(dialog, IDOK),
                            GetDlgItem(dialog, IDCANCEL)};
    const HWND ok = GetDlgItem(dialog, IDOK);
    const LONG_PTR okStyle = GetWindowLongPtrW(ok, GWL_STYLE);

    Expect(AttachSkin(dialog) == 1, "AttachSkin did not report that it skinned the dialog");
    Pump();
    for (HWND window : windows) Expect(IsSkinned(window), "a window of the dialog is not skinned");
    Expect((GetWindowLongPtrW(ok, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW, "the OK button is not drawn by the skin");

    Expect(DetachSkin(dialog) == 1, "DetachSkin did not report that it took the skin off");
    Pump();
    for (HWND window : windows) Expect(!IsSkinned(window), "a window of the dialog is still skinned");
    Expect(GetWindowLongPtrW(ok, GWL_STYLE) == okStyle, "the OK button's style was not put back");
#ifdef SKIN_DLL_VERSION
    ExpectDllVersion();
#endif
    DestroyWindow(dialog);
    if (failures == 0) std::printf("skin consumer: passed\n");
    return failures == 0 ? 0 : 1;
}
