// Header controls: their items, and one item drawn in its normal, hot or pressed look.
#pragma once

#include <windows.h>

#include <string>

namespace skin {

// HDINDEX and HMINDEX when no item is pressed or hot; what HeaderItemAt finds outside the items.
inline constexpr int kNoHeaderItem = -1;

int GetHeaderItemCount(HWND header);

// The item's rectangle in the header's coordinates; empty for an index beyond the last.
RECT GetHeaderItemRect(HWND header, int index);

// The first of the count items whose left..right span (inclusive) holds x; where two items share
// an edge the left one wins. Only x matters.
int HeaderItemAt(HWND header, int count, int x);

// Draws item index (nothing for an index below 0) into target, in window coordinates, or (0) into
// the header's own context. Always returns 0.
LRESULT PaintHeaderItem(HWND window, HDC target, int index, int state);

// The item's text, at most 255 characters; empty for an item without text or beyond the last.
std::wstring GetHeaderItemText(HWND header, int index);

// Draws item index of the header in the look of state over (x, 0, width, height), its content in
// rows [0, textHeight). Under the whole look the content follows the item: its text aligned as its
// format says and ending in an ellipsis before the divider, its image, its sort arrow; otherwise
// its text is centred (DrawHeaderItemFace).
void DrawHeaderItem(HDC dc, HWND header, int index, int x, int width, int height, int textHeight,
                    int state);

// Draws an item's frame in the look of state (pressed, hot, anything else normal) over
// (x, 0, width, height) and, unless text is empty, the text centred in (x, 0, width, textHeight)
// in the context's current font and text colour, with a transparent background.
void DrawHeaderItemFace(HDC dc, int x, int width, int height, int textHeight, int state,
                        const std::wstring& text);

}  // namespace skin
