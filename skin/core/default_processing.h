// The skin in the platform's default processing of the messages after which the platform draws a
// frame or a window's scroll bars (a new title or icon, the activation, the frame paint, the
// pointer over the frame, a press on a caption button). Under Wine, user32's DefWindowProc (and
// with it DefDlgProc, DefFrameProc and everything the common controls pass on) reaches win32u
// through user32's import table: there the skin keeps the platform from drawing and draws after
// it, only inside the default processing, so that the window's own procedure sees the window as
// it is. Where there is no such entry (Windows), the skin does that work around the window's
// procedure instead (core/frame.cpp, core/scroll_bars.cpp, core/paint.cpp).
#pragma once

#include <windows.h>

namespace skin {

// Once per process, when the first window is attached with the frame or the scroll bars. Every
// later copy of the engine in the process stands in front of the one before it.
void TakeOverDefaultProcessing();

// Whether this copy of the engine stands in the platform's default processing.
bool SkinDoesDefaultProcessing();

// Whom style bits are taken off for: the platform's processing only (the window's procedure,
// when the platform sends it a message meanwhile, finds them on), or on Windows, where the skin
// cannot reach the platform's processing alone, the window's procedure too.
enum class HiddenFrom { ThePlatformOnly, TheWindowToo };

// While it lives, the given style bits are off: the style messages the change sends the window
// are the skin's, answered before the window's procedure sees them. Nothing when none of the bits
// is on.
class UnseenStyleChange {
public:
    UnseenStyleChange(HWND window, LONG_PTR bits, HiddenFrom whom);
    ~UnseenStyleChange();
    UnseenStyleChange(const UnseenStyleChange&) = delete;
    UnseenStyleChange& operator=(const UnseenStyleChange&) = delete;

private:
    HWND window_ = nullptr;
    LONG_PTR bits_ = 0;
    bool platformOnly_ = false;
    HWND outerWindow_ = nullptr;
    LONG_PTR outerBits_ = 0;
};

// While it lives, a message the platform sends the window in the middle of its processing finds
// the bits an UnseenStyleChange took off back on: the window's procedure sees its true style.
class ShownToTheWindow {
public:
    explicit ShownToTheWindow(HWND window);
    ~ShownToTheWindow();
    ShownToTheWindow(const ShownToTheWindow&) = delete;
    ShownToTheWindow& operator=(const ShownToTheWindow&) = delete;

private:
    HWND window_ = nullptr;
    LONG_PTR bits_ = 0;
};

// Whether a WM_STYLECHANGING or WM_STYLECHANGED comes from an UnseenStyleChange on this thread.
bool IsUnseenStyleChange(HWND window, WPARAM which);

}  // namespace skin
