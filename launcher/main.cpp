// skinrun [--classic] <program> [arguments...]
//
// Starts a windowed program with the skin on every window of its main thread and ends with the
// program's exit code. The program starts suspended; the engine (dorrikskin.dll from beside this
// launcher, by its full path) is loaded on its main thread before the program's own code runs.
// A program of the other architecture is handed to the sibling launcher: on 64-bit Windows the
// 32-bit skinrun.exe has its 64-bit sibling in x64\, and that one its sibling in the folder above.
#include <windows.h>

#include <string>

#include "command_line.h"
#include "guest_start.h"
#include "messages.h"
#include "program_file.h"

namespace skinrun {
namespace {

// The launcher's own failures. Anything else is the program's exit code.
enum ExitCode : int {
    kExitStartFailed = 1,       // could not start the program with the skin
    kExitUsage = 2,             // the command line
    kExitNotFound = 3,          // no such program
    kExitNotWindowsProgram = 4, // not a Windows program (a document, a DLL, a driver)
    kExitConsoleProgram = 5,    // a console program: refused
    kExitMissingPart = 6,       // the sibling launcher or dorrikskin.dll is not where it belongs
};

#ifdef _WIN64
constexpr const wchar_t* kOtherArchitecture = L"32-bit";
constexpr const wchar_t* kSiblingPath = L"..\\skinrun.exe";
#else
constexpr const wchar_t* kOtherArchitecture = L"64-bit";
constexpr const wchar_t* kSiblingPath = L"x64\\skinrun.exe";
#endif

// ERROR_ELEVATION_REQUIRED, which not every SDK's headers name.
constexpr DWORD kElevationRequired = 740;

const wchar_t kUsage[] =
    L"usage: skinrun [--classic] <program> [arguments...]\r\n"
    L"Starts a windowed program with Dorrik's skin on the windows of its main thread and ends with\r\n"
    L"the program's exit code. --classic gives the classic look instead of the whole one.";

int Fail(int code, const std::wstring& text) {
    Tell(text);
    return code;
}

std::wstring FullPath(const std::wstring& path) {
    wchar_t full[MAX_PATH * 2] = {};
    const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH * 2, full, nullptr);
    return length && length < MAX_PATH * 2 ? std::wstring(full) : path;
}

std::wstring LookOption(Look look) { return look == Look::Classic ? L" --classic" : L""; }

std::wstring ProgramCommandLine(const std::wstring& program, const std::wstring& arguments) {
    return arguments.empty() ? Quoted(program) : Quoted(program) + L" " + arguments;
}

// The sibling starts the program, skins it and waits for it; its exit code is the answer.
int HandOver(const Request& request, const std::wstring& program) {
    const std::wstring sibling = FullPath(LauncherFolder() + kSiblingPath);
    if (!FileExists(sibling))
        return Fail(kExitMissingPart, Quoted(program) + L" is a " + kOtherArchitecture +
                                          L" program and needs the " + kOtherArchitecture +
                                          L" skinrun.exe, which is missing: " + sibling);
    // So that the sibling, windowed too, can find the console it was started from.
    if (!GetConsoleWindow()) AttachConsole(ATTACH_PARENT_PROCESS);
    Child child;
    const std::wstring line =
        Quoted(sibling) + LookOption(request.look) + L" " + ProgramCommandLine(program, request.arguments);
    if (const DWORD error = StartProcess(sibling, line, 0, child))
        return Fail(kExitStartFailed, L"could not start " + sibling + L": " + SystemMessage(error) + L".");
    child.letGo = true;
    return static_cast<int>(WaitForExitCode(child.process.get()));
}

int StartFailure(DWORD error, const std::wstring& program) {
    if (error == ERROR_BAD_EXE_FORMAT || error == ERROR_EXE_MACHINE_TYPE_MISMATCH)
        return Fail(kExitNotWindowsProgram, Quoted(program) + L" is not a Windows program this computer runs.");
    if (error == kElevationRequired)
        return Fail(kExitStartFailed, Quoted(program) +
                                          L" asks to run as administrator; skinrun starts nothing elevated.");
    return Fail(kExitStartFailed, L"could not start " + Quoted(program) + L": " + SystemMessage(error) + L".");
}

int Run() {
    const Request request = ParseCommandLine(GetCommandLineW());
    if (request.help) return Fail(0, kUsage);
    if (!request.error.empty()) return Fail(kExitUsage, request.error + L"\r\n" + kUsage);

    const ProgramFile program = FindProgram(request.program);
    switch (program.kind) {
    case ProgramKind::Missing:
        return Fail(kExitNotFound, L"cannot find the program " + Quoted(request.program) + L".");
    case ProgramKind::NotAProgram:
        return Fail(kExitNotWindowsProgram, Quoted(program.path) + L" is not a Windows program.");
    case ProgramKind::Console:
        // Its work is text in a console, which has nothing the skin paints; started from here
        // it would also get a console window of its own. Run it directly instead.
        return Fail(kExitConsoleProgram, Quoted(program.path) +
                                             L" is a console program: it has no windows to skin. "
                                             L"Run it directly.");
    case ProgramKind::Windowed:
        break;
    }

    Child child;
    if (const DWORD error = StartProcess(program.path, ProgramCommandLine(program.path, request.arguments),
                                         CREATE_SUSPENDED, child))
        return StartFailure(error, program.path);
    bool known = false;
    const bool otherArchitecture = IsOfOtherArchitecture(child.process.get(), known);
    if (!known)
        return Fail(kExitStartFailed, L"cannot tell the architecture of " + Quoted(program.path) + L": " +
                                          SystemMessage(GetLastError()) + L".");
    if (otherArchitecture) {
        // It never ran: ended here, started again by the sibling.
        TerminateProcess(child.process.get(), 0);
        WaitForSingleObject(child.process.get(), INFINITE);
        child.letGo = true;
        return HandOver(request, program.path);
    }

    const std::wstring dll = LauncherFolder() + L"dorrikskin.dll";
    if (!FileExists(dll)) return Fail(kExitMissingPart, L"dorrikskin.dll is missing beside skinrun.exe: " + dll);
    const std::wstring problem = BringInTheSkin(child, dll, request.look);
    if (!problem.empty())
        return Fail(kExitStartFailed, Quoted(program.path) + L" was stopped: " + problem);
    child.letGo = true;
    return static_cast<int>(WaitForExitCode(child.process.get()));
}

}  // namespace
}  // namespace skinrun

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) { return skinrun::Run(); }
