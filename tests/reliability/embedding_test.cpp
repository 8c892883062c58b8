// The engine inside other programs: windows that appear after the skin went on (the platform's
// file dialog, a property sheet's pages, controls made at run time), and what a program does
// around the skin (other subclasses, other threads, re-entry, detaching from inside a message).
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <prsht.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "../support/dialog_template.h"
#include "../support/test_windows.h"
#include "control_classes.h"
#include "core/attach.h"
#include "core/props.h"
#include "core/window_proc.h"
#include "dorrik_skin.h"
#include "reliability_fixture.h"
#include "render/image_set.h"

namespace reliability {
namespace {

using testing_support::LowerClassName;
using testing_support::PumpMessages;
using testing_support::RegisterOwnClass;
using testing_support::TestWindow;

class EmbeddingTest : public ReliabilityTest {};

bool Skinned(HWND window) { return GetPropA(window, "PROCADDR") != nullptr; }

void PaintNow(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW);
}

BOOL CALLBACK CollectUnskinned(HWND window, LPARAM list) {
    if (!Skinned(window)) reinterpret_cast<std::string*>(list)->append(" " + LowerClassName(window));
    return TRUE;
}

// The classes of the windows at and under `root` that are not skinned; empty when all are.
std::string UnskinnedUnder(HWND root) {
    std::string names;
    CollectUnskinned(root, reinterpret_cast<LPARAM>(&names));
    EnumChildWindows(root, CollectUnskinned, reinterpret_cast<LPARAM>(&names));
    return names;
}

struct Search {
    const char* className;
    HWND found;
};

BOOL CALLBACK FindClass(HWND window, LPARAM search) {
    auto* s = reinterpret_cast<Search*>(search);
    if (lstrcmpiA(LowerClassName(window).c_str(), s->className) != 0) return TRUE;
    s->found = window;
    return FALSE;
}

HWND FindUnder(HWND root, const char* className) {
    Search search{className, nullptr};
    EnumChildWindows(root, FindClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A press and release on the button, through its (skinned) procedure: the button clicks itself.
void ClickThroughSkin(HWND button) {
    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
}

// Watches a modal dialog owned by `owner` from a thread timer while the dialog's own loop runs.
// `step` gets the dialog and returns true once it has closed it; if it has not after 30 s, the
// dialog is cancelled and `seen` says what the last look found.
class WhileModal {
public:
    using Step = std::function<bool(HWND dialog, std::string& seen)>;
    WhileModal(HWND owner, Step step) {
        owner_ = owner;
        step_ = std::move(step);
        done_ = false;
        seen_ = "no dialog owned by the form";
        started_ = GetTickCount();
        timer_ = SetTimer(nullptr, 0, 25, Tick);
    }
    ~WhileModal() { KillTimer(nullptr, timer_); }
    static bool Done() { return done_; }
    static const std::string& Seen() { return seen_; }

private:
    static BOOL CALLBACK FindOwned(HWND window, LPARAM out) {
        if (GetWindow(window, GW_OWNER) != owner_ || !IsWindowVisible(window)) return TRUE;
        *reinterpret_cast<HWND*>(out) = window;
        return FALSE;
    }
    static HWND OwnedDialog() {
        HWND found = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), FindOwned, reinterpret_cast<LPARAM>(&found));
        return found;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (done_) return;
        HWND dialog = OwnedDialog();
        if (dialog && step_(dialog, seen_)) {
            done_ = true;
        } else if (GetTickCount() - started_ > 30000 && dialog) {
            done_ = true;
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    }
    static inline HWND owner_ = nullptr;
    static inline Step step_;
    static inline bool done_ = false;
    static inline std::string seen_;
    static inline DWORD started_ = 0;
    UINT_PTR timer_ = 0;
};

bool AllSkinned(HWND root, const char* what, std::string& seen) {
    const std::string missing = UnskinnedUnder(root);
    if (missing.empty()) return true;
    seen = std::string(what) + " holds unskinned windows:" + missing;
    return false;
}

TEST_F(EmbeddingTest, TheFileDialogIsSkinnedAsItAppearsAndClosesThroughItsSkinnedButton) {
    TestWindow form(300, 200);
    ASSERT_EQ(1, AttachSkin(form.get()));
    {
        WhileModal watch(form.get(), [](HWND dialog, std::string& seen) {
            HWND list = FindUnder(dialog, "SysListView32");
            if (!list) {
                seen = "the file dialog has no file list";
                return false;
            }
            if (!AllSkinned(dialog, "the file dialog", seen)) return false;
            seen.clear();
            ClickThroughSkin(GetDlgItem(dialog, IDCANCEL));
            return true;
        });
        wchar_t file[MAX_PATH] = L"";
        OPENFILENAMEW request{};
        request.lStructSize = sizeof(request);
        request.hwndOwner = form.get();
        request.lpstrFile = file;
        request.nMaxFile = MAX_PATH;
        request.Flags = OFN_EXPLORER;
        EXPECT_FALSE(GetOpenFileNameW(&request));
        EXPECT_EQ(0u, CommDlgExtendedError());
        EXPECT_TRUE(WhileModal::Done() && WhileModal::Seen().empty()) << WhileModal::Seen();
    }
    EXPECT_EQ(1, skin::Engine().skinnedWindowCount);
    EXPECT_EQ(1u, skin::RecordCount());
    EXPECT_EQ(1, DetachSkin(form.get()));
}

INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG) return FALSE;
    HWND list = FindUnder(page, "SysListView32");
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 60;
    column.pszText = const_cast<wchar_t*>(L"Name");
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    SendDlgItemMessageW(page, 12, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"One"));
    return TRUE;
}

