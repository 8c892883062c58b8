// Start-up of a program nobody here wrote (the system's notepad) through skinrun against the same
// notepad started directly, in alternating rounds: from CreateProcess until notepad's main window
// is shown and it and every window in it have nothing left to paint (through skinrun, also
// carrying PROCADDR). skinrun.exe is the one this build made (../launcher/ beside bench/).
// Then a program's CreateProcess of a child it starts suspended, under the skin against without it.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "../skin/dll/guest_settings.h"

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

// --- A program under the skin starting a child suspended: the measuring side is this program
// again, which brings the skin's guest into itself (as skinrun's load would) or not, and times
// its own CreateProcess of suspended children, ended before they ever run.

constexpr int kSuspendedStarts = 21;
constexpr DWORD kSettleMs = 20;
constexpr wchar_t kMeasureOption[] = L"--suspended-starts";

std::wstring SelfPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

bool StartGuestHere() {
    HMODULE dll = LoadLibraryW((perf::ProgramFolder() + L"..\\launcher\\dorrikskin.dll").c_str());
    if (!dll) return false;
    using Start = void(CALLBACK*)(ULONG_PTR);
    Start start = nullptr;
    for (const char* name : {"DorrikGuestStart", "DorrikGuestStart@4", "_DorrikGuestStart@4"}) {
        if (!start) start = reinterpret_cast<Start>(reinterpret_cast<void (*)()>(GetProcAddress(dll, name)));
    }
    if (!start) return false;
    skinrun::GuestSettings settings{sizeof(settings), skinrun::Look::Whole, 0, skinrun::GuestStatus::Pending, 0};
    start(reinterpret_cast<ULONG_PTR>(&settings));
    return settings.status == skinrun::GuestStatus::Ready;
}

// The median microseconds of CreateProcess, as this process's exit code (0: not measured).
int TimeSuspendedStarts(bool skinned) {
    if (skinned && !StartGuestHere()) return 0;
    const std::wstring self = SelfPath();
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    std::vector<double> times;
    for (int i = 0; i < kSuspendedStarts; ++i) {
        std::wstring line = L"\"" + self + L"\" --never-runs";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info{};
        LARGE_INTEGER before{}, after{};
        QueryPerformanceCounter(&before);
        const BOOL started = CreateProcessW(self.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                                            nullptr, nullptr, &startup, &info);
        QueryPerformanceCounter(&after);
        if (!started) return 0;
        times.push_back(static_cast<double>(after.QuadPart - before.QuadPart) * 1e6 /
                        static_cast<double>(frequency.QuadPart));
        TerminateProcess(info.hProcess, 0);
        WaitForSingleObject(info.hProcess, INFINITE);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
        // One start at a time, as programs start children: what the ended one leaves to do (the
        // system's, and under the skin its watcher's) is done before the next is timed.
        Sleep(kSettleMs);
    }
    return static_cast<int>(perf::Median(times));
}

double MeasureSuspendedStarts(bool skinned) {
    const std::wstring self = SelfPath();
    std::wstring line = L"\"" + self + L"\" " + kMeasureOption + (skinned ? L" skinned" : L" plain");
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(self.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return 0.0;
    WaitForSingleObject(info.hProcess, INFINITE);
    DWORD microseconds = 0;
    GetExitCodeProcess(info.hProcess, &microseconds);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return static_cast<double>(microseconds);
}

void SuspendedStartRow() {
    const char* what = "P6b CreateProcess of a child started suspended, by a program under the skin / without it";
    const perf::SideBySide starts = perf::InterleaveTimed([] { return MeasureSuspendedStarts(false); },
                                                          [] { return MeasureSuspendedStarts(true); }, 9);
    if (starts.a <= 0.0 || starts.b <= 0.0) {
        perf::Row(what, "not measured: the guest did not start or a child could not be started");
        return;
    }
    char measured[96];
    std::snprintf(measured, sizeof(measured), "%.2fx (%.1f ms / %.1f ms)", starts.ratio, starts.b / 1000.0,
                  starts.a / 1000.0);
    perf::Row(what, measured, "<= 1.10x", starts.ratio <= 1.10);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--never-runs") == 0) return 0;
    if (argc > 2 && std::strcmp(argv[1], "--suspended-starts") == 0)
        return TimeSuspendedStarts(std::strcmp(argv[2], "skinned") == 0);
    const std::wstring skinrun = perf::ProgramFolder() + L"..\\launcher\\skinrun.exe";
    if (GetFileAttributesW(skinrun.c_str()) == INVALID_FILE_ATTRIBUTES) {
        perf::Row("P6 notepad through skinrun", "not measured: skinrun.exe is not built");
        return 0;
    }
    SuspendedStartRow();
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
