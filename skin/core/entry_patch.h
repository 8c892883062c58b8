// Sending calls of a system function to one of the engine's own: the function's first whole
// instructions are moved into a block near it, followed by a jump back, and its entry becomes a
// jump to the replacement.
#pragma once

namespace skin {

// Returns the address that runs the original function, or nullptr when its entry holds an
// instruction this does not know how to move (the function is then left as it was).
void* RedirectEntry(void* function, const void* replacement);

}  // namespace skin
