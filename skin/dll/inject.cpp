#include "inject.h"

#include <psapi.h>

#include <cstring>
#include <cwchar>
#include <vector>

namespace skinrun {
namespace {

// kernel32 sits at the same address in every process of one architecture, so its functions can
// be queued as APCs in the child: each takes one pointer-sized argument, as an APC does.
PAPCFUNC Kernel32Apc(const char* name) {
    return reinterpret_cast<PAPCFUNC>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name)));
}

// The value GetCurrentThread() stands for, in any process.
const ULONG_PTR kCurrentThread = static_cast<ULONG_PTR>(-2);

struct OwnHandle {
    HANDLE handle;
    ~OwnHandle() {
        if (handle) CloseHandle(handle);
    }
};

// A handle this code put into the child, closed there again.
struct HandleInChild {
    HANDLE process;
    HANDLE handle = nullptr;
    ~HandleInChild() {
        if (handle) DuplicateHandle(process, handle, nullptr, nullptr, 0, FALSE, DUPLICATE_CLOSE_SOURCE);
    }
};

template <class T>
bool ReadRemote(HANDLE process, const BYTE* address, T& value) {
    SIZE_T got = 0;
    return ReadProcessMemory(process, address, &value, sizeof(T), &got) && got == sizeof(T);
}

// What tells one build of a DLL from another: fields of its headers, the same on disk and loaded.
struct ImageIdentity {
    DWORD timeStamp = 0, imageSize = 0, checkSum = 0, entryPoint = 0;
    bool operator==(const ImageIdentity&) const = default;
};

ImageIdentity IdentityOf(const IMAGE_NT_HEADERS& nt) {
    return {nt.FileHeader.TimeDateStamp, nt.OptionalHeader.SizeOfImage, nt.OptionalHeader.CheckSum,
            nt.OptionalHeader.AddressOfEntryPoint};
}

bool ReadFileIdentity(const std::wstring& path, ImageIdentity& identity) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::vector<BYTE> head(4096);
    DWORD got = 0;
    const bool read = ReadFile(file, head.data(), static_cast<DWORD>(head.size()), &got, nullptr);
    CloseHandle(file);
    IMAGE_DOS_HEADER dos{};
    IMAGE_NT_HEADERS nt{};
    if (!read || got < sizeof(dos)) return false;
    std::memcpy(&dos, head.data(), sizeof(dos));
    if (dos.e_magic != IMAGE_DOS_SIGNATURE || dos.e_lfanew < 0 || dos.e_lfanew + sizeof(nt) > got) return false;
    std::memcpy(&nt, head.data() + dos.e_lfanew, sizeof(nt));
    if (nt.Signature != IMAGE_NT_SIGNATURE) return false;
    identity = IdentityOf(nt);
    return true;
}

// A module handle is pointer-sized and a thread's exit code is not, so the DLL is found in the
// child's module list rather than by LoadLibraryW's result: by its headers, from the end of the
// list, where the module just loaded is (asking each module's file name walks the list each time,
// which under Wine costs a call to the server per module on the way).
BYTE* ModuleBase(HANDLE process, const std::wstring& path) {
    ImageIdentity wanted;
    if (!ReadFileIdentity(path, wanted)) return nullptr;
    std::vector<HMODULE> modules(256);
    for (;;) {
        DWORD needed = 0;
        const DWORD size = static_cast<DWORD>(modules.size() * sizeof(HMODULE));
        if (!EnumProcessModulesEx(process, modules.data(), size, &needed, LIST_MODULES_DEFAULT)) return nullptr;
        modules.resize(needed / sizeof(HMODULE));
        if (needed <= size) break;
    }
    for (auto module = modules.rbegin(); module != modules.rend(); ++module) {
        auto* base = reinterpret_cast<BYTE*>(*module);
        IMAGE_DOS_HEADER dos{};
        IMAGE_NT_HEADERS nt{};
        if (ReadRemote(process, base, dos) && dos.e_magic == IMAGE_DOS_SIGNATURE &&
            ReadRemote(process, base + dos.e_lfanew, nt) && nt.Signature == IMAGE_NT_SIGNATURE &&
            IdentityOf(nt) == wanted)
            return base;
    }
    return nullptr;
}

