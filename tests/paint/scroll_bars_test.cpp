// Scroll bars under AttachSkinEx with DORRIK_SKIN_SCROLLBARS: for every kind of scrolling window,
// the pixels of its bars after each kind of scroll call, while the thumb is dragged by input, and
// after DetachSkin; and the scroll messages a list box receives, and what a terminal-like window
// shows at each step of a drag, with and without the skin.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <richedit.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "core/scroll_bars.h"
#include "dorrik_skin.h"
#include "paint/paint_fixture.h"
#include "support/skinned_form.h"
#include "support/test_windows.h"

using paint_tests::SkinnedForm;
using testing_support::PointerAway;
using testing_support::PumpMessages;
using testing_support::RegisterOwnClass;

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
// The drop arrow, enabled and disabled.
constexpr COLORREF kArrow = 0x5F5519, kDisabledArrow = 0xACA584;

// The whole window as it is on screen, read back once.
class Snapshot {
public:
    explicit Snapshot(HWND window) {
        RECT r{};
        GetWindowRect(window, &r);
        width_ = r.right - r.left;
        height_ = r.bottom - r.top;
        pixels_.resize(static_cast<size_t>(width_) * height_);
        HDC windowDC = GetWindowDC(window);
        HDC memory = CreateCompatibleDC(windowDC);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width_, -height_, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(windowDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width_, height_, windowDC, 0, 0, SRCCOPY);
        GdiFlush();
        const auto* source = static_cast<const DWORD*>(bits);
        for (size_t i = 0; i < pixels_.size(); ++i) {
            const DWORD p = source[i];  // 0x00RRGGBB
            pixels_[i] = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
        }
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(window, windowDC);
    }
    COLORREF at(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }

private:
    int width_ = 0, height_ = 0;
    std::vector<COLORREF> pixels_;
};

// A bar as the platform lays it out, in window coordinates.
struct Bar {
    bool shown = false;
    RECT rect{};
    bool vertical = true;
    int arrow = 0;
    int thumbTop = 0, thumbBottom = 0;  // from the bar's top (left) edge
};

Bar BarOf(HWND window, LONG object) {
    SCROLLBARINFO info{};
    info.cbSize = sizeof(info);
    Bar bar;
    if (!GetScrollBarInfo(window, object, &info) || (info.rgstate[0] & STATE_SYSTEM_INVISIBLE))
        return bar;
    RECT frame{};
    GetWindowRect(window, &frame);
    bar.shown = true;
    bar.rect = info.rcScrollBar;
    OffsetRect(&bar.rect, -frame.left, -frame.top);
    bar.vertical = object == OBJID_VSCROLL ||
                   (object == OBJID_CLIENT && (GetWindowLongW(window, GWL_STYLE) & SBS_VERT));
    // (Wine's dxyLineButton is the thumb's size.)
    bar.arrow = GetSystemMetrics(bar.vertical ? SM_CYVSCROLL : SM_CXHSCROLL);
    bar.thumbTop = info.xyThumbTop;
    bar.thumbBottom = info.xyThumbBottom;
    return bar;
}

// The platform's own colours of a scroll bar, less those the skin draws too.
// The bar's pixels in the platform's own scroll-bar colours (those the skin draws too aside).
int PlatformPixels(const Snapshot& shot, const Bar& bar) {
    std::set<COLORREF> platform;
    for (int index : {COLOR_SCROLLBAR, COLOR_BTNFACE, COLOR_BTNSHADOW, COLOR_3DDKSHADOW, COLOR_3DLIGHT,
                      COLOR_BTNTEXT, COLOR_GRAYTEXT})
        platform.insert(GetSysColor(index));
    platform.erase(kWhite);
    int count = 0;
    for (int y = bar.rect.top; y < bar.rect.bottom; ++y)
        for (int x = bar.rect.left; x < bar.rect.right; ++x) count += platform.count(shot.at(x, y)) ? 1 : 0;
    return count;
}

