// Sending calls of a system function to one of the engine's own: the function's first whole
// instructions are moved into a block near it, followed by a jump back, and its entry becomes a
// jump to the replacement.
//
// Other threads may be running the function while its entry is rewritten, so no thread may ever
// see it half written:
// - where the compiler left room for a jump before the function (Windows' and Wine's system
//   functions: padding, then a first instruction of two bytes or more), the jump goes into the
//   room and the entry's first two bytes become a short jump to it in one locked write;
// - an entry that already jumps elsewhere changes only the jump's distance, in one locked write;
// - any other entry is written while every other thread of the process is held still, and a
//   thread held inside the bytes that move goes on at the same instruction in the block.
#pragma once

namespace skin {

// Puts the address that runs the original function into *original before the entry leads to
// the replacement (another thread may call it at once), and returns whether it did: false when
// the entry holds an instruction this does not know how to move (the function is then left as
// it was).
bool RedirectEntry(void* function, const void* replacement, void** original);

}  // namespace skin
