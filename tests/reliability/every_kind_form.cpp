#include "every_kind_form.h"

#include <commctrl.h>

#include <algorithm>
#include <sstream>

#include "../support/message_pump.h"
#include "../support/window_names.h"
#include "control_classes.h"
#include "core/attach.h"
#include "core/window_proc.h"
#include "dorrik_skin.h"
#include "render/image_set.h"

namespace reliability {

namespace {

using testing_support::LowerClassName;
using testing_support::PumpMessages;
using testing_support::SkinPropertyNames;

struct SlotLayout {
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
    DWORD exStyle;
    bool inFrame;
    int x, y, width, height;  // a combo box's height includes its dropped list
};

const SlotLayout kSlots[kSlotCount] = {
    {L"Static", L"", SS_ETCHEDFRAME, 0, false, 8, 0, 249, 57},
    {L"Button", L"Open tray", BS_PUSHBUTTON | WS_TABSTOP, 0, true, 8, 16, 113, 33},
    {L"Button", L"Close tray", BS_PUSHBUTTON | WS_TABSTOP, 0, true, 128, 16, 113, 33},
    {L"Button", L"Default", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, false, 270, 8, 90, 28},
    {L"Button", L"Own check", BS_AUTOCHECKBOX | WS_TABSTOP, 0, false, 370, 8, 100, 20},
    {controls::kCheckBoxClass, L"Check", 0, 0, false, 8, 64, 100, 17},
    {controls::kOptionButtonClass, L"Option one", WS_GROUP, 0, false, 112, 64, 100, 17},
    {controls::kOptionButtonClass, L"Option two", 0, 0, false, 216, 64, 100, 17},
    {controls::kComboBoxClass, L"", 0, 0, false, 8, 90, 120, 160},
    {L"ComboBox", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0, false, 136, 90, 120, 160},
    {L"ComboBox", L"", CBS_SIMPLE | WS_TABSTOP, 0, false, 264, 90, 120, 76},
    {controls::kDriveListClass, L"", 0, 0, false, 392, 90, 120, 160},
    {controls::kProgressBarClass, L"", 0, 0, false, 8, 176, 200, 17},
    {controls::kDataListClass, L"", 0, 0, false, 8, 200, 150, 60},
    {controls::kGridClass, L"", 0, WS_EX_CLIENTEDGE, false, 166, 200, 200, 60},
    {L"SysHeader32", L"", HDS_BUTTONS | HDS_HORZ, 0, false, 374, 176, 170, 24},
    {L"Static", L"Label", SS_LEFT, WS_EX_CLIENTEDGE, false, 374, 240, 100, 16},
};

void AddHeaderItem(HWND header, int index, const wchar_t* text, int width) {
    HDITEMW item{};
    item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
    item.fmt = HDF_STRING | HDF_CENTER;
    item.cxy = width;
    item.pszText = const_cast<wchar_t*>(text);
    SendMessageW(header, HDM_INSERTITEMW, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&item));
}

void FillSlot(HWND window, Slot slot) {
    switch (slot) {
    case kCombo:
    case kListCombo:
    case kSimpleCombo:
        for (const wchar_t* text : {L"one", L"two", L"three", L"four"})
            SendMessageW(window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        SendMessageW(window, CB_SETCURSEL, 1, 0);
        break;
    case kDriveList:
        // Fixed drives: asking the machine for its own makes Wine complain on every form.
        for (const wchar_t* text : {L"c: [system]", L"d:", L"z:"})
            SendMessageW(window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        SendMessageW(window, CB_SETCURSEL, 0, 0);
        break;
    case kProgressBar:
        SendMessageW(window, PBM_SETRANGE32, 0, 30000);
        SendMessageW(window, PBM_SETPOS, 10000, 0);
        break;
    case kDataList:
        for (const wchar_t* text : {L"alpha", L"beta", L"gamma", L"delta", L"epsilon"})
            SendMessageW(window, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        break;
    case kGrid: {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 90;
        column.pszText = const_cast<wchar_t*>(L"Name");
        SendMessageW(window, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
        column.pszText = const_cast<wchar_t*>(L"Value");
        SendMessageW(window, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));
        for (int i = 0; i < 3; ++i) {
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = i;
            item.pszText = const_cast<wchar_t*>(L"row");
            SendMessageW(window, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        }
        break;
    }
    case kHeader:
        AddHeaderItem(window, 0, L"Drive", 60);
        AddHeaderItem(window, 1, L"Label", 50);
        AddHeaderItem(window, 2, L"Size", 60);
        break;
    case kCheckBox:
    case kOption1:
        SendMessageW(window, BM_SETCHECK, BST_CHECKED, 0);
        break;
    default:
        break;
    }
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM windows) {
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectTopLevelAndDescendants(HWND window, LPARAM windows) {
    auto* list = reinterpret_cast<std::vector<HWND>*>(windows);
    list->push_back(window);
    EnumChildWindows(window, CollectWindow, windows);
    return TRUE;
}

bool OneOf(const std::string& name, std::initializer_list<const char*> names) {
    for (const char* candidate : names)
        if (name == candidate) return true;
    return false;
}

std::string Joined(const std::vector<std::string>& names) {
    std::string text = "{";
    for (const std::string& name : names) text += (text.size() > 1 ? " " : "") + name;
    return text + "}";
}

std::string WindowName(HWND window) {
    std::ostringstream text;
    text << "window " << window << " (" << LowerClassName(window) << ")";
    return text.str();
}

bool ComboKind(HWND window) {
    return OneOf(LowerClassName(window),
                 {"thundercombobox", "thunderrt6combobox", "combo", "combobox",
                  "thunderdrivelistbox", "thunderrt6drivelistbox"});
}

}  // namespace

HWND CreateSlot(EveryKindForm& form, Slot slot) {
    const SlotLayout& layout = kSlots[slot];
    HWND parent =
        layout.inFrame && IsWindow(form.children[kFrame]) ? form.children[kFrame] : form.form;
    HWND window = controls::CreateControl(layout.className, layout.text, parent, layout.x, layout.y,
                                          layout.width, layout.height, layout.style, 100 + slot);
    if (window && layout.exStyle) {
        SetWindowLongPtrW(window, GWL_EXSTYLE,
                          GetWindowLongPtrW(window, GWL_EXSTYLE) | layout.exStyle);
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    if (window) FillSlot(window, slot);
    form.children[slot] = window;
    return window;
}

EveryKindForm CreateEveryKindForm(int x, int y) {
    controls::RegisterControlClasses();
    EveryKindForm form;
    form.form = CreateWindowExW(0, controls::kFormClass, L"Every kind", WS_POPUP | WS_VISIBLE, x, y,
                                560, 280, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    for (int slot = 0; slot < kSlotCount; ++slot) CreateSlot(form, static_cast<Slot>(slot));
    PumpMessages();
    return form;
}

std::vector<HWND> FormWindows(HWND form) {
    std::vector<HWND> windows;
    if (!IsWindow(form)) return windows;
    windows.push_back(form);
    EnumChildWindows(form, CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::vector<HWND> DropDownLists(HWND form) {
    std::vector<HWND> lists;
    for (HWND window : FormWindows(form)) {
        if (!ComboKind(window)) continue;
        COMBOBOXINFO info{};
        info.cbSize = sizeof(info);
        if (!GetComboBoxInfo(window, &info) || !info.hwndList) continue;
        // A simple combo box's list is its child and already among the form's windows.
        if (GetAncestor(info.hwndList, GA_PARENT) == window) continue;
        lists.push_back(info.hwndList);
    }
    return lists;
}

std::vector<HWND> ThreadWindows() {
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectTopLevelAndDescendants,
                      reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// The properties of an attached window's kind.
std::vector<std::string> ExpectedProperties(HWND window) {
    const std::string name = LowerClassName(window);
    if (OneOf(name, {"thundercommandbutton", "thunderrt6commandbutton", "button"})) {
        return {"0BMP", "0HDC",       "1BMP",      "1HDC",     "2BMP",     "2HDC",     "3BMP",
                "3HDC", "ALPHALEVEL", "MOUSEFLAG", "OLDSTATE", "OLDSTYLE", "PROCADDR", "TIMERID"};
    }
    if (OneOf(name, {"thundercombobox", "thunderrt6combobox", "combo", "combobox",
                     "thunderdrivelistbox", "thunderrt6drivelistbox", "thundercheckbox",
                     "thunderrt6checkbox", "thunderoptionbutton", "thunderrt6optionbutton"})) {
        return {"MOUSEFLAG", "OLDSTATE", "PROCADDR"};
    }
    if (OneOf(name, {"msvb_lib_header", "sysheader32"}))
        return {"HDINDEX", "HMINDEX", "MOUSEFLAG", "PROCADDR"};
    return {"PROCADDR"};
}

std::string CheckSkinInvariants() { return CheckSkinInvariants(ThreadWindows()); }

std::string CheckSkinInvariants(const std::vector<HWND>& threadWindows,
                                std::set<std::string>* skinnedClasses) {
    const skin::EngineState& engine = skin::Engine();
    int carriers = 0;
    size_t recorded = 0;
    for (HWND window : threadWindows) {
        const skin::WindowRecord* record = skin::FindRecord(window);
        recorded += record != nullptr;
        // Made inside a skinned window and not painted yet: linked, attached at its first paint.
        const bool waiting = record && record->link == skin::Link::Waiting;
        const std::vector<std::string> carried = SkinPropertyNames(window);
        const bool attached =
            std::find(carried.begin(), carried.end(), std::string("PROCADDR")) != carried.end();
        const std::vector<std::string> expected =
            attached ? ExpectedProperties(window) : std::vector<std::string>{};
        if (carried != expected)
            return WindowName(window) + " carries " + Joined(carried) + ", expected " +
                   Joined(expected);
        const bool runsSkin = GetWindowLongPtrW(window, GWLP_WNDPROC) ==
                              reinterpret_cast<LONG_PTR>(&skin::SkinWindowProc);
        if (attached != runsSkin && !(waiting && runsSkin))
            return WindowName(window) + (attached ? " carries PROCADDR but runs another procedure"
                                                  : " runs the skin's procedure without PROCADDR");
        if (!attached) continue;
        ++carriers;
        if (skinnedClasses) skinnedClasses->insert(LowerClassName(window));
    }
    if (recorded != skin::RecordCount()) {
        std::ostringstream text;
        text << "the engine keeps " << skin::RecordCount() << " window records but "
             << recorded << " windows of the thread have one";
        return text.str();
    }
    if (carriers != engine.skinnedWindowCount) {
        std::ostringstream text;
        text << "SkinnedWindowCount " << engine.skinnedWindowCount << " but " << carriers
             << " windows carry PROCADDR";
        return text.str();
    }
    const skin::SkinImageSet& images = skin::SkinImages();
    const HDC all[] = {images.ButtonFaceImage, images.ComboButtonImage, images.GlyphImage,
                       images.CheckBoxImage, images.HeaderImage};
    for (HDC image : all) {
        // An image whose surface could not be made is 0 (the engine then draws without it); one
        // that is not 0 must still be alive while anything is skinned.
        if (carriers > 0 && image && GetObjectType(image) != OBJ_MEMDC)
            return "windows are skinned but an image of the set was freed";
        if (!engine.initialised && image) return "the engine is uninitialised but holds an image";
    }
    return {};
}

void RunUseCycle(EveryKindForm& form) {
    AttachSkin(form.form);
    const std::vector<HWND> windows = FormWindows(form.form);

    // Every window painted, frames included.
    RedrawWindow(form.form, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);

    // Hover, press and release, leaving: every window.
    for (HWND window : windows) {
        if (!IsWindow(window)) continue;
        SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(4, 4));
        SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
        SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
        SendMessageW(window, WM_MOUSELEAVE, 0, 0);
    }
    PumpMessages();

    // A push button pressed and dragged off, double-clicked, and pressed with the space bar.
    HWND button = form.children[kCommand1];
    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    SendMessageW(button, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-5, 40));
    SendMessageW(button, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(4, 4));
    SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    SendMessageW(button, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(4, 4));
    SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    SendMessageW(button, WM_KEYDOWN, VK_SPACE, 0x00390001);
    SendMessageW(button, WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0390001u));
    SendMessageW(button, WM_MOUSELEAVE, 0, 0);

    // A full fade of the hot face: 86 ticks from level 0, and a few stray ones after it.
    SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    for (int tick = 0; tick < 90; ++tick) SendMessageW(button, WM_TIMER, 1, 0);
    SendMessageW(button, WM_MOUSELEAVE, 0, 0);

    // Resize a button and the form, and back.
    RECT rect{};
    GetWindowRect(button, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    const UINT sizeOnly = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(button, nullptr, 0, 0, width + 17, height + 5, sizeOnly);
    SetWindowPos(button, nullptr, 0, 0, width, height, sizeOnly);
    SetWindowPos(form.form, nullptr, 0, 0, 600, 300, sizeOnly);
    SetWindowPos(form.form, nullptr, 0, 0, 560, 280, sizeOnly);

    // Focus moving from control to control.
    for (Slot slot : {kCommand1, kOption1, kCheckBox, kCombo, kCommand2, kOption2, kDefaultButton})
        SetFocus(form.children[slot]);
    SetFocus(form.form);

    // Disable and enable everything, painting in between.
    for (HWND window : windows)
        if (window != form.form && IsWindow(window)) EnableWindow(window, FALSE);
    RedrawWindow(form.form, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    for (HWND window : windows)
        if (window != form.form && IsWindow(window)) EnableWindow(window, TRUE);

    // Drop each drop-down combo box and close it again.
    for (Slot slot : {kCombo, kListCombo, kDriveList}) {
        SendMessageW(form.children[slot], CB_SHOWDROPDOWN, TRUE, 0);
        PumpMessages();
        for (HWND list : DropDownLists(form.form)) UpdateWindow(list);
        SendMessageW(form.children[slot], CB_SHOWDROPDOWN, FALSE, 0);
    }
    PumpMessages();

    DetachSkin(form.form);
    PumpMessages();
}

}  // namespace reliability
