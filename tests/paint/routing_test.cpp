// Paint routing on real windows: who paints first, what the skin paints, and the frame pass.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "control_classes.h"
#include "core/attach.h"
#include "core/hover.h"
#include "core/paint.h"
#include "core/props.h"
#include "paint/paint_fixture.h"
#include "support/test_windows.h"

using paint_tests::CoverWindow;
using paint_tests::kCover;
using paint_tests::Prop;
using paint_tests::RepaintClient;
using paint_tests::RepaintFrame;
using paint_tests::SkinnedForm;
using testing_support::WindowPixel;

namespace {

constexpr COLORREF kBorder = 0xD5A554;
constexpr COLORREF kDisabledBorder = 0xE9CFA4;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kFill = 0xF6D64C;

// ---- windows of no skinned kind ----

constexpr COLORREF kPanelColour = 0x00FF00;
constexpr COLORREF kPanelTextBackground = 0x808080;

LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        // The panel keeps its own context, so the background colour set here is what every
        // GetDC of the panel reports.
        HDC dc = GetDC(window);
        SetBkColor(dc, kPanelTextBackground);
        ReleaseDC(window, dc);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A frame of 1 + 2 columns and 2 + 3 rows: odd and half-odd totals.
LRESULT CALLBACK OddFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCALCSIZE) {
        RECT* rect = reinterpret_cast<RECT*>(lParam);
        rect->left += 1;
        rect->right -= 2;
        rect->top += 2;
        rect->bottom -= 3;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

const wchar_t* RegisterPanelClass(const wchar_t* name, WNDPROC procedure, UINT style) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (GetClassInfoExW(GetModuleHandleW(nullptr), name, &wc)) return name;
    wc.style = style;
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = CreateSolidBrush(kPanelColour);
    wc.lpszClassName = name;
    RegisterClassExW(&wc);
    return name;
}

const wchar_t* PanelClass() {
    return RegisterPanelClass(L"DorrikPaintTestPanel", PanelProc, CS_OWNDC);
}
const wchar_t* OddFrameClass() {
    return RegisterPanelClass(L"DorrikPaintTestOddFrame", OddFrameProc, 0);
}

SIZE WindowSize(HWND window) {
    RECT bounds{};
    GetWindowRect(window, &bounds);
    return {bounds.right - bounds.left, bounds.bottom - bounds.top};
}

}  // namespace

// ---- push buttons ----

TEST(PaintRouting, ButtonThatKeepsItsOwnPaintingIsPaintedByItsProcedure) {
    SkinnedForm form;
    HWND button = form.AddWindow(L"Button", L"Own", 20, 20, 113, 33, BS_CHECKBOX);
    form.Attach();
    ASSERT_NE(0, Prop(button, skin::kPropOldStyle) & 6);

    CoverWindow(button);
    RepaintClient(button);
    EXPECT_NE(kCover, WindowPixel(button, 100, 16));
    EXPECT_NE(kCover, WindowPixel(button, 56, 3));
    EXPECT_EQ(0, Prop(button, skin::kPropAlphaLevel));
}

TEST(PaintRouting, PaintDuringAFadeShowsTheTargetFaceAndStopsTheTimer) {
    constexpr COLORREF kNormalCentreTop = 0xFCF8F1;  // face frames, column 3 of row 3
    constexpr COLORREF kHotCentreTop = 0xFCEED2;
    SkinnedForm form;
    HWND button = form.AddWindow(L"Button", L"", 20, 20, 113, 33);
    form.Attach();
    ASSERT_EQ(kNormalCentreTop, WindowPixel(button, 56, 3));

    // A fade towards the hot face that has only just begun.
    skin::SetSkinProp(button, skin::kPropOldState, skin::Hot);
    skin::SetSkinProp(button, skin::kPropAlphaLevel, 0);
    skin::StartHoverTimer(button);
    ASSERT_NE(0, Prop(button, skin::kPropTimerId));

    RepaintClient(button);
    EXPECT_EQ(kHotCentreTop, WindowPixel(button, 56, 3));
    EXPECT_EQ(255, Prop(button, skin::kPropAlphaLevel));
    EXPECT_EQ(0, Prop(button, skin::kPropTimerId));
    Sleep(60);
    MSG message;
    EXPECT_FALSE(PeekMessageW(&message, button, WM_TIMER, WM_TIMER, PM_NOREMOVE));
}