// Every pixel of the window's bars is the skin's: none of the platform's colours, a white track,
// faces in the button's colours, the arrows in the drop arrow's.
void ExpectSkinnedBars(HWND window, const std::string& after) {
    SCOPED_TRACE(after);
    const Snapshot shot(window);
    int barsSeen = 0;
    for (LONG object : {OBJID_VSCROLL, OBJID_HSCROLL, OBJID_CLIENT}) {
        const Bar bar = BarOf(window, object);
        if (!bar.shown || IsRectEmpty(&bar.rect)) continue;
        ++barsSeen;
        bool arrowSeen = false;
        for (int y = bar.rect.top; y < bar.rect.bottom; ++y) {
            for (int x = bar.rect.left; x < bar.rect.right; ++x) {
                const COLORREF colour = shot.at(x, y);
                if (colour == kArrow || colour == kDisabledArrow) arrowSeen = true;
            }
        }
        EXPECT_EQ(0, PlatformPixels(shot, bar)) << "platform-coloured pixels in bar " << object;
        EXPECT_TRUE(arrowSeen) << "no arrow glyph in bar " << object;
        // The track between the top arrow and the thumb is white.
        if (bar.thumbTop > bar.arrow + 2) {
            const int along = bar.arrow + 1;
            const int across = bar.vertical ? (bar.rect.left + bar.rect.right) / 2
                                            : (bar.rect.top + bar.rect.bottom) / 2;
            EXPECT_EQ(kWhite, bar.vertical ? shot.at(across, bar.rect.top + along)
                                           : shot.at(bar.rect.left + along, across));
        }
    }
    EXPECT_GT(barsSeen, 0) << "no bar shown";
}

// The corner where both bars meet is white, not the platform's face colour.
void ExpectSkinnedCorner(HWND window) {
    const Bar vertical = BarOf(window, OBJID_VSCROLL);
    const Bar horizontal = BarOf(window, OBJID_HSCROLL);
    ASSERT_TRUE(vertical.shown && horizontal.shown);
    const Snapshot shot(window);
    EXPECT_EQ(kWhite, shot.at(vertical.rect.left + 2, horizontal.rect.top + 2));
    // The last arrows keep their outer edges where the bars reach the corner.
    EXPECT_NE(kWhite, shot.at((vertical.rect.left + vertical.rect.right) / 2, vertical.rect.bottom - 1))
        << "the down arrow lost its lower edge to the corner";
    EXPECT_NE(kWhite, shot.at(horizontal.rect.right - 1, (horizontal.rect.top + horizontal.rect.bottom) / 2))
        << "the right arrow lost its right edge to the corner";
}

bool BarShows(HWND window, LONG object, COLORREF colour) {
    const Bar bar = BarOf(window, object);
    const Snapshot shot(window);
    for (int y = bar.rect.top; y < bar.rect.bottom; ++y)
        for (int x = bar.rect.left; x < bar.rect.right; ++x)
            if (shot.at(x, y) == colour) return true;
    return false;
}

bool ShowsPlatformBar(HWND window, LONG object) {
    const Bar bar = BarOf(window, object);
    return bar.shown && PlatformPixels(Snapshot(window), bar) > 0;
}

void FillList(HWND list, int count) {
    for (int i = 0; i < count; ++i)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>((L"Line " + std::to_wstring(i)).c_str()));
}

void InitClasses() {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    LoadLibraryW(L"riched20.dll");
}

class ScrollBarLook {
public:
    explicit ScrollBarLook(HWND form) : form_(form) {
        PumpMessages();
        EXPECT_EQ(1, AttachSkinEx(form, DORRIK_SKIN_ALL));
        PumpMessages();
    }
    ~ScrollBarLook() { Detach(); }
    void Detach() {
        if (form_) DetachSkin(form_);
        form_ = nullptr;
        PumpMessages();
    }

private:
    HWND form_;
};

