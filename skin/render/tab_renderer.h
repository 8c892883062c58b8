// Tab controls in the skin's look: flat tabs on a flat page frame.
#pragma once

#include <windows.h>

namespace skin {

// No tab is hot or pressed.
inline constexpr int kNoTab = -1;

// Draws the whole client area of the tab control into target (client coordinates) through one
// memory surface and one copy, leaving alone its visible children and the windows over it (its
// pages): the page frame, every tab
// (the selected one open to its page), the tab under the pointer hot and the one held pressed,
// images and captions, and the focus rectangle where the platform shows one.
void DrawTabControl(HWND tab, HDC target, int hotTab, int pressedTab);

// One tab above a page over box, in the look of state (Normal, Hot or Pressed): the selected one
// white and open at its bottom edge to the page below it.
void DrawTabItem(HDC dc, const RECT& box, int state, bool selected, bool enabled);

// The tab at a point of the client area, or kNoTab.
int TabAt(HWND tab, POINT point);

}  // namespace skin
