// Mouse, keyboard, focus and enable messages drive each control's visual state.
#pragma once

#include <windows.h>

namespace skin {

LRESULT HandleLButtonDown(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT HandleLButtonUp(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT HandleLButtonDblClk(WNDPROC previous, HWND window, UINT message, WPARAM wParam,
                            LPARAM lParam);
LRESULT HandleMouseMove(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT HandleMouseLeave(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT HandleKeyDown(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT HandleKeyUp(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT HandleEnable(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT HandleSetFocus(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT HandleKillFocus(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Child-enumeration callback run after every left-button release: repaints the skinned check
// boxes and option buttons it meets. Always continues.
BOOL CALLBACK RefreshCheckSiblings(HWND window, LPARAM unused);

}  // namespace skin