// The calls that make the platform draw a window's bars, each followed by a look at the pixels.
void ScrollEveryWay(HWND window) {
    ExpectSkinnedBars(window, "attach");
    SCROLLINFO info{sizeof(info), SIF_POS, 0, 0, 0, 5, 0};
    SetScrollInfo(window, SB_VERT, &info, TRUE);
    ExpectSkinnedBars(window, "SetScrollInfo");
    SetScrollPos(window, SB_VERT, 2, TRUE);
    ExpectSkinnedBars(window, "SetScrollPos");
    EnableScrollBar(window, SB_VERT, ESB_DISABLE_BOTH);
    ExpectSkinnedBars(window, "EnableScrollBar off");
    EnableScrollBar(window, SB_VERT, ESB_ENABLE_BOTH);
    ExpectSkinnedBars(window, "EnableScrollBar on");
    ShowScrollBar(window, SB_VERT, FALSE);
    ShowScrollBar(window, SB_VERT, TRUE);
    PumpMessages();
    ExpectSkinnedBars(window, "ShowScrollBar");
    SendMessageW(window, WM_VSCROLL, SB_LINEDOWN, 0);
    ExpectSkinnedBars(window, "arrow line");
    SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    ExpectSkinnedBars(window, "wheel");
    SetFocus(window);
    SendMessageW(window, WM_KEYDOWN, VK_NEXT, 0);
    SendMessageW(window, WM_KEYDOWN, VK_END, 0);
    ExpectSkinnedBars(window, "keyboard");
    PumpMessages();
    ExpectSkinnedBars(window, "paints");
}

// Under Wine 8 the platform draws every bar through a callback the skin takes too. Without it,
// as on Windows, the skin's own paint, tracking and stand-ins for the scroll calls do it alone.
class ScrollBars : public testing::TestWithParam<bool> {
protected:
    void SetUp() override { skin::UsePlatformScrollBarCallback(GetParam()); }
    void TearDown() override { skin::UsePlatformScrollBarCallback(true); }
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(, ScrollBars, testing::Values(true, false),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "ThroughThePlatformsCallback" : "WithoutTheCallback";
                         });

