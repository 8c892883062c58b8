// Bad input to every entry point and renderer: no crash, no write past a buffer, nothing leaked
// (the fixture counts every object under Windows' rules after each test).
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <climits>
#include <string>
#include <vector>

#include "control_classes.h"
#include "core/attach.h"
#include "core/paint.h"
#include "core/props.h"
#include "core/window_proc.h"
#include "dorrik_skin.h"
#include "reliability_fixture.h"
#include "render/button_renderer.h"
#include "render/check_renderer.h"
#include "render/combo_renderer.h"
#include "render/header_renderer.h"
#include "render/image_set.h"
#include "render/primitives.h"
#include "support/test_windows.h"
#include "support/window_names.h"

using testing_support::CountLiveObjects;
using testing_support::Describe;
using testing_support::FailCreations;
using testing_support::LiveObjects;
using testing_support::ObjectKind;
using testing_support::PumpMessages;
using testing_support::TestWindow;

namespace reliability {
namespace {

using BadInputTest = ReliabilityTest;

const UINT kRoutedMessages[] = {
    WM_DESTROY,     WM_SIZE,      WM_ACTIVATE,          WM_SETFOCUS,        WM_KILLFOCUS,
    WM_ENABLE,      WM_PAINT,     WM_WINDOWPOSCHANGING, WM_NCPAINT,         WM_KEYDOWN,
    WM_KEYUP,       WM_TIMER,     WM_ENTERIDLE,         WM_CTLCOLORLISTBOX, WM_MOUSEMOVE,
    WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK,     WM_MOUSELEAVE,
};

// A skinned window of its own keeps the engine initialised, so the renderers find the images.
class EngineAnchor {
public:
    EngineAnchor()
        : window_(CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr)) {
        AttachSkin(window_);
    }
    ~EngineAnchor() {
        DetachSkin(window_);
        DestroyWindow(window_);
    }
    EngineAnchor(const EngineAnchor&) = delete;
    EngineAnchor& operator=(const EngineAnchor&) = delete;
    HWND get() const { return window_; }

private:
    HWND window_;
};

// Handles that name no window: none, one destroyed, one never made.
std::vector<HWND> DeadHandles() {
    HWND destroyed = CreateWindowExW(0, L"Button", L"gone", WS_POPUP, 0, 0, 50, 20, nullptr,
                                     nullptr, nullptr, nullptr);
    DestroyWindow(destroyed);
    auto never = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(0x7FF0));
    while (IsWindow(never)) never = reinterpret_cast<HWND>(reinterpret_cast<ULONG_PTR>(never) + 4);
    return {nullptr, destroyed, never};
}

void RepaintNow(HWND window) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

