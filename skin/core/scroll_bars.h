// Scroll bars in the skin's look, under DORRIK_SKIN_SCROLLBARS: the bars of every skinned window
// that has them and scroll-bar controls. The skin draws them, runs a press on them itself and
// keeps the platform from drawing them: it takes a window's bar styles off around the default
// processing that would paint them, and stands in front of the scroll functions that draw
// directly (core/scroll_calls.cpp). Hit testing, the scroll messages, GetScrollInfo and the
// keyboard stay as the platform has them.
#pragma once

#include <windows.h>

#include "core/default_processing.h"
#include "core/window_proc.h"
#include "render/scrollbar_renderer.h"

namespace skin {

// Once per process, before the first window with the option is attached.
void StartScrollBarSkin();

// Skinned with the option by this thread's engine, and a bar the skin draws (a size box has none).
bool SkinsScrollBars(HWND window, int bar);

// The bar as the platform lays it out now, before the skin's own state (pressed, hot, dragged
// thumb) is put on it, and where it lies: in window coordinates for a window's bars
// (SB_HORZ, SB_VERT), in client coordinates for a control (SB_CTL). False for a hidden bar.
bool PlatformScrollBarLayout(HWND window, int bar, ScrollBarLook& look, POINT& origin);

// Draws the bar in the skin's look now, outside any paint.
void RedrawScrollBar(HWND window, int bar);

// After the platform's non-client paint: both of a window's bars and the square where they meet.
void PaintWindowScrollBars(HWND window);

// While it lives, a window the skin draws the bars of has its bar styles off, so that the
// platform's default processing paints neither bar; the window hears nothing of the change.
// Nothing when the window has no bar.
class HiddenScrollBars {
public:
    explicit HiddenScrollBars(HWND window, HiddenFrom whom = HiddenFrom::TheWindowToo);

private:
    UnseenStyleChange change_;
};

// The previous procedure with the window's bar styles off (see HiddenScrollBars).
LRESULT CallPreviousWithoutBars(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The messages of a window with bars that the skin answers before the window's kind does: a
// press on a bar (the platform's WM_SYSCOMMAND, run by the skin's own tracking). Returns true
// with the result when it has answered.
bool RouteWindowScrollBarMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
// Whether the message's default processing may paint the window's whole frame, bars and all.
bool RepaintsWholeFrame(HWND window, UINT message);

// The pointer over a window's bars: the part under it is hot. Whether the platform's processing
// of a WM_NCMOUSEMOVE with this hit may light a part of a bar (the skin's bars are hidden for it),
// and the skin's hot part after it, and after a WM_NCMOUSELEAVE.
bool PointerMayLightBars(HWND window, WPARAM hit);
void FollowPointerOverBars(HWND window, WPARAM hit, LPARAM lParam);
void PointerLeftBars(HWND window);
LRESULT HandleNcMouseMove(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT HandleNcMouseLeave(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The platform's WM_SYSCOMMAND for a press on a window's bar (SC_VSCROLL, SC_HSCROLL) run by the
// skin's tracking, from the point pressed; false for another command or a bar the skin leaves.
bool RunPressOnWindowBar(HWND window, WPARAM command, LPARAM point);

// The skin's own run of a press on a bar, from the point pressed (screen coordinates) to the
// button's release: the same scroll messages as the platform's, the pressed part and the dragged
// thumb drawn by the skin.
void TrackScrollBar(HWND window, int bar, POINT screen);
// The pressed part and the dragged thumb, put on the bar's look while the skin tracks it.
void ApplyScrollTracking(HWND window, int bar, ScrollBarLook& look);
// What GetScrollInfo (or SBM_GETSCROLLINFO) answered, with the track position of the thumb the
// skin drags in the window's bar, as the platform gives the one it drags.
void PutDraggedThumb(HWND window, int bar, SCROLLINFO* info);

// Tests: whether the platform's drawing callback (Wine 8 only) draws the skin's bars, as it does
// by default, or is left to the platform, as on a system without one.
void UsePlatformScrollBarCallback(bool use);

}  // namespace skin
