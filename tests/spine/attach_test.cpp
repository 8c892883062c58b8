// Attaching and detaching: classification, properties of every kind, what is restored, counts.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <array>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "control_classes.h"
#include "core/attach.h"
#include "core/kinds.h"
#include "core/props.h"
#include "core/window_proc.h"
#include "dorrik_skin.h"
#include "render/image_set.h"
#include "support/test_windows.h"

using skin::ControlKind;
using testing_support::kStateBitmapNames;
using testing_support::PumpMessages;
using testing_support::RegionBox;
using testing_support::SkinPropertyNames;
using testing_support::TestWindow;
using Names = std::vector<std::string>;

namespace {

HWND Child(const wchar_t* className, HWND parent, DWORD style = 0, int width = 113, int height = 33) {
    return controls::CreateControl(className, L"Child", parent, 8, 16, width, height, style);
}

WNDPROC WindowProcOf(HWND window) {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
}

class AttachTest : public ::testing::Test {
protected:
    void TearDown() override {
        // Every test leaves the engine as it found it.
        EXPECT_EQ(0, skin::Engine().skinnedWindowCount);
    }
};

}  // namespace

TEST_F(AttachTest, ClassNamesMatchInAnyCaseAndGridOnlyAsPrefix) {
    const struct {
        const char* name;
        ControlKind kind;
    } cases[] = {
        {"thunderrt6commandbutton", ControlKind::PushButton},
        {"#32770", ControlKind::Form},
        {"thunderformdc", ControlKind::Form},
        {"button", ControlKind::PushButton},
        {"combobox", ControlKind::ComboBox},
        {"combo", ControlKind::ComboBox},
        {"thunderrt6drivelistbox", ControlKind::DriveList},
        {"thunderrt6checkbox", ControlKind::CheckBox},
        {"thunderoptionbutton", ControlKind::OptionButton},
        {"sysheader32", ControlKind::Header},
        {"msvb_lib_header", ControlKind::Header},
        {"progressbar20wndclass", ControlKind::ProgressBar},
        {"dblistwndclass", ControlKind::DataList},
        {"combolbox", ControlKind::DropDownList},
        {"apexgrid", ControlKind::Grid},
        {"apexgridoledb32", ControlKind::Grid},
        {"myapexgrid", ControlKind::Other},
        {"buttons", ControlKind::Other},
        {"", ControlKind::Other},
        {"static", ControlKind::Other},
    };
    for (const auto& c : cases) EXPECT_EQ(c.kind, skin::ClassifyClassName(c.name)) << c.name;

    // Real windows: the registered names are mixed case.
    TestWindow form(300, 200);
    HWND button = Child(L"BUTTON", form.get());
    HWND grid = Child(controls::kGridClass, form.get());
    HWND check = Child(controls::kCheckBoxClass, form.get());
    EXPECT_EQ("button", skin::GetClassNameLower(button));
    EXPECT_EQ(ControlKind::PushButton, skin::ClassifyWindow(button));
    EXPECT_EQ(ControlKind::Grid, skin::ClassifyWindow(grid));
    EXPECT_EQ(ControlKind::CheckBox, skin::ClassifyWindow(check));
    EXPECT_EQ(ControlKind::Form, skin::ClassifyWindow(form.get()));
    EXPECT_EQ("", skin::GetClassNameLower(nullptr));
}

TEST_F(AttachTest, FormWithFrameTwoButtonsAndWindowlessLabelAttachesFourWindows) {
    TestWindow form(264, 79);
    HWND frame = CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE | SS_ETCHEDFRAME, 8, 0,
                                 249, 57, form.get(), nullptr, nullptr, nullptr);
    HWND command1 = Child(L"Button", frame);
    HWND command2 = controls::CreateControl(L"Button", L"Two", frame, 128, 16, 113, 33);

    EXPECT_EQ(1, AttachSkin(form.get()));
    EXPECT_EQ(4, skin::Engine().skinnedWindowCount);
    for (HWND w : {form.get(), frame, command1, command2})
        EXPECT_NE(0, skin::GetSkinProp(w, skin::kPropProcAddr));
    EXPECT_EQ(OBJ_MEMDC, GetObjectType(skin::SkinImages().ButtonFaceImage));

    EXPECT_EQ(1, DetachSkin(form.get()));
    EXPECT_EQ(0, skin::Engine().skinnedWindowCount);
    EXPECT_FALSE(skin::Engine().initialised);
    // The images went with the last window.
    EXPECT_EQ(0u, GetObjectType(skin::SkinImages().ButtonFaceImage));
    EXPECT_EQ(0u, GetObjectType(skin::SkinImages().HeaderImage));
    for (HWND w : {form.get(), frame, command1, command2}) EXPECT_TRUE(SkinPropertyNames(w).empty());
}

