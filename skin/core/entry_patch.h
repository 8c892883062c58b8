// Sending calls of a system function to one of the engine's own: the function's first whole
// instructions are moved into a block near it, followed by a jump back, and its entry becomes a
// jump to the replacement.
#pragma once

namespace skin {

// Puts the address that runs the original function into *original before the entry leads to
// the replacement (another thread may call it at once), and returns whether it did: false when
// the entry holds an instruction this does not know how to move (the function is then left as
// it was).
bool RedirectEntry(void* function, const void* replacement, void** original);

}  // namespace skin