testing_support::DialogTemplate PageTemplate() {
    testing_support::DialogTemplate page(L"Page", 0, 0, 200, 120,
                                         testing_support::DialogTemplate::kPageStyle);
    page.AddItem(L"Button", L"Check", BS_AUTOCHECKBOX | WS_TABSTOP, 10, 7, 7, 80, 12);
    page.AddItem(L"Button", L"Push", BS_PUSHBUTTON | WS_TABSTOP, 11, 100, 7, 60, 14);
    page.AddItem(L"ComboBox", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 12, 7, 25, 90, 60);
    page.AddItem(L"SysListView32", L"", LVS_REPORT | WS_BORDER | WS_TABSTOP, 13, 7, 45, 180, 60);
    return page;
}

// The whole look asked of the form reaches its sheet: the pages' check boxes and the tab strip are
// the skin's own kinds there; under AttachSkin they keep the kinds they always had.
bool HasTheFormsLook(HWND sheet, HWND page, bool whole, std::string& seen) {
    const skin::ControlKind check = skin::AttachedKind(GetDlgItem(page, 10));
    const skin::ControlKind tabs = skin::AttachedKind(PropSheet_GetTabControl(sheet));
    const bool right = whole ? check == skin::ControlKind::ButtonCheckBox &&
                                   tabs == skin::ControlKind::TabControl
                             : check == skin::ControlKind::PushButton &&
                                   tabs == skin::ControlKind::Other;
    if (!right) seen = "the page's check box or the tab strip is not of the form's look";
    return right;
}