// ---- combo boxes, check boxes ----

TEST(PaintRouting, CombosAreFramedAndTheirButtonRedrawnOnEveryPaint) {
    SkinnedForm form;
    HWND dropDown = form.AddControl(controls::kComboBoxClass, L"", 20, 20, 100, 200);
    HWND dropList = form.AddWindow(L"ComboBox", L"", 20, 60, 100, 200, CBS_DROPDOWNLIST);
    HWND driveList = form.AddControl(controls::kDriveListClass, L"", 20, 100, 100, 200);
    for (HWND combo : {dropDown, dropList, driveList})
        SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), 15);
    form.Attach();

    for (HWND combo : {dropDown, dropList, driveList}) {
        const SIZE size = WindowSize(combo);
        ASSERT_EQ(21, size.cy);
        skin::SetSkinProp(combo, skin::kPropOldState, skin::Hot);
        CoverWindow(combo);
        RepaintClient(combo);
        EXPECT_EQ(kBorder, WindowPixel(combo, 0, 0));
        EXPECT_EQ(kBorder, WindowPixel(combo, 99, 20));
        EXPECT_EQ(kWhite, WindowPixel(combo, 1, 10));
        // The stored state is drawn again, forced: the hot face's first row.
        EXPECT_EQ(0xFFF9E8u, WindowPixel(combo, 90, 1));
        EXPECT_EQ(skin::Hot, Prop(combo, skin::kPropOldState));
    }
    // The drop-down combo is painted white inside its single ring; the others draw themselves.
    EXPECT_EQ(kWhite, WindowPixel(dropDown, 3, 3));

    EnableWindow(driveList, FALSE);
    testing_support::PumpMessages();
    RepaintClient(driveList);
    EXPECT_EQ(kDisabledBorder, WindowPixel(driveList, 0, 0));
}

TEST(PaintRouting, CheckBoxRepaintDrawsItselfThenTheNormalBox) {
    SkinnedForm form;
    HWND box = form.AddControl(controls::kCheckBoxClass, L"Check", 20, 20, 120, 17);
    HWND option = form.AddControl(controls::kOptionButtonClass, L"Option", 20, 60, 120, 17);
    form.Attach();

    for (HWND window : {box, option}) {
        skin::SetSkinProp(window, skin::kPropOldState, skin::Pressed);
        CoverWindow(window);
        RepaintClient(window);
        EXPECT_EQ(skin::Normal, Prop(window, skin::kPropOldState));
        EXPECT_NE(kCover, WindowPixel(window, 110, 8));  // the control's own background
    }
    EXPECT_EQ(kBorder, WindowPixel(box, 0, 2));
    EXPECT_EQ(0xD2A683u, WindowPixel(option, 0, 8));  // normal option frame, row 6
}

// ---- progress bars ----