TEST_P(ScrollBars, EveryScrollingKindShowsTheSkinsBarsAfterEveryScrollCallAndThePlatformsAfterDetach) {
    InitClasses();
    SkinnedForm form;
    HWND list = form.AddWindow(L"ListBox", L"", 10, 10, 120, 120, WS_VSCROLL | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE);
    FillList(list, 100);
    HWND edit = form.AddWindow(L"Edit", L"", 140, 10, 120, 120,
                               WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                               WS_EX_CLIENTEDGE);
    std::wstring text;
    for (int i = 0; i < 60; ++i) text += L"A rather long line of text, number " + std::to_wstring(i) + L"\r\n";
    SetWindowTextW(edit, text.c_str());
    HWND view = form.AddWindow(WC_LISTVIEWW, L"", 270, 10, 120, 120, LVS_LIST, WS_EX_CLIENTEDGE);
    for (int i = 0; i < 200; ++i) {
        std::wstring name = L"Item " + std::to_wstring(i);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = name.data();
        SendMessageW(view, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    HWND tree = form.AddWindow(WC_TREEVIEWW, L"", 10, 140, 120, 120, TVS_HASLINES, WS_EX_CLIENTEDGE);
    for (int i = 0; i < 60; ++i) {
        std::wstring name = L"Node " + std::to_wstring(i);
        TVINSERTSTRUCTW insert{};
        insert.hParent = TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT;
        insert.item.pszText = name.data();
        SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert));
    }
    HWND rich = form.AddWindow(RICHEDIT_CLASSW, L"", 140, 140, 120, 120,
                               WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL, WS_EX_CLIENTEDGE);
    SetWindowTextW(rich, text.c_str());
    HWND combo = form.AddWindow(L"ComboBox", L"", 400, 10, 70, 200, CBS_DROPDOWNLIST | WS_VSCROLL);
    for (int i = 0; i < 50; ++i)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>((L"Choice " + std::to_wstring(i)).c_str()));
    HWND control = form.AddWindow(L"ScrollBar", L"", 270, 140, 17, 120, SBS_VERT);
    SCROLLINFO range{sizeof(range), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 0, 0};
    SetScrollInfo(control, SB_CTL, &range, TRUE);
    PumpMessages();
    // The platform's look first, so that a skinned bar is known to differ from it.
    ASSERT_TRUE(ShowsPlatformBar(list, OBJID_VSCROLL));

    {
        ScrollBarLook look(form.form());
        for (HWND window : {list, edit, view, tree, rich}) {
            SCOPED_TRACE(testing_support::LowerClassName(window));
            ScrollEveryWay(window);
        }
        ExpectSkinnedCorner(edit);
        // A list that empties loses its bar and gets it back as it fills, as without the skin.
        SendMessageW(list, LB_RESETCONTENT, 0, 0);
        EXPECT_FALSE(GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL) << "the emptied list kept its bar";
        FillList(list, 100);
        ExpectSkinnedBars(list, "the list filled again");
        for (int pos : {0, 45, 90}) {
            SetScrollPos(control, SB_CTL, pos, TRUE);
            ExpectSkinnedBars(control, "scroll-bar control at " + std::to_string(pos));
        }
        // A worker thread's calls on the bars leave them the skin's too (a control's own calls come
        // back to this thread as messages: answered while the worker runs).
        std::atomic<bool> done{false};
        std::thread worker([&] {
            SetScrollPos(list, SB_VERT, 30, TRUE);
            SetScrollPos(control, SB_CTL, 20, TRUE);
            done = true;
        });
        while (!done) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            PumpMessages();
        }
        worker.join();
        ExpectSkinnedBars(list, "another thread's SetScrollPos");
        ExpectSkinnedBars(control, "another thread's SetScrollPos on the scroll-bar control");
        // The pointer over the control, twice on the same part and then gone.
        for (int y : {60, 62}) SendMessageW(control, WM_MOUSEMOVE, 0, MAKELPARAM(8, y));
        ExpectSkinnedBars(control, "the pointer over the scroll-bar control");
        SendMessageW(control, WM_MOUSELEAVE, 0, 0);
        ExpectSkinnedBars(control, "the pointer gone from the scroll-bar control");
        EnableWindow(control, FALSE);
        ExpectSkinnedBars(control, "scroll-bar control disabled");
        EnableWindow(control, TRUE);

        // The combo's list, skinned as it drops down.
        SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
        PumpMessages();
        COMBOBOXINFO comboInfo{};
        comboInfo.cbSize = sizeof(comboInfo);
        ASSERT_TRUE(GetComboBoxInfo(combo, &comboInfo));
        ExpectSkinnedBars(comboInfo.hwndList, "the combo's list dropped down");
        SendMessageW(comboInfo.hwndList, WM_KEYDOWN, VK_NEXT, 0);
        ExpectSkinnedBars(comboInfo.hwndList, "the combo's list a page down");
        SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
        PumpMessages();

        look.Detach();
        for (HWND window : {list, edit, view, tree, rich}) {
            EXPECT_TRUE(ShowsPlatformBar(window, OBJID_VSCROLL)) << testing_support::LowerClassName(window);
        }
        EXPECT_TRUE(ShowsPlatformBar(control, OBJID_CLIENT));
    }
}