// A page is made when it is first shown, with its controls, after the sheet was skinned.
TEST_F(EmbeddingTest, PropertySheetPagesAreSkinnedAsTheyAppear) {
    INITCOMMONCONTROLSEX init{sizeof(init), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&init);
    const testing_support::DialogTemplate page = PageTemplate();
    PROPSHEETPAGEW pages[2] = {};
    for (PROPSHEETPAGEW& p : pages) {
        p.dwSize = sizeof(p);
        p.dwFlags = PSP_DLGINDIRECT;
        p.hInstance = GetModuleHandleW(nullptr);
        p.pResource = page.get();
        p.pfnDlgProc = PageProc;
    }
    for (const bool whole : {false, true}) {
        TestWindow form(300, 200);
        ASSERT_EQ(1, whole ? AttachSkinEx(form.get(), DORRIK_SKIN_ALL) : AttachSkin(form.get()));
        PROPSHEETHEADERW header{};
        header.dwSize = sizeof(header);
        header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW;
        header.hwndParent = form.get();
        header.pszCaption = L"Sheet";
        header.nPages = 2;
        header.ppsp = pages;
        static HWND firstPage;
        static bool wholeLook;
        firstPage = nullptr;
        wholeLook = whole;
        WhileModal watch(form.get(), [](HWND sheet, std::string& seen) {
            HWND current = PropSheet_GetCurrentPageHwnd(sheet);
            if (!current || !FindUnder(current, "SysHeader32")) {
                seen = "the sheet shows no page with a list and its header";
                return false;
            }
            if (!AllSkinned(sheet, "the property sheet", seen)) return false;
            if (!HasTheFormsLook(sheet, current, wholeLook, seen)) return false;
            if (!firstPage) {
                firstPage = current;
                PropSheet_SetCurSel(sheet, nullptr, 1);
                seen = "the second page never showed";
                return false;
            }
            if (current == firstPage) return false;
            seen.clear();
            ClickThroughSkin(GetDlgItem(sheet, IDOK));
            return true;
        });
        EXPECT_EQ(1, PropertySheetW(&header)) << "the sheet did not close through OK";
        EXPECT_TRUE(WhileModal::Done() && WhileModal::Seen().empty())
            << (whole ? "AttachSkinEx: " : "AttachSkin: ") << WhileModal::Seen();
        EXPECT_EQ(1, skin::Engine().skinnedWindowCount);
        EXPECT_EQ(1u, skin::RecordCount());
        EXPECT_EQ(1, DetachSkin(form.get()));
    }
}

// Controls made by the program after AttachSkin, at any depth, complete before they first paint.
TEST_F(EmbeddingTest, ControlsMadeAfterTheSkinAreSkinnedOnceWhenTheyFirstPaint) {
    TestWindow form(300, 200);
    ASSERT_EQ(1, AttachSkin(form.get()));
    HWND frame = controls::CreateControl(L"Static", L"", form.get(), 10, 10, 250, 150);
    HWND button = CreateWindowExW(0, L"Button", L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10,
                                  100, 30, frame, nullptr, GetModuleHandleW(nullptr), nullptr);
    // The caption and the font come after creation, as a program sets them.
    SetWindowTextW(button, L"WWWWWWWW");
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
    EXPECT_FALSE(Skinned(button)) << "attached before it was complete";
    UpdateWindow(form.get());
    PumpMessages();
    for (HWND window : {frame, button}) EXPECT_TRUE(Skinned(window)) << LowerClassName(window);
    EXPECT_EQ(3, skin::Engine().skinnedWindowCount);
    EXPECT_EQ(BS_OWNERDRAW, GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK);
    // The normal face shows the caption: dark text in the middle of the face.
    HDC face = skin::GetStateSurface(button, skin::Normal);
    int dark = 0;
    for (int x = 20; x < 80; ++x) dark += GetRValue(GetPixel(face, x, 15)) < 128;
    EXPECT_GT(dark, 3) << "the face was drawn without the caption";

    EXPECT_EQ(0, AttachSkin(button));
    DestroyWindow(frame);
    EXPECT_EQ(1, skin::Engine().skinnedWindowCount);
    EXPECT_EQ(1u, skin::RecordCount());
    EXPECT_EQ(1, DetachSkin(form.get()));
}

// Delphi's VCL registers its controls' classes with a start-up procedure that, on the first
// message, puts the control's own procedure in place of itself; the control's procedure calls the
// platform's control directly, so whatever ran on top of the start-up procedure is cut out.
WNDPROC platformButton = nullptr;
int libraryMessages = 0;

LRESULT CALLBACK LibraryControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ++libraryMessages;
    return CallWindowProcW(platformButton, window, message, wParam, lParam);
}

LRESULT CALLBACK LibraryStartUpProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LibraryControlProc));
    return LibraryControlProc(window, message, wParam, lParam);
}

void RegisterLibraryClass(const wchar_t* name) {
    WNDCLASSEXW info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetClassInfoExW(nullptr, L"Button", &info));
    platformButton = info.lpfnWndProc;
    info.lpfnWndProc = LibraryStartUpProc;
    info.hInstance = GetModuleHandleW(nullptr);
    info.lpszClassName = name;
    info.style &= ~CS_GLOBALCLASS;
    RegisterClassExW(&info);
}

