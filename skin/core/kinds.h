// Which kind of control a window is, from its class name (and, for the whole look, its style).
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "core/props.h"

namespace skin {

std::string GetClassNameLower(HWND window);
ControlKind ClassifyClassName(std::string_view lowerClassName);
ControlKind ClassifyWindow(HWND window);

// The lower-case name of the window's class or, for a class the engine does not name that is made
// from one of the platform's controls (a class library's superclass), of that platform class
// where the platform or the class library's naming says so. The window is sent nothing.
std::string PlatformClassName(HWND window);

// The kind a window is skinned as under the given AttachSkinEx options: the kind of its class
// (or of the platform class it is made from),
// or one of the whole look's own kinds where an option takes the control over.
// A "button" check box, three-state box, option button or group box is one of the whole look's
// kinds under DORRIK_SKIN_BUTTONS; tab controls, up-down controls and trackbars under their
// options. Under DORRIK_SKIN_IMAGES a push button the program paints itself is Other.
ControlKind ClassifyWindowWithOptions(HWND window, DWORD options);

// A push button that is the program's canvas: no caption, no image, and a window procedure of
// the program's own in its chain (the class's procedure is not the window's).
bool IsProgramCanvas(HWND window);

}  // namespace skin
