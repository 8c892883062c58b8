// Timing a program's start to its painted window: what the start-up benchmarks share (two starts
// are compared with perf::InterleaveTimed).
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "painted_window.h"
#include "perf_util.h"

namespace perf {

inline std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

struct StartOptions {
    DWORD creationFlags = 0;
    bool showNormal = false;        // STARTF_USESHOWWINDOW with SW_SHOWNORMAL
    bool waitForInputIdle = false;  // once, before looking for the window
    bool skinned = false;           // the window must carry PROCADDR as well
};

// The window to wait for, once it is there (nullptr until then); given the started process's id.
using WindowFinder = std::function<HWND(DWORD processId)>;

// Milliseconds from CreateProcess to the window painted, or -1 when it never was. The window is
// then closed and the process waited for (ended after 10 s).
inline double TimeStart(const std::wstring& commandLine, const StartOptions& options,
                        const WindowFinder& findWindow) {
    std::wstring line = commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (options.showNormal) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOWNORMAL;
    }
    PROCESS_INFORMATION process{};
    const double start = Now();
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, options.creationFlags, nullptr,
                        nullptr, &startup, &process))
        return -1.0;
    if (options.waitForInputIdle) WaitForInputIdle(process.hProcess, 20000);
    double painted = -1.0;
    HWND window = nullptr;
    const double giveUp = start + 20.0;
    while (Now() < giveUp) {
        window = findWindow(process.dwProcessId);
        if (window && Painted(window) && (!options.skinned || GetPropA(window, "PROCADDR"))) {
            painted = (Now() - start) * 1e3;
            break;
        }
        if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) break;
    }
    if (window) PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return painted;
}

}  // namespace perf
