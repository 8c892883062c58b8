// skinrun end to end: programs nobody here wrote (Wine's notepad and winecfg) started through the
// launcher, their windows looked at from outside (window properties can be read from another
// process), and our own small programs for the exit code and the bad inputs.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <cstdint>
#include <cwchar>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr DWORD kPatienceMs = 30000;
constexpr char kSkinProperty[] = "PROCADDR";

// Wine's notepad's menu commands (read from its menu resource).
constexpr WPARAM kNotepadFont = 320;
constexpr WPARAM kNotepadSearch = 288;
constexpr WPARAM kNotepadAbout = 308;

// skinrun's own exit codes.
constexpr DWORD kFailed = 125;
constexpr DWORD kCannotRun = 126;
constexpr DWORD kNotFound = 127;

// The fixture's: a window that did not carry the skin as it was shown, a program it could not start.
constexpr DWORD kNotSkinned = 99;
constexpr DWORD kCouldNotStart = 97;

std::wstring TestFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

std::wstring Launcher() { return TestFolder() + L"..\\launcher\\skinrun.exe"; }
std::wstring Fixture() { return TestFolder() + L"skinrun_fixture.exe"; }
std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool WaitUntil(const std::function<bool()>& condition, DWORD deadlineMs = kPatienceMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start > deadlineMs) return false;
        Sleep(50);
    }
}

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text) narrow += c < 128 ? static_cast<char>(c) : '?';
    return narrow;
}

// A launcher started with its output going into a pipe that the test reads.
class LauncherRun {
public:
    explicit LauncherRun(const std::wstring& arguments, const std::wstring& launcher = Launcher()) {
        SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        HANDLE write = nullptr;
        if (!CreatePipe(&read_, &write, &inheritable, 0)) return;
        SetHandleInformation(read_, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = write;
        startup.hStdError = write;
        std::wstring line = Quoted(launcher) + L" " + arguments;
        PROCESS_INFORMATION info{};
        if (CreateProcessW(launcher.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                           &startup, &info)) {
            process_ = info.hProcess;
            CloseHandle(info.hThread);
        }
        CloseHandle(write);
    }
    ~LauncherRun() {
        if (process_) {
            TerminateProcess(process_, 1);
            CloseHandle(process_);
        }
        if (read_) CloseHandle(read_);
    }
    LauncherRun(const LauncherRun&) = delete;
    LauncherRun& operator=(const LauncherRun&) = delete;

    bool started() const { return process_ != nullptr; }

    // Waits for the launcher to end; false when it did not within the deadline.
    bool Finish(DWORD deadlineMs = kPatienceMs) {
        const bool ended = WaitUntil([&] {
            Drain();
            return WaitForSingleObject(process_, 0) == WAIT_OBJECT_0;
        }, deadlineMs);
        Drain();
        if (ended) GetExitCodeProcess(process_, &exitCode_);
        return ended;
    }
    DWORD exitCode() const { return exitCode_; }
    const std::string& output() const { return output_; }

private:
    // Reads what is in the pipe without waiting: the program the launcher started holds the
    // pipe's other end too, for as long as it runs.
    void Drain() {
        DWORD available = 0;
        while (read_ && PeekNamedPipe(read_, nullptr, 0, nullptr, &available, nullptr) && available) {
            char buffer[512];
            DWORD got = 0;
            if (!ReadFile(read_, buffer, sizeof(buffer), &got, nullptr) || !got) break;
            output_.append(buffer, got);
        }
    }

    HANDLE process_ = nullptr;
    HANDLE read_ = nullptr;
    DWORD exitCode_ = STILL_ACTIVE;
    std::string output_;
};

// Runs the launcher to its end and checks how it ended and that it said something about it.
void ExpectRefused(const std::wstring& arguments, DWORD expectedCode, const char* expectedText,
                   const std::wstring& launcher = Launcher()) {
    LauncherRun run(arguments, launcher);
    ASSERT_TRUE(run.started());
    ASSERT_TRUE(run.Finish()) << "skinrun " << Narrow(arguments) << " did not end";
    EXPECT_EQ(run.exitCode(), expectedCode) << "skinrun " << Narrow(arguments) << ": " << run.output();
    EXPECT_NE(run.output().find(expectedText), std::string::npos)
        << "skinrun " << Narrow(arguments) << " said: \"" << run.output() << "\", not \"" << expectedText << "\"";
}

int CountProcesses(const wchar_t* exeName) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        count += lstrcmpiW(entry.szExeFile, exeName) == 0;
    CloseHandle(snapshot);
    return count;
}

