#include "core/kinds.h"

#include <commctrl.h>

#include "core/window_proc.h"
#include "dorrik_skin.h"

namespace skin {

namespace {

struct KindName {
    const char* name;
    ControlKind kind;
};

// Lower-case class names, compared for equality. The grid kind is a prefix match, below.
const KindName kKindNames[] = {
    {"#32770", ControlKind::Form},
    {"thunderformdc", ControlKind::Form},
    {"thunderrt6formdc", ControlKind::Form},
    {"form", ControlKind::Form},
    {"thundercommandbutton", ControlKind::PushButton},
    {"thunderrt6commandbutton", ControlKind::PushButton},
    {"button", ControlKind::PushButton},
    {"thundercombobox", ControlKind::ComboBox},
    {"thunderrt6combobox", ControlKind::ComboBox},
    {"combo", ControlKind::ComboBox},
    {"combobox", ControlKind::ComboBox},
    {"thunderdrivelistbox", ControlKind::DriveList},
    {"thunderrt6drivelistbox", ControlKind::DriveList},
    {"thundercheckbox", ControlKind::CheckBox},
    {"thunderrt6checkbox", ControlKind::CheckBox},
    {"thunderoptionbutton", ControlKind::OptionButton},
    {"thunderrt6optionbutton", ControlKind::OptionButton},
    {"msvb_lib_header", ControlKind::Header},
    {"sysheader32", ControlKind::Header},
    {"progressbar20wndclass", ControlKind::ProgressBar},
    {"progressbarwndclass", ControlKind::ProgressBar},
    {"datalistwndclass", ControlKind::DataList},
    {"dblistwndclass", ControlKind::DataList},
    {"combolbox", ControlKind::DropDownList},
};

constexpr std::string_view kGridPrefix = "apexgrid";

std::string LowerAscii(const char* text) {
    std::string name(text);
    for (char& c : name) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return name;
}

}  // namespace

std::string GetClassNameLower(HWND window) {
    char buffer[256] = {};
    if (GetClassNameA(window, buffer, 255) <= 0) return {};
    return LowerAscii(buffer);
}

ControlKind ClassifyClassName(std::string_view lowerClassName) {
    for (const KindName& entry : kKindNames) {
        if (lowerClassName == entry.name) return entry.kind;
    }
    if (lowerClassName.starts_with(kGridPrefix)) return ControlKind::Grid;
    return ControlKind::Other;
}

ControlKind ClassifyWindow(HWND window) { return ClassifyClassName(GetClassNameLower(window)); }

namespace {

// The common controls that an option takes over, by class name.
struct OptionKind {
    const char* name;
    DWORD option;
    ControlKind kind;
};

const OptionKind kOptionKinds[] = {
    {"systabcontrol32", DORRIK_SKIN_TABS, ControlKind::TabControl},
    {"msctls_updown32", DORRIK_SKIN_UPDOWN, ControlKind::UpDown},
    {"msctls_trackbar32", DORRIK_SKIN_TRACKBARS, ControlKind::Trackbar},
    {"msctls_progress32", DORRIK_SKIN_COMMON, ControlKind::ProgressControl},
    {"msctls_statusbar32", DORRIK_SKIN_COMMON, ControlKind::StatusBar},
    {"toolbarwindow32", DORRIK_SKIN_COMMON, ControlKind::Toolbar},
    {"syslistview32", DORRIK_SKIN_COMMON, ControlKind::ListView},
    {"systreeview32", DORRIK_SKIN_COMMON, ControlKind::TreeView},
    {"sysdatetimepick32", DORRIK_SKIN_COMMON, ControlKind::DateTimePicker},
    {"msctls_hotkey32", DORRIK_SKIN_COMMON, ControlKind::EditLikeField},
    {"sysipaddress32", DORRIK_SKIN_COMMON, ControlKind::EditLikeField},
    {"scrollbar", DORRIK_SKIN_SCROLLBARS, ControlKind::ScrollBar},
};

// What a "button" window is, by its type (the low four style bits).
ControlKind ButtonBoxKind(LONG style) {
    switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
        return ControlKind::ButtonCheckBox;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        return ControlKind::ButtonOption;
    case BS_GROUPBOX:
        return ControlKind::GroupBox;
    default:
        return ControlKind::PushButton;
    }
}

bool HasCaption(HWND window) { return GetWindowTextLengthW(window) > 0; }

bool HasImage(HWND window) {
    return SendMessageW(window, BM_GETIMAGE, IMAGE_BITMAP, 0) != 0 ||
           SendMessageW(window, BM_GETIMAGE, IMAGE_ICON, 0) != 0;
}

// Whether the program put a procedure of its own into the window's chain: the procedure on top
// (other than the skin's link) or the one under the skin's link differs from the class's. The
// procedure on top is compared as both the Unicode and the ANSI functions give it, so that a
// window made with either kind of function compares alike.
bool HasProgramProcedure(HWND window) {
    const LONG_PTR classProcedure = static_cast<LONG_PTR>(GetClassLongPtrW(window, GCLP_WNDPROC));
    const LONG_PTR top = GetWindowLongPtrW(window, GWLP_WNDPROC);
    const bool topIsTheClass =
        top == classProcedure ||
        static_cast<LONG_PTR>(GetWindowLongPtrA(window, GWLP_WNDPROC)) ==
            static_cast<LONG_PTR>(GetClassLongPtrA(window, GCLP_WNDPROC));
    if (top != reinterpret_cast<LONG_PTR>(SkinWindowProc) && !topIsTheClass) return true;
    const WindowRecord* record = FindRecord(window);
    return record && record->previous &&
           reinterpret_cast<LONG_PTR>(record->previous) != classProcedure;
}

}  // namespace