TEST_F(AttachTest, AttachAndDetachAreIdempotentAndOnlyARealAttachInitialises) {
    ASSERT_FALSE(skin::Engine().initialised);
    // A first attach of nothing starts nothing (it would claim the thread for good).
    EXPECT_EQ(0, AttachSkin(nullptr));
    EXPECT_FALSE(skin::Engine().initialised);
    EXPECT_EQ(nullptr, skin::SkinImages().GlyphImage);

    TestWindow form(200, 100);
    HWND button = Child(L"Button", form.get());
    EXPECT_EQ(1, AttachSkin(form.get()));
    EXPECT_TRUE(skin::Engine().hasTrackMouseEvent);
    EXPECT_EQ(OBJ_MEMDC, GetObjectType(skin::SkinImages().GlyphImage));
    EXPECT_EQ(2, skin::Engine().skinnedWindowCount);
    EXPECT_EQ(0, AttachSkin(form.get()));
    EXPECT_EQ(0, skin::AttachWindow(button));
    EXPECT_EQ(2, skin::Engine().skinnedWindowCount);

    EXPECT_EQ(1, skin::DetachWindow(button));
    EXPECT_EQ(0, skin::DetachWindow(button));
    EXPECT_EQ(1, skin::Engine().skinnedWindowCount);
    EXPECT_EQ(1, DetachSkin(form.get()));
    EXPECT_EQ(0, DetachSkin(form.get()));
    EXPECT_EQ(0, skin::Engine().skinnedWindowCount);

    // Attaching after the last detach builds the images again.
    EXPECT_EQ(1, AttachSkin(form.get()));
    EXPECT_TRUE(skin::Engine().initialised);
    EXPECT_EQ(OBJ_MEMDC, GetObjectType(skin::SkinImages().CheckBoxImage));
    EXPECT_EQ(1, DetachSkin(form.get()));
}