TEST_F(BadInputTest, HandlesOfNoWindowChangeNothingAnywhere) {
    EngineAnchor anchor;
    const int count = skin::Engine().skinnedWindowCount;
    HDC scratch = CreateCompatibleDC(nullptr);
    for (HWND dead : DeadHandles()) {
        EXPECT_EQ(0, AttachSkin(dead));
        EXPECT_EQ(0, DetachSkin(dead));
        EXPECT_EQ(0, skin::AttachWindow(dead));
        EXPECT_EQ(0, skin::DetachWindow(dead));
        for (UINT message : kRoutedMessages) skin::SkinWindowProc(dead, message, 0, 0);
        EXPECT_EQ(0, skin::SkinWindowProc(nullptr, WM_PAINT, 0, 0));

        skin::RenderButtonFaces(dead);
        EXPECT_EQ(0, skin::BlendButtonFace(dead, nullptr));
        EXPECT_EQ(0, skin::BlendButtonFace(dead, scratch));
        int state = skin::Hot;
        skin::PaintComboButton(dead, nullptr, state, true);
        skin::PaintComboButton(dead, scratch, state, false);
        skin::PaintCheckBox(dead, skin::Pressed, true);
        skin::PaintOptionButton(dead, skin::Hot, true);
        EXPECT_EQ(0, skin::PaintHeaderItem(dead, nullptr, 0, skin::Hot));
        EXPECT_EQ(0, skin::PaintHeaderItem(dead, scratch, 3, skin::Pressed));
        skin::HandlePaint(DefWindowProcW, dead, WM_PAINT, 0, 0);
        skin::HandleNcPaint(DefWindowProcW, dead, WM_NCPAINT, 1, 0);
        int bx = 0, by = 0;
        skin::GetBorderThickness(dead, bx, by);
        EXPECT_EQ(L"", skin::GetWindowCaption(dead));
        EXPECT_EQ(L"", skin::GetHeaderItemText(dead, 0));
        EXPECT_EQ("", skin::GetClassNameLower(dead));
        skin::WindowBounds bounds;
        skin::GetWindowBounds(dead, bounds);
        EXPECT_EQ(0, bounds.Width);

        // Messages that name a window to attach name a dead one.
        for (UINT message : {WM_ENTERIDLE, WM_CTLCOLORLISTBOX, WM_ACTIVATE})
            SendMessageW(anchor.get(), message, 0, reinterpret_cast<LPARAM>(dead));
        EXPECT_EQ(count, skin::Engine().skinnedWindowCount);
    }

    // The primitives with no context, no source, and sizes of nothing or less.
    const HDC image = skin::SkinImages().ButtonFaceImage;
    skin::DrawCaption(nullptr, L"text", 0, 0, 10, 10, skin::CaptionFormat);
    skin::FillSolid(nullptr, 0, 0, 10, 10, 0xFF);
    skin::FrameSolid(nullptr, 0, 0, 10, 10, 0xFF);
    skin::DrawFocusFrame(nullptr, 0, 0, 10, 10);
    skin::ReleaseMemorySurface(nullptr);
    for (int size : {0, -1, -100}) {
        skin::ReleaseMemorySurface(skin::CreateMemorySurface(size, 5));
        skin::ReleaseMemorySurface(skin::CreateMemorySurface(5, size));
        skin::DrawNineSlice(scratch, 0, 0, size, 10, image, 0, 0, 7, 21, 3, 3, 3, 3);
        skin::DrawNineSlice(scratch, 0, 0, 10, 10, image, 0, 0, size, size, 3, 3, 3, 3,
                            skin::kKeyMagenta);
        skin::DrawNineSlice(scratch, 0, 0, 10, 10, image, 0, 0, 7, 21, size, size, 30, 30);
        skin::DrawTransparent(scratch, 0, 0, size, size, image, 0, 0, skin::kKeyMagenta, nullptr);
    }
    skin::DrawNineSlice(nullptr, 0, 0, 10, 10, nullptr, 0, 0, 7, 21, 3, 3, 3, 3, skin::kKeyMagenta);
    skin::DrawTransparent(nullptr, 0, 0, 8, 8, nullptr, 0, 0, skin::kKeyMagenta, nullptr);
    DeleteDC(scratch);
    EXPECT_EQ("", CheckSkinInvariants());
}

TEST_F(BadInputTest, RenderersTakeStatesAndIndexesOutOfRange) {
    EveryKindForm form = CreateEveryKindForm();
    ASSERT_EQ(1, AttachSkin(form.form));
    HWND button = form.children[kCommand1];
    HWND header = form.children[kHeader];
    for (int state : {-1, 3, 4, 7, 99}) {
        for (Slot combo : {kCombo, kListCombo, kDriveList}) {
            int asked = state;
            skin::PaintComboButton(form.children[combo], nullptr, asked, true);
        }
        skin::PaintCheckBox(form.children[kCheckBox], state, true);
        skin::PaintOptionButton(form.children[kOption1], state, true);
        for (int index : {-5, 3, 1000, INT_MAX})
            skin::PaintHeaderItem(header, nullptr, index, state);
        skin::SetSkinProp(button, skin::kPropOldState, state);
        for (int level : {-50, 256, 100000}) {
            skin::SetSkinProp(button, skin::kPropAlphaLevel, level);
            skin::BlendButtonFace(button, nullptr);
            SendMessageW(button, WM_TIMER, 1, 0);
        }
    }
    // Hot and pressed items that the header does not have.
    skin::SetSkinProp(header, skin::kPropHdIndex, 5000);
    skin::SetSkinProp(header, skin::kPropHmIndex, INT_MIN);
    RepaintNow(form.form);
    SendMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    SendMessageW(header, WM_MOUSELEAVE, 0, 0);
    // Points far outside every control.
    for (LPARAM point : {MAKELPARAM(-32768, -32768), MAKELPARAM(32767, 32767), LPARAM{-1}}) {
        for (HWND window : FormWindows(form.form)) {
            SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, point);
            SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, point);
            SendMessageW(window, WM_LBUTTONUP, 0, point);
        }
    }
    PumpMessages();
    EXPECT_EQ("", CheckSkinInvariants());
    ASSERT_EQ(1, DetachSkin(form.form));
}

