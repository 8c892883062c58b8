// The platform's status bars, flat in the skin's look.
#pragma once

#include <windows.h>

#include <span>
#include <string>

namespace skin {

struct StatusPart {
    RECT bounds;          // client coordinates
    std::wstring text;    // tabs centre or right-align what follows, as the control's own do
    HICON icon;           // drawn before the text, or 0
    bool ownerDrawn;      // the program draws it (after the renderer)
};

// Draws the whole client area into dc: the face, a line in the border colour along the top, each
// part's text and icon, a one-pixel separator in the border colour after every part but the one
// that reaches the right end, and the size grip (three diagonal rows of dots in the border colour)
// in the bottom-right corner when grip is set.
void DrawStatusBar(HDC dc, SIZE client, std::span<const StatusPart> parts, HFONT font, bool grip,
                   bool enabled);

// The square in the bottom-right corner that the size grip covers.
int StatusGripSize(SIZE client);

}  // namespace skin
