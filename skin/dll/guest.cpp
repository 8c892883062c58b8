// The engine as a guest in a program that skinrun started, and in every process that program
// starts. Whoever starts the process (skinrun, or the guest in its parent) brings the DLL in with
// inject.h and queues the guest's start on the new process's main thread with the settings'
// address; the start runs outside the loader lock, still before the program's own code. The DLL's
// own start-up does nothing, so a program that loads dorrikskin.dll itself starts no guest.
//
// From the start on, every thread that makes a window gets thread hooks that skin each of its
// top-level windows as it is activated, and a form shown without activation as it is shown. Every process the program starts is started suspended and gets the guest the same
// way before it runs (a process of the other architecture through the sibling skinrun.exe).
//
// The module is pinned as the guest starts: the hooks' procedures, the skin's window procedure
// and the process-creation relay stay mapped for the life of the process.
#include <windows.h>

#include <atomic>
#include <string>

#include "dorrik_skin.h"
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

// A sibling launcher that has not handed a child back within this is not going to.
constexpr DWORD kSiblingDeadlineMs = 60000;

Look look = Look::Whole;
HMODULE guestModule = nullptr;
std::wstring guestPath;  // this DLL's full path, loaded the same way into every child
std::atomic<bool> started{false};
thread_local bool threadFollowed = false;

// The one place a window of the program is given to the engine: the window and everything in it,
// whatever the classes, in the whole look or (--classic) in the plain one.
LONG SkinForm(HWND form) {
    return AttachSkinEx(form, look == Look::Classic ? 0 : DORRIK_SKIN_ALL);
}

bool IsTopLevel(HWND window) {
    return (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) == 0;
}

// A top-level window is complete (its controls made, its dialog initialised) by the time it is
// first activated; windows made inside it later are the engine's to follow.
LRESULT CALLBACK SkinAsActivated(int code, WPARAM wParam, LPARAM lParam) {
    const LRESULT next = CallNextHookEx(nullptr, code, wParam, lParam);
    if (code == HCBT_ACTIVATE && next == 0) {
        HWND window = reinterpret_cast<HWND>(wParam);
        if (IsTopLevel(window)) SkinForm(window);
    }
    return next;
}

// A form or dialog shown without being activated (a worker thread's status window, say): skinned
// as it is shown, before its first paint. Menus, tool tips and other captionless pop-ups stay as
// activation leaves them.
bool IsFormToShow(HWND window) {
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    if (style & WS_CHILD) return false;
    wchar_t name[8] = {};
    return ((style & WS_CAPTION) == WS_CAPTION ||
            (GetClassNameW(window, name, 8) && CompareStringOrdinal(name, -1, L"#32770", -1, FALSE) == CSTR_EQUAL)) &&
           !GetPropA(window, "PROCADDR");
}

// Wine sends no show event, so the show is seen in the message ShowWindow sends first.
LRESULT CALLBACK SkinAsShown(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == WM_SHOWWINDOW && sent->wParam && !sent->lParam &&
        IsFormToShow(sent->hwnd))
        SkinForm(sent->hwnd);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool FollowThisThread(DWORD& error) {
    if (threadFollowed) return true;
    const DWORD thread = GetCurrentThreadId();
    if (!SetWindowsHookExW(WH_CBT, SkinAsActivated, guestModule, thread) ||
        !SetWindowsHookExW(WH_CALLWNDPROC, SkinAsShown, guestModule, thread)) {
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
}

// Windows a static DLL made before the guest came: the shown ones now, the hidden ones when
// they are first activated.
BOOL CALLBACK SkinShownWindow(HWND window, LPARAM) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) && IsTopLevel(window)) SkinForm(window);
    return TRUE;
}

// --- The processes the program starts.

using CreateProcessInternal = BOOL(WINAPI*)(HANDLE, LPCWSTR, LPWSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES,
                                            BOOL, DWORD, LPVOID, LPCWSTR, LPSTARTUPINFOW, LPPROCESS_INFORMATION,
                                            PHANDLE);
CreateProcessInternal createProcess = nullptr;

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L"\\/") + 1); }

std::wstring FileNameOf(const std::wstring& path) { return path.substr(path.find_last_of(L"\\/") + 1); }

// A skinrun.exe started by the program brings the skin into its own child itself.
bool IsLauncher(HANDLE process) {
    wchar_t image[MAX_PATH * 2] = {};
    DWORD size = MAX_PATH * 2;
    return QueryFullProcessImageNameW(process, 0, image, &size) &&
           CompareStringOrdinal(FileNameOf(image).c_str(), -1, L"skinrun.exe", -1, TRUE) == CSTR_EQUAL;
}