class ProgressBarPaint : public ::testing::Test {
protected:
    // A bordered bar sized by its client area. The frame around the client is the platform's:
    // one pixel of border, and without a visual style the control adds a static edge of its own
    // (the classic look), so the client starts at (2, 2) there instead of (1, 1).
    HWND AddBar(DWORD style = 0, int clientWidth = 200, int clientHeight = 18) {
        HWND bar = form_.AddControl(controls::kProgressBarClass, nullptr, 20, 20, clientWidth + 2,
                                    clientHeight + 2, style);
        const SIZE window = WindowSize(bar);
        RECT client{};
        GetClientRect(bar, &client);
        SetWindowPos(bar, nullptr, 0, 0, window.cx + clientWidth - client.right,
                     window.cy + clientHeight - client.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        GetClientRect(bar, &client);
        EXPECT_EQ(clientWidth, client.right);
        EXPECT_EQ(clientHeight, client.bottom);
        SendMessageW(bar, PBM_SETRANGE32, 0, 40000);
        return bar;
    }
    void SetPosition(HWND bar, int position) {
        SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
        testing_support::PumpMessages();
    }
    // Client pass only: the frame keeps the cover. Frame pass only: the whole window is drawn,
    // white between the one-pixel border and the client area.
    void PaintClientOnly(HWND bar) {
        CoverWindow(bar);
        RepaintClient(bar);
        EXPECT_EQ(kCover, WindowPixel(bar, 0, 0));
    }
    void PaintFrameOnly(HWND bar) {
        CoverWindow(bar);
        RepaintFrame(bar);
        const SIZE size = WindowSize(bar);
        const POINT origin = ClientOrigin(bar);
        RECT client{};
        GetClientRect(bar, &client);
        for (int y = 0; y < size.cy; ++y) {
            for (int x = 0; x < size.cx; ++x) {
                const bool border = x == 0 || y == 0 || x == size.cx - 1 || y == size.cy - 1;
                const bool inClient = x >= origin.x && x < origin.x + client.right && y >= origin.y &&
                                      y < origin.y + client.bottom;
                if (inClient) continue;
                EXPECT_EQ(border ? kBorder : kWhite, WindowPixel(bar, x, y)) << x << "," << y;
            }
        }
    }
    // Client columns [first, last] of client row y all hold colour.
    void ExpectRow(HWND bar, int y, int first, int last, COLORREF colour) {
        const POINT origin = ClientOrigin(bar);
        for (int x = first; x <= last; ++x)
            EXPECT_EQ(colour, WindowPixel(bar, origin.x + x, origin.y + y)) << x << "," << y;
    }
    void ExpectColumn(HWND bar, int x, int first, int last, COLORREF colour) {
        const POINT origin = ClientOrigin(bar);
        for (int y = first; y <= last; ++y)
            EXPECT_EQ(colour, WindowPixel(bar, origin.x + x, origin.y + y)) << x << "," << y;
    }
    static POINT ClientOrigin(HWND bar) {
        RECT window{};
        GetWindowRect(bar, &window);
        POINT origin{0, 0};
        ClientToScreen(bar, &origin);
        return {origin.x - window.left, origin.y - window.top};
    }

    SkinnedForm form_;
};

TEST_F(ProgressBarPaint, AtZeroOnlyTheWhiteTrough) {
    HWND bar = AddBar();
    form_.Attach();
    SetPosition(bar, 0);
    for (const bool clientPass : {true, false}) {
        clientPass ? PaintClientOnly(bar) : PaintFrameOnly(bar);
        for (const int y : {0, 8, 17}) ExpectRow(bar, y, 0, 199, kWhite);
    }
}

TEST_F(ProgressBarPaint, HalfTheFullScaleFillsHalfTheWidthFromTheLeft) {
    HWND bar = AddBar();
    form_.Attach();
    SetPosition(bar, 15000);
    for (const bool clientPass : {true, false}) {
        clientPass ? PaintClientOnly(bar) : PaintFrameOnly(bar);
        for (const int y : {0, 8, 17}) {
            ExpectRow(bar, y, 0, 99, kFill);
            ExpectRow(bar, y, 100, 199, kWhite);
        }
    }
}

TEST_F(ProgressBarPaint, AboveTheFullScaleFillsTheClientAreaAndSparesTheBorder) {
    HWND bar = AddBar();
    HWND tall = AddBar(PBS_VERTICAL | PBS_SMOOTH, 18, 21);
    SetWindowPos(tall, nullptr, 240, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    form_.Attach();
    SetPosition(bar, 35000);
    SetPosition(tall, 35000);
    for (const bool clientPass : {true, false}) {
        clientPass ? PaintClientOnly(bar) : PaintFrameOnly(bar);
        for (const int y : {0, 8, 17}) ExpectRow(bar, y, 0, 199, kFill);
        clientPass ? PaintClientOnly(tall) : PaintFrameOnly(tall);
        for (const int x : {0, 8, 17}) ExpectColumn(tall, x, 0, 20, kFill);
    }
}

TEST_F(ProgressBarPaint, VerticalBarRisesFromTheBottom) {
    // Client 18 x 21; position 10000 is a third: 7 rows from client row 14.
    HWND smooth = AddBar(PBS_VERTICAL | PBS_SMOOTH, 18, 21);
    form_.Attach();
    SetPosition(smooth, 10000);
    for (const bool clientPass : {true, false}) {
        clientPass ? PaintClientOnly(smooth) : PaintFrameOnly(smooth);
        for (const int x : {0, 8, 17}) {
            ExpectColumn(smooth, x, 0, 13, kWhite);
            ExpectColumn(smooth, x, 14, 20, kFill);
        }
    }
}

TEST_F(ProgressBarPaint, FramePassOfABlockyVerticalBarKeepsItsFill) {
    HWND blocky = AddBar(PBS_VERTICAL, 18, 21);
    form_.Attach();
    SetPosition(blocky, 10000);
    PaintFrameOnly(blocky);
    for (const int x : {0, 8, 17}) {
        ExpectColumn(blocky, x, 0, 13, kWhite);
        ExpectColumn(blocky, x, 14, 20, kFill);
    }
}

// ---- borders ----

TEST(PaintRouting, BorderThicknessLeavesScrollBarsOut) {
    ASSERT_EQ(17, GetSystemMetrics(SM_CXVSCROLL));
    SkinnedForm form;
    HWND edged = form.AddWindow(PanelClass(), L"", 20, 20, 100, 60, WS_VSCROLL, WS_EX_CLIENTEDGE);
    HWND bordered = form.AddWindow(PanelClass(), L"", 140, 20, 100, 60, WS_BORDER | WS_HSCROLL);
    HWND bare = form.AddWindow(PanelClass(), L"", 260, 20, 100, 60);
    HWND odd = form.AddWindow(OddFrameClass(), L"", 380, 20, 60, 60);
    RECT client{};
    GetClientRect(edged, &client);
    ASSERT_EQ(100 - 4 - 17, client.right);

    int bx = -1, by = -1;
    EXPECT_EQ(1, skin::GetBorderThickness(edged, bx, by));
    EXPECT_EQ(2, bx);
    EXPECT_EQ(2, by);
    skin::GetBorderThickness(bordered, bx, by);
    EXPECT_EQ(1, bx);
    EXPECT_EQ(1, by);
    skin::GetBorderThickness(bare, bx, by);
    EXPECT_EQ(0, bx);
    EXPECT_EQ(0, by);
    // Totals of 3 and 5: halves go to the even neighbour, 2 both times.
    skin::GetBorderThickness(odd, bx, by);
    EXPECT_EQ(2, bx);
    EXPECT_EQ(2, by);
}

TEST(PaintRouting, SunkenEdgeBecomesAFlatBorderWithBackgroundRings) {
    SkinnedForm form;
    HWND panel = form.AddWindow(PanelClass(), L"", 20, 20, 60, 40, 0, WS_EX_CLIENTEDGE);
    form.Attach();
    constexpr int W = 60, H = 40;
    // The client area (from column 2 and row 2) freshly erased, then the frame pass alone.
    RedrawWindow(panel, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    ASSERT_EQ(kPanelColour, WindowPixel(panel, 2, 20));
    ASSERT_EQ(kPanelColour, WindowPixel(panel, 20, 2));
    RepaintFrame(panel);
    for (int x = 0; x < W; ++x) {
        EXPECT_EQ(kBorder, WindowPixel(panel, x, 0)) << x;
        EXPECT_EQ(kBorder, WindowPixel(panel, x, H - 1)) << x;
    }
    for (int y = 0; y < H; ++y) {
        EXPECT_EQ(kBorder, WindowPixel(panel, 0, y)) << y;
        EXPECT_EQ(kBorder, WindowPixel(panel, W - 1, y)) << y;
    }
    // Rings (1, 1, W - 2, H - 2) and (2, 2, W - 3, H - 3): both end on column W - 2, row H - 2.
    for (int y = 1; y <= H - 2; ++y) {
        EXPECT_EQ(kPanelTextBackground, WindowPixel(panel, 1, y)) << y;
        EXPECT_EQ(kPanelTextBackground, WindowPixel(panel, W - 2, y)) << y;
    }
    for (int y = 2; y <= H - 2; ++y) EXPECT_EQ(kPanelTextBackground, WindowPixel(panel, 2, y)) << y;
    for (int x = 1; x <= W - 2; ++x) {
        EXPECT_EQ(kPanelTextBackground, WindowPixel(panel, x, 1)) << x;
        EXPECT_EQ(kPanelTextBackground, WindowPixel(panel, x, H - 2)) << x;
    }
    for (int x = 2; x <= W - 2; ++x) EXPECT_EQ(kPanelTextBackground, WindowPixel(panel, x, 2)) << x;
    // What the platform drew inside stays.
    for (int y = 3; y <= H - 3; ++y) EXPECT_EQ(kPanelColour, WindowPixel(panel, W - 3, y)) << y;
    for (int x = 3; x <= W - 3; ++x) EXPECT_EQ(kPanelColour, WindowPixel(panel, x, H - 3)) << x;
    EXPECT_EQ(kPanelColour, WindowPixel(panel, 3, 3));

    EnableWindow(panel, FALSE);
    RepaintFrame(panel);
    EXPECT_EQ(kDisabledBorder, WindowPixel(panel, 0, 0));
}

TEST(PaintRouting, ListsAndGridsAreFramedByTheirClientPaintNotTheirFramePass) {
    SkinnedForm form;
    HWND list = form.AddControl(controls::kDataListClass, L"", 20, 20, 100, 60);
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"item"));
    form.Attach();
    const SIZE size = WindowSize(list);

    CoverWindow(list);
    RepaintFrame(list);
    EXPECT_NE(kCover, WindowPixel(list, 0, 0));
    EXPECT_NE(kBorder, WindowPixel(list, 0, 0));
    EXPECT_EQ(kCover, WindowPixel(list, 1, size.cy / 2));

    RepaintClient(list);
    EXPECT_EQ(kBorder, WindowPixel(list, 0, 0));
    EXPECT_EQ(kBorder, WindowPixel(list, size.cx - 1, size.cy - 1));
    EXPECT_EQ(kWhite, WindowPixel(list, 1, size.cy / 2));
    EXPECT_EQ(kWhite, WindowPixel(list, size.cx - 2, 1));

    // A grid gets the outer ring only, and only when it has a border.
    HWND bordered = form.AddControl(controls::kGridClass, L"", 140, 20, 100, 60);
    HWND borderless = form.AddWindow(controls::kGridClass, L"", 260, 20, 100, 60, LVS_REPORT);
    skin::AttachWindow(bordered);
    skin::AttachWindow(borderless);
    testing_support::PumpMessages();
    CoverWindow(bordered);
    CoverWindow(borderless);
    RepaintClient(bordered);
    RepaintClient(borderless);
    EXPECT_EQ(kBorder, WindowPixel(bordered, 0, 0));
    EXPECT_EQ(kBorder, WindowPixel(bordered, 99, 59));
    EXPECT_NE(kBorder, WindowPixel(borderless, 0, 30));
}
