// Under DORRIK_SKIN_FRAME: the caption, frame and caption buttons of top-level windows (and MDI
// children) in the skin's look. Sizes, styles and hit-testing stay the platform's.
#pragma once

#include <windows.h>

#include "render/scoped_gdi.h"

namespace skin {

// Whether the skin draws the window's frame now: attached under the option, a caption, not
// minimised, and a non-client area as the window's styles make it.
bool DrawsFrame(HWND window);

// The update a frame paint leaves to the platform: the message's own where the skin draws no
// frame, else the part of it no step of the skin paints over (menu bar, scroll bars, client edge),
// in screen coordinates, owned here. The platform paints nothing when that part is empty.
class PlatformFrameUpdate {
public:
    PlatformFrameUpdate(HWND window, WPARAM update);
    WPARAM region() const;  // as WM_NCPAINT's wParam
    bool empty() const;

private:
    WPARAM update_;
    ScopedRegion part_;
};

// Where the caption's title comes from: what the platform keeps (read without a message), or,
// where the skin draws in the stead of Wine's caption within its default processing, the
// window's answer to WM_GETTEXT, which Wine's caption asks for.
enum class CaptionSource { ThePlatformsRecord, AsThePlatformsCaption };

// The frame step of the non-client paint: the ring and the caption, over what the platform drew.
void PaintFrameStep(HWND window, CaptionSource source = CaptionSource::ThePlatformsRecord);

// Only the caption band, drawn again now over whatever the platform drew there.
void PaintCaptionStep(HWND window, CaptionSource source = CaptionSource::ThePlatformsRecord);

// The frame's part of the platform's default processing (core/default_processing.cpp):
// the activation's look, kept also while the platform draws the frame;
void NoteFrameActivation(HWND window, bool active);
// a press on a caption button run to the button's release as the platform runs it (capture, its
// loop over the mouse messages, the system command on a release over the button), the pressed
// face drawn by the skin; false when the press is not the skin's to run;
bool TrackCaptionButton(HWND window, WPARAM hit, LPARAM lParam);
// the pointer over the caption's buttons, and leaving the frame.
void FollowPointerOverCaption(HWND window, WPARAM hit);
void PointerLeftCaption(HWND window);

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
