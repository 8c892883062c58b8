// Start-up of a program nobody here wrote (the system's notepad) through skinrun against the same
// notepad started directly, in alternating rounds: from CreateProcess until notepad's main window
// is shown and it and every window in it have nothing left to paint (through skinrun, also
// carrying PROCADDR). skinrun.exe is the one this build made (../launcher/ beside bench/).
#include <windows.h>

#include <cstdio>
#include <set>
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

struct Search {
    const std::set<HWND>* before;
    HWND found;
};

BOOL CALLBACK FindNewNotepad(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (lstrcmpW(name, L"Notepad") != 0 || !IsWindowVisible(window) || search->before->count(window)) return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK CollectNotepads(HWND window, LPARAM lParam) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (lstrcmpW(name, L"Notepad") == 0) reinterpret_cast<std::set<HWND>*>(lParam)->insert(window);
    return TRUE;
}

// Milliseconds from CreateProcess to notepad's window painted, or -1 when it never was.
double TimeStart(const std::wstring& commandLine, bool throughSkinrun) {
    std::set<HWND> before;
    EnumWindows(CollectNotepads, reinterpret_cast<LPARAM>(&before));
    std::wstring line = commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    const double start = perf::Now();
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1.0;
    double painted = -1.0;
    HWND window = nullptr;
    const double giveUp = start + 20.0;
    while (perf::Now() < giveUp) {
        Search search = {&before, nullptr};
        EnumWindows(FindNewNotepad, reinterpret_cast<LPARAM>(&search));
        window = search.found;
        if (window && perf::Painted(window) && (!throughSkinrun || GetPropA(window, "PROCADDR"))) {
            painted = (perf::Now() - start) * 1e3;
            break;
        }
        if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) break;
    }
    // skinrun ends when notepad does.
    if (window) PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return painted;
}

}  // namespace

int main() {
    const std::wstring skinrun = ProgramFolder() + L"..\\launcher\\skinrun.exe";
    if (GetFileAttributesW(skinrun.c_str()) == INVALID_FILE_ATTRIBUTES) {
        perf::Row("P6 notepad through skinrun", "not measured: skinrun.exe is not built");
        return 0;
    }
    const std::wstring direct = L"notepad.exe";
    const std::wstring through = L"\"" + skinrun + L"\" notepad.exe";
    // Both once untimed, so that neither pays alone for files coming into the cache.
    TimeStart(direct, false);
    TimeStart(through, true);
    std::vector<double> directRuns, throughRuns, ratios;
    for (int round = 0; round < 15; ++round) {
        double d, t;
        if (round % 2 == 0) {
            d = TimeStart(direct, false);
            t = TimeStart(through, true);
        } else {
            t = TimeStart(through, true);
            d = TimeStart(direct, false);
        }
        if (d <= 0.0 || t <= 0.0) continue;
        directRuns.push_back(d);
        throughRuns.push_back(t);
        ratios.push_back(t / d);
    }
    if (ratios.empty()) {
        perf::Row("P6 notepad through skinrun", "not measured: notepad did not show a painted window");
        return 0;
    }
    const double ratio = perf::Median(ratios);
    char measured[96];
    std::snprintf(measured, sizeof(measured), "%.2fx (%.0f ms / %.0f ms)", ratio,
                  perf::Median(throughRuns), perf::Median(directRuns));
    perf::Row("P6 start of a program nobody changed (notepad) to its painted window: through skinrun / "
              "started directly",
              measured, "<= 1.30x", ratio <= 1.30);
    return 0;
}