// A program's own scrolling windows: a child of its own class, and a captioned top-level window
// skinned for its bars alone, whose new title and activation make the platform paint its frame.
TEST_P(ScrollBars, AProgramsOwnScrollingWindowsShowTheSkinsBars) {
    RegisterOwnClass(L"DorrikTestScroller", DefWindowProcW, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    SkinnedForm form;
    HWND child = form.AddWindow(L"DorrikTestScroller", L"", 10, 10, 150, 150, WS_VSCROLL | WS_HSCROLL,
                                WS_EX_CLIENTEDGE);
    HWND top = CreateWindowExW(0, L"DorrikTestScroller", L"Scroller",
                               WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_HSCROLL | WS_VISIBLE, 300, 300, 240, 200,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(top);
    for (HWND window : {child, top}) {
        SCROLLINFO range{sizeof(range), SIF_RANGE | SIF_PAGE, 0, 99, 10, 0, 0};
        SetScrollInfo(window, SB_VERT, &range, TRUE);
        SetScrollInfo(window, SB_HORZ, &range, TRUE);
    }
    PumpMessages();
    {
        ScrollBarLook look(form.form());
        EXPECT_EQ(1, AttachSkinEx(top, DORRIK_SKIN_SCROLLBARS));
        PumpMessages();
        for (HWND window : {child, top}) {
            SCOPED_TRACE(window == top ? "top-level" : "child");
            ExpectSkinnedBars(window, "attach");
            ExpectSkinnedCorner(window);
            SetScrollPos(window, SB_HORZ, 40, TRUE);
            ExpectSkinnedBars(window, "SetScrollPos");
            EnableScrollBar(window, SB_BOTH, ESB_DISABLE_BOTH);
            ExpectSkinnedBars(window, "EnableScrollBar off");
            EnableScrollBar(window, SB_BOTH, ESB_ENABLE_BOTH);
        }
        // A window disabled under a modal box: its bars are disabled in the look, and come back.
        EnableWindow(top, FALSE);
        for (LONG object : {OBJID_VSCROLL, OBJID_HSCROLL}) {
            EXPECT_FALSE(BarShows(top, object, kArrow)) << "a working arrow on a disabled window's bar " << object;
            EXPECT_TRUE(BarShows(top, object, kDisabledArrow)) << "no disabled arrow on bar " << object;
        }
        ExpectSkinnedBars(top, "the window disabled");
        EnableWindow(top, TRUE);
        EXPECT_TRUE(BarShows(top, OBJID_VSCROLL, kArrow)) << "the bar stayed disabled with its window enabled";
        SetWindowTextW(top, L"Scroller, renamed");
        ExpectSkinnedBars(top, "a new title");
        SendMessageW(top, WM_NCACTIVATE, FALSE, 0);
        ExpectSkinnedBars(top, "inactive");
        SendMessageW(top, WM_NCACTIVATE, TRUE, 0);
        ExpectSkinnedBars(top, "active");
        DetachSkin(top);
    }
    DestroyWindow(top);
}

namespace {

// The scroll messages a window receives, below the skin's procedure: each code, and for the
// thumb's track the position it carries and the one GetScrollInfo gives meanwhile. While the
// skin is on, the bar is looked at on every track message.
struct ScrollRecord {
    std::vector<std::string> events;
    bool lookAtBar = false;
    WNDPROC previous = nullptr;
};
ScrollRecord* recording = nullptr;

LRESULT CALLBACK RecordScroll(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_VSCROLL && recording) {
        std::string event = std::to_string(LOWORD(wParam));
        if (LOWORD(wParam) == SB_THUMBTRACK || LOWORD(wParam) == SB_THUMBPOSITION) {
            SCROLLINFO info{sizeof(info), SIF_TRACKPOS, 0, 0, 0, 0, 0};
            GetScrollInfo(window, SB_VERT, &info);
            event += " at " + std::to_string(HIWORD(wParam)) + " track " + std::to_string(info.nTrackPos);
            if (recording->lookAtBar && LOWORD(wParam) == SB_THUMBTRACK)
                ExpectSkinnedBars(window, "thumb dragged");
        }
        recording->events.push_back(event);
    }
    return CallWindowProcW(recording ? recording->previous : DefWindowProcW, window, message, wParam, lParam);
}

// The pointer to a screen point, as input: the messages it causes carry that point.
void PointerTo(POINT point) {
    SetCursorPos(point.x, point.y);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof(input));
}

void Button(DWORD flag) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flag;
    SendInput(1, &input, sizeof(input));
}