// --- Windows of another process, seen from outside.

std::wstring ClassOf(HWND window) {
    wchar_t name[128] = {};
    GetClassNameW(window, name, 128);
    return name;
}

bool Skinned(HWND window) { return GetPropA(window, kSkinProperty) != nullptr; }

struct WindowSearch {
    const std::function<bool(HWND)>* wanted;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWanted(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    if ((*search->wanted)(window)) search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> TopLevelWindows(const std::function<bool(HWND)>& wanted) {
    const std::function<bool(HWND)> shownAndWanted = [&](HWND window) {
        return IsWindowVisible(window) && wanted(window);
    };
    WindowSearch search{&shownAndWanted, {}};
    EnumWindows(CollectWanted, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> Descendants(HWND parent, const std::function<bool(HWND)>& wanted) {
    WindowSearch search{&wanted, {}};
    EnumChildWindows(parent, CollectWanted, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The skin makes the push buttons it paints owner-drawn; a push button it missed keeps its type.
bool IsShownPushButton(HWND window) {
    const LONG_PTR type = GetWindowLongPtrW(window, GWL_STYLE) & BS_TYPEMASK;
    return IsWindowVisible(window) && ClassOf(window) == L"Button" &&
           (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_OWNERDRAW);
}

// Every shown push button in the window carries the skin, and there is at least one.
bool PushButtonsSkinned(HWND window) {
    const std::vector<HWND> buttons = Descendants(window, IsShownPushButton);
    if (buttons.empty()) return false;
    for (HWND button : buttons) {
        if (!Skinned(button)) return false;
    }
    return true;
}

DWORD ProcessOf(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId;
}

// A program the launcher started, ended by the test's scope if the test stops early.
struct Guest {
    HANDLE process = nullptr;
    ~Guest() {
        if (!process) return;
        TerminateProcess(process, 1);
        CloseHandle(process);
    }
    void Adopt(HWND window) {
        if (!process) process = OpenProcess(PROCESS_TERMINATE, FALSE, ProcessOf(window));
    }
};

// The visible top-level window of a process that did not exist before, found with `wanted`.
HWND WaitForNewWindow(const std::set<DWORD>& before, const std::function<bool(HWND)>& wanted) {
    HWND found = nullptr;
    WaitUntil([&] {
        for (HWND window : TopLevelWindows(wanted)) {
            if (!before.count(ProcessOf(window))) found = window;
        }
        return found != nullptr;
    });
    return found;
}

std::set<DWORD> ProcessesWithWindows() {
    std::set<DWORD> processes;
    for (HWND window : TopLevelWindows([](HWND) { return true; })) processes.insert(ProcessOf(window));
    return processes;
}

HWND WaitForDialogOwnedBy(HWND owner) {
    HWND dialog = nullptr;
    WaitUntil([&] {
        const std::vector<HWND> found = TopLevelWindows([&](HWND window) {
            return ClassOf(window) == L"#32770" && GetWindow(window, GW_OWNER) == owner;
        });
        dialog = found.empty() ? nullptr : found.front();
        return dialog != nullptr;
    });
    return dialog;
}

// Opens one of notepad's dialogs by its menu command, checks that it and its push buttons carry
// the skin, and closes it again.
void ExpectDialogSkinned(HWND notepad, WPARAM command, const char* name) {
    PostMessageW(notepad, WM_COMMAND, command, 0);
    HWND dialog = WaitForDialogOwnedBy(notepad);
    ASSERT_NE(dialog, nullptr) << "notepad's " << name << " dialog did not appear";
    EXPECT_TRUE(WaitUntil([&] { return Skinned(dialog) && PushButtonsSkinned(dialog); }))
        << "notepad's " << name << " dialog or one of its push buttons does not carry " << kSkinProperty;
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); })) << "notepad's " << name << " dialog did not close";
}

// --- The shipped layout, from the two builds: skinrun.exe and dorrikskin.dll (32-bit) with the
// folder x64 beside them holding the 64-bit pair.

#ifdef _WIN64
const std::wstring kX64Build = TestFolder() + L"..\\", kI686Build = TestFolder() + L"..\\..\\i686\\";
#else
const std::wstring kI686Build = TestFolder() + L"..\\", kX64Build = TestFolder() + L"..\\..\\x86_64\\";
#endif

bool BothBuilds() {
    for (const std::wstring& build : {kI686Build, kX64Build}) {
        if (!Exists(build + L"launcher\\skinrun.exe") || !Exists(build + L"tests\\skinrun_fixture.exe")) return false;
    }
    return true;
}

struct ShippedLayout {
    std::wstring root;
    bool made = true;
    ShippedLayout() {
        wchar_t temporary[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temporary);
        root = std::wstring(temporary) + L"skinrun-shipped\\";
        CreateDirectoryW(root.c_str(), nullptr);
        CreateDirectoryW((root + L"x64").c_str(), nullptr);
        for (const wchar_t* name : {L"skinrun.exe", L"dorrikskin.dll"}) {
            made = made && CopyFileW((kI686Build + L"launcher\\" + name).c_str(), (root + name).c_str(), FALSE) &&
                   CopyFileW((kX64Build + L"launcher\\" + name).c_str(), (root + L"x64\\" + name).c_str(), FALSE);
        }
    }
    ~ShippedLayout() {
        for (const wchar_t* name : {L"skinrun.exe", L"dorrikskin.dll"}) {
            DeleteFileW((root + name).c_str());
            DeleteFileW((root + L"x64\\" + name).c_str());
        }
        RemoveDirectoryW((root + L"x64").c_str());
        RemoveDirectoryW(root.c_str());
    }
};

// --- The programs.

TEST(Skinrun, NotepadAndItsDialogsAreSkinnedAndItEndsWithItsExitCode) {
    const std::set<DWORD> before = ProcessesWithWindows();
    LauncherRun run(L"notepad");
    ASSERT_TRUE(run.started());
    Guest guest;
    HWND notepad = WaitForNewWindow(before, [](HWND window) { return ClassOf(window) == L"Notepad"; });
    ASSERT_NE(notepad, nullptr) << "notepad's main window did not appear: " << run.output();
    guest.Adopt(notepad);
    EXPECT_TRUE(WaitUntil([&] { return Skinned(notepad); })) << "notepad's main window carries no " << kSkinProperty;

    ExpectDialogSkinned(notepad, kNotepadFont, "Font");
    ExpectDialogSkinned(notepad, kNotepadSearch, "Find");
    ExpectDialogSkinned(notepad, kNotepadAbout, "About");

    PostMessageW(notepad, WM_CLOSE, 0, 0);
    ASSERT_TRUE(run.Finish()) << "skinrun did not end with notepad";
    EXPECT_EQ(run.exitCode(), 0u) << run.output();
}

// The 32-bit winecfg starts the 64-bit one and ends: the guest in it hands its child to the sibling.
TEST(Skinrun, WinecfgPagesAndTabsAreSkinned) {
#ifdef _WIN64
    const std::wstring launcher = Launcher();
#else
    if (!BothBuilds()) GTEST_SKIP() << "the 32-bit winecfg needs the 64-bit build for its 64-bit twin";
    ShippedLayout shipped;
    ASSERT_TRUE(shipped.made);
    const std::wstring launcher = shipped.root + L"skinrun.exe";
#endif
    const std::set<DWORD> before = ProcessesWithWindows();
    LauncherRun run(L"winecfg", launcher);
    ASSERT_TRUE(run.started());
    Guest guest;
    HWND sheet = WaitForNewWindow(before, [](HWND window) {
        return ClassOf(window) == L"#32770" && FindWindowExW(window, nullptr, WC_TABCONTROLW, nullptr);
    });
    ASSERT_NE(sheet, nullptr) << "winecfg's property sheet did not appear: " << run.output();
    guest.Adopt(sheet);
    HWND tabs = FindWindowExW(sheet, nullptr, WC_TABCONTROLW, nullptr);
    auto shownPage = [&] {
        const std::vector<HWND> pages = Descendants(sheet, [&](HWND window) {
            return GetParent(window) == sheet && IsWindowVisible(window) && ClassOf(window) == L"#32770";
        });
        return pages.empty() ? nullptr : pages.front();
    };
    EXPECT_TRUE(WaitUntil([&] { return Skinned(sheet) && Skinned(tabs); }))
        << "winecfg's sheet or its tab control carries no " << kSkinProperty;
    // The first page, and the second one, which is made when its tab is chosen.
    for (WPARAM page : {0, 1}) {
        SendMessageW(sheet, PSM_SETCURSEL, page, 0);
        EXPECT_TRUE(WaitUntil([&] {
            HWND shown = shownPage();
            return shown && Skinned(shown) && PushButtonsSkinned(shown);
        })) << "winecfg's page " << page << " or one of its push buttons carries no " << kSkinProperty;
    }
    PostMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(run.Finish()) << "skinrun did not end with winecfg";
    EXPECT_EQ(run.exitCode(), 0u) << run.output();
}

// The fixture ends with 99 when one of its windows did not carry the skin: one it made before the
// skin came, one shown on a second thread (with and without activation), one in a child process
// the moment it was shown, one of a console program. A program's own 1 is passed on as it is.
TEST(Skinrun, PassesTheProgramsExitCodeAndSkinsWindowsOfEveryThreadAndChild) {
    for (const wchar_t* arguments : {L" 1", L" 7 --early-window", L" 7 --thread-windows"}) {
        LauncherRun run(L"--classic " + Quoted(Fixture()) + arguments);
        ASSERT_TRUE(run.Finish());
        EXPECT_EQ(run.exitCode(), std::wcstoul(arguments, nullptr, 10)) << Narrow(arguments) << ": " << run.output();
    }
    LauncherRun child(Quoted(Fixture()) + L" 0 --start " + Quoted(Fixture()) + L" 7 --dialog");
    ASSERT_TRUE(child.Finish());
    EXPECT_EQ(child.exitCode(), 7u) << "a child's dialog: " << child.output();
    // A console program that shows windows (a script host, a runtime) is run and skinned alike.
    LauncherRun console(Quoted(TestFolder() + L"skinrun_console_fixture.exe") + L" 7 --dialog --thread-windows");
    ASSERT_TRUE(console.Finish());
    EXPECT_EQ(console.exitCode(), 7u) << "a console program's windows: " << console.output();
}

// A program that starts a child and ends at once (an uninstaller that restarts itself from the
// temporary folder): the child has the skin all the same, and skinrun waits for it too and ends
// with the program's exit code.
TEST(Skinrun, WaitsForAChildThatOutlivesTheProgram) {
    const std::wstring name = L"DorrikSkinrunTest-" + std::to_wstring(GetCurrentProcessId());
    HANDLE orphan = CreateEventW(nullptr, TRUE, FALSE, (name + L"-orphan").c_str());
    HANDLE skinned = CreateEventW(nullptr, TRUE, FALSE, (name + L"-skinned").c_str());
    HANDLE end = CreateEventW(nullptr, TRUE, FALSE, (name + L"-end").c_str());
    ASSERT_TRUE(orphan && skinned && end);
    LauncherRun run(Quoted(Fixture()) + L" 5 --spawn " + Quoted(Fixture()) + L" 0 --outlive " + name);
    ASSERT_TRUE(run.started());
    EXPECT_EQ(WaitForSingleObject(orphan, kPatienceMs), WAIT_OBJECT_0) << "the child did not see its parent end";
    EXPECT_EQ(WaitForSingleObject(skinned, 0), WAIT_OBJECT_0) << "the child's dialog did not carry the skin";
    EXPECT_FALSE(run.Finish(2000)) << "skinrun ended with the program, before the child it started";
    SetEvent(end);
    ASSERT_TRUE(run.Finish()) << "skinrun did not end with the child";
    EXPECT_EQ(run.exitCode(), 5u) << run.output();
    CloseHandle(orphan);
    CloseHandle(skinned);
    CloseHandle(end);
}

// The fixture run directly and through the launcher ends the same way: with `expected`.
void ExpectSameWithAndWithoutSkin(const std::wstring& fixture, const std::wstring& arguments, DWORD expected,
                                  const char* codes, const std::wstring& launcher = Launcher()) {
    for (const bool skinned : {false, true}) {
        LauncherRun run(skinned ? Quoted(fixture) + L" " + arguments : arguments, skinned ? launcher : fixture);
        ASSERT_TRUE(run.Finish()) << Narrow(arguments) << (skinned ? " through skinrun" : " directly") << " did not end";
        EXPECT_EQ(run.exitCode(), expected) << Narrow(arguments) << (skinned ? " through skinrun" : " directly")
                                            << " (" << codes << "): " << run.output();
    }
}

std::wstring GateName() { return L"DorrikSkinrunGate-" + std::to_wstring(GetCurrentProcessId()); }

// A program that starts a child suspended (to put it into a job, write into it, set its context)
// finds nothing of the child run and nothing of the skin in it until it resumes it, and its
// CreateProcess returns while the child's static DLL is to wait for it, as without the skin. Once
// resumed, the child's dialog carries the skin as it is shown.
TEST(Skinrun, NothingOfAChildStartedSuspendedRunsBeforeItsParentResumesIt) {
    ExpectSameWithAndWithoutSkin(Fixture(), L"0 --suspend-child " + GateName() + L" " + Quoted(Fixture()) + L" 7", 7,
                                 "90: the skin was in the child before it was resumed, 91: its static DLL had run");
    LauncherRun run(Quoted(Fixture()) + L" 0 --suspend-child " + GateName() + L" " + Quoted(Fixture()) + L" 7 --dialog");
    ASSERT_TRUE(run.Finish());
    EXPECT_EQ(run.exitCode(), 7u) << "99: the child's dialog did not carry the skin: " << run.output();
}

// A child started with a token (CreateProcessAsUser, a service's helper) gets nothing of the skin,
// whose DLL comes from a folder a process of other rights may be able to write.
TEST(Skinrun, AChildStartedWithATokenRunsAsWithoutTheSkin) {
    ExpectSameWithAndWithoutSkin(Fixture(), L"0 --as-user " + Quoted(Fixture()) + L" 7 --no-skin", 7,
                                 "95: the skin was in the child, 97: it could not be started");
}

TEST(Skinrun, RefusesBadInputWithAMessage) {
    ExpectRefused(L"", kFailed, "usage: skinrun");
    ExpectRefused(L"--bright notepad", kFailed, "Unknown option");
    ExpectRefused(L"no-such-program-here", kNotFound, "cannot find the program");

    wchar_t temporary[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temporary);
    const std::wstring document = std::wstring(temporary) + L"skinrun-not-a-program.exe";
    HANDLE file = CreateFileW(document.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, "just text\r\n", 11, &written, nullptr);
    CloseHandle(file);
    ExpectRefused(Quoted(document), kCannotRun, "is not a Windows program");
    DeleteFileW(document.c_str());

    ExpectRefused(Quoted(TestFolder() + L"skinrun_needs_absent.exe"), kFailed, "ended during its start");

    // A program of the other architecture with no sibling launcher beside this one: the
    // suspended child is ended, not left behind.
#ifdef _WIN64
    const std::wstring otherNotepad = L"C:\\windows\\syswow64\\notepad.exe";
#else
    const std::wstring otherNotepad = L"C:\\windows\\sysnative\\notepad.exe";
#endif
    const int notepadsBefore = CountProcesses(L"notepad.exe");
    ExpectRefused(otherNotepad, kFailed, "skinrun.exe, which is missing");
    EXPECT_EQ(CountProcesses(L"notepad.exe"), notepadsBefore) << "a notepad was left behind";
}

// Another process of the session leaves "settings" for a program that loads dorrikskin.dll itself,
// under the name the skin once looked for, pointing at a handle the program holds. The program
// loads and frees the DLL and waits alertably: nothing starts, nothing of its own is signalled or
// closed, nothing runs in the unloaded DLL.
TEST(Skinrun, NothingAnotherProcessMakesStartsTheSkinInAProgram) {
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE own = CreateEventW(&inheritable, TRUE, FALSE, nullptr);
    ASSERT_NE(own, nullptr);
    const std::wstring value = std::to_wstring(reinterpret_cast<ULONG_PTR>(own));
    SetEnvironmentVariableW(L"DORRIK_HANDLE", value.c_str());
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    std::wstring line = Quoted(Fixture()) + L" 0 --own-dll";
    ASSERT_TRUE(CreateProcessW(Fixture().c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr,
                               nullptr, &startup, &info));
    SetEnvironmentVariableW(L"DORRIK_HANDLE", nullptr);
    struct Squatted {
        std::uint32_t size, look;
        std::uint64_t readyEvent;
        std::int32_t status;
        std::uint32_t error;
    };
    const std::wstring name = L"Local\\DorrikSkinrun-" + std::to_wstring(info.dwProcessId);
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Squatted), name.c_str());
    ASSERT_NE(mapping, nullptr);
    if (auto* squatted = static_cast<Squatted*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(Squatted)))) {
        *squatted = Squatted{sizeof(Squatted), 0, reinterpret_cast<ULONG_PTR>(own), 0, 0};
        UnmapViewOfFile(squatted);
    }
    ResumeThread(info.hThread);
    EXPECT_EQ(WaitForSingleObject(info.hProcess, kPatienceMs), WAIT_OBJECT_0) << "the program did not end";
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info.hProcess, &code);
    EXPECT_EQ(code, 0u) << "96: its own handle was closed; anything else: it crashed";
    EXPECT_EQ(WaitForSingleObject(own, 0), WAIT_TIMEOUT) << "its own event was signalled";
    CloseHandle(mapping);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    CloseHandle(own);
}

