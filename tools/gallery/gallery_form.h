// The gallery: one form with every kind of control the skin knows, on real controls, and a
// check box that takes the skin off and puts it back on the running form.
#pragma once

#include <windows.h>

namespace gallery {

// A form class of the form designer's run time, so that the skin recurses into it.
inline constexpr wchar_t kGalleryClass[] = L"ThunderRT6FormDC";
// The designer's frame: a caption and an etched line around the controls it holds.
inline constexpr wchar_t kFrameClass[] = L"ThunderRT6Frame";
inline constexpr wchar_t kGalleryCaption[] = L"Dorrik gallery — 控件一览";

inline constexpr int kClientWidth = 620;
inline constexpr int kClientHeight = 460;

enum ControlId {
    kNormalButtonId = 100,
    kDisabledButtonId,
    kFocusButtonId,
    kMessageBoxButtonId,
    kSkinToggleId,
    kPlatformFormButtonId,
};

// Sent to the form after the skin check box changed: the switch happens once the check box's
// own click has run to its end.
inline constexpr UINT kApplySkinToggle = WM_APP + 1;

inline constexpr UINT_PTR kProgressTimerId = 1;
inline constexpr UINT kProgressTimerInterval = 60;  // milliseconds

struct GalleryParts {
    HWND form = nullptr;
    HWND focusButton = nullptr;
    HWND messageBoxButton = nullptr;
    HWND skinToggle = nullptr;
    HWND progress[3] = {};  // horizontal, vertical, vertical smooth
    int progressStep = 0;
    bool skinned = false;
    HFONT font = nullptr;   // the default UI font, for every control
};

// Registers the gallery's form and frame classes (once per process).
bool RegisterGalleryClasses(HINSTANCE instance);

// Creates the gallery with all its controls and puts the skin on; not yet shown.
HWND CreateGallery(HINSTANCE instance);

// The parts of a gallery made by CreateGallery, or nullptr.
const GalleryParts* GetGalleryParts(HWND form);

}  // namespace gallery
