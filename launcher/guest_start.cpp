#include "guest_start.h"

#include <psapi.h>

#include <cwchar>
#include <vector>

#include "messages.h"

namespace skinrun {
namespace {

// The engine starts within microseconds of its load; anything near this means it never will.
constexpr DWORD kReadyDeadlineMs = 30000;
constexpr UINT kStoppedExitCode = 1;

struct MappedSettings {
    GuestSettings* view = nullptr;
    ~MappedSettings() {
        if (view) UnmapViewOfFile(view);
    }
};

struct RemoteMemory {
    HANDLE process = nullptr;
    void* address = nullptr;
    ~RemoteMemory() {
        if (address) VirtualFreeEx(process, address, 0, MEM_RELEASE);
    }
};

// kernel32 sits at the same address in every process of one architecture, so its functions can
// be queued as APCs in the child: each takes one pointer-sized argument, as an APC does.
PAPCFUNC Kernel32Apc(const char* name) {
    return reinterpret_cast<PAPCFUNC>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name)));
}

HANDLE DuplicateInto(HANDLE process, HANDLE handle, DWORD access) {
    HANDLE duplicate = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), handle, process, &duplicate, access, FALSE, 0)) return nullptr;
    return duplicate;
}

// A module handle is pointer-sized and a thread's exit code is not, so the load is confirmed in
// the child's module list rather than by LoadLibraryW's result.
bool HasModule(HANDLE process, const std::wstring& path) {
    std::vector<HMODULE> modules(256);
    for (;;) {
        DWORD needed = 0;
        const DWORD size = static_cast<DWORD>(modules.size() * sizeof(HMODULE));
        if (!EnumProcessModulesEx(process, modules.data(), size, &needed, LIST_MODULES_DEFAULT)) return false;
        if (needed <= size) {
            modules.resize(needed / sizeof(HMODULE));
            break;
        }
        modules.resize(needed / sizeof(HMODULE));
    }
    for (HMODULE module : modules) {
        wchar_t name[MAX_PATH * 2] = {};
        if (!GetModuleFileNameExW(process, module, name, MAX_PATH * 2)) continue;
        if (CompareStringOrdinal(name, -1, path.c_str(), -1, TRUE) == CSTR_EQUAL) return true;
    }
    return false;
}

std::wstring EndedDuringStart(HANDLE process) {
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    wchar_t hex[16];
    std::swprintf(hex, 16, L"%08lX", static_cast<unsigned long>(code));
    return L"the program ended during its start, before its windows could be skinned (exit code " +
           std::to_wstring(code) + L", 0x" + hex + L").";
}

bool IsSignalled(HANDLE handle) { return WaitForSingleObject(handle, 0) == WAIT_OBJECT_0; }

// Waits for `event` or the end of the process. Empty when the event came.
std::wstring WaitFor(HANDLE event, HANDLE process, DWORD timeoutMs, const wchar_t* late) {
    HANDLE handles[] = {event, process};
    switch (WaitForMultipleObjects(2, handles, FALSE, timeoutMs)) {
    case WAIT_OBJECT_0:
        return {};
    case WAIT_OBJECT_0 + 1:
        return EndedDuringStart(process);
    case WAIT_TIMEOUT:
        return late;
    default:
        return L"waiting for the program failed: " + SystemMessage(GetLastError()) + L".";
    }
}

std::wstring GuestProblem(const GuestSettings& settings) {
    switch (settings.status) {
    case GuestStatus::Ready:
        return {};
    case GuestStatus::HookRefused:
        return L"the skin could not follow the program's windows: " + SystemMessage(settings.error) + L".";
    case GuestStatus::NoSettings:
        return L"dorrikskin.dll does not belong to this skinrun.exe.";
    default:
        return L"the skin did not say whether it started.";
    }
}

}  // namespace

Child::~Child() {
    if (!letGo && process.get()) TerminateProcess(process.get(), kStoppedExitCode);
}

DWORD StartProcess(const std::wstring& application, const std::wstring& commandLine, DWORD flags,
                   Child& child) {
    STARTUPINFOW own{};
    own.cb = sizeof(own);
    GetStartupInfoW(&own);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (own.dwFlags & STARTF_USESHOWWINDOW) {
        startup.dwFlags |= STARTF_USESHOWWINDOW;
        startup.wShowWindow = own.wShowWindow;
    }
    // Output redirected for skinrun goes where the program's own would have gone.
    BOOL inheritHandles = FALSE;
    if (own.dwFlags & STARTF_USESTDHANDLES) {
        startup.dwFlags |= STARTF_USESTDHANDLES;
        startup.hStdInput = own.hStdInput;
        startup.hStdOutput = own.hStdOutput;
        startup.hStdError = own.hStdError;
        inheritHandles = TRUE;
    }
    std::wstring line = commandLine;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, inheritHandles, flags,
                        nullptr, nullptr, &startup, &info))
        return GetLastError();
    child.process = UniqueHandle(info.hProcess);
    child.thread = UniqueHandle(info.hThread);
    child.processId = info.dwProcessId;
    return 0;
}