// Pages of a class library's wizard make their controls when first shown, long after the skin
// went on: they are skinned as any control made later, and give their procedure back.
TEST_F(EmbeddingTest, ControlsWhoseClassLibrarySwapsTheirProcedureAtCreationAreSkinnedToo) {
    RegisterLibraryClass(L"TButton");
    TestWindow form(300, 200);
    ShowWindow(form.get(), SW_SHOW);
    ASSERT_EQ(1, AttachSkinEx(form.get(), DORRIK_SKIN_ALL));
    const struct {
        LONG type;
        LONG skinnedType;
    } controls[] = {{BS_PUSHBUTTON, BS_OWNERDRAW}, {BS_AUTOCHECKBOX, BS_AUTOCHECKBOX}};
    std::vector<HWND> made;
    for (const auto& control : controls) {
        made.push_back(CreateWindowExW(0, L"TButton", L"Browse...", WS_CHILD | WS_VISIBLE | control.type, 10,
                                       10 + 40 * static_cast<int>(made.size()), 100, 30, form.get(), nullptr,
                                       GetModuleHandleW(nullptr), nullptr));
    }
    UpdateWindow(form.get());
    PumpMessages();
    for (size_t i = 0; i < made.size(); ++i) {
        EXPECT_TRUE(Skinned(made[i])) << "control " << i << " made late by a class library";
        EXPECT_EQ(controls[i].skinnedType, GetWindowLongW(made[i], GWL_STYLE) & BS_TYPEMASK) << i;
    }
    libraryMessages = 0;
    SendMessageW(made[1], BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_GT(libraryMessages, 0) << "the class library's procedure no longer runs";
    EXPECT_EQ(BST_CHECKED, SendMessageW(made[1], BM_GETCHECK, 0, 0));
    EXPECT_EQ(1, DetachSkin(form.get()));
    for (size_t i = 0; i < made.size(); ++i) {
        EXPECT_EQ(reinterpret_cast<LONG_PTR>(LibraryControlProc), GetWindowLongPtrW(made[i], GWLP_WNDPROC)) << i;
        EXPECT_EQ(controls[i].type, GetWindowLongW(made[i], GWL_STYLE) & BS_TYPEMASK) << i;
    }
    EXPECT_EQ(0u, skin::RecordCount());
}

// ---- Hazards: what a program does around the skin ----

std::vector<UINT> received;
WNDPROC savedProc = nullptr;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    received.push_back(message);
    return CallWindowProcW(savedProc, window, message, wParam, lParam);
}

// A release in a combo's drop-down list (a child of the desktop) refreshes nothing of other
// windows, even one that carries a PROCADDR of its own.
TEST_F(EmbeddingTest, AReleaseInADropDownListTouchesNoWindowOutsideItsForm) {
    TestWindow form(300, 200);
    HWND combo = controls::CreateControl(controls::kComboBoxClass, L"", form.get(), 10, 10, 120, 100);
    TestWindow stranger(200, 100, nullptr, WS_POPUP, 500, 100);
    HWND strangeBox = controls::CreateControl(controls::kCheckBoxClass, L"S", stranger.get(), 5, 5, 100, 17);
    SetPropA(strangeBox, "PROCADDR", reinterpret_cast<HANDLE>(1));
    savedProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(strangeBox, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingProc)));
    AttachSkin(form.get());
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetComboBoxInfo(combo, &info));
    SendMessageW(combo, WM_CTLCOLORLISTBOX, 0, reinterpret_cast<LPARAM>(info.hwndList));
    ASSERT_TRUE(Skinned(info.hwndList));
    received.clear();
    SendMessageW(info.hwndList, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_TRUE(received.empty()) << received.size() << " messages reached a window of another form";
    DetachSkin(form.get());
    RemovePropA(strangeBox, "PROCADDR");
}