TEST(Skinrun, RefusesToRunWithoutItsDll) {
    wchar_t temporary[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temporary);
    const std::wstring folder = std::wstring(temporary) + L"skinrun-alone\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring alone = folder + L"skinrun.exe";
    ASSERT_TRUE(CopyFileW(Launcher().c_str(), alone.c_str(), FALSE));
    const int fixturesBefore = CountProcesses(L"skinrun_fixture.exe");
    ExpectRefused(Quoted(Fixture()) + L" 7", kFailed, "dorrikskin.dll is missing", alone);
    EXPECT_EQ(CountProcesses(L"skinrun_fixture.exe"), fixturesBefore) << "the fixture was left behind";
    DeleteFileW(alone.c_str());
    RemoveDirectoryW(folder.c_str());
}

// Each launcher of the shipped layout hands a program of the other architecture to
// its sibling, which skins it (the fixture's early window) and passes its exit code back; the guest
// in a program does the same with a child of the other architecture.
TEST(Skinrun, HandsAProgramOfTheOtherArchitectureToItsSibling) {
    if (!BothBuilds()) GTEST_SKIP() << "the other architecture's build is not there";
    ShippedLayout shipped;
    ASSERT_TRUE(shipped.made);
    const std::wstring& root = shipped.root;
    struct Direction {
        std::wstring launcher, program;
    };
    const std::wstring i686Fixture = kI686Build + L"tests\\skinrun_fixture.exe";
    const std::wstring x64Fixture = kX64Build + L"tests\\skinrun_fixture.exe";
    for (const Direction& direction : {Direction{root + L"skinrun.exe", x64Fixture},
                                       Direction{root + L"x64\\skinrun.exe", i686Fixture}}) {
        LauncherRun run(Quoted(direction.program) + L" 7 --early-window", direction.launcher);
        ASSERT_TRUE(run.Finish());
        EXPECT_EQ(run.exitCode(), 7u) << Narrow(direction.launcher) << ": " << run.output();
    }
    // A program that starts one of the other architecture: the guest in it hands the suspended
    // child to the sibling launcher, and the child's dialog carries the skin as it is shown. The
    // same with a child the program starts suspended: nothing of it runs before the program resumes
    // it, and the program's CreateProcess does not wait for the sibling or the child's DLLs.
    const std::wstring suspend = L"\" 0 --suspend-child " + GateName() + L" \"";
    for (const Direction& direction : {Direction{root + L"skinrun.exe", i686Fixture + L"\" 0 --start \"" + x64Fixture},
                                       Direction{root + L"x64\\skinrun.exe", x64Fixture + L"\" 0 --start \"" + i686Fixture},
                                       Direction{root + L"skinrun.exe", i686Fixture + suspend + x64Fixture},
                                       Direction{root + L"x64\\skinrun.exe", x64Fixture + suspend + i686Fixture}}) {
        LauncherRun run(Quoted(direction.program) + L" 7 --dialog", direction.launcher);
        ASSERT_TRUE(run.Finish());
        EXPECT_EQ(run.exitCode(), 7u) << Narrow(direction.program)
                                      << " (90: the skin was in the suspended child, 91: its static DLL had run, 99: "
                                         "its dialog did not carry the skin): "
                                      << run.output();
    }
    // While the guest hands children to the sibling, the program never holds an inheritable
    // handle of them, which another thread's CreateProcess with inheritance would pass on.
    for (const Direction& direction : {Direction{root + L"skinrun.exe", i686Fixture + L"\" 0 --watch-inheritable \"" + x64Fixture},
                                       Direction{root + L"x64\\skinrun.exe", x64Fixture + L"\" 0 --watch-inheritable \"" + i686Fixture}}) {
        LauncherRun run(Quoted(direction.program) + L" 7", direction.launcher);
        ASSERT_TRUE(run.Finish());
        EXPECT_EQ(run.exitCode(), 7u) << Narrow(direction.program) << " (94: it held an inheritable handle of a child): "
                                      << run.output();
    }
}

}  // namespace
