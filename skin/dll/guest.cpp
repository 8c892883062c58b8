// The engine as a guest in a program that skinrun started. The launcher queues LoadLibraryW of
// this DLL on the program's main thread while the program is still suspended: the load runs
// after the program's static DLLs have started and before its own start-up code. DllMain only
// notices that the launcher left settings for this very process and queues the guest's start on
// the same thread; the start runs as the next APC, outside the loader lock, still before the
// program's own code. From there a thread hook on the main thread skins each top-level window of
// that thread as it is activated.
//
// The launcher's LoadLibraryW reference is never given back, so the hook's procedure and the
// skin's window procedure stay mapped for the life of the process.
#include <windows.h>

#include <utility>

#include "dorrik_skin.h"
#include "guest_settings.h"

namespace {

using skinrun::GuestSettings;
using skinrun::GuestStatus;
using skinrun::Look;

// The launcher's settings for this process, opened in DllMain, read by the start.
HANDLE launchSettings = nullptr;
Look look = Look::Whole;

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

// Windows a static DLL made before the guest came: the shown ones now, the hidden ones when
// they are first activated.
BOOL CALLBACK SkinShownWindow(HWND window, LPARAM) {
    if (IsWindowVisible(window) && IsTopLevel(window)) SkinForm(window);
    return TRUE;
}

GuestStatus StartOnThisThread(DWORD& error) {
    if (!SetWindowsHookExW(WH_CBT, SkinAsActivated, nullptr, GetCurrentThreadId())) {
        error = GetLastError();
        return GuestStatus::HookRefused;
    }
    EnumThreadWindows(GetCurrentThreadId(), SkinShownWindow, 0);
    return GuestStatus::Ready;
}

// Runs on the program's main thread as an APC, right after the LoadLibraryW that brought the DLL.
void CALLBACK StartGuest(ULONG_PTR) {
    HANDLE mapping = std::exchange(launchSettings, nullptr);
    auto* settings = static_cast<GuestSettings*>(
        MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(GuestSettings)));
    CloseHandle(mapping);
    // Without the settings there is no ready event to set: the launcher's deadline ends it.
    if (!settings) return;
    HANDLE ready = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(settings->readyEvent));
    DWORD error = 0;
    GuestStatus status = GuestStatus::NoSettings;
    if (settings->size == sizeof(GuestSettings)) {
        look = settings->look;
        status = StartOnThisThread(error);
    }
    settings->error = error;
    settings->status = status;
    SetEvent(ready);
    CloseHandle(ready);
    UnmapViewOfFile(settings);
}

}  // namespace

// Under the loader lock: one look for the launcher's settings and one APC, nothing else.
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    launchSettings = OpenFileMappingW(FILE_MAP_READ | FILE_MAP_WRITE, FALSE,
                                      skinrun::GuestSettingsName(GetCurrentProcessId()).c_str());
    if (launchSettings && !QueueUserAPC(StartGuest, GetCurrentThread(), 0))
        CloseHandle(std::exchange(launchSettings, nullptr));
    return TRUE;
}
