// Under DORRIK_SKIN_FRAME: the caption, frame and caption buttons of top-level windows (and MDI
// children) in the skin's look. Sizes, styles and hit-testing stay the platform's.
#pragma once

#include <windows.h>

namespace skin {

// Whether the skin draws the window's frame now: attached under the option, a caption, not
// minimised, and a non-client area as the window's styles make it.
bool DrawsFrame(HWND window);

// The part of a non-client update that the platform still paints (menu bar, scroll bars, client
// edge), in screen coordinates, for the caller to delete; null when the skin draws no frame, an
// empty region when the skin's steps draw all of it.
HRGN PlatformPartOfFrameUpdate(HWND window, WPARAM update);

// The frame step of the non-client paint: the ring and the caption, over what the platform drew.
void PaintFrameStep(HWND window);

// At attach and detach: the compositor's own frame drawing off for a window whose frame the skin
// draws, and back on; a caption button still held is let go.
void AttachFrame(HWND window);
void DetachFrame(HWND window);

// The routes of windows skinned under the option: the frame's messages, then the shared routes.
LRESULT FrameProc(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// DwmSetWindowAttribute, loaded from dwmapi.dll when first needed; tests put their own in its
// place. Returns the one it replaced.
using WindowAttributeSetter = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
WindowAttributeSetter ReplaceWindowAttributeSetter(WindowAttributeSetter setter);

}  // namespace skin
