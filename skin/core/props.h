// Per-window state of the skin lives only in window properties, named by upper-case ASCII words.
// An absent property reads as 0.
#pragma once

#include <windows.h>

#include <cstdint>

namespace skin {

inline constexpr char kPropProcAddr[] = "PROCADDR";
inline constexpr char kPropOldStyle[] = "OLDSTYLE";
inline constexpr char kPropOldState[] = "OLDSTATE";
inline constexpr char kPropMouseFlag[] = "MOUSEFLAG";
inline constexpr char kPropTimerId[] = "TIMERID";
inline constexpr char kPropAlphaLevel[] = "ALPHALEVEL";
inline constexpr char kPropHdIndex[] = "HDINDEX";
inline constexpr char kPropHmIndex[] = "HMINDEX";

// The visual state of a control, kept in OLDSTATE and passed to the renderers.
enum VisualState : int { Normal = 0, Hot = 1, Pressed = 2, Disabled = 3 };

inline constexpr int kStateCount = 4;

// "0HDC" .. "3HDC": the push button's state surface of that state; "0BMP" .. "3BMP": its bitmap.
const char* StateSurfaceKey(int state);
const char* StateBitmapKey(int state);

intptr_t GetSkinProp(HWND window, const char* name);
void SetSkinProp(HWND window, const char* name, intptr_t value);
void RemoveSkinProp(HWND window, const char* name);

// The push button's state surface (memory context) for a state, 0 when there is none.
HDC GetStateSurface(HWND window, int state);

}  // namespace skin
