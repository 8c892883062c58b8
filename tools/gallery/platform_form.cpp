// The gallery's second form: the platform's own controls under no skin, AttachSkin or
// AttachSkinEx(DORRIK_SKIN_ALL). Everything is made with CreateWindowEx in the dialog's
// WM_INITDIALOG, as a C or C++ program would.
#include "platform_form.h"

#include <commctrl.h>

#include <span>

#include "dorrik_skin.h"
#include "support/dialog_template.h"

namespace gallery {

namespace {

constexpr wchar_t kPageClass[] = L"DorrikGalleryPage";
constexpr UINT kApplySkinChoice = WM_APP + 12;

struct PlatformParts {
    PlatformSkin skin = PlatformSkin::None;
    bool quitWhenClosed = false;
    HFONT font = nullptr;
    HWND tabs = nullptr;
    HWND pages[3] = {};
    HIMAGELIST tabImages = nullptr;
};

PlatformParts* Parts(HWND form) {
    return reinterpret_cast<PlatformParts*>(GetWindowLongPtrW(form, DWLP_USER));
}

struct Item {
    const wchar_t* className;
    const wchar_t* text;
    int x, y, width, height;
    DWORD style;
    int id;
    DWORD exStyle;
};

constexpr DWORD kCheck = BS_AUTOCHECKBOX | WS_TABSTOP;
constexpr DWORD kRadio = BS_AUTORADIOBUTTON;
constexpr DWORD kGroup = BS_GROUPBOX;
constexpr DWORD kPush = BS_PUSHBUTTON | WS_TABSTOP;

// Ids of the controls whose state is set after they are made.
enum : int {
    kCheckedId = 300,
    kThreeStateId,
    kDisabledCheckId,
    kSecondOptionId,
    kCopiesId,
    kCopiesSpinId,
    kVolumeId,
    kLevelSpinId,
    kLevelId,
    kBalanceId,
    kListId,
    kToolbarId,
    kStatusId,
    kTreeId,
    kSmoothProgressId,
    kBlockProgressId,
    kUprightProgressId,
};

const Item kFormItems[] = {
    {L"Button", L"Check boxes 复选框", 12, 8, 190, 118, kGroup, 0, 0},
    {L"Button", L"Unchecked 未选", 24, 28, 170, 20, kCheck | WS_GROUP, 0, 0},
    {L"Button", L"Checked 已选", 24, 50, 170, 20, kCheck, kCheckedId, 0},
    {L"Button", L"Three-state 三态", 24, 72, 170, 20, BS_AUTO3STATE | WS_TABSTOP, kThreeStateId, 0},
    {L"Button", L"Disabled 禁用", 24, 94, 170, 20, kCheck | WS_DISABLED, kDisabledCheckId, 0},
    {L"Button", L"Options 选项", 12, 132, 190, 96, kGroup, 0, 0},
    {L"Button", L"First 第一", 24, 152, 170, 20, kRadio | WS_GROUP | WS_TABSTOP, 0, 0},
    {L"Button", L"Second 第二", 24, 174, 170, 20, kRadio, kSecondOptionId, 0},
    {L"Button", L"Third 第三", 24, 196, 170, 20, kRadio | WS_DISABLED, 0, 0},
    {L"Button", L"Property sheet… 属性表", 12, 238, 190, 28, kPush | WS_GROUP, kSheetButtonId, 0},
    {L"Button", L"Skin 皮肤", 12, 276, 190, 100, kGroup, 0, 0},
    {L"Button", L"No skin 无皮肤", 24, 296, 170, 20, kRadio | WS_GROUP | WS_TABSTOP, kNoSkinId, 0},
    {L"Button", L"AttachSkin", 24, 318, 170, 20, kRadio, kPlainSkinId, 0},
    {L"Button", L"AttachSkinEx (all) 全部", 24, 340, 170, 20, kRadio, kWholeSkinId, 0},
    {WC_TABCONTROLW, L"", 216, 8, 392, 172, WS_TABSTOP | WS_GROUP, kTabsId, 0},
    {WC_LISTVIEWW, L"", 216, 190, 392, 186, LVS_REPORT | LVS_SHOWSELALWAYS | WS_TABSTOP, kListId, WS_EX_CLIENTEDGE},
    {L"Button", L"Close 关闭", 508, 386, 100, 26, kPush, kCloseButtonId, 0},
    // The common controls: a toolbar, fields, a tree with check boxes, progress bars, a status bar.
    {TOOLBARCLASSNAMEW, L"", 12, 424, 300, 28,
     TBSTYLE_FLAT | TBSTYLE_LIST | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER, kToolbarId, 0},
    {DATETIMEPICK_CLASSW, L"", 330, 426, 130, 22, WS_TABSTOP, 0, 0},
    {HOTKEY_CLASSW, L"", 470, 426, 138, 22, WS_TABSTOP, 0, 0},
    {WC_TREEVIEWW, L"", 12, 460, 190, 100,
     TVS_CHECKBOXES | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | WS_TABSTOP, kTreeId, WS_EX_CLIENTEDGE},
    {PROGRESS_CLASSW, L"", 216, 462, 250, 16, PBS_SMOOTH, kSmoothProgressId, 0},
    {PROGRESS_CLASSW, L"", 216, 486, 250, 16, 0, kBlockProgressId, 0},
    {PROGRESS_CLASSW, L"", 480, 460, 16, 100, PBS_VERTICAL, kUprightProgressId, 0},
    {WC_IPADDRESSW, L"", 510, 460, 98, 22, WS_TABSTOP, 0, 0},
    {STATUSCLASSNAMEW, L"", 0, 0, 0, 0, SBARS_SIZEGRIP, kStatusId, 0},
};

// Page 0: a number with an up-down beside it, a level with a horizontal one, and trackbars.
const Item kSettingsPage[] = {
    {L"Static", L"Copies 份数:", 10, 14, 80, 18, SS_LEFT, 0, 0},
    {L"Edit", L"3", 92, 10, 80, 22, ES_NUMBER | WS_TABSTOP, kCopiesId, WS_EX_CLIENTEDGE},
    {UPDOWN_CLASSW, L"", 0, 0, 16, 22, UDS_ALIGNRIGHT | UDS_SETBUDDYINT | UDS_ARROWKEYS, kCopiesSpinId, 0},
    {L"Static", L"Level 级别:", 196, 14, 70, 18, SS_LEFT, 0, 0},
    {L"Edit", L"2", 268, 10, 50, 22, ES_NUMBER | WS_TABSTOP, kLevelId, WS_EX_CLIENTEDGE},
    {UPDOWN_CLASSW, L"", 320, 10, 34, 22, UDS_HORZ | UDS_SETBUDDYINT, kLevelSpinId, 0},
    {L"Static", L"Volume 音量:", 10, 52, 80, 18, SS_LEFT, 0, 0},
    {TRACKBAR_CLASSW, L"", 88, 44, 230, 36, TBS_AUTOTICKS | WS_TABSTOP, kVolumeId, 0},
    {TRACKBAR_CLASSW, L"", 330, 40, 36, 90, TBS_VERT | TBS_AUTOTICKS | TBS_BOTH, kBalanceId, 0},
    {L"Button", L"Repeat 重复", 10, 96, 150, 20, kCheck, 0, 0},
};

// Class libraries' controls (Delphi's TButton, TComboBox): superclasses of the platform's.
constexpr wchar_t kLibraryButtonClass[] = L"TButton";
constexpr wchar_t kLibraryComboClass[] = L"TComboBox";

const Item kAdvancedPage[] = {
    {L"Button", L"Show hidden files 显示隐藏文件", 10, 12, 250, 20, kCheck, 0, 0},
    {L"Button", L"Confirm each step 逐步确认", 10, 36, 250, 20, kCheck, 0, 0},
    {kLibraryButtonClass, L"TCheckBox 类库复选框", 10, 64, 250, 20, kCheck, 0, 0},
    {kLibraryButtonClass, L"TRadioButton 类库选项", 10, 88, 250, 20, kRadio | WS_TABSTOP, 0, 0},
    {kLibraryComboClass, L"", 10, 116, 160, 120, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0, 0},
    {kLibraryButtonClass, L"TButton 类库按钮", 180, 114, 120, 26, kPush, 0, 0},
};

WNDPROC libraryBases[2];

template <int Which>
LRESULT CALLBACK LibraryProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(libraryBases[Which], window, message, wParam, lParam);
}

template <int Which>
void RegisterLibraryClass(HINSTANCE instance, const wchar_t* platformClass, const wchar_t* name) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (GetClassInfoExW(instance, name, &wc) || !GetClassInfoExW(nullptr, platformClass, &wc)) return;
    libraryBases[Which] = wc.lpfnWndProc;
    wc.lpfnWndProc = LibraryProc<Which>;
    wc.hInstance = instance;
    wc.lpszClassName = name;
    RegisterClassExW(&wc);
}

