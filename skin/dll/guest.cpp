// The engine as a guest in a program that skinrun started, and in every process that program
// starts. Whoever starts the process (skinrun, or the guest in its parent) brings the DLL in with
// inject.h and queues the guest's start on the new process's main thread with the settings'
// address; the start runs outside the loader lock, still before the program's own code. The DLL's
// own start-up does nothing, so a program that loads dorrikskin.dll itself starts no guest.
//
// From the start on, every thread that makes a window gets thread hooks that skin each of its
// top-level windows as it is activated, and a form shown without activation as it is shown. Every
// process the program starts is started suspended and gets the guest's load queued the same way
// before its creation returns; the rest is done from the thread pool once it runs (a process of
// the other architecture goes to the sibling skinrun.exe).
//
// The module is pinned as the guest starts: the hooks' procedures, the skin's window procedure
// and the process-creation relay stay mapped for the life of the process.
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "dorrik_skin.h"
#include "core/attach.h"
#include "core/entry_patch.h"
#include "guest_settings.h"
#include "inject.h"

namespace {

using skinrun::GuestSettings;
using skinrun::GuestStatus;
using skinrun::Look;

#ifdef _WIN64
constexpr const wchar_t* kSiblingPath = L"..\\skinrun.exe";
#else
constexpr const wchar_t* kSiblingPath = L"x64\\skinrun.exe";
#endif

Look look = Look::Whole;
HMODULE guestModule = nullptr;
std::wstring guestPath;  // this DLL's full path, loaded the same way into every child
std::atomic<bool> started{false};
thread_local bool threadFollowed = false;

DWORD SkinOptions() { return look == Look::Classic ? 0 : DORRIK_SKIN_ALL; }

// A window of the program is given to the engine whole: the window and everything in it, whatever
// the classes, in the whole look or (--classic) in the plain one.
LONG SkinForm(HWND form) {
    return AttachSkinEx(form, SkinOptions());
}

bool IsTopLevel(HWND window) {
    return (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) == 0;
}

// A form or dialog, by what it is made as: a top-level window with a caption, or of the dialog
// class. Menus, tool tips and other captionless pop-ups stay as activation leaves them.
bool IsForm(HWND window, LONG_PTR style) {
    if (style & WS_CHILD) return false;
    wchar_t name[8] = {};
    return (style & WS_CAPTION) == WS_CAPTION ||
           (GetClassNameW(window, name, 8) && CompareStringOrdinal(name, -1, L"#32770", -1, FALSE) == CSTR_EQUAL);
}

// A top-level window is complete (its controls made, its dialog initialised) by the time it is
// first activated or first paints, whichever comes first; windows made inside it later are the
// engine's to follow. A form is linked as it is made, to be skinned at its first paint when it is
// shown without activation (a worker thread's status window, say); a window not a form is skinned
// when it is activated.
LRESULT CALLBACK FollowForms(int code, WPARAM wParam, LPARAM lParam) {
    const LRESULT next = CallNextHookEx(nullptr, code, wParam, lParam);
    if (next != 0) return next;
    HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && IsTopLevel(window)) {
        SkinForm(window);
    } else if (code == HCBT_CREATEWND) {
        const auto* create = reinterpret_cast<const CBT_CREATEWNDW*>(lParam);
        if (create && create->lpcs && IsForm(window, create->lpcs->style))
            skin::LinkNewForm(window, SkinOptions());
    }
    return next;
}

bool FollowThisThread(DWORD& error) {
    if (threadFollowed) return true;
    const DWORD thread = GetCurrentThreadId();
    if (!SetWindowsHookExW(WH_CBT, FollowForms, guestModule, thread)) {
        error = GetLastError();
        return false;
    }
    threadFollowed = true;
    return true;
}

// In the context of the thread that makes a window of this process: its first window brings the
// thread its hooks.
void CALLBACK OnWindowMade(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD) {
    if (object != OBJID_WINDOW || child != CHILDID_SELF || !window) return;
    DWORD error = 0;
    FollowThisThread(error);
    // A thread's first form is made before the thread has its hooks.
    if (IsForm(window, GetWindowLongPtrW(window, GWL_STYLE))) skin::LinkNewForm(window, SkinOptions());
}

