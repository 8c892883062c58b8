// Using the skin engine's DLL from a program that only knows its two exports, as a program in
// another language would: load it, find AttachSkin and DetachSkin by their plain names, skin a
// real dialog and take the skin off again.
//
//     dll_example [path of dorrikskin.dll] [--show]
//
// Without a path the DLL is looked for beside the program. With --show the skinned dialog stays
// up until it is closed. The exit code is 0 when every step did what it should.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <utility>
#include <vector>

#include "dorrik_skin.h"  // only for the two signatures; nothing is linked from the engine
#include "support/dialog_template.h"
#include "support/message_pump.h"

namespace {

using SkinEntry = decltype(&AttachSkin);

int failures = 0;

void Expect(bool condition, const char* what) {
    if (condition) return;
    ++failures;
    std::fprintf(stderr, "dll example: %s\n", what);
}

// --- A dialog template in memory: a caption, a text, a check box, a combo box and two buttons.

constexpr int kCheckId = 10;
constexpr int kComboId = 11;

testing_support::DialogTemplate ExampleDialogTemplate() {
    using testing_support::DialogTemplate;
    DialogTemplate t(L"Skinned from a DLL — 动态库", 0, 0, 200, 96,
                     DialogTemplate::kDialogStyle | DS_CENTER);
    // The controls' classes by atom, as in a compiled resource.
    t.AddItem(DialogTemplate::kStaticAtom, L"This dialog is skinned by dorrikskin.dll.", SS_LEFT, -1,
              8, 8, 184, 10);
    t.AddItem(DialogTemplate::kButtonAtom, L"A check box 复选框", BS_AUTOCHECKBOX | WS_TABSTOP,
              kCheckId, 8, 24, 120, 12);
    t.AddItem(DialogTemplate::kComboBoxAtom, L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP,
              kComboId, 8, 42, 120, 60);
    t.AddItem(DialogTemplate::kButtonAtom, L"OK 确定", BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, 84, 74,
              52, 16);
    t.AddItem(DialogTemplate::kButtonAtom, L"Cancel 取消", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, 140,
              74, 52, 16);
    return t;
}

INT_PTR CALLBACK ExampleDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        SendDlgItemMessageW(dialog, kComboId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"First 第一"));
        SendDlgItemMessageW(dialog, kComboId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Second 第二"));
        SendDlgItemMessageW(dialog, kComboId, CB_SETCURSEL, 0, 0);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) DestroyWindow(dialog);
        return TRUE;
    case WM_DESTROY:
        PostQuitMessage(0);
        return TRUE;
    default:
        return FALSE;
    }
}

// --- What the skin leaves on windows, looked at from outside.

struct WindowRecord {
    HWND window;
    LONG_PTR procedure;
    LONG_PTR style;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
    auto* records = reinterpret_cast<std::vector<WindowRecord>*>(list);
    records->push_back({window, GetWindowLongPtrW(window, GWLP_WNDPROC), GetWindowLongPtrW(window, GWL_STYLE)});
    return TRUE;
}

std::vector<WindowRecord> RecordWindows(HWND dialog) {
    std::vector<WindowRecord> records;
    CollectWindow(dialog, reinterpret_cast<LPARAM>(&records));
    EnumChildWindows(dialog, CollectWindow, reinterpret_cast<LPARAM>(&records));
    return records;
}

bool IsSkinned(HWND window) { return GetPropA(window, "PROCADDR") != nullptr; }

bool HasWindowRegion(HWND window) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    const int kind = GetWindowRgn(window, region);
    DeleteObject(region);
    return kind != ERROR;
}

// What the attach or detach set going (paints, posted work) is done.
void Pump() { testing_support::PumpMessagesFor(200); }