const Item kAboutPage[] = {
    {L"Static", L"The platform's own controls, skinned by AttachSkinEx.\n系统自带的控件。", 10, 12, 340, 40, SS_LEFT, 0, 0},
};

HWND Make(HWND parent, const Item& item, HFONT font) {
    HWND control = CreateWindowExW(item.exStyle, item.className, item.text,
                                   WS_CHILD | WS_VISIBLE | item.style, item.x, item.y, item.width,
                                   item.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(item.id)),
                                   GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

void MakeAll(HWND parent, std::span<const Item> items, HFONT font) {
    for (const Item& item : items) Make(parent, item, font);
}

LRESULT CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(page, message, wParam, lParam);
}

bool RegisterPageClass(HINSTANCE instance) {
    RegisterLibraryClass<0>(instance, L"Button", kLibraryButtonClass);
    RegisterLibraryClass<1>(instance, L"ComboBox", kLibraryComboClass);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (GetClassInfoExW(instance, kPageClass, &wc)) return true;
    wc.lpfnWndProc = PageProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kPageClass;
    return RegisterClassExW(&wc) != 0;
}

void FillSettingsPage(HWND page) {
    HWND spin = GetDlgItem(page, kCopiesSpinId);
    SendMessageW(spin, UDM_SETRANGE32, 1, 99);
    SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(page, kCopiesId)), 0);
    SendMessageW(spin, UDM_SETPOS32, 0, 3);
    HWND level = GetDlgItem(page, kLevelSpinId);
    SendMessageW(level, UDM_SETRANGE32, 0, 9);
    SendMessageW(level, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(page, kLevelId)), 0);
    SendMessageW(level, UDM_SETPOS32, 0, 2);
    HWND volume = GetDlgItem(page, kVolumeId);
    SendMessageW(volume, TBM_SETRANGE, FALSE, MAKELPARAM(0, 10));
    SendMessageW(volume, TBM_SETTICFREQ, 1, 0);
    SendMessageW(volume, TBM_SETPOS, TRUE, 6);
    HWND balance = GetDlgItem(page, kBalanceId);
    SendMessageW(balance, TBM_SETRANGE, FALSE, MAKELPARAM(0, 4));
    SendMessageW(balance, TBM_SETTICFREQ, 1, 0);
    SendMessageW(balance, TBM_SETPOS, TRUE, 1);
}

