// Placeholder until the interaction states land: every message goes on unchanged.
#include "core/interaction.h"

namespace skin {

LRESULT HandleLButtonDown(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) { return CallWindowProcA(previous, window, message, wParam, lParam); }
LRESULT HandleLButtonUp(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) { return CallWindowProcA(previous, window, message, wParam, lParam); }
LRESULT HandleLButtonDblClk(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) { return CallWindowProcA(previous, window, message, wParam, lParam); }
LRESULT HandleMouseMove(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) { return CallWindowProcA(previous, window, message, wParam, lParam); }
LRESULT HandleMouseLeave(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) { return CallWindowProcA(previous, window, message, wParam, lParam); }
LRESULT HandleKeyDown(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) { return CallWindowProcA(previous, window, message, wParam, lParam); }
LRESULT HandleKeyUp(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) { return CallWindowProcA(previous, window, message, wParam, lParam); }
LRESULT HandleEnable(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) { return CallWindowProcA(previous, window, message, wParam, lParam); }
LRESULT HandleSetFocus(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) { return CallWindowProcA(previous, window, message, wParam, lParam); }
LRESULT HandleKillFocus(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) { return CallWindowProcA(previous, window, message, wParam, lParam); }

BOOL CALLBACK RefreshCheckSiblings(HWND, LPARAM) { return TRUE; }

}  // namespace skin