SCROLLBARINFO VerticalBar(HWND window) {
    SCROLLBARINFO info{};
    info.cbSize = sizeof(info);
    GetScrollBarInfo(window, OBJID_VSCROLL, &info);
    return info;
}

// A click on the bottom arrow, one in the page below the thumb, and a drag of the thumb by
// 40 pixels in two moves: all by input.
void ClickArrowPageAndDragThumb(HWND list) {
    const int arrow = GetSystemMetrics(SM_CYVSCROLL);
    SCROLLBARINFO bar = VerticalBar(list);
    const int x = (bar.rcScrollBar.left + bar.rcScrollBar.right) / 2;
    PointerTo({x, bar.rcScrollBar.bottom - arrow / 2});
    Button(MOUSEEVENTF_LEFTDOWN);
    Button(MOUSEEVENTF_LEFTUP);
    PumpMessages();
    bar = VerticalBar(list);
    PointerTo({x, bar.rcScrollBar.top + bar.xyThumbBottom + 3});
    Button(MOUSEEVENTF_LEFTDOWN);
    Button(MOUSEEVENTF_LEFTUP);
    PumpMessages();
    bar = VerticalBar(list);
    const int thumb = bar.rcScrollBar.top + (bar.xyThumbTop + bar.xyThumbBottom) / 2;
    PointerTo({x, thumb});
    Button(MOUSEEVENTF_LEFTDOWN);
    PointerTo({x, thumb + 20});
    PointerTo({x, thumb + 40});
    Button(MOUSEEVENTF_LEFTUP);
    PumpMessages();
}

}  // namespace

TEST_P(ScrollBars, InputOnTheBarsSendsTheSameMessagesWithTheSkinAndHotAndDraggedPartsAreTheSkins) {
    SkinnedForm form;
    HWND list = form.AddWindow(L"ListBox", L"", 20, 20, 150, 200, WS_VSCROLL | LBS_NOINTEGRALHEIGHT,
                               WS_EX_CLIENTEDGE);
    FillList(list, 1000);
    ScrollRecord record;
    record.previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordScroll)));
    recording = &record;
    PumpMessages();

    ClickArrowPageAndDragThumb(list);
    const std::vector<std::string> withoutSkin = record.events;
    const LRESULT topWithout = SendMessageW(list, LB_GETTOPINDEX, 0, 0);
    SendMessageW(list, LB_SETTOPINDEX, 0, 0);
    PointerAway();
    PumpMessages();
    record.events.clear();
    {
        ScrollBarLook look(form.form());
        // A timer of the program's on the window, whatever its identifier, outlives the presses.
        const UINT_PTR programTimer = 0x5C6B;
        SetTimer(list, programTimer, 3600000, nullptr);
        record.lookAtBar = true;
        ClickArrowPageAndDragThumb(list);
        record.lookAtBar = false;
        EXPECT_TRUE(KillTimer(list, programTimer)) << "a press on the bar killed the program's own timer";
        EXPECT_EQ(withoutSkin, record.events);
        EXPECT_EQ(topWithout, SendMessageW(list, LB_GETTOPINDEX, 0, 0));
        ExpectSkinnedBars(list, "after the drag");

        // The part under the pointer is hot, and at rest again once the pointer has gone.
        const SCROLLBARINFO bar = VerticalBar(list);
        const int arrow = GetSystemMetrics(SM_CYVSCROLL);
        RECT frame{};
        GetWindowRect(list, &frame);
        const POINT sample{bar.rcScrollBar.left - frame.left + 3, bar.rcScrollBar.bottom - frame.top - arrow / 2};
        PointerAway();
        PumpMessages();
        const COLORREF resting = Snapshot(list).at(sample.x, sample.y);
        PointerTo({(bar.rcScrollBar.left + bar.rcScrollBar.right) / 2, bar.rcScrollBar.bottom - arrow / 2});
        PumpMessages();
        EXPECT_NE(resting, Snapshot(list).at(sample.x, sample.y)) << "the arrow under the pointer is not hot";
        ExpectSkinnedBars(list, "hot arrow");
        PointerAway();
        const DWORD start = GetTickCount();
        while (Snapshot(list).at(sample.x, sample.y) != resting && GetTickCount() - start < 5000) {
            PumpMessages();
            Sleep(20);
        }
        EXPECT_EQ(resting, Snapshot(list).at(sample.x, sample.y)) << "the arrow stayed hot after the pointer left";
    }
    recording = nullptr;
    SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(record.previous));
    PointerAway();
}

