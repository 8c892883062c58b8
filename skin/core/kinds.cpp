#include "core/kinds.h"

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

}  // namespace

std::string GetClassNameLower(HWND window) {
    char buffer[256] = {};
    const int length = GetClassNameA(window, buffer, 255);
    if (length <= 0) return {};
    std::string name(buffer);
    for (char& c : name) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return name;
}

ControlKind ClassifyClassName(std::string_view lowerClassName) {
    for (const KindName& entry : kKindNames) {
        if (lowerClassName == entry.name) return entry.kind;
    }
    if (lowerClassName.starts_with(kGridPrefix)) return ControlKind::Grid;
    return ControlKind::Other;
}

ControlKind ClassifyWindow(HWND window) { return ClassifyClassName(GetClassNameLower(window)); }

ControlKind ClassifyWindowWithOptions(HWND window, DWORD options) {
    const std::string name = GetClassNameLower(window);
    if (name == "systabcontrol32" && (options & DORRIK_SKIN_TABS)) return ControlKind::TabControl;
    if (name == "msctls_updown32" && (options & DORRIK_SKIN_UPDOWN)) return ControlKind::UpDown;
    if (name == "msctls_trackbar32" && (options & DORRIK_SKIN_TRACKBARS)) return ControlKind::Trackbar;
    return ClassifyClassName(name);
}

}  // namespace skin
