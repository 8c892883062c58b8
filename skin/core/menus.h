// Menus in the skin's look (the menus option): the menu bar of a skinned window, its popups,
// context menus and the system menu. Their items become owner-drawn while the skin shows them
// (the bar's while the window is skinned, a popup's while it is open) and keep their text; the
// skin's items carry a record of their own in their item data, which tells them from items the
// program draws itself and holds the type and data put back afterwards.
#pragma once

#include <windows.h>

namespace skin {

// At attach and at detach of a window skinned with the menus option: the bar's items are
// converted, or every menu of the window put back as it was.
void AttachMenus(HWND window);
void DetachMenus(HWND window);

// The non-client paint's menu step: the bar's face beside and under its items.
void PaintMenuBarFace(HWND window);

// A popup menu's window (a window of the skin, as it is made over a skinned one) paints its
// items through the owner; the skin then frames it.
LRESULT PaintMenuWindow(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

LRESULT HandleNcCalcSizeMenus(WNDPROC previous, HWND window, UINT message, WPARAM wParam,
                              LPARAM lParam);
LRESULT HandleEnterMenuLoop(WNDPROC previous, HWND window, UINT message, WPARAM wParam,
                            LPARAM lParam);
LRESULT HandleInitMenuPopup(WNDPROC previous, HWND window, UINT message, WPARAM wParam,
                            LPARAM lParam);
LRESULT HandleUninitMenuPopup(WNDPROC previous, HWND window, UINT message, WPARAM wParam,
                              LPARAM lParam);
LRESULT HandleExitMenuLoop(WNDPROC previous, HWND window, UINT message, WPARAM wParam,
                           LPARAM lParam);
LRESULT HandleMeasureItem(WNDPROC previous, HWND window, UINT message, WPARAM wParam,
                          LPARAM lParam);
LRESULT HandleDrawItem(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT HandleMenuChar(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace skin
