// In front of the scroll functions. On Windows 10 and later and in Wine 8, user32 reaches the
// window manager's SetScrollInfo and EnableScrollBar (NtUserSetScrollInfo, NtUserEnableScrollBar
// in win32u) through its import table, whoever called it: the program, the common controls or
// user32's own list box and edit control. Those two entries of user32's table are the skin's.
// GetScrollInfo stays in user32, so its entry itself leads to the skin, which gives the position
// of a thumb the skin drags as the platform gives the one it drags.
#include "core/scroll_calls.h"

#include <windows.h>

#include <atomic>
#include <unordered_set>

#include "core/engine.h"
#include "core/entry_patch.h"
#include "core/import_table.h"
#include "core/scroll_bars.h"

namespace skin {

namespace {

using SetScrollInfoFunction = int(WINAPI*)(HWND, int, const SCROLLINFO*, BOOL);
using EnableScrollBarFunction = BOOL(WINAPI*)(HWND, UINT, UINT);
using GetScrollInfoFunction = BOOL(WINAPI*)(HWND, int, LPSCROLLINFO);

// The windows whose bars the skin draws, of every thread; the threads that skinned them write it,
// a thread calling a scroll function on a window of another thread reads it.
SRWLOCK skinnedBarsLock = SRWLOCK_INIT;
std::unordered_set<HWND> skinnedBars;
std::atomic<bool> anySkinnedBars{false};

SetScrollInfoFunction platformSetScrollInfo = nullptr;
EnableScrollBarFunction platformEnableScrollBar = nullptr;
GetScrollInfoFunction platformGetScrollInfo = nullptr;

// A window's own bar, set without the platform's drawing, then drawn by the skin. A change of
// range may have the platform draw the arrows even without a redraw: the skin draws over them.
int WINAPI SetScrollInfoInstead(HWND window, int bar, const SCROLLINFO* info, BOOL redraw) {
    // Another thread's call on a window whose bars the skin draws: set without the platform's
    // drawing too, and drawn in the skin's look from this thread, as the platform draws from it.
    const bool elsewhere = BarsSkinnedByAnotherThread(window);
    if (bar == SB_CTL) {
        // A control keeps its own state and its enabling: only the skin's look comes after.
        const int result = platformSetScrollInfo(window, bar, info, redraw && !elsewhere);
        if (redraw) RedrawScrollBar(window, SB_CTL);
        return result;
    }
    if ((bar != SB_HORZ && bar != SB_VERT) || (!elsewhere && !SkinsScrollBars(window, bar)))
        return platformSetScrollInfo(window, bar, info, redraw);
    const int result = platformSetScrollInfo(window, bar, info, FALSE);
    const bool rangeChanged = info && (info->fMask & (SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL));
    if (redraw || rangeChanged) RedrawScrollBar(window, bar);
    // What the platform tells accessibility tools after a redrawn change.
    if (redraw && (GetWindowLongPtrW(window, GWL_STYLE) & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)))
        NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, window, bar == SB_VERT ? OBJID_VSCROLL : OBJID_HSCROLL,
                       CHILDID_SELF);
    return result;
}

// The arrows' state changes with the bars' styles off, so that the platform draws neither.
BOOL WINAPI EnableScrollBarInstead(HWND window, UINT bar, UINT flags) {
    if (bar == SB_CTL) {
        const BOOL result = platformEnableScrollBar(window, bar, flags);
        RedrawScrollBar(window, SB_CTL);
        return result;
    }
    if (!SkinsScrollBars(window, SB_VERT)) return platformEnableScrollBar(window, bar, flags);
    BOOL result = FALSE;
    {
        const HiddenScrollBars hidden(window);
        result = platformEnableScrollBar(window, bar, flags);
    }
    if (bar != SB_HORZ) RedrawScrollBar(window, SB_VERT);
    if (bar != SB_VERT) RedrawScrollBar(window, SB_HORZ);
    return result;
}

BOOL WINAPI GetScrollInfoInstead(HWND window, int bar, LPSCROLLINFO info) {
    const BOOL result = platformGetScrollInfo(window, bar, info);
    if (result) PutDraggedThumb(window, bar, info);
    return result;
}

}  // namespace

bool BarsSkinnedByAnotherThread(HWND window) {
    if (!anySkinnedBars.load(std::memory_order_relaxed)) return false;
    AcquireSRWLockShared(&skinnedBarsLock);
    const bool listed = skinnedBars.contains(window);
    ReleaseSRWLockShared(&skinnedBarsLock);
    return listed && !IsWindowOfThisThread(window);
}

void NoteSkinnedBars(HWND window, bool skinned) {
    AcquireSRWLockExclusive(&skinnedBarsLock);
    if (skinned)
        skinnedBars.insert(window);
    else
        skinnedBars.erase(window);
    anySkinnedBars.store(!skinnedBars.empty(), std::memory_order_relaxed);
    ReleaseSRWLockExclusive(&skinnedBarsLock);
}

void TakeOverScrollCalls() {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!user32) return;
    void** setEntry = ImportEntry(user32, "win32u.dll", "NtUserSetScrollInfo");
    void** enableEntry = ImportEntry(user32, "win32u.dll", "NtUserEnableScrollBar");
    if (setEntry && enableEntry) {
        platformSetScrollInfo = reinterpret_cast<SetScrollInfoFunction>(*setEntry);
        platformEnableScrollBar = reinterpret_cast<EnableScrollBarFunction>(*enableEntry);
        ReplaceImport(setEntry, reinterpret_cast<void*>(&SetScrollInfoInstead));
        ReplaceImport(enableEntry, reinterpret_cast<void*>(&EnableScrollBarInstead));
    }
    if (void* getScrollInfo = reinterpret_cast<void*>(GetProcAddress(user32, "GetScrollInfo")))
        RedirectEntry(getScrollInfo, reinterpret_cast<const void*>(&GetScrollInfoInstead),
                      reinterpret_cast<void**>(&platformGetScrollInfo));
}

}  // namespace skin