bool IsProgramCanvas(HWND window) {
    return !HasCaption(window) && !HasImage(window) && HasProgramProcedure(window);
}

namespace {

// ---- Controls by what they are ----
//
// Class libraries make their controls as superclasses of the platform's (Delphi's TButton,
// Windows Forms' WindowsForms10.BUTTON.app.0...): the platform's class info under a new name, with
// a procedure of their own that calls the platform's. To the engine a class it does not know is
// the program's own, and a program's class may give any message (WM_USER's range above all) a
// meaning of its own: such a window is asked nothing. What it is made from is read only where it
// cannot be so by accident:
// - RealGetWindowClass, where it names a platform class: Windows marks a window with its control's
//   type once the platform's own procedure has handled it (Wine 8 names the class itself);
// - the names class libraries give their superclasses, when the class also carries the platform
//   class's window extra bytes (the platform's procedure keeps its state there, a superclass may
//   only add to them) and its class style but for the bits class libraries set or clear.
// Any other window keeps the platform's own look.

// Class-style bits class libraries set or clear on their superclasses.
constexpr UINT kLooseClassStyles =
    CS_OWNDC | CS_CLASSDC | CS_PARENTDC | CS_GLOBALCLASS | CS_VREDRAW | CS_HREDRAW;

struct PlatformClass {
    const wchar_t* name;
    const char* lowerName;
};

const PlatformClass kPlatformClasses[] = {
    {L"Button", "button"},
    {L"ComboBox", "combobox"},
    {L"Edit", "edit"},
    {L"ListBox", "listbox"},
    {L"Static", "static"},
    {WC_TABCONTROLW, "systabcontrol32"},
    {UPDOWN_CLASSW, "msctls_updown32"},
    {TRACKBAR_CLASSW, "msctls_trackbar32"},
    {TOOLBARCLASSNAMEW, "toolbarwindow32"},
    {STATUSCLASSNAMEW, "msctls_statusbar32"},
    {PROGRESS_CLASSW, "msctls_progress32"},
    {WC_TREEVIEWW, "systreeview32"},
    {WC_LISTVIEWW, "syslistview32"},
    {WC_HEADERW, "sysheader32"},
    {DATETIMEPICK_CLASSW, "sysdatetimepick32"},
    {HOTKEY_CLASSW, "msctls_hotkey32"},
};

// Delphi's VCL names each superclass after the control class that registers it; so do the
// installers built on it, whose own controls (the "TNew..." names) are made from the platform's.
struct LibraryName {
    const char* name;
    const char* platform;
};

const LibraryName kLibraryNames[] = {
    {"tbutton", "button"},
    {"tcheckbox", "button"},
    {"tradiobutton", "button"},
    {"tcombobox", "combobox"},
    {"tedit", "edit"},
    {"tmemo", "edit"},
    {"tlistbox", "listbox"},
    {"tstatictext", "static"},
    {"ttabcontrol", "systabcontrol32"},
    {"tpagecontrol", "systabcontrol32"},
    {"tupdown", "msctls_updown32"},
    {"ttrackbar", "msctls_trackbar32"},
    {"ttoolbar", "toolbarwindow32"},
    {"tstatusbar", "msctls_statusbar32"},
    {"tprogressbar", "msctls_progress32"},
    {"ttreeview", "systreeview32"},
    {"tlistview", "syslistview32"},
    {"theadercontrol", "sysheader32"},
    {"tdatetimepicker", "sysdatetimepick32"},
    {"thotkey", "msctls_hotkey32"},
    {"tnewbutton", "button"},
    {"tnewcheckbox", "button"},
    {"tnewradiobutton", "button"},
    {"tnewedit", "edit"},
    {"tpasswordedit", "edit"},
    {"tnewmemo", "edit"},
    {"tnewcombobox", "combobox"},
    {"tnewlistbox", "listbox"},
    {"tnewchecklistbox", "listbox"},
    {"tnewstatictext", "static"},
    {"tnewprogressbar", "msctls_progress32"},
};

// Windows Forms names a superclass "WindowsForms<version>.<platform class>.app.<application>".
constexpr std::string_view kWindowsFormsPrefix = "windowsforms";
constexpr std::string_view kWindowsFormsApp = ".app.";

const PlatformClass* FindPlatformClass(std::string_view lowerName) {
    for (const PlatformClass& platform : kPlatformClasses) {
        if (lowerName == platform.lowerName) return &platform;
    }
    return nullptr;
}

std::string_view WindowsFormsBase(std::string_view lowerName) {
    if (!lowerName.starts_with(kWindowsFormsPrefix)) return {};
    std::string_view rest = lowerName.substr(kWindowsFormsPrefix.size());
    const size_t dot = rest.find('.');
    if (dot == 0 || dot == std::string_view::npos ||
        rest.substr(0, dot).find_first_not_of("0123456789") != std::string_view::npos)
        return {};
    rest = rest.substr(dot + 1);
    const size_t app = rest.find(kWindowsFormsApp);
    return app == std::string_view::npos ? std::string_view{} : rest.substr(0, app);
}

// The platform class a class library's name says the class is made from.
const PlatformClass* LibraryBase(std::string_view lowerName) {
    for (const LibraryName& entry : kLibraryNames) {
        if (lowerName == entry.name) return FindPlatformClass(entry.platform);
    }
    return FindPlatformClass(WindowsFormsBase(lowerName));
}

bool MatchesClassInfo(HWND window, const PlatformClass& platform) {
    WNDCLASSEXW info{};
    info.cbSize = sizeof(info);
    if (!GetClassInfoExW(nullptr, platform.name, &info)) return false;
    const auto extra = static_cast<int>(GetClassLongPtrW(window, GCL_CBWNDEXTRA));
    const auto style = static_cast<UINT>(GetClassLongPtrW(window, GCL_STYLE));
    return extra >= info.cbWndExtra &&
           (style & ~kLooseClassStyles) == (info.style & ~kLooseClassStyles);
}

std::string RealClassNameLower(HWND window) {
    char buffer[256] = {};
    if (RealGetWindowClassA(window, buffer, 255) == 0) return {};
    return LowerAscii(buffer);
}

// Whether the engine knows the class by its name.
bool IsNamedClass(const std::string& name) {
    if (ClassifyClassName(name) != ControlKind::Other) return true;
    for (const OptionKind& entry : kOptionKinds) {
        if (name == entry.name) return true;
    }
    return FindPlatformClass(name) != nullptr;
}

}  // namespace

std::string PlatformClassName(HWND window) {
    std::string name = GetClassNameLower(window);
    if (name.empty() || IsNamedClass(name)) return name;
    if (const PlatformClass* real = FindPlatformClass(RealClassNameLower(window))) return real->lowerName;
    const PlatformClass* base = LibraryBase(name);
    if (base && MatchesClassInfo(window, *base)) return base->lowerName;
    return name;
}

ControlKind ClassifyWindowWithOptions(HWND window, DWORD options) {
    const std::string name = PlatformClassName(window);
    for (const OptionKind& entry : kOptionKinds) {
        if (name == entry.name) return (options & entry.option) ? entry.kind : ClassifyClassName(name);
    }
    if (name != "button") return ClassifyClassName(name);

    const ControlKind kind = ButtonBoxKind(GetWindowLongW(window, GWL_STYLE));
    if (kind == ControlKind::PushButton) {
        // A push button the program paints itself is its canvas: the skin keeps off its face.
        if ((options & DORRIK_SKIN_IMAGES) && IsProgramCanvas(window)) return ControlKind::Other;
        return ControlKind::PushButton;
    }
    return (options & DORRIK_SKIN_BUTTONS) ? kind : ControlKind::PushButton;
}

}  // namespace skin
