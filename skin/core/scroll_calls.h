// The scroll functions that draw a window's bars directly, outside any paint: the skin stands in
// front of them for the windows whose bars it draws, and hands every other call on unchanged.
#pragma once

#include <windows.h>

namespace skin {

// Once per process. Every later copy of the engine in the process stands in front of the one
// before it.
void TakeOverScrollCalls();

// The windows whose bars the skin draws, whichever thread skinned them: a scroll call another
// thread makes on one of them still leaves its bars the skin's.
void NoteSkinnedBars(HWND window, bool skinned);
bool BarsSkinnedByAnotherThread(HWND window);

}  // namespace skin
