// Start-up of a program nobody here wrote (the system's notepad) through skinrun against the same
// notepad started directly, in alternating rounds: from CreateProcess until notepad's main window
// is shown and it and every window in it have nothing left to paint (through skinrun, also
// carrying PROCADDR). skinrun.exe is the one this build made (../launcher/ beside bench/).
#include <windows.h>

#include <cstdio>
#include <set>
#include <string>

#include "perf_util.h"
#include "start_runner.h"

namespace {

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

// Notepad's window is its own process's, not skinrun's: the one that was not there before.
double TimeStart(const std::wstring& commandLine, bool throughSkinrun) {
    std::set<HWND> before;
    EnumWindows(CollectNotepads, reinterpret_cast<LPARAM>(&before));
    perf::StartOptions options;
    options.skinned = throughSkinrun;
    // skinrun ends when notepad does.
    return perf::TimeStart(commandLine, options, [&](DWORD) {
        Search search = {&before, nullptr};
        EnumWindows(FindNewNotepad, reinterpret_cast<LPARAM>(&search));
        return search.found;
    });
}

}  // namespace

int main() {
    const std::wstring skinrun = perf::ProgramFolder() + L"..\\launcher\\skinrun.exe";
    if (GetFileAttributesW(skinrun.c_str()) == INVALID_FILE_ATTRIBUTES) {
        perf::Row("P6 notepad through skinrun", "not measured: skinrun.exe is not built");
        return 0;
    }
    const std::wstring direct = L"notepad.exe";
    const std::wstring through = L"\"" + skinrun + L"\" notepad.exe";
    const perf::SideBySide starts = perf::InterleaveTimed(
        [&] { return TimeStart(direct, false); }, [&] { return TimeStart(through, true); }, 15);
    if (starts.ratio <= 0.0) {
        perf::Row("P6 notepad through skinrun", "not measured: notepad did not show a painted window");
        return 0;
    }
    char measured[96];
    std::snprintf(measured, sizeof(measured), "%.2fx (%.0f ms / %.0f ms)", starts.ratio, starts.b, starts.a);
    perf::Row("P6 start of a program nobody changed (notepad) to its painted window: through skinrun / "
              "started directly",
              measured, "<= 1.30x", starts.ratio <= 1.30);
    return 0;
}