namespace {

// A terminal-like window of a program's own class with a bar of its own. The thumb's track moves
// the text only through an update it schedules and runs from its own message loop, after the
// messages waiting; while the platform runs a press on its bar (which it learns of from the
// WM_SYSCOMMAND it passes on to DefWindowProc) that loop is not running, so it updates at once.
struct Terminal {
    int wanted = 0;  // the first line the text should start at
    int shown = 0;   // the first line it painted
    bool updatePending = false;
    bool inBarLoop = false;
    bool ended = false;
    bool lookAtBar = false;  // the skin's bar at every step
    bool keepsPresses = false;  // it passes no press on its bar to DefWindowProc
    int scrollMessages = 0;
    int stepsLeft = 0;
    int pointerX = 0, pointerY = 0;
    std::vector<std::string> steps;  // per track message: its position and the line shown after it
};
Terminal* terminal = nullptr;
constexpr int kTerminalLines = 100, kTerminalRows = 10;
const UINT_PTR kGiveUpTimer = 0x6A7E;

void UpdateTerminal(HWND window) {
    terminal->updatePending = false;
    terminal->shown = terminal->wanted;
    SCROLLINFO info{sizeof(info), SIF_ALL | SIF_DISABLENOSCROLL, 0, kTerminalLines - 1, kTerminalRows,
                    terminal->shown, 0};
    SetScrollInfo(window, SB_VERT, &info, TRUE);
}

// The user's next move, once the program has taken the last one: 12 pixels further down, and
// after the last the release.
void NextDragStep() {
    if (terminal->stepsLeft-- > 0) {
        terminal->pointerY += 12;
        PointerTo({terminal->pointerX, terminal->pointerY});
    } else {
        Button(MOUSEEVENTF_LEFTUP);
    }
}

void CALLBACK ReleaseTheButton(HWND, UINT, UINT_PTR, DWORD) { Button(MOUSEEVENTF_LEFTUP); }

LRESULT CALLBACK TerminalProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const WPARAM command = wParam & 0xFFF0;
    if (terminal && message == WM_SYSCOMMAND && (command == SC_VSCROLL || command == SC_HSCROLL)) {
        if (terminal->keepsPresses) return 0;
        terminal->inBarLoop = true;
        const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
        terminal->inBarLoop = false;
        return result;
    }
    if (terminal && message == WM_VSCROLL) {
        ++terminal->scrollMessages;
        const WORD code = LOWORD(wParam);
        if (terminal->lookAtBar && code == SB_THUMBTRACK) ExpectSkinnedBars(window, "terminal's thumb dragged");
        if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) {
            SCROLLINFO info{sizeof(info), SIF_TRACKPOS, 0, 0, 0, 0, 0};
            GetScrollInfo(window, SB_VERT, &info);
            terminal->wanted = info.nTrackPos;
            terminal->updatePending = true;
            if (terminal->inBarLoop) UpdateTerminal(window);
        }
        if (code == SB_THUMBTRACK) {
            terminal->steps.push_back("track " + std::to_string(terminal->wanted) + " shows line " +
                                      std::to_string(terminal->shown));
            NextDragStep();
        }
        if (code == SB_ENDSCROLL) terminal->ended = true;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// The terminal's own loop: the messages waiting, then the update it scheduled.
void RunTerminalUntilTheDragEnds(HWND window) {
    const DWORD start = GetTickCount();
    while (!terminal->ended && GetTickCount() - start < 10000) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (terminal->updatePending) UpdateTerminal(window);
        Sleep(10);
    }
    EXPECT_TRUE(terminal->ended) << "the drag never ended with SB_ENDSCROLL";
}

