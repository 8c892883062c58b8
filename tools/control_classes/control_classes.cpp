#include "control_classes.h"

#include <commctrl.h>

#include <string>

namespace controls {

namespace {

struct Superclass {
    const wchar_t* name;
    const wchar_t* base;
    DWORD style;     // added to every window of the class by CreateControl
    DWORD typeMask;  // the style bits that choose the control's type: a caller's choice replaces ours
    WNDPROC baseProc;
};

constexpr DWORD kComboTypeMask = CBS_SIMPLE | CBS_DROPDOWN | CBS_DROPDOWNLIST;

Superclass superclasses[] = {
    {kCheckBoxClass, L"Button", BS_AUTOCHECKBOX | WS_TABSTOP, BS_TYPEMASK, nullptr},
    {kOptionButtonClass, L"Button", BS_AUTORADIOBUTTON | WS_TABSTOP, BS_TYPEMASK, nullptr},
    {kComboBoxClass, L"ComboBox", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP,
     kComboTypeMask, nullptr},
    {kDriveListClass, L"ComboBox", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, kComboTypeMask, nullptr},
    {kProgressBarClass, PROGRESS_CLASSW, WS_BORDER, 0, nullptr},
    {kDataListClass, L"ListBox", LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 0, nullptr},
    {kGridClass, WC_LISTVIEWW, LVS_REPORT | WS_BORDER | WS_TABSTOP, LVS_TYPEMASK, nullptr},
};

// One window procedure per superclass, each handing everything to its base class.
template <int Index>
LRESULT CALLBACK SuperclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(superclasses[Index].baseProc, window, message, wParam, lParam);
}

const WNDPROC kSuperclassProcs[] = {
    SuperclassProc<0>, SuperclassProc<1>, SuperclassProc<2>, SuperclassProc<3>,
    SuperclassProc<4>, SuperclassProc<5>, SuperclassProc<6>,
};
static_assert(sizeof(kSuperclassProcs) / sizeof(kSuperclassProcs[0]) ==
              sizeof(superclasses) / sizeof(superclasses[0]));

LRESULT CALLBACK PlainFormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterPlainForm(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = PlainFormProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kFormClass;
    return RegisterClassExW(&wc) != 0;
}

bool RegisterSuperclass(HINSTANCE instance, int index) {
    Superclass& sc = superclasses[index];
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (!GetClassInfoExW(nullptr, sc.base, &wc)) return false;
    sc.baseProc = wc.lpfnWndProc;
    wc.lpfnWndProc = kSuperclassProcs[index];
    wc.hInstance = instance;
    wc.lpszClassName = sc.name;
    wc.style &= ~CS_GLOBALCLASS;
    return RegisterClassExW(&wc) != 0;
}

const Superclass* FindSuperclass(const wchar_t* className) {
    for (const Superclass& sc : superclasses) {
        if (lstrcmpiW(sc.name, className) == 0) return &sc;
    }
    return nullptr;
}

}  // namespace

bool RegisterControlClasses() {
    static bool registered = false;
    static bool ok = false;
    if (registered) return ok;
    registered = true;

    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    ok = RegisterPlainForm(instance);
    for (int i = 0; i < static_cast<int>(sizeof(superclasses) / sizeof(superclasses[0])); ++i)
        ok = RegisterSuperclass(instance, i) && ok;
    return ok;
}

HWND CreateControl(const wchar_t* className, const wchar_t* text, HWND parent, int x, int y,
                   int width, int height, DWORD extraStyle, int id) {
    RegisterControlClasses();
    DWORD style = WS_CHILD | WS_VISIBLE | extraStyle;
    if (const Superclass* sc = FindSuperclass(className)) {
        const DWORD ours = (extraStyle & sc->typeMask) ? sc->style & ~sc->typeMask : sc->style;
        style |= ours;
    }
    return CreateWindowExW(0, className, text, style, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
}

void FillDriveList(HWND driveList) {
    wchar_t drives[512] = {};
    const DWORD length = GetLogicalDriveStringsW(511, drives);
    for (const wchar_t* root = drives; root < drives + length && *root; root += lstrlenW(root) + 1) {
        std::wstring entry(1, static_cast<wchar_t>(root[0] | 0x20));
        entry += L':';
        wchar_t label[MAX_PATH + 1] = {};
        if (GetDriveTypeW(root) == DRIVE_FIXED &&
            GetVolumeInformationW(root, label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0) &&
            label[0]) {
            entry += L" [";
            entry += label;
            entry += L']';
        }
        SendMessageW(driveList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    }
    SendMessageW(driveList, CB_SETCURSEL, 0, 0);
}

}  // namespace controls