// Three tabs with the platform's own small icons, and a page for each over the tab's display
// area, as a program without a property sheet does it.
void MakeTabs(HWND form, PlatformParts& parts) {
    parts.tabs = GetDlgItem(form, kTabsId);
    const int iconSize = GetSystemMetrics(SM_CXSMICON);
    parts.tabImages = ImageList_Create(iconSize, iconSize, ILC_COLOR32 | ILC_MASK, 3, 0);
    for (const LPCWSTR icon : {reinterpret_cast<LPCWSTR>(IDI_APPLICATION), reinterpret_cast<LPCWSTR>(IDI_WARNING),
                               reinterpret_cast<LPCWSTR>(IDI_INFORMATION)})
        ImageList_AddIcon(parts.tabImages, LoadIconW(nullptr, icon));
    SendMessageW(parts.tabs, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(parts.tabImages));
    const wchar_t* const captions[3] = {L"Settings 设置", L"Advanced 高级", L"About 关于"};
    for (int i = 0; i < 3; ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        item.pszText = const_cast<wchar_t*>(captions[i]);
        item.iImage = i;
        SendMessageW(parts.tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }

    RECT display{};
    GetClientRect(parts.tabs, &display);
    SendMessageW(parts.tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    MapWindowPoints(parts.tabs, form, reinterpret_cast<POINT*>(&display), 2);
    const std::span<const Item> contents[3] = {kSettingsPage, kAdvancedPage, kAboutPage};
    for (int i = 0; i < 3; ++i) {
        parts.pages[i] = CreateWindowExW(WS_EX_CONTROLPARENT, kPageClass, L"",
                                         WS_CHILD | (i == 0 ? WS_VISIBLE : 0), display.left, display.top,
                                         display.right - display.left, display.bottom - display.top, form,
                                         nullptr, GetModuleHandleW(nullptr), nullptr);
        MakeAll(parts.pages[i], contents[i], parts.font);
        // Above the tab control, so the tab never paints over the page.
        SetWindowPos(parts.pages[i], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    FillSettingsPage(parts.pages[0]);
}

void FillList(HWND form) {
    HWND list = GetDlgItem(form, kListId);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES);
    const struct {
        const wchar_t* text;
        int width;
    } columns[] = {{L"Name 名称", 150}, {L"Size 大小", 80}, {L"Type 类型", 140}};
    int column = 0;
    for (const auto& c : columns) {
        LVCOLUMNW lvc{};
        lvc.mask = LVCF_TEXT | LVCF_WIDTH;
        lvc.cx = c.width;
        lvc.pszText = const_cast<wchar_t*>(c.text);
        SendMessageW(list, LVM_INSERTCOLUMNW, column++, reinterpret_cast<LPARAM>(&lvc));
    }
    const wchar_t* const rows[][3] = {{L"readme.txt", L"2 KB", L"Text 文本"},
                                      {L"dorrik.exe", L"180 KB", L"Program 程序"},
                                      {L"dorrikskin.dll", L"160 KB", L"Library 库"},
                                      {L"photo.png", L"34 KB", L"Picture 图片"}};
    // The four files three times over: more rows than the list shows, so that it scrolls.
    constexpr int kRowCount = 12;
    for (int row = 0; row < kRowCount; ++row) {
        const auto& cells = rows[row % 4];
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = const_cast<wchar_t*>(cells[0]);
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        for (int cell = 1; cell < 3; ++cell) {
            item.iSubItem = cell;
            item.pszText = const_cast<wchar_t*>(cells[cell]);
            SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        }
    }
    ListView_SetItemState(list, 1, LVIS_SELECTED, LVIS_SELECTED);
    ListView_SetCheckState(list, 0, TRUE);
}

// A flat toolbar of the platform's own small images: buttons with text, a separator, a check
// button held down and a drop-down button.
void FillToolbar(HWND form) {
    HWND toolbar = GetDlgItem(form, kToolbarId);
    SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(toolbar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS | TBSTYLE_EX_MIXEDBUTTONS);
    SendMessageW(toolbar, TB_LOADIMAGES, IDB_STD_SMALL_COLOR, reinterpret_cast<LPARAM>(HINST_COMMCTRL));
    TBBUTTON buttons[] = {
        {STD_FILENEW, 501, TBSTATE_ENABLED, BTNS_BUTTON | BTNS_SHOWTEXT, {}, 0, reinterpret_cast<INT_PTR>(L"New 新建")},
        {STD_FILEOPEN, 502, TBSTATE_ENABLED, BTNS_DROPDOWN | BTNS_SHOWTEXT, {}, 0, reinterpret_cast<INT_PTR>(L"Open 打开")},
        {0, 0, 0, BTNS_SEP, {}, 0, 0},
        {STD_COPY, 503, TBSTATE_ENABLED | TBSTATE_CHECKED, BTNS_CHECK, {}, 0, 0},
        {STD_PASTE, 504, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {STD_DELETE, 505, 0, BTNS_BUTTON, {}, 0, 0},
    };
    SendMessageW(toolbar, TB_ADDBUTTONSW, sizeof(buttons) / sizeof(buttons[0]), reinterpret_cast<LPARAM>(buttons));
}

void FillTree(HWND form) {
    HWND tree = GetDlgItem(form, kTreeId);
    TVINSERTSTRUCTW insert{};
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<wchar_t*>(L"Documents 文档");
    HTREEITEM root = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    insert.hParent = root;
    for (const wchar_t* name : {L"Letters 信件", L"Reports 报告"}) {
        insert.item.pszText = const_cast<wchar_t*>(name);
        SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert));
    }
    SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
    TreeView_SetCheckState(tree, root, TRUE);
}

void FillBars(HWND form) {
    SendDlgItemMessageW(form, kSmoothProgressId, PBM_SETPOS, 60, 0);
    SendDlgItemMessageW(form, kBlockProgressId, PBM_SETPOS, 30, 0);
    SendDlgItemMessageW(form, kUprightProgressId, PBM_SETPOS, 70, 0);
    HWND status = GetDlgItem(form, kStatusId);
    SendMessageW(status, WM_SIZE, 0, 0);  // along the bottom of the form, now that the form has its size
    const int rights[] = {200, 400, -1};
    SendMessageW(status, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(rights));
    SendMessageW(status, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"Ready 就绪"));
    SendMessageW(status, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(L"\tLine 1 第一行"));
    SendMessageW(status, SB_SETTEXTW, 2, reinterpret_cast<LPARAM>(L"\t\tCAP"));
}

int SkinChoiceId(PlatformSkin skin) {
    switch (skin) {
    case PlatformSkin::Plain: return kPlainSkinId;
    case PlatformSkin::Whole: return kWholeSkinId;
    case PlatformSkin::None: break;
    }
    return kNoSkinId;
}

// A small menu, to show the menus in each look: a check mark, option dots, a separator, a
// submenu, a disabled item and shortcuts. Its commands are the buttons'.
HMENU MakeFormMenu() {
    constexpr UINT kStatusBarItem = 0x7101, kWrapItem = 0x7102, kCentimetresItem = 0x7103,
                   kInchesItem = 0x7104;
    HMENU units = CreatePopupMenu();
    AppendMenuW(units, MF_STRING, kCentimetresItem, L"&Centimetres 厘米");
    AppendMenuW(units, MF_STRING, kInchesItem, L"&Inches 英寸");
    CheckMenuRadioItem(units, kCentimetresItem, kInchesItem, kInchesItem, MF_BYCOMMAND);
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, kSheetButtonId, L"&Property sheet... 属性表");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING, kCloseButtonId, L"&Close 关闭\tAlt+F4");
    HMENU view = CreatePopupMenu();
    AppendMenuW(view, MF_STRING | MF_CHECKED, kStatusBarItem, L"&Status bar 状态栏");
    AppendMenuW(view, MF_STRING | MF_GRAYED, kWrapItem, L"&Word wrap 自动换行");
    AppendMenuW(view, MF_POPUP, reinterpret_cast<UINT_PTR>(units), L"&Units 单位");
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File 文件");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(view), L"&View 查看");
    return bar;
}

