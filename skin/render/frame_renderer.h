// A top-level window's caption, frame and caption buttons in the skin's look.
#pragma once

#include <windows.h>

#include <string>

namespace skin {

enum class CaptionButton { Close, Maximize, Restore, Minimize, Help };

struct CaptionButtonFace {
    CaptionButton kind = CaptionButton::Close;
    RECT rect{};    // window coordinates
    int state = 0;  // VisualState: Normal, Hot, Pressed, Disabled
};

inline constexpr int kMaxCaptionButtons = 4;

// Everything one frame paint draws, in window coordinates. The frame is the ring between the
// window's edge and `inner`; the caption is the band at its top.
struct FrameLook {
    SIZE window{};
    RECT inner{};    // left to the platform: client area, menu bar, scroll bars, client edge
    RECT caption{};  // the title band inside the top border, buttons included
    bool active = false;
    HICON icon = nullptr;  // none: no icon drawn
    RECT iconRect{};
    std::wstring title;
    HFONT font = nullptr;  // the caption font
    int glyphSize = 0;     // side of a button's symbol, from the caption font's height
    CaptionButtonFace buttons[kMaxCaptionButtons];
    int buttonCount = 0;
};

// Draws the frame ring and the caption into dc (a whole-window context); the inner rectangle is
// left as it is. The caption band is composed off screen and copied once.
void DrawWindowFrame(HDC dc, const FrameLook& look);

// Draws only the caption band: for a change of a button's face or of the activation.
void DrawCaptionBand(HDC dc, const FrameLook& look);

}  // namespace skin