// A program's main window of a class of its own: AttachSkin skins that window alone (only a form
// takes what is inside it along), and windows made in it later stay unskinned too. AttachSkinEx
// skins everything inside it, also what is made later, and DetachSkin takes all of it off.
TEST_F(AttachTest, AttachSkinExTakesTheWholeTreeWhateverTheClasses) {
    TestWindow main(300, 200, L"Static");
    HWND frame = Child(L"Static", main.get());
    HWND button = controls::CreateControl(L"Button", L"In", frame, 2, 2, 60, 20, 0);
    auto skinned = [](HWND w) { return GetPropA(w, "PROCADDR") != nullptr; };
    auto paintAll = [&] {
        RedrawWindow(main.get(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    };

    ASSERT_EQ(1, AttachSkin(main.get()));
    HWND later = Child(L"Button", main.get());
    paintAll();
    EXPECT_TRUE(skinned(main.get()));
    for (HWND w : {frame, button, later}) EXPECT_FALSE(skinned(w));
    EXPECT_EQ(1, skin::Engine().skinnedWindowCount);
    EXPECT_EQ(1, DetachSkin(main.get()));

    EXPECT_EQ(0, AttachSkinEx(main.get(), 0x10000)) << "an unknown option";
    EXPECT_FALSE(skinned(main.get()));
    ASSERT_EQ(1, AttachSkinEx(main.get(), 0));
    HWND laterInFrame = controls::CreateControl(L"Button", L"Late", frame, 2, 24, 60, 20, 0);
    paintAll();
    for (HWND w : {main.get(), frame, button, later, laterInFrame}) EXPECT_TRUE(skinned(w));
    EXPECT_EQ(5, skin::Engine().skinnedWindowCount);
    EXPECT_EQ(BS_OWNERDRAW, GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK);
    EXPECT_EQ(1, DetachSkin(main.get()));
    for (HWND w : {main.get(), frame, button, later, laterInFrame}) {
        EXPECT_TRUE(SkinPropertyNames(w).empty());
        EXPECT_NE(reinterpret_cast<WNDPROC>(skin::SkinWindowProc), WindowProcOf(w));
    }
    EXPECT_EQ(BS_PUSHBUTTON, GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK);
}

TEST_F(AttachTest, BadHandlesChangeNothing) {
    TestWindow form(100, 100);
    HWND gone = Child(L"Button", form.get());
    DestroyWindow(gone);

    TestWindow other(100, 100);
    ASSERT_EQ(1, AttachSkin(other.get()));
    EXPECT_EQ(0, AttachSkin(nullptr));
    EXPECT_EQ(0, AttachSkin(gone));
    EXPECT_EQ(0, DetachSkin(gone));
    EXPECT_EQ(0, DetachSkin(nullptr));
    EXPECT_EQ(0, DetachSkin(form.get()));  // never attached
    EXPECT_EQ(1, skin::Engine().skinnedWindowCount);
    EXPECT_TRUE(SkinPropertyNames(form.get()).empty());
    EXPECT_EQ(1, DetachSkin(other.get()));
}

TEST_F(AttachTest, EveryKindCarriesItsPropertiesExactlyWhileAttached) {
    TestWindow form(400, 300);
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    const Names pushButton = {"0BMP", "0HDC", "1BMP", "1HDC", "2BMP", "2HDC", "3BMP", "3HDC",
                              "ALPHALEVEL", "MOUSEFLAG", "OLDSTATE", "OLDSTYLE", "PROCADDR", "TIMERID"};
    const Names stateful = {"MOUSEFLAG", "OLDSTATE", "PROCADDR"};
    const Names header = {"HDINDEX", "HMINDEX", "MOUSEFLAG", "PROCADDR"};
    const Names plain = {"PROCADDR"};
    const struct {
        const wchar_t* className;
        Names names;
    } kinds[] = {
        {L"Button", pushButton},
        {controls::kCheckBoxClass, stateful},
        {controls::kOptionButtonClass, stateful},
        {controls::kComboBoxClass, stateful},
        {controls::kDriveListClass, stateful},
        {WC_HEADERW, header},
        {controls::kProgressBarClass, plain},
        {controls::kDataListClass, plain},
        {controls::kGridClass, plain},
        {L"Static", plain},
    };
    std::vector<HWND> windows;
    for (const auto& kind : kinds) windows.push_back(Child(kind.className, form.get(), 0, 100, 24));

    ASSERT_EQ(1, AttachSkin(form.get()));
    for (size_t i = 0; i < windows.size(); ++i)
        EXPECT_EQ(kinds[i].names, SkinPropertyNames(windows[i])) << i;
    // Values at attach.
    HWND check = windows[1];
    HWND headerWindow = windows[5];
    EXPECT_EQ(0, skin::GetSkinProp(check, skin::kPropOldState));
    EXPECT_EQ(-1, skin::GetSkinProp(headerWindow, skin::kPropHdIndex));
    EXPECT_EQ(-1, skin::GetSkinProp(headerWindow, skin::kPropHmIndex));
    EXPECT_EQ(Names{"PROCADDR"}, SkinPropertyNames(form.get()));

    ASSERT_EQ(1, DetachSkin(form.get()));
    for (HWND w : windows) EXPECT_TRUE(SkinPropertyNames(w).empty());
}

TEST_F(AttachTest, PushButtonSetupAndItsUndo) {
    TestWindow form(300, 100);
    HWND button = Child(L"Button", form.get(), BS_PUSHBUTTON);
    HWND disabled = controls::CreateControl(L"Button", L"Off", form.get(), 130, 16, 80, 25, WS_DISABLED);
    const LONG styleBefore = GetWindowLongW(button, GWL_STYLE);
    const WNDPROC procBefore = WindowProcOf(button);

    ASSERT_EQ(1, AttachSkin(form.get()));
    EXPECT_EQ(BS_OWNERDRAW, GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK);
    EXPECT_EQ(styleBefore, static_cast<LONG>(skin::GetSkinProp(button, skin::kPropOldStyle)));
    EXPECT_EQ(reinterpret_cast<intptr_t>(procBefore), skin::GetSkinProp(button, skin::kPropProcAddr));
    EXPECT_NE(procBefore, WindowProcOf(button));
    EXPECT_EQ(0, skin::GetSkinProp(button, skin::kPropOldState));
    EXPECT_EQ(3, skin::GetSkinProp(disabled, skin::kPropOldState));
    // A rounded region one pixel wider and taller than the window: its box is the window.
    const RECT box = RegionBox(button);
    EXPECT_EQ(0, box.left);
    EXPECT_EQ(0, box.top);
    EXPECT_EQ(113, box.right);
    EXPECT_EQ(33, box.bottom);
    // Four state surfaces, each holding a bitmap of the button's size.
    for (int state = 0; state < 4; ++state) {
        HDC surface = skin::GetStateSurface(button, state);
        ASSERT_EQ(static_cast<DWORD>(OBJ_MEMDC), GetObjectType(surface)) << state;
        HGDIOBJ bitmap = GetCurrentObject(surface, OBJ_BITMAP);
        EXPECT_EQ(reinterpret_cast<intptr_t>(bitmap), skin::GetSkinProp(button, kStateBitmapNames[state]));
        BITMAP info{};
        GetObjectW(bitmap, sizeof(info), &info);
        EXPECT_EQ(113, info.bmWidth);
        EXPECT_EQ(33, info.bmHeight);
    }
    HDC surface0 = skin::GetStateSurface(button, 0);
    HGDIOBJ bitmap0 = reinterpret_cast<HGDIOBJ>(skin::GetSkinProp(button, "0BMP"));

    ASSERT_EQ(1, DetachSkin(form.get()));
    EXPECT_EQ(styleBefore, GetWindowLongW(button, GWL_STYLE));
    EXPECT_EQ(procBefore, WindowProcOf(button));
    RECT none = RegionBox(button);
    EXPECT_TRUE(IsRectEmpty(&none));
    // The surfaces and their bitmaps are gone.
    EXPECT_EQ(0u, GetObjectType(surface0));
    EXPECT_EQ(0u, GetObjectType(bitmap0));
}

TEST_F(AttachTest, ButtonsThatPaintThemselvesKeepTheirStyle) {
    TestWindow form(400, 100);
    const DWORD styles[] = {BS_AUTOCHECKBOX, BS_AUTORADIOBUTTON, BS_GROUPBOX, BS_CHECKBOX};
    std::vector<HWND> buttons;
    for (DWORD style : styles) buttons.push_back(Child(L"Button", form.get(), style));
    ASSERT_EQ(1, AttachSkin(form.get()));
    for (size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(styles[i], static_cast<DWORD>(GetWindowLongW(buttons[i], GWL_STYLE) & BS_TYPEMASK)) << i;
        // Still a push button to the skin: state surfaces and a region.
        EXPECT_NE(nullptr, skin::GetStateSurface(buttons[i], 0));
        EXPECT_EQ(113, RegionBox(buttons[i]).right);
    }
    ASSERT_EQ(1, DetachSkin(form.get()));
}

// A round button of the program's keeps its shape through attach, resize and detach.
TEST_F(AttachTest, AButtonsOwnRegionStays) {
    TestWindow form(300, 100);
    HWND round = Child(L"Button", form.get(), BS_PUSHBUTTON, 40, 40);
    SetWindowRgn(round, CreateEllipticRgn(0, 0, 30, 30), TRUE);
    const RECT own = RegionBox(round);
    ASSERT_LT(own.right, 31);
    ASSERT_EQ(1, AttachSkin(form.get()));
    EXPECT_EQ(own.right, RegionBox(round).right);
    SetWindowPos(round, nullptr, 0, 0, 50, 50, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(own.right, RegionBox(round).right);
    ASSERT_EQ(1, DetachSkin(form.get()));
    EXPECT_EQ(own.bottom, RegionBox(round).bottom);
}

// Other code takes PROCADDR off a skinned button and the button is attached again: the skin
// still knows it was a push button, and DetachSkin gives it back as one.
TEST_F(AttachTest, AttachingAgainAfterPROCADDRWasTakenOffKeepsTheButtonsType) {
    TestWindow form(300, 100);
    HWND button = Child(L"Button", form.get(), BS_PUSHBUTTON);
    const LONG styleBefore = GetWindowLongW(button, GWL_STYLE);
    const WNDPROC procBefore = WindowProcOf(button);
    ASSERT_EQ(1, AttachSkin(form.get()));
    RemovePropA(button, "PROCADDR");
    ASSERT_EQ(1, AttachSkin(button));
    EXPECT_EQ(styleBefore, static_cast<LONG>(skin::GetSkinProp(button, skin::kPropOldStyle)));
    EXPECT_EQ(BS_OWNERDRAW, GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK);
    EXPECT_EQ(2, skin::Engine().skinnedWindowCount);
    ASSERT_EQ(1, DetachSkin(form.get()));
    EXPECT_EQ(styleBefore, GetWindowLongW(button, GWL_STYLE));
    EXPECT_EQ(procBefore, WindowProcOf(button));
}

// Class libraries make their controls as superclasses: the platform's class info under a new
// name, with a procedure of their own that calls the platform's.
WNDPROC platformProcedures[4];
template <int Which>
LRESULT CALLBACK LibraryProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(platformProcedures[Which], window, message, wParam, lParam);
}

template <int Which>
void RegisterSuperclass(const wchar_t* platformClass, const wchar_t* name) {
    WNDCLASSW info{};
    ASSERT_TRUE(GetClassInfoW(nullptr, platformClass, &info));
    platformProcedures[Which] = info.lpfnWndProc;
    info.lpfnWndProc = LibraryProcedure<Which>;
    info.hInstance = GetModuleHandleW(nullptr);
    info.lpszClassName = name;
    info.style |= CS_HREDRAW | CS_VREDRAW;  // as Delphi's do
    RegisterClassW(&info);
}

// Whether the platform itself names the platform class a window is made from (Windows does once
// the platform's procedure has handled the window; Wine names the window's own class).
bool PlatformNames(HWND window, const wchar_t* platformClass) {
    wchar_t real[64] = {};
    RealGetWindowClassW(window, real, 64);
    return CompareStringOrdinal(real, -1, platformClass, -1, TRUE) == CSTR_EQUAL;
}

TEST_F(AttachTest, SuperclassesOfThePlatformsControlsAreSkinnedAsThoseControlsUnderAttachSkinEx) {
    RegisterSuperclass<0>(L"Button", L"TButton");
    RegisterSuperclass<1>(L"ComboBox", L"WindowsForms10.COMBOBOX.app.0.1");
    RegisterSuperclass<2>(TRACKBAR_CLASSW, L"WindowsForms10.msctls_trackbar32.app.0.1");
    // A superclass under a name no class library gives.
    RegisterSuperclass<3>(L"Button", L"LibraryButton");
    TestWindow form(400, 300);
    HWND push = controls::CreateControl(L"TButton", L"Go", form.get(), 10, 10, 80, 25, BS_PUSHBUTTON);
    HWND check = controls::CreateControl(L"TButton", L"C", form.get(), 10, 40, 80, 17, BS_AUTOCHECKBOX);
    HWND option = controls::CreateControl(L"TButton", L"O", form.get(), 10, 60, 80, 17, BS_AUTORADIOBUTTON);
    HWND group = controls::CreateControl(L"TButton", L"G", form.get(), 100, 10, 120, 80, BS_GROUPBOX);
    HWND combo = controls::CreateControl(L"WindowsForms10.COMBOBOX.app.0.1", L"", form.get(), 10, 100, 120,
                                         100, CBS_DROPDOWNLIST);
    HWND trackbar = controls::CreateControl(L"WindowsForms10.msctls_trackbar32.app.0.1", L"", form.get(),
                                            10, 200, 150, 30);
    HWND unnamed = controls::CreateControl(L"LibraryButton", L"U", form.get(), 240, 10, 80, 25, BS_PUSHBUTTON);
    // A window that only looks like a button to the class info is left as what it is.
    HWND plain = Child(L"Static", form.get());
    const LONG pushStyle = GetWindowLongW(push, GWL_STYLE);

    // Plain AttachSkin knows the names only.
    ASSERT_EQ(1, AttachSkin(form.get()));
    for (HWND w : {push, check, option, group, combo, trackbar}) {
        EXPECT_TRUE(skin::IsAttached(w));
        EXPECT_EQ(ControlKind::Other, skin::AttachedKind(w));
    }
    EXPECT_EQ(pushStyle, GetWindowLongW(push, GWL_STYLE));
    ASSERT_EQ(1, DetachSkin(form.get()));

    ASSERT_EQ(1, AttachSkinEx(form.get(), DORRIK_SKIN_BUTTONS | DORRIK_SKIN_TRACKBARS));
    EXPECT_EQ(ControlKind::PushButton, skin::AttachedKind(push));
    EXPECT_EQ(ControlKind::ButtonCheckBox, skin::AttachedKind(check));
    EXPECT_EQ(ControlKind::ButtonOption, skin::AttachedKind(option));
    EXPECT_EQ(ControlKind::GroupBox, skin::AttachedKind(group));
    EXPECT_EQ(ControlKind::ComboBox, skin::AttachedKind(combo));
    EXPECT_EQ(ControlKind::Trackbar, skin::AttachedKind(trackbar));
    EXPECT_EQ(PlatformNames(unnamed, L"Button") ? ControlKind::PushButton : ControlKind::Other,
              skin::AttachedKind(unnamed));
    EXPECT_EQ(ControlKind::Other, skin::AttachedKind(plain));
    EXPECT_EQ(BS_OWNERDRAW, GetWindowLongW(push, GWL_STYLE) & BS_TYPEMASK);
    EXPECT_NE(nullptr, skin::GetStateSurface(push, 0));
    ASSERT_EQ(1, DetachSkin(form.get()));
    EXPECT_EQ(pushStyle, GetWindowLongW(push, GWL_STYLE));
    for (HWND w : {push, check, option, group, combo, trackbar}) EXPECT_TRUE(SkinPropertyNames(w).empty());
}

// The superclasses of Delphi's class library and of the installers built on it, each made
// from its platform class as the library makes it; one procedure passes every message to the
// platform class's.
struct LibraryControl {
    const wchar_t* name;
    const wchar_t* platformClass;
    DWORD style;
    const char* platformName;
    ControlKind kind;
};

const LibraryControl kLibraryControls[] = {
    {L"TToolBar", L"ToolbarWindow32", 0, "toolbarwindow32", ControlKind::Toolbar},
    {L"TStatusBar", L"msctls_statusbar32", 0, "msctls_statusbar32", ControlKind::StatusBar},
    {L"TProgressBar", L"msctls_progress32", 0, "msctls_progress32", ControlKind::ProgressControl},
    {L"TTreeView", L"SysTreeView32", 0, "systreeview32", ControlKind::TreeView},
    {L"TListView", L"SysListView32", LVS_REPORT, "syslistview32", ControlKind::ListView},
    {L"THeaderControl", L"SysHeader32", 0, "sysheader32", ControlKind::Header},
    {L"TDateTimePicker", L"SysDateTimePick32", 0, "sysdatetimepick32", ControlKind::DateTimePicker},
    {L"THotKey", L"msctls_hotkey32", 0, "msctls_hotkey32", ControlKind::EditLikeField},
    {L"TNewButton", L"Button", BS_PUSHBUTTON, "button", ControlKind::PushButton},
    {L"TNewCheckBox", L"Button", BS_AUTOCHECKBOX, "button", ControlKind::ButtonCheckBox},
    {L"TNewRadioButton", L"Button", BS_AUTORADIOBUTTON, "button", ControlKind::ButtonOption},
    {L"TNewEdit", L"Edit", 0, "edit", ControlKind::Other},
    {L"TPasswordEdit", L"Edit", ES_PASSWORD, "edit", ControlKind::Other},
    {L"TNewMemo", L"Edit", ES_MULTILINE, "edit", ControlKind::Other},
    {L"TNewComboBox", L"ComboBox", CBS_DROPDOWNLIST, "combobox", ControlKind::ComboBox},
    {L"TNewListBox", L"ListBox", 0, "listbox", ControlKind::Other},
    {L"TNewCheckListBox", L"ListBox", LBS_OWNERDRAWFIXED, "listbox", ControlKind::Other},
    {L"TNewStaticText", L"Static", 0, "static", ControlKind::Other},
    {L"TNewProgressBar", L"msctls_progress32", 0, "msctls_progress32", ControlKind::ProgressControl},
};

std::map<std::wstring, WNDPROC> libraryBases;

LRESULT CALLBACK AnyLibraryProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return CallWindowProcW(libraryBases.at(name), window, message, wParam, lParam);
}

TEST_F(AttachTest, TheClassLibrarysAndInstallersSuperclassesAreTheirPlatformClasses) {
    TestWindow form(600, 400);
    std::vector<HWND> windows;
    for (const LibraryControl& control : kLibraryControls) {
        WNDCLASSW info{};
        ASSERT_TRUE(GetClassInfoW(nullptr, control.platformClass, &info)) << control.platformName;
        libraryBases[control.name] = info.lpfnWndProc;
        info.lpfnWndProc = AnyLibraryProcedure;
        info.hInstance = GetModuleHandleW(nullptr);
        info.lpszClassName = control.name;
        info.style |= CS_HREDRAW | CS_VREDRAW;
        RegisterClassW(&info);
        const int row = static_cast<int>(windows.size());
        windows.push_back(controls::CreateControl(control.name, L"T", form.get(), 10 + (row % 3) * 190,
                                                  10 + (row / 3) * 50, 180, 40, control.style));
        ASSERT_NE(nullptr, windows.back()) << control.platformName;
    }
    ASSERT_EQ(1, AttachSkinEx(form.get(), DORRIK_SKIN_ALL));
    for (size_t i = 0; i < windows.size(); ++i) {
        const std::string name = testing::PrintToString(std::wstring(kLibraryControls[i].name));
        EXPECT_EQ(kLibraryControls[i].platformName, skin::PlatformClassName(windows[i])) << name;
        EXPECT_EQ(kLibraryControls[i].kind, skin::AttachedKind(windows[i])) << name;
    }
    ASSERT_EQ(1, DetachSkin(form.get()));
}

// A program's own class may give any message, WM_USER's range above all, a meaning of its own.
// Classes of the program's with the class style and extra bytes of the platform's controls note
// every message and answer WM_USER's range as a control of the program's might; beside them two
// common controls the skin takes no kind for note what reaches them under the skin's link.
const wchar_t* const kOwnClassBases[] = {L"Button",       L"ComboBox",     L"Edit",
                                         L"ListBox",      L"Static",       WC_TABCONTROLW,
                                         UPDOWN_CLASSW,   TRACKBAR_CLASSW};
constexpr size_t kOwnClassCount = std::size(kOwnClassBases);
const wchar_t* const kNotedControls[] = {WC_COMBOBOXEXW, REBARCLASSNAMEW};
constexpr size_t kNotedCount = kOwnClassCount + std::size(kNotedControls);

std::vector<UINT> noted[kNotedCount];
WNDPROC notedControlProcedures[kNotedCount];

// The skin repaints every window it puts on or takes off, frame and client: the messages of a
// repaint, whose meaning no class changes, are not noted.
bool IsRepaint(UINT message) {
    return message == WM_NCPAINT || message == WM_PAINT || message == WM_ERASEBKGND;
}

template <size_t Which>
LRESULT CALLBACK NotingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!IsRepaint(message)) noted[Which].push_back(message);
    if (notedControlProcedures[Which])
        return CallWindowProcW(notedControlProcedures[Which], window, message, wParam, lParam);
    if (message >= WM_USER && message < WM_APP) return 1;
    return DefWindowProcW(window, message, wParam, lParam);
}