// The sibling launcher takes the suspended child's handles (inherited, given on its command line),
// brings its own guest in and leaves the child as its creator asked. False when it could not be
// started: the child is then still suspended.
bool HandToSibling(const PROCESS_INFORMATION& child, bool keepSuspended) {
    wchar_t full[MAX_PATH * 2] = {};
    const std::wstring sibling = FolderOf(guestPath) + kSiblingPath;
    if (!GetFullPathNameW(sibling.c_str(), MAX_PATH * 2, full, nullptr)) return false;
    HANDLE self = GetCurrentProcess();
    HANDLE handles[2] = {};
    if (!DuplicateHandle(self, child.hProcess, self, &handles[0], 0, TRUE, DUPLICATE_SAME_ACCESS)) return false;
    if (!DuplicateHandle(self, child.hThread, self, &handles[1], 0, TRUE, DUPLICATE_SAME_ACCESS)) {
        CloseHandle(handles[0]);
        return false;
    }
    std::wstring line = L"\"" + std::wstring(full) + L"\" --follow " +
                        std::to_wstring(reinterpret_cast<ULONG_PTR>(handles[0])) + L" " +
                        std::to_wstring(reinterpret_cast<ULONG_PTR>(handles[1])) +
                        (look == Look::Classic ? L" --classic" : L"") + (keepSuspended ? L" --suspended" : L"");
    // Only these two handles go to the launcher, where the system can say so.
    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof(startup);
    SIZE_T listSize = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &listSize);
    std::string list(listSize, '\0');
    DWORD flags = CREATE_NO_WINDOW;
    startup.lpAttributeList = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(list.data());
    if (InitializeProcThreadAttributeList(startup.lpAttributeList, 1, 0, &listSize) &&
        UpdateProcThreadAttribute(startup.lpAttributeList, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles,
                                  sizeof(handles), nullptr, nullptr))
        flags |= EXTENDED_STARTUPINFO_PRESENT;
    else
        startup.StartupInfo.cb = sizeof(STARTUPINFOW);
    PROCESS_INFORMATION launcher{};
    const BOOL ran = createProcess(nullptr, full, line.data(), nullptr, nullptr, TRUE, flags, nullptr, nullptr,
                                   &startup.StartupInfo, &launcher, nullptr);
    if (flags & EXTENDED_STARTUPINFO_PRESENT) DeleteProcThreadAttributeList(startup.lpAttributeList);
    CloseHandle(handles[0]);
    CloseHandle(handles[1]);
    if (!ran) return false;
    CloseHandle(launcher.hThread);
    const bool handled = WaitForSingleObject(launcher.hProcess, kSiblingDeadlineMs) == WAIT_OBJECT_0;
    CloseHandle(launcher.hProcess);
    return handled;
}

// Brings the guest into a child that its creation left suspended; afterwards the child runs
// unless its creator asked for it suspended. One that cannot be reached runs as it is, and so do
// the system's desktop and services, which would hold the DLL long after the program.
void FollowChild(const PROCESS_INFORMATION& child, bool keepSuspended) {
    bool known = false;
    const bool otherArchitecture = skinrun::IsOfOtherArchitecture(child.hProcess, known);
    bool held = true;
    if (known && !IsLauncher(child.hProcess) && !skinrun::IsSystemService(child.hProcess)) {
        if (otherArchitecture)
            held = !HandToSibling(child, keepSuspended);
        else
            held = skinrun::BringInGuest(child.hProcess, child.hThread, guestPath, look, nullptr, keepSuspended).held;
    }
    if (held && !keepSuspended) ResumeThread(child.hThread);
}

// Every way of starting a process (CreateProcessA/W, CreateProcessAsUser, ShellExecuteEx, WinExec)
// ends here; a debugger's child is left to the debugger.
BOOL WINAPI CreateFollowedProcess(HANDLE token, LPCWSTR application, LPWSTR commandLine,
                                  LPSECURITY_ATTRIBUTES processAttributes, LPSECURITY_ATTRIBUTES threadAttributes,
                                  BOOL inheritHandles, DWORD flags, LPVOID environment, LPCWSTR folder,
                                  LPSTARTUPINFOW startup, LPPROCESS_INFORMATION info, PHANDLE newToken) {
    if (flags & (DEBUG_PROCESS | DEBUG_ONLY_THIS_PROCESS))
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
