// The entries of a module's import table: where user32 calls into win32u, the skin can stand in
// front of the platform for every caller at once.
#pragma once

#include <windows.h>

namespace skin {

// The entry through which the module calls a function of another module, found by the
// function's name; null where the module does not import it by name.
void** ImportEntry(HMODULE module, const char* fromModule, const char* function);

// Puts the replacement in the entry and returns what was there (null when the entry could not
// be written).
void* ReplaceImport(void** entry, void* replacement);

}  // namespace skin