// A press on the thumb and five moves down, each made once the program has taken the one
// before: the steps the terminal saw. A timer lets go of the button should the drag stall.
std::vector<std::string> DragTerminalThumb(HWND window) {
    terminal->steps.clear();
    terminal->ended = false;
    terminal->stepsLeft = 5;
    const SCROLLBARINFO bar = VerticalBar(window);
    terminal->pointerX = (bar.rcScrollBar.left + bar.rcScrollBar.right) / 2;
    terminal->pointerY = bar.rcScrollBar.top + (bar.xyThumbTop + bar.xyThumbBottom) / 2;
    PointerTo({terminal->pointerX, terminal->pointerY});
    PumpMessages();
    SetTimer(window, kGiveUpTimer, 5000, ReleaseTheButton);
    Button(MOUSEEVENTF_LEFTDOWN);
    RunTerminalUntilTheDragEnds(window);
    KillTimer(window, kGiveUpTimer);
    // Back to the top for the next drag.
    terminal->wanted = 0;
    UpdateTerminal(window);
    PointerAway();
    PumpMessages();
    return terminal->steps;
}

}  // namespace

// The terminal sees its text follow the thumb at every step of a drag, with the skin as without.
TEST_P(ScrollBars, ATerminalsTextFollowsTheDraggedThumbAtEveryStepWithTheSkinAsWithout) {
    ASSERT_TRUE(RegisterOwnClass(L"DorrikTestTerminal", TerminalProc, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)));
    Terminal state;
    terminal = &state;
    HWND window = CreateWindowExW(0, L"DorrikTestTerminal", L"Terminal", WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_VISIBLE,
                                  300, 200, 300, 260, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(window);
    SetForegroundWindow(window);
    UpdateTerminal(window);
    PumpMessages();

    const std::vector<std::string> withoutSkin = DragTerminalThumb(window);
    ASSERT_EQ(5u, withoutSkin.size() - 1) << "a track message at the press and one per move";
    for (const std::string& step : withoutSkin) {
        const std::string track = step.substr(6, step.find(' ', 6) - 6);
        EXPECT_EQ("line " + track, step.substr(step.rfind("line "))) << "without the skin: " << step;
    }
    EXPECT_EQ(1, AttachSkinEx(window, DORRIK_SKIN_ALL));
    PumpMessages();
    state.lookAtBar = true;
    EXPECT_EQ(withoutSkin, DragTerminalThumb(window));
    state.lookAtBar = false;

    // A program that keeps the press to itself has no press run, with the skin as without.
    state.keepsPresses = true;
    state.scrollMessages = 0;
    const SCROLLBARINFO bar = VerticalBar(window);
    PostMessageW(window, WM_LBUTTONUP, 0, 0);  // ends at once a press that runs all the same
    SendMessageW(window, WM_SYSCOMMAND, SC_VSCROLL | HTVSCROLL,
                 MAKELPARAM((bar.rcScrollBar.left + bar.rcScrollBar.right) / 2, bar.rcScrollBar.bottom - 2));
    EXPECT_EQ(0, state.scrollMessages) << "a press ran that the program never passed on";
    state.keepsPresses = false;
    PumpMessages();
    DetachSkin(window);
    terminal = nullptr;
    DestroyWindow(window);
    PointerAway();
}