void PlaceForm(HWND form) {
    RECT window = {0, 0, kPlatformClientWidth, kPlatformClientHeight};
    AdjustWindowRectEx(&window, static_cast<DWORD>(GetWindowLongW(form, GWL_STYLE)), GetMenu(form) != nullptr,
                       static_cast<DWORD>(GetWindowLongW(form, GWL_EXSTYLE)));
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    RECT workArea{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    SetWindowPos(form, nullptr, workArea.left + (workArea.right - workArea.left - width) / 2,
                 workArea.top + (workArea.bottom - workArea.top - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR FormInit(HWND form, PlatformParts* parts) {
    SetWindowLongPtrW(form, DWLP_USER, reinterpret_cast<LONG_PTR>(parts));
    parts->font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    SetMenu(form, MakeFormMenu());
    PlaceForm(form);
    MakeAll(form, kFormItems, parts->font);
    CheckDlgButton(form, kCheckedId, BST_CHECKED);
    CheckDlgButton(form, kThreeStateId, BST_INDETERMINATE);
    CheckDlgButton(form, kDisabledCheckId, BST_CHECKED);
    CheckDlgButton(form, kSecondOptionId, BST_CHECKED);
    MakeTabs(form, *parts);
    FillList(form);
    FillToolbar(form);
    FillTree(form);
    FillBars(form);
    CheckRadioButton(form, kNoSkinId, kWholeSkinId, SkinChoiceId(parts->skin));
    return TRUE;
}

void ShowPage(PlatformParts& parts) {
    const int selected = static_cast<int>(SendMessageW(parts.tabs, TCM_GETCURSEL, 0, 0));
    for (int i = 0; i < 3; ++i) ShowWindow(parts.pages[i], i == selected ? SW_SHOW : SW_HIDE);
}

INT_PTR FormCommand(HWND form, WPARAM wParam) {
    const int id = LOWORD(wParam);
    if (HIWORD(wParam) != BN_CLICKED) return FALSE;
    if (id == kSheetButtonId) ShowPropertySheet(form);
    if (id == kCloseButtonId) SendMessageW(form, WM_CLOSE, 0, 0);
    // The option button's own click is still running: the switch waits for it to end.
    if (id == kNoSkinId || id == kPlainSkinId || id == kWholeSkinId) PostMessageW(form, kApplySkinChoice, 0, 0);
    return TRUE;
}

PlatformSkin ChosenSkin(HWND form) {
    if (IsDlgButtonChecked(form, kWholeSkinId) == BST_CHECKED) return PlatformSkin::Whole;
    if (IsDlgButtonChecked(form, kPlainSkinId) == BST_CHECKED) return PlatformSkin::Plain;
    return PlatformSkin::None;
}

// The skin comes off before the form goes, as the README asks of every program.
INT_PTR FormClose(HWND form, PlatformParts& parts) {
    if (parts.skin != PlatformSkin::None) DetachSkin(form);
    parts.skin = PlatformSkin::None;
    DestroyWindow(form);
    return TRUE;
}

void FormDestroy(HWND form, PlatformParts* parts) {
    SetWindowLongPtrW(form, DWLP_USER, 0);
    if (parts->quitWhenClosed) PostQuitMessage(0);
    // The form's children go after its WM_DESTROY: the tab control lets go of the list first.
    SendMessageW(parts->tabs, TCM_SETIMAGELIST, 0, 0);
    ImageList_Destroy(parts->tabImages);
    delete parts;
}

INT_PTR CALLBACK PlatformProc(HWND form, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) return FormInit(form, reinterpret_cast<PlatformParts*>(lParam));
    PlatformParts* parts = Parts(form);
    if (!parts) return FALSE;
    switch (message) {
    case WM_COMMAND:
        return FormCommand(form, wParam);
    case WM_NOTIFY:
        if (reinterpret_cast<const NMHDR*>(lParam)->code == TCN_SELCHANGE) ShowPage(*parts);
        return FALSE;
    case kApplySkinChoice:
        SetPlatformSkin(form, ChosenSkin(form));
        return TRUE;
    case kOpenSheet:
        ShowPropertySheet(form);
        return TRUE;
    case WM_CLOSE:
        return FormClose(form, *parts);
    case WM_DESTROY:
        FormDestroy(form, parts);
        return FALSE;
    default:
        return FALSE;
    }
}

// ---- the property sheet ----

enum : int {
    kStatusBarId = 400,
    kWrapId,
    kRememberId,
    kCentimetresId,
    kInchesId,
    kPointsId,
    kBackupId,
    kAutoSaveId,
    kPlainTextId,
    kRichTextId,
};

INT_PTR CALLBACK SheetPageProc(HWND page, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG) return FALSE;
    CheckDlgButton(page, kStatusBarId, BST_CHECKED);
    CheckDlgButton(page, kWrapId, BST_INDETERMINATE);
    CheckDlgButton(page, kRememberId, BST_CHECKED);
    CheckDlgButton(page, kInchesId, BST_CHECKED);
    CheckDlgButton(page, kBackupId, BST_CHECKED);
    CheckDlgButton(page, kRichTextId, BST_CHECKED);
    return TRUE;
}

using testing_support::DialogTemplate;

}  // namespace

HWND CreatePlatformForm(HINSTANCE instance, HWND owner, PlatformSkin skin, bool quitWhenClosed) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TAB_CLASSES | ICC_UPDOWN_CLASS | ICC_BAR_CLASSES |
                                              ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES |
                                              ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_DATE_CLASSES |
                                              ICC_HOTKEY_CLASS | ICC_INTERNET_CLASSES};
    InitCommonControlsEx(&icc);
    if (!RegisterPageClass(instance)) return nullptr;
    DialogTemplate form(kPlatformCaption, 0, 0, 100, 100,
                        DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
    auto* parts = new PlatformParts;
    parts->quitWhenClosed = quitWhenClosed;
    HWND dialog = CreateDialogIndirectParamW(instance, form.get(), owner, PlatformProc,
                                             reinterpret_cast<LPARAM>(parts));
    if (!dialog) {
        delete parts;
        return nullptr;
    }
    SetPlatformSkin(dialog, skin);
    ShowWindow(dialog, SW_SHOWNORMAL);
    UpdateWindow(dialog);
    return dialog;
}

