// Start-up: from CreateProcess to the main window shown and painted, Dorrik (build/<arch>/app/
// dorrik.exe) against a plain window of the same size (perf_plain_window_bench.exe), both under
// the same Wine, in alternating rounds. "Painted" means: the process went idle for input once
// (WaitForInputIdle), its visible top-level window and every window in it have nothing left to
// paint, and for Dorrik the form is skinned (it carries PROCADDR). Each program is then closed
// and waited for before the next starts.
#include <windows.h>

#include <cstdio>
#include <string>

#include "perf_util.h"
#include "start_runner.h"

namespace {

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

HWND VisibleTopLevelOf(DWORD processId) {
    Search search = {processId, nullptr};
    EnumWindows(FindVisibleTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

double TimeStart(const std::wstring& program, const wchar_t* arguments, bool skinned) {
    perf::StartOptions options;
    options.creationFlags = DETACHED_PROCESS;
    options.showNormal = true;
    options.waitForInputIdle = true;
    options.skinned = skinned;
    return perf::TimeStart(L"\"" + program + L"\"" + arguments, options, VisibleTopLevelOf);
}

}  // namespace

int main() {
    const std::wstring folder = perf::ProgramFolder();
    const std::wstring dorrik = folder + L"..\\app\\dorrik.exe";
    const std::wstring plain = folder + L"perf_plain_window_bench.exe";
    if (!Exists(dorrik) || !Exists(plain)) {
        perf::Row("P6 start-up", "not measured: dorrik.exe or perf_plain_window_bench.exe is not built");
        return 0;
    }
    const perf::SideBySide starts = perf::InterleaveTimed(
        [&] { return TimeStart(plain, L" --wait", false); }, [&] { return TimeStart(dorrik, L"", true); }, 9);
    if (starts.ratio <= 0.0) {
        perf::Row("P6 start-up", "not measured: a program did not show a painted window");
        return 0;
    }
    char measured[96];
    std::snprintf(measured, sizeof(measured), "%.2fx (%.0f ms / %.0f ms)", starts.ratio, starts.b, starts.a);
    perf::Row("P6 start-up to the painted window: Dorrik / a plain window of the same size",
              measured, "<= 1.10x", starts.ratio <= 1.10);
    return 0;
}
