// The scroll functions that draw a window's bars directly, outside any paint: the skin stands in
// front of them for the windows whose bars it draws, and hands every other call on unchanged.
#pragma once

namespace skin {

// Once per process. Every later copy of the engine in the process stands in front of the one
// before it.
void TakeOverScrollCalls();

}  // namespace skin
