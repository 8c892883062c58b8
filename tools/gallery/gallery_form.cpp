// The gallery form: every control kind the skin knows, on real controls, in every look a person
// meets (normal, disabled, focused, checked, indeterminate...). Statics are the form's labels.
#include "gallery_form.h"

#include <commctrl.h>

#include <span>
#include <string>

#include "control_classes.h"
#include "dorrik_skin.h"
#include "platform_form.h"

namespace gallery {

namespace {

constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr int kProgressIds[3] = {130, 131, 132};

// What a control gets after it is made.
enum class Fill {
    None,
    Checked,
    Indeterminate,   // a three-state check box in its third state
    Selected,        // the option button that is on
    Choices,         // a few colours, the first one shown
    Drives,
    HeaderItems,
    ListItems,
    GridRows,
    OptionGroup,     // a frame with its option buttons
    ProgressScale,   // the designer's progress scale
};

// Where a control sits, what it is, and what it gets after it is made.
struct ControlLayout {
    const wchar_t* className;
    const wchar_t* text;
    int x, y, width, height;
    DWORD style;  // added to what the class gives
    int id;
    Fill fill;
};

constexpr DWORD kPushButton = BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX;

// The form's own controls. Combo heights include the dropped-down list.
const ControlLayout kFormControls[] = {
    {L"Static", L"Push buttons 按钮", 12, 10, 300, 16, kLabel, 0, Fill::None},
    {L"Button", L"Normal 普通", 12, 30, 100, 28, kPushButton, kNormalButtonId, Fill::None},
    {L"Button", L"Disabled 禁用", 120, 30, 100, 28, kPushButton | WS_DISABLED, kDisabledButtonId, Fill::None},
    {L"Button", L"Focused 焦点", 228, 30, 110, 28, kPushButton, kFocusButtonId, Fill::None},
    {L"Button", L"Message box… 消息框", 346, 30, 160, 28, kPushButton, kMessageBoxButtonId, Fill::None},

    {L"Static", L"Check boxes 复选框", 12, 70, 300, 16, kLabel, 0, Fill::None},
    {controls::kCheckBoxClass, L"Unchecked 未选", 12, 90, 108, 20, 0, 0, Fill::None},
    {controls::kCheckBoxClass, L"Checked 已选", 124, 90, 104, 20, 0, 0, Fill::Checked},
    {controls::kCheckBoxClass, L"Indeterminate 不定", 232, 90, 140, 20, 0, 0, Fill::Indeterminate},
    {controls::kCheckBoxClass, L"Disabled 禁用", 376, 90, 110, 20, WS_DISABLED, 0, Fill::Checked},
    {kFrameClass, L"Options 选项", 12, 124, 180, 106, WS_GROUP, 0, Fill::OptionGroup},

    {L"Static", L"Combo boxes 组合框", 208, 124, 300, 16, kLabel, 0, Fill::None},
    {controls::kComboBoxClass, nullptr, 208, 144, 170, 200, 0, 0, Fill::Choices},
    {L"ComboBox", nullptr, 390, 144, 170, 200, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0, Fill::Choices},
    {L"ComboBox", nullptr, 208, 176, 170, 84, CBS_SIMPLE | WS_VSCROLL | WS_TABSTOP, 0, Fill::Choices},
    {controls::kComboBoxClass, nullptr, 390, 176, 170, 200, WS_DISABLED, 0, Fill::Choices},
    {controls::kDriveListClass, nullptr, 390, 208, 170, 200, 0, 0, Fill::Drives},

    {L"Static", L"Progress 进度", 540, 10, 76, 16, kLabel, 0, Fill::None},
    {controls::kProgressBarClass, nullptr, 560, 30, 18, 230, PBS_VERTICAL, kProgressIds[1], Fill::ProgressScale},
    {controls::kProgressBarClass, nullptr, 588, 30, 18, 230, PBS_VERTICAL | PBS_SMOOTH, kProgressIds[2], Fill::ProgressScale},

    {L"Static", L"Header 标题栏", 12, 270, 300, 16, kLabel, 0, Fill::None},
    {WC_HEADERW, nullptr, 12, 290, 400, 24, HDS_BUTTONS | HDS_HORZ, 0, Fill::HeaderItems},
    {controls::kProgressBarClass, nullptr, 424, 292, 182, 20, 0, kProgressIds[0], Fill::ProgressScale},

    {L"Static", L"Data list 数据列表", 12, 326, 180, 16, kLabel, 0, Fill::None},
    {controls::kDataListClass, nullptr, 12, 346, 180, 80, 0, 0, Fill::ListItems},
    {L"Static", L"Grid 表格", 208, 326, 300, 16, kLabel, 0, Fill::None},
    {controls::kGridClass, nullptr, 208, 346, 398, 80, 0, 0, Fill::GridRows},

    {controls::kCheckBoxClass, L"Skin on 皮肤开启", 12, 434, 200, 20, 0, kSkinToggleId, Fill::Checked},
    {L"Button", L"Platform controls… 系统控件", 388, 430, 220, 26, kPushButton, kPlatformFormButtonId, Fill::None},
};

// An option group: the second option is on, the third cannot be chosen.
const ControlLayout kFrameControls[] = {
    {controls::kOptionButtonClass, L"First 第一", 12, 24, 156, 20, WS_GROUP, 0, Fill::None},
    {controls::kOptionButtonClass, L"Second 第二", 12, 50, 156, 20, 0, 0, Fill::Selected},
    {controls::kOptionButtonClass, L"Third 第三", 12, 76, 156, 20, WS_DISABLED, 0, Fill::None},
};

// The form designer's progress bars count from 0 to 30000, and the skin reads positions so.
constexpr int kProgressFull = 30000;

const wchar_t* const kChoices[] = {L"Red 红", L"Green 绿", L"Blue 蓝", L"Yellow 黄"};

struct HeaderItem {
    const wchar_t* text;
    int width;
};
const HeaderItem kHeaderItems[] = {
    {L"Name 名称", 120}, {L"Size 大小", 80}, {L"Type 类型", 90}, {L"Modified", 110}};

const wchar_t* const kListItems[] = {L"Alpha 甲", L"Beta 乙", L"Gamma 丙", L"Delta 丁",
                                     L"Epsilon 戊", L"Zeta 己"};

const HeaderItem kGridColumns[] = {{L"File 文件", 150}, {L"Size", 80}, {L"Kind 种类", 140}};
const wchar_t* const kGridRows[][3] = {
    {L"readme.txt", L"2 KB", L"Text 文本"},
    {L"dorrik.exe", L"180 KB", L"Program 程序"},
    {L"skin.dll", L"160 KB", L"Library 库"},
    {L"photo.png", L"34 KB", L"Picture 图片"},
};

GalleryParts* Parts(HWND form) {
    return reinterpret_cast<GalleryParts*>(GetWindowLongPtrW(form, GWLP_USERDATA));
}

void AddHeaderItems(HWND header) {
    int index = 0;
    for (const HeaderItem& item : kHeaderItems) {
        HDITEMW hd{};
        hd.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
        hd.fmt = HDF_LEFT | HDF_STRING;
        hd.cxy = item.width;
        hd.pszText = const_cast<wchar_t*>(item.text);
        SendMessageW(header, HDM_INSERTITEMW, index++, reinterpret_cast<LPARAM>(&hd));
    }
}

void AddGridRows(HWND grid) {
    SendMessageW(grid, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    int column = 0;
    for (const HeaderItem& item : kGridColumns) {
        LVCOLUMNW lvc{};
        lvc.mask = LVCF_TEXT | LVCF_WIDTH;
        lvc.cx = item.width;
        lvc.pszText = const_cast<wchar_t*>(item.text);
        SendMessageW(grid, LVM_INSERTCOLUMNW, column++, reinterpret_cast<LPARAM>(&lvc));
    }
    int row = 0;
    for (const auto& cells : kGridRows) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = const_cast<wchar_t*>(cells[0]);
        SendMessageW(grid, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        for (int cell = 1; cell < 3; ++cell) {
            item.iSubItem = cell;
            item.pszText = const_cast<wchar_t*>(cells[cell]);
            SendMessageW(grid, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        }
        ++row;
    }
}

void CreateControls(HWND parent, std::span<const ControlLayout> layouts, HFONT font);

void FillControl(HWND control, Fill fill, HFONT font) {
    switch (fill) {
    case Fill::None:
        break;
    case Fill::Checked:
    case Fill::Selected:
        SendMessageW(control, BM_SETCHECK, BST_CHECKED, 0);
        break;
    case Fill::Indeterminate:
        // The check box class is two-state; the button type is the low bits of the style, so
        // it is switched here rather than added to the class's style.
        SendMessageW(control, BM_SETSTYLE, BS_AUTO3STATE, FALSE);
        SendMessageW(control, BM_SETCHECK, BST_INDETERMINATE, 0);
        break;
    case Fill::Choices:
        for (const wchar_t* choice : kChoices)
            SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice));
        SendMessageW(control, CB_SETCURSEL, 0, 0);
        break;
    case Fill::Drives:
        controls::FillDriveList(control);
        break;
    case Fill::HeaderItems:
        AddHeaderItems(control);
        break;
    case Fill::ListItems:
        for (const wchar_t* item : kListItems)
            SendMessageW(control, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        SendMessageW(control, LB_SETCURSEL, 1, 0);
        break;
    case Fill::GridRows:
        AddGridRows(control);
        break;
    case Fill::ProgressScale:
        SendMessageW(control, PBM_SETRANGE32, 0, kProgressFull);
        break;
    case Fill::OptionGroup:
        // Tab and the arrow keys reach into the frame as into a dialog.
        SetWindowLongPtrW(control, GWL_EXSTYLE, GetWindowLongPtrW(control, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
        CreateControls(control, kFrameControls, font);
        break;
    }
}

void CreateControls(HWND parent, std::span<const ControlLayout> layouts, HFONT font) {
    for (const ControlLayout& layout : layouts) {
        HWND control = controls::CreateControl(layout.className, layout.text, parent, layout.x,
                                               layout.y, layout.width, layout.height, layout.style,
                                               layout.id);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        FillControl(control, layout.fill, font);
    }
}

// --- The frame: caption on an etched line, like a group box, and a parent of its own.

int FrameCaptionHeight(HDC dc) {
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    return metrics.tmHeight;
}

LRESULT FramePaint(HWND frame) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(frame, &ps);
    HGDIOBJ previousFont = SelectObject(dc, reinterpret_cast<HFONT>(GetWindowLongPtrW(frame, GWLP_USERDATA)));
    RECT rect;
    GetClientRect(frame, &rect);
    rect.top = FrameCaptionHeight(dc) / 2;
    DrawEdge(dc, &rect, EDGE_ETCHED, BF_RECT);

    wchar_t caption[128] = {};
    GetWindowTextW(frame, caption, 128);
    RECT textRect = {8, 0, rect.right - 8, FrameCaptionHeight(dc)};
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    SetBkMode(dc, OPAQUE);
    // Padded by a space each side, so the line stops short of the caption.
    DrawTextW(dc, (L" " + std::wstring(caption) + L" ").c_str(), -1, &textRect,
              DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, previousFont);
    EndPaint(frame, &ps);
    return 0;
}

LRESULT CALLBACK FrameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        return FramePaint(frame);
    case WM_SETFONT:
        SetWindowLongPtrW(frame, GWLP_USERDATA, static_cast<LONG_PTR>(wParam));
        if (LOWORD(lParam)) InvalidateRect(frame, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return GetWindowLongPtrW(frame, GWLP_USERDATA);
    case WM_COMMAND:
        return SendMessageW(GetParent(frame), message, wParam, lParam);
    default:
        return DefWindowProcW(frame, message, wParam, lParam);
    }
}

// --- The form.

LRESULT FormCreate(HWND form) {
    auto* parts = new GalleryParts;
    parts->form = form;
    parts->font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    SetWindowLongPtrW(form, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(parts));

    CreateControls(form, kFormControls, parts->font);

    parts->focusButton = GetDlgItem(form, kFocusButtonId);
    parts->messageBoxButton = GetDlgItem(form, kMessageBoxButtonId);
    parts->skinToggle = GetDlgItem(form, kSkinToggleId);
    for (int i = 0; i < 3; ++i) parts->progress[i] = GetDlgItem(form, kProgressIds[i]);
    SetTimer(form, kProgressTimerId, kProgressTimerInterval, nullptr);
    return 0;
}

// The three bars move at their own pace and start over when full.
LRESULT FormTimer(GalleryParts& parts, WPARAM timerId) {
    if (timerId != kProgressTimerId) return 0;
    ++parts.progressStep;
    const int percents[3] = {parts.progressStep % 101, (parts.progressStep / 2 + 40) % 101,
                             (parts.progressStep * 3 / 2 + 70) % 101};
    for (int i = 0; i < 3; ++i)
        SendMessageW(parts.progress[i], PBM_SETPOS, percents[i] * (kProgressFull / 100), 0);
    return 0;
}

void ShowMessageBox(HWND form) {
    MessageBoxW(form,
                L"A message box over a skinned form is skinned when it takes the activation.\n"
                L"消息框打开时也带上皮肤。",
                L"Dorrik gallery", MB_OK | MB_ICONINFORMATION);
}

// AttachSkin's look, with the skin's caption and frame.
void AttachGallerySkin(HWND form) { AttachSkinEx(form, DORRIK_SKIN_FRAME); }

// Puts the skin on or off as the check box says, then has everything painted again.
LRESULT FormApplySkinToggle(HWND form, GalleryParts& parts) {
    const bool wanted = SendMessageW(parts.skinToggle, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (wanted == parts.skinned) return 0;
    if (wanted)
        AttachGallerySkin(form);
    else
        DetachSkin(form);
    parts.skinned = wanted;
    RedrawWindow(form, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    return 0;
}

// The skin check box's click is still running when it reports: the switch waits for it to end.
LRESULT FormCommand(HWND form, WPARAM wParam) {
    const int code = HIWORD(wParam);
    if (code != BN_CLICKED && code != BN_DOUBLECLICKED) return 0;
    if (LOWORD(wParam) == kSkinToggleId) PostMessageW(form, kApplySkinToggle, 0, 0);
    if (LOWORD(wParam) == kMessageBoxButtonId) ShowMessageBox(form);
    if (LOWORD(wParam) == kPlatformFormButtonId)
        CreatePlatformForm(GetModuleHandleW(nullptr), nullptr, PlatformSkin::Whole, false);
    return 0;
}

LRESULT FormClose(HWND form, GalleryParts& parts) {
    if (parts.skinned) DetachSkin(form);
    parts.skinned = false;
    DestroyWindow(form);
    return 0;
}

void FormNcDestroy(HWND form, GalleryParts* parts) {
    KillTimer(form, kProgressTimerId);
    SetWindowLongPtrW(form, GWLP_USERDATA, 0);
    delete parts;
    PostQuitMessage(0);
}

LRESULT CALLBACK GalleryProc(HWND form, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) return FormCreate(form);
    GalleryParts* parts = Parts(form);
    if (!parts) return DefWindowProcW(form, message, wParam, lParam);

    switch (message) {
    case WM_TIMER:
        return FormTimer(*parts, wParam);
    case WM_COMMAND:
        return FormCommand(form, wParam);
    case kApplySkinToggle:
        return FormApplySkinToggle(form, *parts);
    case WM_CLOSE:
        return FormClose(form, *parts);
    case WM_NCDESTROY:
        FormNcDestroy(form, parts);
        return 0;
    default:
        return DefWindowProcW(form, message, wParam, lParam);
    }
}

}  // namespace

bool RegisterGalleryClasses(HINSTANCE instance) {
    static bool registered = false;
    if (registered) return true;
    if (!controls::RegisterControlClasses()) return false;

    WNDCLASSEXW form{};
    form.cbSize = sizeof(form);
    form.lpfnWndProc = GalleryProc;
    form.hInstance = instance;
    form.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    form.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    form.lpszClassName = kGalleryClass;

    WNDCLASSEXW frame = form;
    frame.lpfnWndProc = FrameProc;
    frame.hIcon = nullptr;
    frame.lpszClassName = kFrameClass;

    registered = RegisterClassExW(&form) != 0 && RegisterClassExW(&frame) != 0;
    return registered;
}

HWND CreateGallery(HINSTANCE instance) {
    if (!RegisterGalleryClasses(instance)) return nullptr;

    RECT window = {0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&window, kFormStyle, FALSE, WS_EX_CONTROLPARENT);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    RECT workArea;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    const int x = workArea.left + (workArea.right - workArea.left - width) / 2;
    const int y = workArea.top + (workArea.bottom - workArea.top - height) / 2;

    HWND form = CreateWindowExW(WS_EX_CONTROLPARENT, kGalleryClass, kGalleryCaption, kFormStyle, x,
                                y, width, height, nullptr, nullptr, instance, nullptr);
    if (!form) return nullptr;
    AttachGallerySkin(form);
    Parts(form)->skinned = true;
    return form;
}

const GalleryParts* GetGalleryParts(HWND form) { return IsWindow(form) ? Parts(form) : nullptr; }

}  // namespace gallery