TEST_F(BadInputTest, WindowsDestroyedInTheMiddleOfAFadeOrWithTheirListDropped) {
    EveryKindForm form = CreateEveryKindForm();
    ASSERT_EQ(1, AttachSkin(form.form));

    // In the middle of a fade stepped by hand: the button's objects and timer go with it.
    HWND button = form.children[kCommand1];
    SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    for (int tick = 0; tick < 20; ++tick) SendMessageW(button, WM_TIMER, 1, 0);
    ASSERT_NE(0, skin::GetSkinProp(button, skin::kPropTimerId));
    LiveObjects start = CountLiveObjects();
    DestroyWindow(button);
    LiveObjects gone;
    gone.createdContexts = -4;
    gone.bitmaps = -4;
    gone.windowRegions = -1;
    gone.timers = -1;
    EXPECT_EQ(gone, LiveSince(start)) << Describe(LiveSince(start));
    EXPECT_EQ("", CheckSkinInvariants());

    // In the middle of a fade on the real timer.
    HWND other = form.children[kCommand2];
    SendMessageW(other, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(other, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    for (int i = 0; i < 5; ++i) {
        Sleep(20);
        PumpMessages();
    }
    DestroyWindow(other);
    EXPECT_EQ("", CheckSkinInvariants());

    // With the drop-down list open.
    SendMessageW(form.children[kListCombo], CB_SHOWDROPDOWN, TRUE, 0);
    PumpMessages();
    DestroyWindow(form.children[kListCombo]);
    PumpMessages();
    EXPECT_EQ("", CheckSkinInvariants());

    // The whole form, with a list dropped and a fade running.
    SendMessageW(form.children[kDriveList], CB_SHOWDROPDOWN, TRUE, 0);
    SendMessageW(form.children[kDefaultButton], WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    PumpMessages();
    DestroyWindow(form.form);
    PumpMessages();
    EXPECT_EQ(0, skin::Engine().skinnedWindowCount);
    EXPECT_FALSE(skin::Engine().initialised);
    EXPECT_EQ(LiveObjects{}, LiveSince(before_)) << Describe(LiveSince(before_));
}

// A form that destroys the button that sent it a click (id 1), or itself (any other id).
LRESULT CALLBACK DestroyingFormProc(HWND form, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && lParam) {
        DestroyWindow(LOWORD(wParam) == 1 ? reinterpret_cast<HWND>(lParam) : form);
        return 0;
    }
    return DefWindowProcW(form, message, wParam, lParam);
}

TEST_F(BadInputTest, ControlsDestroyedFromInsideTheirOwnMessages) {
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = DestroyingFormProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = L"Form";  // a form by its class name
        return RegisterClassExW(&wc) != 0;
    }();
    ASSERT_TRUE(registered);
    HWND form = CreateWindowExW(0, L"Form", L"Destroying", WS_POPUP | WS_VISIBLE, 50, 50, 300, 120,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    HWND selfDestroying = controls::CreateControl(L"Button", L"Gone", form, 10, 10, 90, 28, 0, 1);
    HWND check =
        controls::CreateControl(controls::kCheckBoxClass, L"Close", form, 110, 10, 90, 20, 0, 2);
    HWND option =
        controls::CreateControl(controls::kOptionButtonClass, L"Stay", form, 110, 40, 90, 20);
    ASSERT_EQ(1, AttachSkin(form));
    ASSERT_EQ(4, skin::Engine().skinnedWindowCount);

    // The click's own handler destroys the button while the button still handles the release.
    SendMessageW(selfDestroying, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageW(selfDestroying, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(selfDestroying, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(IsWindow(selfDestroying));
    EXPECT_EQ(3, skin::Engine().skinnedWindowCount);
    EXPECT_EQ("", CheckSkinInvariants());

    // The check box's click destroys the whole form around it.
    SendMessageW(option, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageW(check, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(check, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(IsWindow(form));
    EXPECT_EQ(0, skin::Engine().skinnedWindowCount);
    EXPECT_FALSE(skin::Engine().initialised);
    PumpMessages();
}

// A program's subclass over a button that destroys the button when the skin sends it the message
// named here: BM_SETSTYLE while the skin attaches it, WM_STYLECHANGED while the skin detaches it.
UINT destroyOn = 0;
WNDPROC buttonOwnProc = nullptr;
LRESULT CALLBACK DestroyOnSkinMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == destroyOn) DestroyWindow(window);
    return CallWindowProcW(buttonOwnProc, window, message, wParam, lParam);
}

HWND SelfDestroyingButton(HWND form, UINT message) {
    HWND button = controls::CreateControl(L"Button", L"Gone", form, 10, 40, 90, 28);
    destroyOn = message;
    buttonOwnProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DestroyOnSkinMessage)));
    return button;
}

// A button destroyed inside its own attach (made after the skin went on, so the skin's link is in
// it already) or inside its own detach: what was made for it is freed, and it is counted once.
TEST_F(BadInputTest, ButtonsDestroyedInsideTheirOwnAttachOrDetach) {
    EngineAnchor anchor;
    TestWindow form(300, 120);
    HWND stays = controls::CreateControl(L"Button", L"Stays", form.get(), 10, 10, 90, 28);
    ASSERT_EQ(1, AttachSkin(form.get()));
    const int count = skin::Engine().skinnedWindowCount;

    HWND duringAttach = SelfDestroyingButton(form.get(), BM_SETSTYLE);
    RedrawWindow(duringAttach, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    EXPECT_FALSE(IsWindow(duringAttach));
    EXPECT_EQ(count, skin::Engine().skinnedWindowCount);
    EXPECT_EQ("", CheckSkinInvariants());

    HWND duringDetach = SelfDestroyingButton(form.get(), 0);
    RedrawWindow(duringDetach, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    ASSERT_EQ(count + 1, skin::Engine().skinnedWindowCount);
    destroyOn = WM_STYLECHANGED;
    skin::DetachWindow(duringDetach);
    EXPECT_FALSE(IsWindow(duringDetach));
    EXPECT_EQ(count, skin::Engine().skinnedWindowCount) << "counted off twice";
    EXPECT_NE(nullptr, GetPropA(stays, "PROCADDR"));
    EXPECT_EQ("", CheckSkinInvariants());
    EXPECT_EQ(1, DetachSkin(form.get()));
}

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(BadInputTest, ClassNamesOf255CharactersAndMore) {
    struct LongClass {
        std::wstring name;
        skin::ControlKind kind;
        HWND window = nullptr;
    };
    std::vector<LongClass> classes;
    // Longer names are refused as well; Wine's RegisterClassExW corrupts its own heap when it
    // refuses a name of 300 characters or more, so the test stops at 257.
    for (size_t length : {254u, 255u, 256u, 257u}) {
        std::wstring grid = L"ApexGrid";
        grid.resize(length, L'g');
        std::wstring other = L"Button";
        other.resize(length, L'b');
        classes.push_back({grid, skin::ControlKind::Grid});
        classes.push_back({other, skin::ControlKind::Other});
    }
    EveryKindForm form = CreateEveryKindForm();
    int made = 0;
    for (LongClass& c : classes) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = PlainProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = c.name.c_str();
        if (!RegisterClassExW(&wc)) continue;  // the system refuses names that are too long
        c.window = CreateWindowExW(WS_EX_CLIENTEDGE, c.name.c_str(), L"long",
                                   WS_CHILD | WS_VISIBLE | WS_BORDER, 10 + 12 * made, 240, 40, 30,
                                   form.form, nullptr, GetModuleHandleW(nullptr), nullptr);
        ++made;
    }
    ASSERT_GE(made, 4) << "class names of 254 and 255 characters register";

    ASSERT_EQ(1, AttachSkin(form.form));
    RepaintNow(form.form);
    for (const LongClass& c : classes) {
        if (!c.window) continue;
        EXPECT_EQ(c.kind, skin::ClassifyWindow(c.window)) << c.name.size();
        EXPECT_LE(skin::GetClassNameLower(c.window).size(), 255u);
        SendMessageW(c.window, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
        SendMessageW(c.window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        SendMessageW(c.window, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    }
    EXPECT_EQ("", CheckSkinInvariants());
    ASSERT_EQ(1, DetachSkin(form.form));
    DestroyWindow(form.form);
    for (const LongClass& c : classes)
        if (c.window) UnregisterClassW(c.name.c_str(), GetModuleHandleW(nullptr));
}

void AddHeaderItem(HWND header, const std::wstring& text, int width) {
    HDITEMW item{};
    item.mask = HDI_TEXT | HDI_WIDTH;
    item.cxy = width;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    const auto end = static_cast<WPARAM>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    SendMessageW(header, HDM_INSERTITEMW, end, reinterpret_cast<LPARAM>(&item));
}

TEST_F(BadInputTest, CaptionsOf10000CharactersAndHeaderTextsOf255BytesAndMore) {
    EveryKindForm form = CreateEveryKindForm();
    std::wstring caption(10000, L'W');
    for (size_t i = 0; i < caption.size(); i += 7) caption[i] = L'\x5149';  // 光
    for (Slot slot :
         {kCommand1, kDefaultButton, kButtonCheck, kCheckBox, kOption1, kCombo, kLabel, kFrame})
        SetWindowTextW(form.children[slot], caption.c_str());
    SetWindowTextW(form.form, caption.c_str());

    HWND header = form.children[kHeader];
    const size_t lengths[] = {254, 255, 256, 300, 10000};
    const int firstLong = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    for (size_t length : lengths) AddHeaderItem(header, std::wstring(length, L'h'), 20);

    ASSERT_EQ(1, AttachSkin(form.form));
    RepaintNow(form.form);
    HWND button = form.children[kCommand1];
    SetFocus(button);  // faces drawn again, with the focus frame
    SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    for (int tick = 0; tick < 90; ++tick) SendMessageW(button, WM_TIMER, 1, 0);
    SetWindowPos(button, nullptr, 0, 0, 60, 20, SWP_NOMOVE | SWP_NOZORDER);

    for (int i = 0; i < static_cast<int>(std::size(lengths)); ++i) {
        const int index = firstLong + i;
        RECT item{};
        SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item));
        const LPARAM inside = MAKELPARAM((item.left + item.right) / 2, 5);
        SendMessageW(header, WM_MOUSEMOVE, 0, inside);
        SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, inside);
        SendMessageW(header, WM_LBUTTONUP, 0, inside);
        // Item texts are read up to 255 characters.
        EXPECT_EQ(std::wstring(std::min<size_t>(lengths[i], 255), L'h'),
                  skin::GetHeaderItemText(header, index))
            << lengths[i];
    }
    SendMessageW(header, WM_MOUSELEAVE, 0, 0);
    PumpMessages();
    EXPECT_EQ("", CheckSkinInvariants());
    ASSERT_EQ(1, DetachSkin(form.form));
}

TEST_F(BadInputTest, HeaderWithAThousandItems) {
    EveryKindForm form = CreateEveryKindForm();
    HWND header = form.children[kHeader];
    SendMessageW(header, HDM_DELETEITEM, 0, 0);
    while (SendMessageW(header, HDM_GETITEMCOUNT, 0, 0) > 0)
        SendMessageW(header, HDM_DELETEITEM, 0, 0);
    // Items 0..999, item i (i % 5 + 1) pixels wide; every tenth has a text.
    std::vector<int> left;
    int x = 0;
    for (int i = 0; i < 1000; ++i) {
        left.push_back(x);
        const int width = i % 5 + 1;
        AddHeaderItem(header, i % 10 == 0 ? std::to_wstring(i) : std::wstring(), width);
        x += width;
    }
    ASSERT_EQ(1000, SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    ASSERT_EQ(1, AttachSkin(form.form));
    RepaintNow(header);

    // The item under the point becomes hot, wherever it lies among the thousand. An item's left
    // edge belongs to the item before it, so each is hit one pixel further in.
    for (int i : {1, 500, 998}) {
        SendMessageW(header, WM_MOUSEMOVE, 0, MAKELPARAM(left[static_cast<size_t>(i)] + 1, 5));
        EXPECT_EQ(i, skin::GetSkinProp(header, skin::kPropHmIndex)) << i;
    }
    SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(left[998] + 1, 5));
    EXPECT_EQ(998, skin::GetSkinProp(header, skin::kPropHdIndex));
    SendMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(left[998] + 1, 5));
    EXPECT_EQ(-1, skin::GetSkinProp(header, skin::kPropHdIndex));
    SendMessageW(header, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(-1, skin::GetSkinProp(header, skin::kPropHmIndex));
    ASSERT_EQ(1, DetachSkin(form.form));
}

// A header of the form designer's class that answers with as much text as it is allowed to
// write (so a buffer smaller than it claims would be overrun), or with a pointer to its own long
// copy for odd items, and has a thousand items 3 pixels wide.
struct FakeHeaderState {
    int largestTextMax = 0;
    std::wstring ownText = std::wstring(10000, L'o');
    std::string ownTextA = std::string(10000, 'o');
};
FakeHeaderState fakeHeader;
constexpr int kFakeItems = 1000;

LRESULT CALLBACK FakeHeaderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case HDM_GETITEMCOUNT:
        return kFakeItems;
    case HDM_GETITEMRECT: {
        if (wParam >= kFakeItems || !lParam) return FALSE;
        auto* rect = reinterpret_cast<RECT*>(lParam);
        *rect = {static_cast<LONG>(wParam) * 3, 0, static_cast<LONG>(wParam) * 3 + 3, 20};
        return TRUE;
    }
    case HDM_GETITEMW: {
        auto* item = reinterpret_cast<HDITEMW*>(lParam);
        if (wParam >= kFakeItems || !item || !(item->mask & HDI_TEXT)) return FALSE;
        if (wParam % 2) {
            item->pszText = fakeHeader.ownText.data();
            return TRUE;
        }
        fakeHeader.largestTextMax = std::max(fakeHeader.largestTextMax, item->cchTextMax);
        if (!item->pszText || item->cchTextMax <= 0) return TRUE;
        for (int i = 0; i < item->cchTextMax - 1; ++i) item->pszText[i] = L'W';
        item->pszText[item->cchTextMax - 1] = L'\0';
        return TRUE;
    }
    case HDM_GETITEMA: {
        auto* item = reinterpret_cast<HDITEMA*>(lParam);
        if (wParam >= kFakeItems || !item || !(item->mask & HDI_TEXT)) return FALSE;
        if (wParam % 2) {
            item->pszText = fakeHeader.ownTextA.data();
            return TRUE;
        }
        fakeHeader.largestTextMax = std::max(fakeHeader.largestTextMax, item->cchTextMax);
        if (!item->pszText || item->cchTextMax <= 0) return TRUE;
        for (int i = 0; i < item->cchTextMax - 1; ++i) item->pszText[i] = 'W';
        item->pszText[item->cchTextMax - 1] = '\0';
        return TRUE;
    }
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT));
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

TEST_F(BadInputTest, HeaderThatFillsEveryBufferToTheBrim) {
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = FakeHeaderProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"MSVB_Lib_Header";
        return RegisterClassExW(&wc) != 0;
    }();
    ASSERT_TRUE(registered);
    EveryKindForm form = CreateEveryKindForm();
    HWND header = CreateWindowExW(0, L"MSVB_Lib_Header", L"", WS_CHILD | WS_VISIBLE, 10, 240, 300,
                                  20, form.form, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_EQ(skin::ControlKind::Header, skin::ClassifyWindow(header));
    ASSERT_EQ(1, AttachSkin(form.form));
    RepaintNow(header);
    for (int x : {0, 4, 150, 299, 2999}) {
        SendMessageW(header, WM_MOUSEMOVE, 0, MAKELPARAM(x, 5));
        SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 5));
        SendMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(x, 5));
    }
    SendMessageW(header, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(std::wstring(255, L'W'), skin::GetHeaderItemText(header, 0));
    EXPECT_EQ(std::wstring(255, L'o'), skin::GetHeaderItemText(header, 1));
    EXPECT_GT(fakeHeader.largestTextMax, 0);
    EXPECT_EQ("", CheckSkinInvariants());
    ASSERT_EQ(1, DetachSkin(form.form));
}

