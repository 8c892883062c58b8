// A push button's four state surfaces, one per visual state: memory contexts of the button's size
// that hold its pre-rendered faces for as long as it is skinned. These functions are the only
// ones that make, resize or free them.
#pragma once

#include <windows.h>

#include "core/props.h"

namespace skin {

// Makes a context and a bitmap of width x height for every state, compatible with reference, and
// publishes them as "0HDC", "0BMP", "1HDC", ... in that order. Each bitmap stays selected into
// its context for the context's life. A handle that cannot be made is published as 0.
void CreateStateSurfaces(HWND window, HDC reference, int width, int height);

// Gives every surface a new bitmap of width x height and publishes it; a surface whose new bitmap
// cannot be made or selected keeps its old one. A window without surfaces is left alone.
void ResizeStateSurfaces(HWND window, HDC reference, int width, int height);

// Frees the surfaces and removes their properties.
void DestroyStateSurfaces(HWND window);

// Frees the surfaces a record names, for a window handle that no longer means that window: its
// properties are not touched.
void FreeStateSurfaces(const WindowRecord& record);

}  // namespace skin
