// Pieces the platform's own controls share in the skin's look: a part's face in a visual state,
// the drop arrow turned any way, and the frame colour of a control.
#pragma once

#include <windows.h>

#include "render/primitives.h"

namespace skin {

// The caption colour of a disabled control, and the fill of a progress bar or a selection.
inline constexpr COLORREF kSkinDisabledText = 0x968A79;
inline constexpr COLORREF kSkinFill = 0xF6D64C;

// The one-pixel frame of a control: the border colour, or the paler one when disabled.
inline COLORREF FrameColour(bool enabled) { return enabled ? kSkinBorder : kSkinDisabledBorder; }

// The face inside a part's frame: white when normal, the drop button's hot or pressed tint
// (without the drop button's edge line) when hot or pressed. Any other state is normal.
void DrawFlatFace(HDC dc, int x, int y, int width, int height, int state);

// The drop arrow of the skin images, enabled or disabled, pointing the given way, with its
// top-left at (x, y): 7 wide and 4 high pointing up or down, 4 wide and 7 high pointing left or
// right. Only the arrow's own pixels are drawn.
enum class ArrowDirection { Up, Down, Left, Right };
inline constexpr int kArrowBreadth = 7;
inline constexpr int kArrowDepth = 4;
void DrawArrow(HDC dc, int x, int y, ArrowDirection direction, bool enabled);

// Focus as the platform shows it: only while the window has the focus and its focus cues are
// not hidden.
bool ShowsFocus(HWND window);

// Copies a surface of the client area's size to the target, leaving alone the window's visible
// children and, with siblingsAbove, the visible windows beside it that lie over it (the pages
// over a tab control): a control need not clip either. The target's clipping comes back as it was.
void CopyAroundChildren(HWND window, HDC target, HDC surface, SIZE size, bool siblingsAbove);

}  // namespace skin