template <size_t... Which>
constexpr std::array<WNDPROC, sizeof...(Which)> NotingProcedures(std::index_sequence<Which...>) {
    return {NotingProcedure<Which>...};
}
const auto kNotingProcedures = NotingProcedures(std::make_index_sequence<kNotedCount>());

std::wstring OwnClassName(size_t which) { return L"DorrikOwnClass" + std::to_wstring(which); }

void RegisterOwnClasses() {
    for (size_t i = 0; i < kOwnClassCount; ++i) {
        WNDCLASSEXW platform{};
        platform.cbSize = sizeof(platform);
        ASSERT_TRUE(GetClassInfoExW(nullptr, kOwnClassBases[i], &platform)) << kOwnClassBases[i];
        const std::wstring name = OwnClassName(i);
        WNDCLASSEXW own{};
        own.cbSize = sizeof(own);
        own.style = platform.style;
        own.cbWndExtra = platform.cbWndExtra;
        own.lpfnWndProc = kNotingProcedures[i];
        own.hInstance = GetModuleHandleW(nullptr);
        own.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        own.lpszClassName = name.c_str();
        WNDCLASSEXW existing{};
        existing.cbSize = sizeof(existing);
        if (!GetClassInfoExW(own.hInstance, name.c_str(), &existing)) {
            ASSERT_NE(0, RegisterClassExW(&own));
        }
    }
}