// Attach changed the button type only: what the program changed while skinned stays.
TEST_F(EmbeddingTest, DetachPutsBackTheButtonTypeAndKeepsTheRestOfTheStyle) {
    TestWindow form(300, 200);
    HWND changed = controls::CreateControl(L"Button", L"A", form.get(), 10, 10, 80, 25, BS_PUSHBUTTON);
    HWND untouched = controls::CreateControl(L"Button", L"B", form.get(), 10, 50, 80, 25, BS_PUSHBUTTON);
    AttachSkin(form.get());
    EnableWindow(changed, FALSE);
    ShowWindow(changed, SW_HIDE);
    SendMessageW(changed, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    DetachSkin(form.get());
    const LONG style = GetWindowLongW(changed, GWL_STYLE);
    EXPECT_NE(0, style & WS_DISABLED);
    EXPECT_EQ(0, style & WS_VISIBLE);
    EXPECT_EQ(BS_DEFPUSHBUTTON, style & BS_TYPEMASK);
    const LONG plain = GetWindowLongW(untouched, GWL_STYLE);
    EXPECT_EQ(BS_PUSHBUTTON, plain & BS_TYPEMASK);
    EXPECT_EQ(WS_VISIBLE, plain & (WS_VISIBLE | WS_DISABLED));
}

int clicks = 0;
LRESULT CALLBACK CountClicks(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) ++clicks;
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK LaterSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                               DWORD_PTR) {
    received.push_back(message);
    return DefSubclassProc(window, message, wParam, lParam);
}

// Code that subclassed on top of the skin stays in the chain after detach, also when it later
// puts back the procedure it saved; the control keeps working and carries nothing of the skin.
TEST_F(EmbeddingTest, ASubclassInstalledAfterTheSkinSurvivesDetach) {
    TestWindow form(300, 200);
    SetWindowLongPtrW(form.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountClicks));
    HWND byLong = controls::CreateControl(L"Button", L"A", form.get(), 10, 10, 80, 25, BS_PUSHBUTTON);
    HWND bySubclass = controls::CreateControl(L"Button", L"B", form.get(), 10, 50, 80, 25, BS_PUSHBUTTON);
    AttachSkin(form.get());
    savedProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(byLong, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingProc)));
    ASSERT_EQ(reinterpret_cast<WNDPROC>(skin::SkinWindowProc), savedProc);
    ASSERT_TRUE(SetWindowSubclass(bySubclass, LaterSubclass, 1, 0));
    DetachSkin(form.get());
    EXPECT_EQ(0, skin::Engine().skinnedWindowCount);

    for (HWND button : {byLong, bySubclass}) {
        EXPECT_TRUE(testing_support::SkinPropertyNames(button).empty());
        EXPECT_EQ(BS_PUSHBUTTON, GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK);
        received.clear();
        clicks = 0;
        SendMessageW(button, BM_CLICK, 0, 0);
        EXPECT_EQ(1, clicks) << LowerClassName(button) << ": the click did not reach the form";
        EXPECT_FALSE(received.empty()) << "the later subclass was cut out of the chain";
    }
    // The first subclass puts back what it saved: the skin's procedure, which now only forwards.
    SetWindowLongPtrW(byLong, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(savedProc));
    RemoveWindowSubclass(bySubclass, LaterSubclass, 1);
    for (HWND button : {byLong, bySubclass}) {
        clicks = 0;
        SendMessageW(button, BM_CLICK, 0, 0);
        EXPECT_EQ(1, clicks) << "the button stopped working";
        wchar_t text[8] = {};
        EXPECT_EQ(1, GetWindowTextW(button, text, 8));
    }
    DestroyWindow(byLong);
    DestroyWindow(bySubclass);
    EXPECT_EQ(0u, skin::RecordCount());
}

