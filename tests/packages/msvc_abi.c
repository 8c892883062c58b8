/* Built for Microsoft's ABI (clang for the MSVC target) and linked by lld-link against the SDK's
 * dorrikskin.lib as an MSVC project would be: the calls go through the import library's names
 * (_AttachSkin@4 on x86) to the DLL's plain exports, with the stdcall convention on both sides.
 * No C runtime: the entry point calls Windows alone. Exit code 0 when the skin went on and off. */
#include <windows.h>

#include "dorrik_skin.h"

static int IsSkinned(HWND window) { return GetPropA(window, "PROCADDR") != NULL; }

void Start(void) {
    HWND form = CreateWindowExW(0, L"#32770", L"Built for Microsoft's ABI", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE,
                                40, 40, 240, 120, NULL, NULL, GetModuleHandleW(NULL), NULL);
    HWND button = CreateWindowExW(0, L"Button", L"OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 8, 8, 80, 24, form,
                                  (HMENU)IDOK, GetModuleHandleW(NULL), NULL);
    UINT failures = 0;
    if (!form || !button) failures |= 1;
    if (AttachSkin(form) != 1 || !IsSkinned(form) || !IsSkinned(button)) failures |= 2;
    if (DetachSkin(form) != 1 || IsSkinned(form) || IsSkinned(button)) failures |= 4;
    if (form) DestroyWindow(form);
    ExitProcess(failures);
}