struct NotedRun {
    std::vector<UINT> messages[kNotedCount];
    ControlKind kinds[kNotedCount] = {};
};

// What each noted window receives from the moment the form stands: with the skin, while
// AttachSkinEx with every option puts it on the form and DetachSkin takes it off.
NotedRun NoteAround(bool skinned) {
    TestWindow form(500, 300);
    HWND windows[kNotedCount] = {};
    for (size_t i = 0; i < kOwnClassCount; ++i) {
        windows[i] = CreateWindowExW(0, OwnClassName(i).c_str(), L"Own", WS_CHILD | WS_VISIBLE,
                                     10 + 55 * static_cast<int>(i), 10, 50, 40, form.get(), nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
    }
    windows[kOwnClassCount] = CreateWindowExW(0, WC_COMBOBOXEXW, L"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWN,
                                              10, 80, 150, 120, form.get(), nullptr, nullptr, nullptr);
    windows[kOwnClassCount + 1] = CreateWindowExW(0, REBARCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 200,
                                                  400, 30, form.get(), nullptr, nullptr, nullptr);
    for (size_t i = kOwnClassCount; i < kNotedCount; ++i) {
        notedControlProcedures[i] = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
            windows[i], GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(kNotingProcedures[i])));
    }
    for (HWND window : windows) EXPECT_NE(nullptr, window);
    PumpMessages();
    for (std::vector<UINT>& list : noted) list.clear();

    // Without the skin the form is repainted whole where the skin repaints it: what the controls
    // inside send while they paint (a combo box's colour and item questions) is in both runs.
    constexpr UINT kRepaintWhole = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN;
    NotedRun run;
    if (skinned) {
        EXPECT_EQ(1, AttachSkinEx(form.get(), DORRIK_SKIN_ALL));
        for (size_t i = 0; i < kNotedCount; ++i) run.kinds[i] = skin::AttachedKind(windows[i]);
    } else {
        RedrawWindow(form.get(), nullptr, nullptr, kRepaintWhole);
    }
    PumpMessages();
    if (skinned) {
        EXPECT_EQ(1, DetachSkin(form.get()));
    } else {
        RedrawWindow(form.get(), nullptr, nullptr, kRepaintWhole);
    }
    PumpMessages();
    for (size_t i = 0; i < kNotedCount; ++i) run.messages[i] = std::move(noted[i]);
    for (size_t i = kOwnClassCount; i < kNotedCount; ++i) {
        SetWindowLongPtrW(windows[i], GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(notedControlProcedures[i]));
        notedControlProcedures[i] = nullptr;
    }
    return run;
}