// Each thread skins its own windows only: a child that another thread made inside the form is
// not attached with the form, nor is that thread's form from here; that thread skins it itself,
// while the form here stays skinned.
TEST_F(EmbeddingTest, EachThreadSkinsOnlyItsOwnWindows) {
    TestWindow form(300, 200);
    HWND ownChild = controls::CreateControl(L"Button", L"Own", form.get(), 10, 10, 80, 25);
    std::atomic<HWND> foreignChild{nullptr}, foreignForm{nullptr};
    std::atomic<bool> stop{false}, finished{false};
    std::atomic<LONG> foreignAttach{-1};
    std::thread other([&] {
        HWND top = CreateWindowExW(0, controls::kFormClass, L"Other", WS_POPUP, 400,
                                   100, 100, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        HWND child = CreateWindowExW(0, L"Button", L"Theirs", WS_CHILD | WS_VISIBLE, 10, 50, 80, 25,
                                     form.get(), nullptr, GetModuleHandleW(nullptr), nullptr);
        foreignForm = top;
        foreignChild = child;
        while (!stop) {
            PumpMessages();
            if (foreignAttach == -2) foreignAttach = AttachSkin(top);
            Sleep(5);
        }
        DestroyWindow(child);
        DestroyWindow(top);
        finished = true;
    });
    // The child's creation talks to its parent on this thread: keep answering.
    while (!foreignChild) {
        PumpMessages();
        Sleep(5);
    }
    EXPECT_EQ(0, AttachSkin(foreignForm));
    EXPECT_EQ(1, AttachSkin(form.get()));
    EXPECT_TRUE(Skinned(ownChild));
    EXPECT_FALSE(Skinned(foreignChild));
    EXPECT_EQ(2, skin::Engine().skinnedWindowCount);
    foreignAttach = -2;
    while (foreignAttach == -2) {
        PumpMessages();
        Sleep(5);
    }
    EXPECT_EQ(1, foreignAttach.load()) << "another thread could not skin its own form";
    EXPECT_TRUE(Skinned(foreignForm));
    EXPECT_FALSE(Skinned(foreignChild)) << "the other thread's form took this thread's form's child";
    EXPECT_EQ(0, DetachSkin(foreignForm)) << "a thread took the skin off another thread's form";
    EXPECT_EQ(2, skin::Engine().skinnedWindowCount);
    EXPECT_EQ(1, DetachSkin(form.get()));
    stop = true;
    // Its windows' destruction talks to this thread too.
    while (!finished) {
        PumpMessages();
        Sleep(5);
    }
    other.join();
}

LRESULT CALLBACK AttachAgainOnSetStyle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == BM_SETSTYLE) received.push_back(static_cast<UINT>(AttachSkin(window)));
    return CallWindowProcW(savedProc, window, message, wParam, lParam);
}

LRESULT CALLBACK DestroyOnSetStyle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == BM_SETSTYLE) DestroyWindow(window);
    return CallWindowProcW(savedProc, window, message, wParam, lParam);
}

// A window reached again from inside its own set-up is attached once; a window whose procedure
// could not be replaced (it went away during set-up) is not counted.
TEST_F(EmbeddingTest, AttachIsSafeAgainstReentryAndCountsOnlyWhatItAttached) {
    TestWindow form(300, 200);
    HWND reentrant = controls::CreateControl(L"Button", L"R", form.get(), 10, 10, 80, 25);
    HWND vanishing = controls::CreateControl(L"Button", L"V", form.get(), 10, 50, 80, 25);
    savedProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(reentrant, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AttachAgainOnSetStyle)));
    SetWindowLongPtrW(vanishing, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DestroyOnSetStyle));
    received.clear();
    EXPECT_EQ(1, AttachSkin(form.get()));
    EXPECT_EQ(std::vector<UINT>{0}, received) << "the nested attach did something";
    EXPECT_FALSE(IsWindow(vanishing));
    EXPECT_EQ(2, skin::Engine().skinnedWindowCount) << "the form and one button are skinned";
    EXPECT_EQ(reinterpret_cast<intptr_t>(AttachAgainOnSetStyle),
              reinterpret_cast<intptr_t>(GetPropA(reentrant, "PROCADDR")));
    wchar_t text[4] = {};
    EXPECT_EQ(1, GetWindowTextW(reentrant, text, 4));  // no endless chain
    EXPECT_EQ(1, DetachSkin(form.get()));
    EXPECT_EQ(nullptr, skin::SkinImages().ButtonFaceImage) << "the images stayed after the last detach";
}

