// The one window procedure of every skinned window, and the form of its message handlers.
#pragma once

#include <windows.h>

namespace skin {

// A handler gets the window's previous procedure and returns the result for the platform.
using MessageHandler = LRESULT (*)(WNDPROC previous, HWND window, UINT message, WPARAM wParam,
                                   LPARAM lParam);

LRESULT CALLBACK SkinWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Whether this engine's procedure is still in the window's chain: on top, or under other code's
// subclass that passes messages on (asked with a message only this engine's procedure answers).
bool IsLinkInChain(HWND window);

// The routes every attached window shares: one handler per message the skin cares about, the
// previous procedure for the rest. A kind with a procedure of its own (the whole look's controls)
// hands it every message it does not handle itself.
LRESULT RouteMessage(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The whole look's kinds: each has a procedure of its own in a file of its own.
LRESULT ButtonBoxProc(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT TabControlProc(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT UpDownProc(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT TrackbarProc(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ProgressControlProc(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT StatusBarProc(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ListViewProc(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT TreeViewProc(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DateTimePickerProc(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT EditLikeFieldProc(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ScrollBarProc(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The previous procedure with the message unchanged. The skin subclasses with the Unicode
// functions, so text messages reach a Unicode control without a trip through the ANSI code page.
inline LRESULT CallPrevious(WNDPROC previous, HWND window, UINT message, WPARAM wParam,
                            LPARAM lParam) {
    return CallWindowProcW(previous, window, message, wParam, lParam);
}

}  // namespace skin