TEST_F(AttachTest, WindowsOfTheProgramsOwnClassesAndUnnamedControlsAreSentNothingByTheSkin) {
    RegisterOwnClasses();
    const NotedRun without = NoteAround(false);
    const NotedRun with = NoteAround(true);
    for (size_t i = 0; i < kNotedCount; ++i) {
        const wchar_t* what = i < kOwnClassCount ? kOwnClassBases[i] : kNotedControls[i - kOwnClassCount];
        EXPECT_EQ(without.messages[i], with.messages[i]) << "own class or control like " << testing::PrintToString(std::wstring(what));
        EXPECT_EQ(ControlKind::Other, with.kinds[i]) << testing::PrintToString(std::wstring(what));
    }
}

TEST_F(AttachTest, UnicodeCaptionsSurviveTheSkin) {
    TestWindow form(300, 100);
    HWND button = controls::CreateControl(L"Button", L"关闭光驱", form.get(), 8, 16, 113, 33);
    ASSERT_EQ(1, AttachSkin(form.get()));
    wchar_t text[32] = {};
    GetWindowTextW(button, text, 32);
    EXPECT_STREQ(L"关闭光驱", text);
    SetWindowTextW(button, L"打开光驱");
    GetWindowTextW(button, text, 32);
    EXPECT_STREQ(L"打开光驱", text);
    ASSERT_EQ(1, DetachSkin(form.get()));
}

TEST(ControlClasses, ATypeGivenByTheCallerReplacesTheClassDefault) {
    TestWindow form(300, 200);
    HWND threeState = controls::CreateControl(controls::kCheckBoxClass, L"3", form.get(), 0, 0, 80, 20, BS_AUTO3STATE);
    HWND plainCheck = controls::CreateControl(controls::kCheckBoxClass, L"c", form.get(), 0, 30, 80, 20);
    HWND simple = controls::CreateControl(controls::kComboBoxClass, L"", form.get(), 0, 60, 80, 60, CBS_SIMPLE);
    EXPECT_EQ(BS_AUTO3STATE, GetWindowLongW(threeState, GWL_STYLE) & BS_TYPEMASK);
    EXPECT_EQ(BS_AUTOCHECKBOX, GetWindowLongW(plainCheck, GWL_STYLE) & BS_TYPEMASK);
    EXPECT_EQ(CBS_SIMPLE, GetWindowLongW(simple, GWL_STYLE) & 3);
}