// A failed creation simply draws nothing: whatever fails, nothing made is left behind.
TEST_F(BadInputTest, FailedCreationsLeaveNothingBehind) {
    EveryKindForm form = CreateEveryKindForm();
    for (ObjectKind kind : {ObjectKind::Context, ObjectKind::Bitmap, ObjectKind::Region,
                            ObjectKind::Brush, ObjectKind::Palette}) {
        for (int failures : {1, 3, 1000}) {
            FailCreations(kind, failures);
            AttachSkin(form.form);
            RepaintNow(form.form);
            for (HWND window : FormWindows(form.form)) {
                SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(4, 4));
                SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
                SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
                SendMessageW(window, WM_MOUSELEAVE, 0, 0);
            }
            SendMessageW(form.children[kCommand1], WM_TIMER, 1, 0);
            SendMessageW(form.children[kListCombo], CB_SHOWDROPDOWN, TRUE, 0);
            PumpMessages();
            SendMessageW(form.children[kListCombo], CB_SHOWDROPDOWN, FALSE, 0);
            FailCreations(kind, 0);
            // Attached all the same, each window with the properties of its kind; an image of
            // the set that could not be made is 0, never a freed handle.
            ASSERT_EQ("", CheckSkinInvariants()) << "kind " << static_cast<int>(kind) << ", "
                                                  << failures << " failures";
            DetachSkin(form.form);
            ASSERT_EQ("", CheckSkinInvariants());
        }
    }
    DestroyWindow(form.form);
    PumpMessages();
    EXPECT_EQ(LiveObjects{}, LiveSince(before_)) << Describe(LiveSince(before_));
}

