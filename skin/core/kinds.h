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

// The kind a window is skinned as under the given AttachSkinEx options: the kind of its class,
// or one of the whole look's own kinds where an option takes the control over.
ControlKind ClassifyWindowWithOptions(HWND window, DWORD options);

}  // namespace skin