// Windows a static DLL made before the guest came: the shown ones now, the hidden ones when
// they are first activated, and this thread's hidden forms when they are shown.
BOOL CALLBACK SkinShownWindow(HWND window, LPARAM) {
    DWORD process = 0;
    const DWORD thread = GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() || !IsTopLevel(window)) return TRUE;
    if (IsWindowVisible(window))
        SkinForm(window);
    else if (thread == GetCurrentThreadId() && IsForm(window, GetWindowLongPtrW(window, GWL_STYLE)))
        skin::LinkNewForm(window, SkinOptions());
    return TRUE;
}

// --- The processes the program starts.

using CreateProcessInternal = BOOL(WINAPI*)(HANDLE, LPCWSTR, LPWSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES,
                                            BOOL, DWORD, LPVOID, LPCWSTR, LPSTARTUPINFOW, LPPROCESS_INFORMATION,
                                            PHANDLE);
CreateProcessInternal createProcess = nullptr;

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L"\\/") + 1); }

std::wstring FileNameOf(const std::wstring& path) { return path.substr(path.find_last_of(L"\\/") + 1); }

// A skinrun.exe started by the program brings the skin into its own child itself; the system's
// desktop and services would hold the DLL long after the program.
bool IsLauncherOrService(HANDLE process) {
    wchar_t image[MAX_PATH * 2] = {};
    DWORD size = MAX_PATH * 2;
    return QueryFullProcessImageNameW(process, 0, image, &size) &&
           (CompareStringOrdinal(FileNameOf(image).c_str(), -1, L"skinrun.exe", -1, TRUE) == CSTR_EQUAL ||
            skinrun::IsSystemServiceImage(image));
}

// The children on their way to the guest, for the program's exit to wait for those it let run.
SRWLOCK onTheWayLock = SRWLOCK_INIT;
std::vector<skinrun::GuestOnTheWay*> onTheWay;
HANDLE onTheWayChanged = CreateEventW(nullptr, FALSE, FALSE, nullptr);

// A program that ends right after starting a child (a stub that starts the real program, an
// uninstaller that restarts itself) waits this long at most for the children it let run to have
// the guest; a child still loading when it is gone runs without.
constexpr DWORD kExitPatienceMs = 5000;

void Leave(skinrun::GuestOnTheWay* guest) {
    AcquireSRWLockExclusive(&onTheWayLock);
    std::erase(onTheWay, guest);
    ReleaseSRWLockExclusive(&onTheWayLock);
    SetEvent(onTheWayChanged);
}

bool AnyLetRunOnTheWay() {
    bool any = false;
    AcquireSRWLockShared(&onTheWayLock);
    for (skinrun::GuestOnTheWay* guest : onTheWay) {
        if (WaitForSingleObject(guest->process(), 0) == WAIT_TIMEOUT && guest->RunsNow()) any = true;
    }
    ReleaseSRWLockShared(&onTheWayLock);
    return any;
}

using ExitUserProcess = void(NTAPI*)(LONG);
ExitUserProcess exitProcess = nullptr;

void NTAPI ExitAfterChildren(LONG status) {
    const DWORD start = GetTickCount();
    while (AnyLetRunOnTheWay() && GetTickCount() - start < kExitPatienceMs) WaitForSingleObject(onTheWayChanged, 20);
    exitProcess(status);
}

// The rest of a child's way to the guest, on a thread of the pool while the program goes on: once
// the program lets the child run, its load is waited for, the start queued and its report waited
// for. A child that ends or is never let run keeps the thread; one left to it runs without the skin.
DWORD WINAPI SeeGuestIn(void* parameter) {
    std::unique_ptr<skinrun::GuestOnTheWay> guest(static_cast<skinrun::GuestOnTheWay*>(parameter));
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (ready && guest->Start(look, ready).failed == skinrun::InjectStep::Done) {
        HANDLE handles[] = {ready, guest->process()};
        DWORD error = 0;
        if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0) guest->Finish(error);
    }
    if (ready) CloseHandle(ready);
    Leave(guest.get());
    return 0;
}

