// Start-up: from CreateProcess to the main window shown and painted, Dorrik (build/<arch>/app/
// dorrik.exe) against a plain window of the same size (perf_plain_window_bench.exe), both under
// the same Wine, in alternating rounds. "Painted" means: the process went idle for input once
// (WaitForInputIdle), its visible top-level window and every window in it have nothing left to
// paint, and for Dorrik the form is skinned (it carries PROCADDR). Each program is then closed
// and waited for before the next starts.
#include <windows.h>

#include <string>
#include <vector>

#include "painted_window.h"
#include "perf_util.h"

namespace {

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

struct Search {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindVisibleTopLevel(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != search->processId || !IsWindowVisible(window)) return TRUE;
    search->found = window;
    return FALSE;
}

// Milliseconds from CreateProcess to the main window painted, or -1 when it never was.
double TimeStart(const std::wstring& program, const wchar_t* arguments, bool skinned) {
    std::wstring commandLine = L"\"" + program + L"\"" + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    const double start = perf::Now();
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS,
                        nullptr, nullptr, &startup, &process))
        return -1.0;
    WaitForInputIdle(process.hProcess, 20000);
    double painted = -1.0;
    HWND window = nullptr;
    const double giveUp = start + 20.0;
    while (perf::Now() < giveUp) {
        Search search = {process.dwProcessId, nullptr};
        EnumWindows(FindVisibleTopLevel, reinterpret_cast<LPARAM>(&search));
        window = search.found;
        if (window && perf::Painted(window) && (!skinned || GetPropA(window, "PROCADDR"))) {
            painted = (perf::Now() - start) * 1e3;
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

}  // namespace

int main() {
    const std::wstring folder = ProgramFolder();
    const std::wstring dorrik = folder + L"..\\app\\dorrik.exe";
    const std::wstring plain = folder + L"perf_plain_window_bench.exe";
    if (!Exists(dorrik) || !Exists(plain)) {
        perf::Row("P6 start-up", "not measured: dorrik.exe or perf_plain_window_bench.exe is not built");
        return 0;
    }
    // Both programs once untimed, so that neither pays alone for files coming into the cache.
    TimeStart(plain, L" --wait", false);
    TimeStart(dorrik, L"", true);

    std::vector<double> plainRuns, dorrikRuns, ratios;
    for (int round = 0; round < 9; ++round) {
        double p, d;
        if (round % 2 == 0) {
            p = TimeStart(plain, L" --wait", false);
            d = TimeStart(dorrik, L"", true);
        } else {
            d = TimeStart(dorrik, L"", true);
            p = TimeStart(plain, L" --wait", false);
        }
        if (p <= 0.0 || d <= 0.0) continue;
        plainRuns.push_back(p);
        dorrikRuns.push_back(d);
        ratios.push_back(d / p);
    }
    if (ratios.empty()) {
        perf::Row("P6 start-up", "not measured: a program did not show a painted window");
        return 0;
    }
    const double ratio = perf::Median(ratios);
    char measured[96];
    std::snprintf(measured, sizeof(measured), "%.2fx (%.0f ms / %.0f ms)", ratio,
                  perf::Median(dorrikRuns), perf::Median(plainRuns));
    perf::Row("P6 start-up to the painted window: Dorrik / a plain window of the same size",
              measured, "<= 1.10x", ratio <= 1.10);
    return 0;
}