void SetPlatformSkin(HWND form, PlatformSkin skin) {
    PlatformParts* parts = Parts(form);
    if (!parts) return;
    if (parts->skin != skin) {
        if (parts->skin != PlatformSkin::None) DetachSkin(form);
        if (skin == PlatformSkin::Plain) AttachSkin(form);
        if (skin == PlatformSkin::Whole) AttachSkinEx(form, DORRIK_SKIN_ALL);
        parts->skin = skin;
    }
    CheckRadioButton(form, kNoSkinId, kWholeSkinId, SkinChoiceId(skin));
    RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

PlatformSkin GetPlatformSkin(HWND form) {
    const PlatformParts* parts = Parts(form);
    return parts ? parts->skin : PlatformSkin::None;
}

void ShowPropertySheet(HWND form) {
    constexpr WORD kButton = DialogTemplate::kButtonAtom;
    constexpr DWORD kPageStyle = DialogTemplate::kPageStyle;
    DialogTemplate general(L"General 常规", 0, 0, 212, 150, kPageStyle);
    general.AddItem(kButton, L"Display 显示", kGroup, 0, 7, 7, 198, 64);
    general.AddItem(kButton, L"Show the status bar 显示状态栏", kCheck, kStatusBarId, 14, 20, 184, 12);
    general.AddItem(kButton, L"Wrap long lines 自动换行", BS_AUTO3STATE | WS_TABSTOP, kWrapId, 14, 36, 184, 12);
    general.AddItem(kButton, L"Remember the size 记住大小", kCheck | WS_DISABLED, kRememberId, 14, 52, 184, 12);
    general.AddItem(kButton, L"Units 单位", kGroup, 0, 7, 77, 198, 62);
    general.AddItem(kButton, L"Centimetres 厘米", kRadio | WS_GROUP | WS_TABSTOP, kCentimetresId, 14, 90, 184, 12);
    general.AddItem(kButton, L"Inches 英寸", kRadio, kInchesId, 14, 106, 184, 12);
    general.AddItem(kButton, L"Points 磅", kRadio, kPointsId, 14, 122, 184, 12);

    DialogTemplate saving(L"Saving 保存", 0, 0, 212, 150, kPageStyle);
    saving.AddItem(kButton, L"Backups 备份", kGroup, 0, 7, 7, 198, 48);
    saving.AddItem(kButton, L"Keep a backup copy 保留备份", kCheck, kBackupId, 14, 20, 184, 12);
    saving.AddItem(kButton, L"Save every ten minutes 自动保存", kCheck, kAutoSaveId, 14, 36, 184, 12);
    saving.AddItem(kButton, L"Format 格式", kGroup, 0, 7, 63, 198, 46);
    saving.AddItem(kButton, L"Plain text 纯文本", kRadio | WS_GROUP | WS_TABSTOP, kPlainTextId, 14, 76, 184, 12);
    saving.AddItem(kButton, L"Rich text 富文本", kRadio, kRichTextId, 14, 92, 184, 12);

    PROPSHEETPAGEW pages[2] = {};
    const DialogTemplate* templates[2] = {&general, &saving};
    for (int i = 0; i < 2; ++i) {
        pages[i].dwSize = sizeof(PROPSHEETPAGEW);
        pages[i].dwFlags = PSP_DLGINDIRECT;
        pages[i].hInstance = GetModuleHandleW(nullptr);
        pages[i].pResource = templates[i]->get();
        pages[i].pfnDlgProc = SheetPageProc;
    }
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW;
    header.hwndParent = form;
    header.hInstance = GetModuleHandleW(nullptr);
    header.pszCaption = kSheetCaption;
    header.nPages = 2;
    header.ppsp = pages;
    PropertySheetW(&header);
}

}  // namespace gallery
