// The state a control is drawn in: what the engine keeps for each window and hands the renderers.
#pragma once

namespace skin {

// Kept in OLDSTATE for the controls that remember what they last showed.
enum VisualState : int { Normal = 0, Hot = 1, Pressed = 2, Disabled = 3 };

inline constexpr int kStateCount = 4;

}  // namespace skin
