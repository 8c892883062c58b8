// Putting the skin on windows and taking it off: control kinds, attach and detach, engine state.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace skin {

enum class ControlKind {
    Form,
    PushButton,
    ComboBox,
    DriveList,
    CheckBox,
    OptionButton,
    Header,
    ProgressBar,
    DataList,
    DropDownList,
    Grid,
    Other,
};

// Process-wide state shared by every skinned window.
struct EngineState {
    bool initialised = false;
    bool hasTrackMouseEvent = false;  // user32 exports TrackMouseEvent
    int32_t skinnedWindowCount = 0;
};
EngineState& Engine();

std::string GetClassNameLower(HWND window);
ControlKind ClassifyClassName(std::string_view lowerClassName);
ControlKind ClassifyWindow(HWND window);

// 1 when this call attached (detached) the window, 0 for a null handle or nothing to do.
LRESULT AttachWindow(HWND window);
LRESULT DetachWindow(HWND window);

// Whether a "Button" window of this style paints its own face (check boxes, radio buttons and
// group boxes), so that the skin leaves its painting alone.
bool ButtonKeepsOwnPainting(LONG style);

// Gives a push button its rounded region at size w x h (the system owns the region afterwards).
void SetButtonRegion(HWND window, int width, int height);

}  // namespace skin