void CheckSkinned(HWND dialog, const std::vector<WindowRecord>& before) {
    HWND ok = GetDlgItem(dialog, IDOK);
    Expect(RecordWindows(dialog).size() == before.size(), "the dialog's windows changed");
    for (const WindowRecord& record : before) {
        Expect(IsSkinned(record.window), "a window of the dialog has no PROCADDR after AttachSkin");
        Expect(GetWindowLongPtrW(record.window, GWLP_WNDPROC) != record.procedure,
               "a window of the dialog kept its own window procedure after AttachSkin");
    }
    Expect((GetWindowLongPtrW(ok, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW,
           "the OK button is not drawn by the skin");
    Expect(HasWindowRegion(ok), "the OK button has no rounded region");
}

void CheckUnskinned(HWND dialog, const std::vector<WindowRecord>& before) {
    for (const WindowRecord& record : before) {
        Expect(!IsSkinned(record.window), "a window of the dialog still has PROCADDR after DetachSkin");
        Expect(GetWindowLongPtrW(record.window, GWLP_WNDPROC) == record.procedure,
               "a window procedure was not put back by DetachSkin");
        Expect(GetWindowLongPtrW(record.window, GWL_STYLE) == record.style,
               "a window style was not put back by DetachSkin");
    }
    Expect(!HasWindowRegion(GetDlgItem(dialog, IDOK)), "the OK button kept its region");
}

// The dialog stays up until it is closed, skinned.
void RunUntilClosed(HWND dialog) {
    MSG msg;
    while (IsWindow(dialog) && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(dialog, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const wchar_t* path = L"dorrikskin.dll";
    bool show = false;
    for (int i = 1; i < argc; ++i) {
        if (std::wcscmp(argv[i], L"--show") == 0)
            show = true;
        else
            path = argv[i];
    }

    HMODULE library = LoadLibraryW(path);
    if (!library) {
        std::fprintf(stderr, "dll example: cannot load %ls (error %lu)\n", path, GetLastError());
        return 2;
    }
    auto attach = reinterpret_cast<SkinEntry>(reinterpret_cast<void*>(GetProcAddress(library, "AttachSkin")));
    auto detach = reinterpret_cast<SkinEntry>(reinterpret_cast<void*>(GetProcAddress(library, "DetachSkin")));
    Expect(attach != nullptr, "AttachSkin is not exported under its plain name");
    Expect(detach != nullptr, "DetachSkin is not exported under its plain name");
    Expect(GetProcAddress(library, "_AttachSkin@4") == nullptr, "AttachSkin is exported decorated too");
    if (!attach || !detach) {
        FreeLibrary(library);
        return 1;
    }

    const testing_support::DialogTemplate dialogTemplate = ExampleDialogTemplate();
    HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dialogTemplate.get(), nullptr,
                                             ExampleDialogProc, 0);
    Expect(dialog != nullptr, "the dialog could not be made");
    if (!dialog) {
        FreeLibrary(library);
        return 1;
    }
    Pump();
    const std::vector<WindowRecord> before = RecordWindows(dialog);
    Expect(before.size() >= 6, "the dialog does not hold its five controls");

    // Skin twice: the second call finds the dialog skinned and does nothing.
    Expect(attach(dialog) == 1, "AttachSkin did not report that it skinned the dialog");
    Expect(attach(dialog) == 0, "a second AttachSkin reported a change");
    Pump();
    CheckSkinned(dialog, before);
    if (show) RunUntilClosed(dialog);

    if (IsWindow(dialog)) {
        Expect(detach(dialog) == 1, "DetachSkin did not report that it unskinned the dialog");
        Expect(detach(dialog) == 0, "a second DetachSkin reported a change");
        Pump();
        CheckUnskinned(dialog, before);

        // Once every window is unskinned the engine starts afresh on the next attach.
        Expect(attach(dialog) == 1, "AttachSkin after DetachSkin did not skin the dialog again");
        Pump();
        CheckSkinned(dialog, before);

        // A program that lets go of the library while windows are skinned: once its procedure has
        // been in a window, the DLL stays loaded for the life of the process.
        FreeLibrary(std::exchange(library, nullptr));
        Expect(GetModuleHandleW(L"dorrikskin.dll") != nullptr,
               "the DLL was unloaded while its window procedure was in use");
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        Pump();
        Expect(detach(dialog) == 1, "the second DetachSkin did not unskin the dialog");
        CheckUnskinned(dialog, before);
        Expect(GetModuleHandleW(L"dorrikskin.dll") != nullptr,
               "the DLL was unloaded after its procedure had been in windows");
        DestroyWindow(dialog);
    }
    if (library) FreeLibrary(library);

    if (failures == 0) std::printf("dll example: passed\n");
    return failures == 0 ? 0 : 1;
}