// The load and the wait for the start go onto the child's main thread, which stays suspended:
// nothing of it runs before its creator lets it.
void SendGuestTo(const PROCESS_INFORMATION& child) {
    auto guest = std::make_unique<skinrun::GuestOnTheWay>();
    if (guest->Queue(child.hProcess, child.hThread, guestPath).failed != skinrun::InjectStep::Done) return;
    AcquireSRWLockExclusive(&onTheWayLock);
    onTheWay.push_back(guest.get());
    ReleaseSRWLockExclusive(&onTheWayLock);
    if (QueueUserWorkItem(SeeGuestIn, guest.get(), WT_EXECUTELONGFUNCTION))
        guest.release();
    else
        Leave(guest.get());
}

// A sibling launcher at work on a child: this process's own handles to both, kept until the
// launcher ends, as the launcher takes the child's from here.
struct SiblingAtWork {
    HANDLE launcher = nullptr, process = nullptr, thread = nullptr;
    ~SiblingAtWork() {
        for (HANDLE handle : {launcher, process, thread}) {
            if (handle) CloseHandle(handle);
        }
    }
};

// A launcher that ended without taking the child over (it says so with anything but 0) has not
// let go of the suspension that was left to it.
DWORD WINAPI SeeSiblingThrough(void* parameter) {
    std::unique_ptr<SiblingAtWork> sibling(static_cast<SiblingAtWork*>(parameter));
    WaitForSingleObject(sibling->launcher, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(sibling->launcher, &code);
    if (code != 0) ResumeThread(sibling->thread);
    return 0;
}

// The sibling launcher takes the suspended child's handles out of this process (or opens the
// child by its ids when this process is gone), queues its own guest's load on the main thread and
// lets go of one suspension: the creation's, or, when the creator asked for the child suspended,
// one more held here, so that the child waits for the launcher even once its creator resumed it.
// Nothing here waits for the launcher, and no handle of the program is ever inheritable. False
// when it could not be started: the child is then as its creation left it.
bool HandToSibling(const PROCESS_INFORMATION& child, bool keepSuspended) {
    wchar_t full[MAX_PATH * 2] = {};
    const std::wstring path = FolderOf(guestPath) + kSiblingPath;
    if (!GetFullPathNameW(path.c_str(), MAX_PATH * 2, full, nullptr)) return false;
    auto sibling = std::make_unique<SiblingAtWork>();
    HANDLE self = GetCurrentProcess();
    if (!DuplicateHandle(self, child.hProcess, self, &sibling->process, 0, FALSE, DUPLICATE_SAME_ACCESS) ||
        !DuplicateHandle(self, child.hThread, self, &sibling->thread, 0, FALSE, DUPLICATE_SAME_ACCESS))
        return false;
    auto number = [](auto value) { return L" " + std::to_wstring(value); };
    std::wstring line = L"\"" + std::wstring(full) + L"\" --follow" + number(GetCurrentProcessId()) +
                        number(reinterpret_cast<ULONG_PTR>(sibling->process)) +
                        number(reinterpret_cast<ULONG_PTR>(sibling->thread)) + number(child.dwProcessId) +
                        number(child.dwThreadId) + (look == Look::Classic ? L" --classic" : L"");
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION launcher{};
    if (keepSuspended && SuspendThread(child.hThread) == static_cast<DWORD>(-1)) return false;
    if (!createProcess(nullptr, full, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                       &startup, &launcher, nullptr)) {
        if (keepSuspended) ResumeThread(child.hThread);
        return false;
    }
    CloseHandle(launcher.hThread);
    sibling->launcher = launcher.hProcess;
    if (QueueUserWorkItem(SeeSiblingThrough, sibling.get(), WT_EXECUTELONGFUNCTION)) sibling.release();
    return true;
}

// Brings the guest into a child that its creation left suspended; afterwards the child runs
// unless its creator asked for it suspended. One that cannot be reached runs as it is, and so do
// the system's desktop and services, which would hold the DLL long after the program, and a child
// of other rights than the program's.
void FollowChild(const PROCESS_INFORMATION& child, bool keepSuspended) {
    bool known = false;
    const bool otherArchitecture = skinrun::IsOfOtherArchitecture(child.hProcess, known);
    if (known && !IsLauncherOrService(child.hProcess) && skinrun::HasOwnIntegrityLevel(child.hProcess)) {
        if (otherArchitecture) {
            if (HandToSibling(child, keepSuspended)) return;
        } else {
            SendGuestTo(child);
        }
    }
    if (!keepSuspended) ResumeThread(child.hThread);
}

// Every way of starting a process (CreateProcessA/W, CreateProcessAsUser, ShellExecuteEx, WinExec)
// ends here; a debugger's child is left to the debugger, and a child with a token of its own (of
// another user, or of other rights) runs exactly as without the skin.
BOOL WINAPI CreateFollowedProcess(HANDLE token, LPCWSTR application, LPWSTR commandLine,
                                  LPSECURITY_ATTRIBUTES processAttributes, LPSECURITY_ATTRIBUTES threadAttributes,
                                  BOOL inheritHandles, DWORD flags, LPVOID environment, LPCWSTR folder,
                                  LPSTARTUPINFOW startup, LPPROCESS_INFORMATION info, PHANDLE newToken) {
    if (token || (flags & (DEBUG_PROCESS | DEBUG_ONLY_THIS_PROCESS)))
        return createProcess(token, application, commandLine, processAttributes, threadAttributes, inheritHandles,
                             flags, environment, folder, startup, info, newToken);
    if (!createProcess(token, application, commandLine, processAttributes, threadAttributes, inheritHandles,
                       flags | CREATE_SUSPENDED, environment, folder, startup, info, newToken))
        return FALSE;
    const DWORD error = GetLastError();
    FollowChild(*info, (flags & CREATE_SUSPENDED) != 0);
    SetLastError(error);
    return TRUE;
}

void FollowNewProcesses() {
    HMODULE kernelBase = GetModuleHandleW(L"kernelbase.dll");
    FARPROC entry = kernelBase ? GetProcAddress(kernelBase, "CreateProcessInternalW") : nullptr;
    if (!entry) entry = GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "CreateProcessInternalW");
    if (!entry) return;
    skin::RedirectEntry(reinterpret_cast<void*>(entry), reinterpret_cast<const void*>(&CreateFollowedProcess),
                        reinterpret_cast<void**>(&createProcess));
    // ExitProcess ends here, on Windows and under Wine.
    if (FARPROC exit = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlExitUserProcess"); exit && onTheWayChanged)
        skin::RedirectEntry(reinterpret_cast<void*>(exit), reinterpret_cast<const void*>(&ExitAfterChildren),
                            reinterpret_cast<void**>(&exitProcess));
}

GuestStatus Start(const GuestSettings& settings, DWORD& error) {
    if (settings.size != sizeof(GuestSettings)) return GuestStatus::NoSettings;
    if (started.exchange(true)) return GuestStatus::AlreadyThere;
    look = settings.look;
    wchar_t path[MAX_PATH * 2] = {};
    if (!GetModuleFileNameW(guestModule, path, MAX_PATH * 2)) {
        error = GetLastError();
        return GuestStatus::NoSettings;
    }
    guestPath = path;
    if (!FollowThisThread(error)) return GuestStatus::HookRefused;
    if (!SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, guestModule, OnWindowMade, GetCurrentProcessId(),
                         0, WINEVENT_INCONTEXT)) {
        error = GetLastError();
        return GuestStatus::HookRefused;
    }
    EnumWindows(SkinShownWindow, 0);
    FollowNewProcesses();
    return GuestStatus::Ready;
}

}  // namespace

// Queued as an APC on the new process's main thread, with the address of settings written into
// this process by whoever started it; the ready event in them was given to this process for this.
// Exported from the DLL only (not named in the .def, which lists the engine's own functions).
extern "C" __declspec(dllexport) void CALLBACK DorrikGuestStart(ULONG_PTR settingsAddress) {
    HMODULE pinned = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCWSTR>(&DorrikGuestStart), &pinned);
    guestModule = pinned;
    auto* settings = reinterpret_cast<GuestSettings*>(settingsAddress);
    DWORD error = 0;
    const GuestStatus status = Start(*settings, error);
    settings->error = error;
    settings->status = status;
    if (HANDLE ready = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(settings->readyEvent))) {
        SetEvent(ready);
        CloseHandle(ready);
    }
}