// Whether an export's name is `wanted`, also as a compiler decorates a stdcall function
// (DorrikGuestStart@4 from MinGW, _DorrikGuestStart@4 from Microsoft's).
bool IsExportNamed(HANDLE process, const BYTE* name, const char* wanted) {
    char text[64] = {};
    SIZE_T got = 0;
    // In one read, unless the name ends the image's last page.
    if (!ReadProcessMemory(process, name, text, sizeof(text) - 1, &got)) {
        for (size_t i = 0; i + 1 < sizeof(text); ++i) {
            if (!ReadRemote(process, name + i, text[i])) return false;
            if (!text[i]) break;
        }
    }
    const char* plain = text[0] == '_' ? text + 1 : text;
    const size_t length = std::strlen(wanted);
    return std::strncmp(plain, wanted, length) == 0 && (plain[length] == '\0' || plain[length] == '@');
}

// The address of an export of a module loaded in the child, read from its export table there.
BYTE* RemoteExport(HANDLE process, BYTE* base, const char* wanted) {
    IMAGE_DOS_HEADER dos{};
    IMAGE_NT_HEADERS nt{};
    if (!ReadRemote(process, base, dos) || dos.e_magic != IMAGE_DOS_SIGNATURE ||
        !ReadRemote(process, base + dos.e_lfanew, nt) || nt.Signature != IMAGE_NT_SIGNATURE)
        return nullptr;
    const IMAGE_DATA_DIRECTORY& directory = nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    IMAGE_EXPORT_DIRECTORY exports{};
    if (!directory.VirtualAddress || !ReadRemote(process, base + directory.VirtualAddress, exports)) return nullptr;
    for (DWORD i = 0; i < exports.NumberOfNames; ++i) {
        DWORD nameRva = 0;
        if (!ReadRemote(process, base + exports.AddressOfNames + i * sizeof(DWORD), nameRva) ||
            !IsExportNamed(process, base + nameRva, wanted))
            continue;
        WORD ordinal = 0;
        DWORD functionRva = 0;
        if (!ReadRemote(process, base + exports.AddressOfNameOrdinals + i * sizeof(WORD), ordinal) ||
            !ReadRemote(process, base + exports.AddressOfFunctions + ordinal * sizeof(DWORD), functionRva))
            return nullptr;
        return base + functionRva;
    }
    return nullptr;
}

// Waits until the child's main thread, running the queued APCs, has suspended itself: it is one
// APC away once the load's signal came.
bool WaitForSelfSuspension(HANDLE process, HANDLE thread) {
    for (;;) {
        const DWORD before = SuspendThread(thread);
        if (before == static_cast<DWORD>(-1)) return false;
        ResumeThread(thread);
        if (before > 0) return true;
        if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0) return false;
        SwitchToThread();
    }
}

InjectResult Failed(InjectStep step, DWORD error = GetLastError()) { return InjectResult{step, error, nullptr, false}; }

InjectResult FailedHeld(InjectStep step, DWORD error = GetLastError()) { return InjectResult{step, error, nullptr, true}; }

}  // namespace

