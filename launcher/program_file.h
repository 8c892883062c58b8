// Finding the program the way a command line would, and telling from its header what it is,
// before anything is started.
#pragma once

#include <string>

namespace skinrun {

enum class ProgramKind {
    Windowed,     // a Windows program of the GUI subsystem
    Console,      // a Windows program of the console subsystem
    NotAProgram,  // no executable image (a document, a DLL, a driver, a folder)
    Missing,
};

struct ProgramFile {
    std::wstring path;  // full path of what was found
    ProgramKind kind = ProgramKind::Missing;
};

ProgramFile FindProgram(const std::wstring& name);

// The launcher's own folder, with a trailing backslash.
std::wstring LauncherFolder();

bool FileExists(const std::wstring& path);

}  // namespace skinrun