bool IsOfOtherArchitecture(HANDLE process, bool& known) {
    BOOL childUnderWow64 = FALSE;
    known = IsWow64Process(process, &childUnderWow64) != FALSE;
#ifdef _WIN64
    return known && childUnderWow64;
#else
    // A 32-bit launcher under WOW64 is on 64-bit Windows, where a child outside WOW64 is 64-bit.
    BOOL selfUnderWow64 = FALSE;
    known = known && IsWow64Process(GetCurrentProcess(), &selfUnderWow64);
    return known && selfUnderWow64 && !childUnderWow64;
#endif
}

std::wstring BringInTheSkin(Child& child, const std::wstring& dll, Look look) {
    HANDLE process = child.process.get();
    // The settings go to this child only: the mapping's name carries its process id.
    UniqueHandle mapping(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                            sizeof(GuestSettings),
                                            GuestSettingsName(child.processId).c_str()));
    if (!mapping.get() || GetLastError() == ERROR_ALREADY_EXISTS)
        return L"could not prepare the skin's settings: " + SystemMessage(GetLastError()) + L".";
    MappedSettings settings;
    settings.view = static_cast<GuestSettings*>(
        MapViewOfFile(mapping.get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(GuestSettings)));
    UniqueHandle ready(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    UniqueHandle loaded(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!settings.view || !ready.get() || !loaded.get())
        return L"could not prepare the skin's settings: " + SystemMessage(GetLastError()) + L".";
    HANDLE readyInChild = DuplicateInto(process, ready.get(), EVENT_MODIFY_STATE);
    HANDLE loadedInChild = DuplicateInto(process, loaded.get(), EVENT_MODIFY_STATE);
    if (!readyInChild || !loadedInChild)
        return L"could not hand the program its events: " + SystemMessage(GetLastError()) + L".";
    *settings.view = GuestSettings{sizeof(GuestSettings), look,
                                   static_cast<std::uint64_t>(reinterpret_cast<ULONG_PTR>(readyInChild)),
                                   GuestStatus::Pending, 0};

    const SIZE_T pathBytes = (dll.size() + 1) * sizeof(wchar_t);
    RemoteMemory remotePath{process, VirtualAllocEx(process, nullptr, pathBytes, MEM_COMMIT | MEM_RESERVE,
                                                    PAGE_READWRITE)};
    if (!remotePath.address || !WriteProcessMemory(process, remotePath.address, dll.c_str(), pathBytes, nullptr))
        return L"could not write into the program: " + SystemMessage(GetLastError()) + L".";

    // In this order on the main thread, once it runs: the load (whose DllMain queues the
    // engine's start behind these), the signal that the load has returned, and its handle closed.
    HANDLE thread = child.thread.get();
    const ULONG_PTR loadedArgument = reinterpret_cast<ULONG_PTR>(loadedInChild);
    if (!QueueUserAPC(Kernel32Apc("LoadLibraryW"), thread, reinterpret_cast<ULONG_PTR>(remotePath.address)) ||
        !QueueUserAPC(Kernel32Apc("SetEvent"), thread, loadedArgument) ||
        !QueueUserAPC(Kernel32Apc("CloseHandle"), thread, loadedArgument))
        return L"could not queue the skin's load: " + SystemMessage(GetLastError()) + L".";
    if (ResumeThread(thread) == static_cast<DWORD>(-1))
        return L"could not resume the program: " + SystemMessage(GetLastError()) + L".";

    // No deadline here: until the load returns, the program's static DLLs are starting, as
    // they would without the skin.
    std::wstring problem = WaitFor(loaded.get(), process, INFINITE, L"");
    if (!problem.empty()) return problem;
    // The load has returned and the engine's start is queued right behind it. Until the start
    // reports, the module list tells a load that failed from a start still to come; it is only
    // looked at while the program runs (a program that has ended lists nothing).
    if (!IsSignalled(ready.get()) && !HasModule(process, dll) && !IsSignalled(ready.get()))
        return IsSignalled(process) ? EndedDuringStart(process)
                                    : L"dorrikskin.dll could not be loaded into the program.";
    problem = WaitFor(ready.get(), process, kReadyDeadlineMs,
                      L"the skin did not report that it started within 30 seconds.");
    if (!problem.empty()) return problem;
    return GuestProblem(*settings.view);
}

DWORD WaitForExitCode(HANDLE process) {
    WaitForSingleObject(process, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    return code;
}

}  // namespace skinrun
