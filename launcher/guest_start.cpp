#include "guest_start.h"

#include <cwchar>
#include <set>

#include "messages.h"

namespace skinrun {
namespace {

// The engine starts within microseconds of its load; anything near this means it never will.
constexpr DWORD kReadyDeadlineMs = 30000;
constexpr UINT kStoppedExitCode = 1;

std::wstring EndedDuringStart(HANDLE process) {
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    wchar_t hex[16];
    std::swprintf(hex, 16, L"%08lX", static_cast<unsigned long>(code));
    return L"the program ended during its start, before its windows could be skinned (exit code " +
           std::to_wstring(code) + L", 0x" + hex + L").";
}

bool IsSignalled(HANDLE handle) { return WaitForSingleObject(handle, 0) == WAIT_OBJECT_0; }

std::wstring InjectProblem(const InjectResult& result, HANDLE process) {
    switch (result.failed) {
    case InjectStep::Done:
        return {};
    case InjectStep::Prepare:
        return L"could not write into the program: " + SystemMessage(result.error) + L".";
    case InjectStep::Queue:
        return L"could not queue the skin's load: " + SystemMessage(result.error) + L".";
    case InjectStep::Ended:
        return EndedDuringStart(process);
    case InjectStep::NotLoaded:
        return IsSignalled(process) ? EndedDuringStart(process)
                                    : L"dorrikskin.dll could not be loaded into the program.";
    case InjectStep::NoStart:
        break;
    }
    return L"dorrikskin.dll does not belong to this skinrun.exe.";
}

std::wstring GuestProblem(GuestStatus status, DWORD error) {
    switch (status) {
    case GuestStatus::Ready:
        return {};
    case GuestStatus::HookRefused:
        return L"the skin could not follow the program's windows: " + SystemMessage(error) + L".";
    case GuestStatus::NoSettings:
        return L"dorrikskin.dll does not belong to this skinrun.exe.";
    case GuestStatus::AlreadyThere:
        return L"the skin was in the program already.";
    default:
        return L"the skin did not say whether it started.";
    }
}

// The system's desktop and services join the tree when the program is the first to need them.
bool IsSystemsOwn(DWORD processId) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process) return false;
    const bool service = IsSystemService(process);
    CloseHandle(process);
    return service;
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

std::wstring BringInTheSkin(Child& child, const std::wstring& dll, Look look) {
    HANDLE process = child.process.get();
    UniqueHandle ready(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!ready.get()) return L"could not prepare the skin's start: " + SystemMessage(GetLastError()) + L".";
    GuestOnTheWay guest;
    InjectResult result = guest.Queue(process, child.thread.get(), dll);
    if (result.failed != InjectStep::Done) return InjectProblem(result, process);
    if (ResumeThread(child.thread.get()) == static_cast<DWORD>(-1))
        return L"could not let the program run: " + SystemMessage(GetLastError()) + L".";
    result = guest.Start(look, ready.get());
    if (result.failed != InjectStep::Done) return InjectProblem(result, process);
    HANDLE handles[] = {ready.get(), process};
    switch (WaitForMultipleObjects(2, handles, FALSE, kReadyDeadlineMs)) {
    case WAIT_OBJECT_0:
        break;
    case WAIT_OBJECT_0 + 1:
        return EndedDuringStart(process);
    case WAIT_TIMEOUT:
        return L"the skin did not report that it started within 30 seconds.";
    default:
        return L"waiting for the program failed: " + SystemMessage(GetLastError()) + L".";
    }
    DWORD error = 0;
    const GuestStatus status = guest.Finish(error);
    return GuestProblem(status, error);
}

void JoinTree(ProcessTree& tree, HANDLE program) {
    tree.job = UniqueHandle(CreateJobObjectW(nullptr, nullptr));
    tree.port = UniqueHandle(CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1));
    if (!tree.job.get() || !tree.port.get()) return;
    // A program that starts a process outside its own job keeps being able to: that one is then
    // not waited for.
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_BREAKAWAY_OK;
    SetInformationJobObject(tree.job.get(), JobObjectExtendedLimitInformation, &limits, sizeof(limits));
    JOBOBJECT_ASSOCIATE_COMPLETION_PORT association{tree.job.get(), tree.port.get()};
    tree.joined = SetInformationJobObject(tree.job.get(), JobObjectAssociateCompletionPortInformation,
                                          &association, sizeof(association)) &&
                  AssignProcessToJobObject(tree.job.get(), program);
}

DWORD WaitForTree(ProcessTree& tree, HANDLE program) {
    std::set<DWORD> running{GetProcessId(program)};
    while (tree.joined && !running.empty()) {
        DWORD message = 0;
        ULONG_PTR key = 0;
        OVERLAPPED* detail = nullptr;
        if (!GetQueuedCompletionStatus(tree.port.get(), &message, &key, &detail, INFINITE) ||
            message == JOB_OBJECT_MSG_ACTIVE_PROCESS_ZERO)
            break;
        const auto processId = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(detail));
        if (message == JOB_OBJECT_MSG_NEW_PROCESS && !IsSystemsOwn(processId))
            running.insert(processId);
        else if (message == JOB_OBJECT_MSG_EXIT_PROCESS || message == JOB_OBJECT_MSG_ABNORMAL_EXIT_PROCESS)
            running.erase(processId);
    }
    return WaitForExitCode(program);
}

DWORD WaitForExitCode(HANDLE process) {
    WaitForSingleObject(process, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    return code;
}

}  // namespace skinrun
