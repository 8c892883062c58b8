// The default push button under the whole look: found and moved by dialogs, and marked.
#pragma once

#include <windows.h>

namespace skin {

// BS_DEFPUSHBUTTON, or a push button the skin made owner-drawn that was (or was made) the default.
bool IsDefaultPushButton(HWND window);

LRESULT HandleGetDlgCode(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT HandleSetStyle(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace skin