// A resize gives each state surface a new bitmap and deletes the old one. Where the new bitmap
// cannot be made, or the surface itself could not be made at attach, the bitmap that the state's
// property names must still be the one to delete at detach, or the old one is left behind.
TEST_F(BadInputTest, ResizeWithoutNewBitmapsOrWithoutSurfacesLeavesNothingBehind) {
    EveryKindForm form = CreateEveryKindForm();
    ASSERT_EQ(1, AttachSkin(form.form));
    const UINT sizeOnly = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;

    // No new bitmaps for the first button.
    HWND button = form.children[kCommand1];
    FailCreations(ObjectKind::Bitmap, 4);
    SetWindowPos(button, nullptr, 0, 0, 100, 30, sizeOnly);
    FailCreations(ObjectKind::Bitmap, 0);
    for (int state = 0; state < skin::kStateCount; ++state) {
        const HDC surface = skin::GetStateSurface(button, state);
        EXPECT_EQ(reinterpret_cast<intptr_t>(GetCurrentObject(surface, OBJ_BITMAP)),
                  skin::GetSkinProp(button, testing_support::kStateBitmapNames[state]))
            << "state " << state << ": the surface holds a bitmap its property does not name";
    }

    // No surface for the normal state of the second button, then an ordinary resize.
    HWND other = form.children[kCommand2];
    ASSERT_EQ(1, skin::DetachWindow(other));
    FailCreations(ObjectKind::Context, 1);
    ASSERT_EQ(1, skin::AttachWindow(other));
    FailCreations(ObjectKind::Context, 0);
    ASSERT_EQ(nullptr, skin::GetStateSurface(other, skin::Normal));
    const LiveObjects beforeResize = CountLiveObjects();
    SetWindowPos(other, nullptr, 0, 0, 90, 26, sizeOnly);
    EXPECT_EQ(LiveObjects{}, LiveSince(beforeResize))
        << "a resize changes no count: " << Describe(LiveSince(beforeResize));

    ASSERT_EQ(1, DetachSkin(form.form));
    DestroyWindow(form.form);
    PumpMessages();
    EXPECT_EQ(LiveObjects{}, LiveSince(before_)) << Describe(LiveSince(before_));
}

// A window of another process can be neither subclassed nor given properties of the skin: a
// message naming one (an activation or idle message from a dialog of another program) must not
// count it as skinned, or SkinnedWindowCount never comes back to 0 and the images stay.
TEST_F(BadInputTest, WindowsOfAnotherProcessAreNotAttached) {
    HWND desktop = GetDesktopWindow();
    DWORD process = 0;
    GetWindowThreadProcessId(desktop, &process);
    ASSERT_NE(GetCurrentProcessId(), process);
    {
        EngineAnchor anchor;
        const int count = skin::Engine().skinnedWindowCount;
        EXPECT_EQ(0, AttachSkin(desktop));
        SendMessageW(anchor.get(), WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(desktop));
        EXPECT_EQ(count, skin::Engine().skinnedWindowCount);
        EXPECT_EQ("", CheckSkinInvariants());
    }
    // Put the engine right for the tests after this one, whatever happened.
    if (skin::Engine().skinnedWindowCount != 0) {
        skin::Engine().skinnedWindowCount = 0;
        skin::ReleaseSkinImages();
        skin::Engine().initialised = false;
    }
    RemovePropA(desktop, skin::kPropProcAddr);
}

}  // namespace
}  // namespace reliability