LRESULT CALLBACK DetachOnIdle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ENTERIDLE) DetachSkin(window);
    return CallWindowProcW(savedProc, window, message, wParam, lParam);
}

// The form's own handling of the message took the last skin off: the window the message names
// is not skinned with no images behind it.
TEST_F(EmbeddingTest, NothingIsAttachedFromAMessageAfterTheLastDetach) {
    TestWindow form(300, 200);
    TestWindow named(100, 100, nullptr, WS_POPUP, 450, 100);
    savedProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(form.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DetachOnIdle)));
    AttachSkin(form.get());
    SendMessageW(form.get(), WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(named.get()));
    EXPECT_FALSE(Skinned(named.get()));
    EXPECT_EQ(0, skin::Engine().skinnedWindowCount);
    EXPECT_FALSE(skin::Engine().initialised);
}

// A program that turns its thread into fibers and pumps its messages from a second fiber: its
// window procedure still answers, a fiber it deletes takes nothing of the skin along, and the
// thread's end still gives everything back; the same for the engine linked in and loaded as the DLL.
LRESULT CALLBACK StubbornProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER) return 42;
    if (message == WM_CLOSE) return 0;  // refuses to close
    return DefWindowProcW(window, message, wParam, lParam);
}

struct FiberRun {
    using Entry = LONG(WINAPI*)(HWND, DWORD);
    Entry attach;
    HWND form = nullptr;
    LRESULT answered = 0;
    bool survivedClose = false;
    void* mainFiber = nullptr;
};

void CALLBACK PumpFromSecondFiber(void* data) {
    auto* run = static_cast<FiberRun*>(data);
    PumpMessages();
    run->answered = SendMessageW(run->form, WM_USER, 0, 0);
    SendMessageW(run->form, WM_CLOSE, 0, 0);
    run->survivedClose = IsWindow(run->form) != FALSE;
    SwitchToFiber(run->mainFiber);
}

TEST_F(EmbeddingTest, AProgramThatPumpsFromAnotherFiberKeepsItsProcedure) {
    ASSERT_TRUE(RegisterOwnClass(L"StubbornFiberForm", StubbornProc));
    HMODULE dll = LoadLibraryW(L"dorrikskin.dll");
    ASSERT_NE(nullptr, dll);
    const FiberRun::Entry fromDll = reinterpret_cast<FiberRun::Entry>(
        reinterpret_cast<void*>(GetProcAddress(dll, "AttachSkinEx")));
    ASSERT_NE(nullptr, fromDll);
    const struct {
        const char* name;
        FiberRun::Entry attach;
    } engines[] = {{"linked", AttachSkinEx},
                   {"DLL", fromDll}};
    for (const auto& engine : engines) {
        FiberRun run{engine.attach};
        LRESULT afterDelete = 0;
        bool skinnedAfterDelete = false;
        HWND form = nullptr;
        std::thread([&] {
            run.mainFiber = ConvertThreadToFiber(nullptr);
            form = run.form = CreateWindowExW(0, L"StubbornFiberForm", L"Fibers", WS_POPUP | WS_VISIBLE, 300,
                                              100, 200, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
            controls::CreateControl(L"Button", L"Go", form, 10, 10, 80, 25);
            if (!run.mainFiber || run.attach(form, DORRIK_SKIN_ALL) != 1) return;
            void* second = CreateFiber(0, PumpFromSecondFiber, &run);
            SwitchToFiber(second);
            DeleteFiber(second);
            afterDelete = SendMessageW(form, WM_USER, 0, 0);
            PaintNow(form);
            skinnedAfterDelete = Skinned(form);
            ConvertFiberToThread();
        }).join();
        EXPECT_EQ(42, run.answered) << engine.name << ": the second fiber's messages missed the program's procedure";
        EXPECT_TRUE(run.survivedClose) << engine.name << ": WM_CLOSE went past the program's refusal";
        EXPECT_EQ(42, afterDelete) << engine.name << ": deleting a fiber took the skin's state along";
        EXPECT_TRUE(skinnedAfterDelete) << engine.name;
        EXPECT_FALSE(IsWindow(form)) << engine.name;
    }
}

}  // namespace
}  // namespace reliability
