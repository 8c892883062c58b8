// Telling the person: on the console skinrun was started from (or the output it was given),
// otherwise in a message box.
#pragma once

#include <windows.h>

#include <string>

namespace skinrun {

void Tell(const std::wstring& text);

// The system's own words for an error code.
std::wstring SystemMessage(DWORD error);

}  // namespace skinrun