InjectResult BringInGuest(HANDLE process, HANDLE thread, const std::wstring& dll, Look look, HANDLE ready,
                          bool keepSuspended) {
    // One block in the child: the settings, then the DLL's path.
    const SIZE_T pathBytes = (dll.size() + 1) * sizeof(wchar_t);
    auto* block = static_cast<BYTE*>(
        VirtualAllocEx(process, nullptr, sizeof(GuestSettings) + pathBytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!block) return FailedHeld(InjectStep::Prepare);
    BYTE* const remotePath = block + sizeof(GuestSettings);
    GuestSettings settings{sizeof(GuestSettings), look, 0, GuestStatus::Pending, 0};
    OwnHandle loaded{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    HandleInChild loadedInChild{process};
    if (!loaded.handle || !WriteProcessMemory(process, remotePath, dll.c_str(), pathBytes, nullptr) ||
        !DuplicateHandle(GetCurrentProcess(), loaded.handle, process, &loadedInChild.handle, EVENT_MODIFY_STATE,
                         FALSE, 0)) {
        const DWORD error = GetLastError();
        VirtualFreeEx(process, block, 0, MEM_RELEASE);
        return FailedHeld(InjectStep::Prepare, error);
    }

    // On the main thread, once it runs, after the program's static DLLs have started: the load,
    // the signal that it returned, and the thread's suspension of itself.
    if (!QueueUserAPC(Kernel32Apc("LoadLibraryW"), thread, reinterpret_cast<ULONG_PTR>(remotePath)) ||
        !QueueUserAPC(Kernel32Apc("SetEvent"), thread, reinterpret_cast<ULONG_PTR>(loadedInChild.handle)) ||
        !QueueUserAPC(Kernel32Apc("SuspendThread"), thread, kCurrentThread))
        return FailedHeld(InjectStep::Queue);  // nothing ran: the block stays with the child
    if (ResumeThread(thread) == static_cast<DWORD>(-1)) return FailedHeld(InjectStep::Queue);

    // No deadline: until the load returns, the program's static DLLs are starting, as they would
    // without the skin.
    HANDLE handles[] = {loaded.handle, process};
    if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0 ||
        !WaitForSelfSuspension(process, thread))
        return Failed(InjectStep::Ended);

    BYTE* const base = ModuleBase(process, dll);
    BYTE* const start = base ? RemoteExport(process, base, kGuestStartName) : nullptr;
    InjectResult result{InjectStep::Done, 0, block, false};
    HANDLE readyInChild = nullptr;
    if (!base) {
        result = Failed(InjectStep::NotLoaded, 0);
    } else if (!start) {
        result = Failed(InjectStep::NoStart, 0);
    } else if (ready && !DuplicateHandle(GetCurrentProcess(), ready, process, &readyInChild, EVENT_MODIFY_STATE,
                                         FALSE, 0)) {
        result = Failed(InjectStep::Prepare);
    } else {
        settings.readyEvent = static_cast<std::uint64_t>(reinterpret_cast<ULONG_PTR>(readyInChild));
        if (!WriteProcessMemory(process, block, &settings, sizeof(settings), nullptr) ||
            !QueueUserAPC(reinterpret_cast<PAPCFUNC>(reinterpret_cast<void (*)()>(start)), thread,
                          reinterpret_cast<ULONG_PTR>(block)))
            result = Failed(InjectStep::Queue);
    }
    if (result.failed != InjectStep::Done && readyInChild)
        DuplicateHandle(process, readyInChild, nullptr, nullptr, 0, FALSE, DUPLICATE_CLOSE_SOURCE);
    // The thread suspended itself once; that suspension stands for its creator's CREATE_SUSPENDED.
    if (!keepSuspended) ResumeThread(thread);
    return result;
}

bool IsOfOtherArchitecture(HANDLE process, bool& known) {
    BOOL childUnderWow64 = FALSE;
    known = IsWow64Process(process, &childUnderWow64) != FALSE;
#ifdef _WIN64
    return known && childUnderWow64;
#else
    // 32-bit code under WOW64 is on 64-bit Windows, where a child outside WOW64 is 64-bit.
    BOOL selfUnderWow64 = FALSE;
    known = known && IsWow64Process(GetCurrentProcess(), &selfUnderWow64);
    return known && selfUnderWow64 && !childUnderWow64;
#endif
}

bool IsSystemService(HANDLE process) {
    static const wchar_t* const kServices[] = {L"explorer.exe", L"services.exe", L"winedevice.exe", L"plugplay.exe",
                                               L"rpcss.exe",   L"svchost.exe",  L"wineboot.exe",   L"conhost.exe"};
    wchar_t image[MAX_PATH * 2] = {};
    DWORD size = MAX_PATH * 2;
    wchar_t windows[MAX_PATH] = {};
    const UINT windowsLength = GetSystemWindowsDirectoryW(windows, MAX_PATH);
    // Under the Windows folder (system32, syswow64 or the folder itself).
    if (!QueryFullProcessImageNameW(process, 0, image, &size) || !windowsLength || size <= windowsLength ||
        CompareStringOrdinal(image, static_cast<int>(windowsLength), windows, static_cast<int>(windowsLength), TRUE) !=
            CSTR_EQUAL)
        return false;
    const wchar_t* name = std::wcsrchr(image, L'\\');
    name = name ? name + 1 : image;
    for (const wchar_t* service : kServices) {
        if (CompareStringOrdinal(name, -1, service, -1, TRUE) == CSTR_EQUAL) return true;
    }
    return false;
}

GuestStatus ReadGuestStatus(HANDLE process, void* settings, DWORD& error) {
    GuestSettings written{};
    if (!ReadRemote(process, static_cast<const BYTE*>(settings), written)) return GuestStatus::Pending;
    error = written.error;
    return written.status;
}

}  // namespace skinrun
