// skinrun [--classic] <program> [arguments...]
//
// Starts a windowed program with the skin on every window of every thread of it and of every process
// it starts, and ends when the last of them has ended, with the program's exit code. The program
// starts suspended; the engine (dorrikskin.dll from beside this launcher, by its full path) is
// loaded on its main thread before the program's own code runs, and brings itself into the
// program's children the same way.
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

// The launcher's own failures, in codes programs seldom return (as other launchers do: an
// installer that was cancelled returns 1 or 2). Anything else is the program's exit code.
enum ExitCode : int {
    kExitFailed = 125,          // the command line, a missing part, or the program could not be skinned
    kExitCannotRun = 126,       // not a Windows program (a document, a DLL, a driver)
    kExitNotFound = 127,        // no such program
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
    L"Starts a program with Dorrik's skin on its windows and on those of every program it\r\n"
    L"starts, and ends when the last of them has ended, with the program's exit code. --classic\r\n"
    L"gives the classic look instead of the whole one.";

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
        return Fail(kExitFailed, Quoted(program) + L" is a " + kOtherArchitecture +
                                          L" program and needs the " + kOtherArchitecture +
                                          L" skinrun.exe, which is missing: " + sibling);
    // So that the sibling, windowed too, can find the console it was started from.
    if (!GetConsoleWindow()) AttachConsole(ATTACH_PARENT_PROCESS);
    Child child;
    const std::wstring line =
        Quoted(sibling) + LookOption(request.look) + L" " + ProgramCommandLine(program, request.arguments);
    if (const DWORD error = StartProcess(sibling, line, 0, child))
        return Fail(kExitFailed, L"could not start " + sibling + L": " + SystemMessage(error) + L".");
    child.letGo = true;
    return static_cast<int>(WaitForExitCode(child.process.get()));
}

int StartFailure(DWORD error, const std::wstring& program) {
    if (error == ERROR_BAD_EXE_FORMAT || error == ERROR_EXE_MACHINE_TYPE_MISMATCH)
        return Fail(kExitCannotRun, Quoted(program) + L" is not a Windows program this computer runs.");
    if (error == kElevationRequired)
        return Fail(kExitFailed, Quoted(program) +
                                          L" asks to run as administrator; skinrun starts nothing elevated.");
    return Fail(kExitFailed, L"could not start " + Quoted(program) + L": " + SystemMessage(error) + L".");
}

// The child's handles, taken out of the parent that handed it over; from the child's ids when the
// parent has ended meanwhile (its ids stay the child's while the child lives).
bool TakeChild(const Request& request, UniqueHandle& process, UniqueHandle& thread) {
    HANDLE self = GetCurrentProcess();
    UniqueHandle parent(OpenProcess(PROCESS_DUP_HANDLE, FALSE, request.parentId));
    HANDLE taken[2] = {};
    if (parent.get() &&
        DuplicateHandle(parent.get(), reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(request.followProcess)), self,
                        &taken[0], 0, FALSE, DUPLICATE_SAME_ACCESS) &&
        GetProcessId(taken[0]) == request.childProcessId &&
        DuplicateHandle(parent.get(), reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(request.followThread)), self,
                        &taken[1], 0, FALSE, DUPLICATE_SAME_ACCESS) &&
        GetThreadId(taken[1]) == request.childThreadId) {
        process = UniqueHandle(taken[0]);
        thread = UniqueHandle(taken[1]);
        return true;
    }
    for (HANDLE handle : taken) {
        if (handle) CloseHandle(handle);
    }
    process = UniqueHandle(OpenProcess(PROCESS_ALL_ACCESS, FALSE, request.childProcessId));
    thread = UniqueHandle(OpenThread(THREAD_ALL_ACCESS, FALSE, request.childThreadId));
    return process.get() && thread.get() && GetProcessIdOfThread(thread.get()) == request.childProcessId;
}

// A child that the guest in a program of the other architecture started suspended and handed
// over: the skin's load goes onto its main thread, and the child is left as its creator asked.
// Ends with 0 once it has let go of the suspension the parent left to it, with anything else when
// it could not (the parent then does). Nothing is said: the program that started it knows nothing
// of this launcher.
int Follow(const Request& request) {
    UniqueHandle process, thread;
    if (!TakeChild(request, process, thread)) return kExitFailed;
    GuestOnTheWay guest;
    guest.Queue(process.get(), thread.get(), LauncherFolder() + L"dorrikskin.dll");
    // The suspension the parent left to this launcher: the creation's, or one of its own when the
    // creator asked for the child suspended.
    ResumeThread(thread.get());
    UniqueHandle ready(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (ready.get() && guest.Start(request.look, ready.get()).failed == InjectStep::Done) {
        HANDLE handles[] = {ready.get(), process.get()};
        DWORD error = 0;
        if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0) guest.Finish(error);
    }
    return 0;
}

int Run() {
    const Request request = ParseCommandLine(GetCommandLineW());
    if (request.follow && request.error.empty()) return Follow(request);
    if (request.help) return Fail(0, kUsage);
    if (!request.error.empty()) return Fail(kExitFailed, request.error + L"\r\n" + kUsage);

    const ProgramFile program = FindProgram(request.program);
    switch (program.kind) {
    case ProgramKind::Missing:
        return Fail(kExitNotFound, L"cannot find the program " + Quoted(request.program) + L".");
    case ProgramKind::NotAProgram:
        return Fail(kExitCannotRun, Quoted(program.path) + L" is not a Windows program.");
    case ProgramKind::Console:
        // Script hosts, runtimes and build tools show windows too. Its console is the one skinrun
        // was started from, where there is one, and a console of its own otherwise, as when it is
        // started from any windowed program; the console itself is not the program's to skin.
        if (!GetConsoleWindow()) AttachConsole(ATTACH_PARENT_PROCESS);
        break;
    case ProgramKind::Windowed:
        break;
    }

    Child child;
    if (const DWORD error = StartProcess(program.path, ProgramCommandLine(program.path, request.arguments),
                                         CREATE_SUSPENDED, child))
        return StartFailure(error, program.path);
    ProcessTree tree;
    bool known = false;
    const bool otherArchitecture = IsOfOtherArchitecture(child.process.get(), known);
    if (!known)
        return Fail(kExitFailed, L"cannot tell the architecture of " + Quoted(program.path) + L": " +
                                          SystemMessage(GetLastError()) + L".");
    if (otherArchitecture) {
        // It never ran: ended here, started again by the sibling.
        TerminateProcess(child.process.get(), 0);
        WaitForSingleObject(child.process.get(), INFINITE);
        child.letGo = true;
        return HandOver(request, program.path);
    }

    const std::wstring dll = LauncherFolder() + L"dorrikskin.dll";
    if (!FileExists(dll)) return Fail(kExitFailed, L"dorrikskin.dll is missing beside skinrun.exe: " + dll);
    // Before it runs, so that every process it starts is in the tree from its first instruction.
    JoinTree(tree, child.process.get());
    const std::wstring problem = BringInTheSkin(child, dll, request.look);
    if (!problem.empty())
        return Fail(kExitFailed, Quoted(program.path) + L" was stopped: " + problem);
    child.letGo = true;
    return static_cast<int>(WaitForTree(tree, child.process.get()));
}

}  // namespace
}  // namespace skinrun

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) { return skinrun::Run(); }
