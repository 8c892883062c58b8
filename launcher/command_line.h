// skinrun's command line: [--classic] <program> [arguments...], the arguments passed on as typed.
// The guest in a program of the other architecture hands a child it started suspended over with
// --follow <parent id> <process handle> <thread handle> <process id> <thread id> [--classic]: the
// handles are the parent's, for this launcher to take out of it.
#pragma once

#include <string>

#include "guest_settings.h"

namespace skinrun {

struct Request {
    Look look = Look::Whole;
    bool help = false;
    std::wstring program;    // as given: a name to search for, or a path
    std::wstring arguments;  // the rest of the command line, exactly as typed
    std::wstring error;      // set when the command line cannot be used
    bool follow = false;     // bring the guest into a child handed over by a guest
    unsigned long parentId = 0;  // the process that started the child
    unsigned long long followProcess = 0, followThread = 0;  // the parent's handles' values
    unsigned long childProcessId = 0, childThreadId = 0;
};

Request ParseCommandLine(const wchar_t* commandLine);

// The way Windows programs read an argument back: spaces inside quotes kept.
std::wstring Quoted(const std::wstring& path);

}  // namespace skinrun
