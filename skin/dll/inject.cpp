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

// The wait queued on the child's main thread takes three arguments, which only ntdll's own queue
// passes on; the routine gets them as they are given.
using QueueApcThread = LONG(NTAPI*)(HANDLE thread, void* routine, ULONG_PTR first, ULONG_PTR second, ULONG_PTR third);

QueueApcThread NtdllQueue() {
    return reinterpret_cast<QueueApcThread>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueueApcThread")));
}

void CloseInChild(HANDLE process, HANDLE& handle) {
    if (handle) DuplicateHandle(process, handle, nullptr, nullptr, 0, FALSE, DUPLICATE_CLOSE_SOURCE);
    handle = nullptr;
}

InjectResult Failed(InjectStep step, DWORD error = GetLastError()) { return InjectResult{step, error}; }

// The level's RID and the user of a process's token.
struct Identity {
    DWORD level = 0;
    std::vector<BYTE> user;
    bool known = false;
};

Identity IdentityOfProcess(HANDLE process) {
    Identity identity;
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return identity;
    BYTE label[64 + SECURITY_MAX_SID_SIZE] = {};
    BYTE user[64 + SECURITY_MAX_SID_SIZE] = {};
    DWORD size = 0;
    if (GetTokenInformation(token, TokenIntegrityLevel, label, sizeof(label), &size) &&
        GetTokenInformation(token, TokenUser, user, sizeof(user), &size)) {
        PSID levelSid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(label)->Label.Sid;
        PSID userSid = reinterpret_cast<TOKEN_USER*>(user)->User.Sid;
        const UCHAR count = *GetSidSubAuthorityCount(levelSid);
        identity.level = count ? *GetSidSubAuthority(levelSid, count - 1u) : 0;
        const auto* userBytes = static_cast<const BYTE*>(userSid);
        identity.user.assign(userBytes, userBytes + GetLengthSid(userSid));
        identity.known = true;
    }
    CloseHandle(token);
    return identity;
}

}  // namespace

// Until the guest said it started, the child may still read the block and wait on the handle, and
// until the load's signal came it may still set the event: they stay with the child.
GuestOnTheWay::~GuestOnTheWay() {
    Release();
    for (HANDLE handle : {loaded_, thread_, process_}) {
        if (handle) CloseHandle(handle);
    }
}

// Ends the child's wait without a start: a call that does nothing, queued behind everything, ends
// whichever of the waits the thread is in or comes to.
void GuestOnTheWay::Release() {
    if (!waiting_ || started_) return;
    QueueUserAPC(Kernel32Apc("Sleep"), thread_, 0);
    waiting_ = false;
}

// A wait on the child's main thread until an APC comes (or this process ends, so that a child
// whose creator is gone runs on, without the skin): alertable, so that everything queued behind
// it runs inside it, before the program's own code.
bool GuestOnTheWay::QueueWait() {
    const QueueApcThread queue = NtdllQueue();
    return queue && queue(thread_, reinterpret_cast<void*>(Kernel32Apc("WaitForSingleObjectEx")),
                          reinterpret_cast<ULONG_PTR>(waiterInChild_), INFINITE, TRUE) >= 0;
}

InjectResult GuestOnTheWay::Queue(HANDLE process, HANDLE thread, const std::wstring& dll) {
    HANDLE self = GetCurrentProcess();
    dll_ = dll;
    if (!DuplicateHandle(self, process, self, &process_, 0, FALSE, DUPLICATE_SAME_ACCESS) ||
        !DuplicateHandle(self, thread, self, &thread_, 0, FALSE, DUPLICATE_SAME_ACCESS) ||
        !DuplicateHandle(self, self, process, &waiterInChild_, SYNCHRONIZE, FALSE, 0))
        return Failed(InjectStep::Prepare);
    // Nothing that needs the child's memory yet, so that its creator gets it back at once: the
    // load is queued behind the wait from Start.
    if (!QueueWait()) return Failed(InjectStep::Queue);
    waiting_ = true;
    return {};
}

// Behind the first wait, in it once the thread runs: the load, the signal that it returned, and
// a second wait, in which the start will run.
InjectResult GuestOnTheWay::QueueLoad() {
    // One block in the child: the settings, then the DLL's path.
    const SIZE_T pathBytes = (dll_.size() + 1) * sizeof(wchar_t);
    block_ = static_cast<BYTE*>(VirtualAllocEx(process_, nullptr, sizeof(GuestSettings) + pathBytes,
                                               MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!block_) return Failed(InjectStep::Prepare);
    BYTE* const remotePath = block_ + sizeof(GuestSettings);
    loaded_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!loaded_ || !WriteProcessMemory(process_, remotePath, dll_.c_str(), pathBytes, nullptr) ||
        !DuplicateHandle(GetCurrentProcess(), loaded_, process_, &loadedInChild_, EVENT_MODIFY_STATE, FALSE, 0)) {
        const DWORD error = GetLastError();
        VirtualFreeEx(process_, block_, 0, MEM_RELEASE);
        block_ = nullptr;
        return Failed(InjectStep::Prepare, error);
    }
    // The three go onto the thread together: a thread woken in its first wait by the load alone
    // could finish the load and go on into the program before the signal and the second wait
    // were queued, and the start would come too late. Held still while they are queued, it finds
    // them all when it wakes.
    AcquireSRWLockExclusive(&holding_);
    const bool held = SuspendThread(thread_) != static_cast<DWORD>(-1);
    const bool queued = QueueUserAPC(Kernel32Apc("LoadLibraryW"), thread_, reinterpret_cast<ULONG_PTR>(remotePath)) &&
                        QueueUserAPC(Kernel32Apc("SetEvent"), thread_, reinterpret_cast<ULONG_PTR>(loadedInChild_)) &&
                        QueueWait();
    if (held) ResumeThread(thread_);
    ReleaseSRWLockExclusive(&holding_);
    if (!queued) return Failed(InjectStep::Queue);
    return {};
}

bool GuestOnTheWay::RunsNow() {
    AcquireSRWLockExclusive(&holding_);
    const DWORD before = SuspendThread(thread_);
    if (before != static_cast<DWORD>(-1)) ResumeThread(thread_);
    ReleaseSRWLockExclusive(&holding_);
    return before == 0;
}

InjectResult GuestOnTheWay::Start(Look look, HANDLE ready) {
    if (!waiting_) return Failed(InjectStep::Queue, ERROR_INVALID_STATE);
    const InjectResult load = QueueLoad();
    if (load.failed != InjectStep::Done) return load;
    HANDLE handles[] = {loaded_, process_};
    if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0) return Failed(InjectStep::Ended);
    // The signal came: the child is done with that handle.
    CloseInChild(process_, loadedInChild_);

    BYTE* const base = ModuleBase(process_, dll_);
    BYTE* const start = base ? RemoteExport(process_, base, kGuestStartName) : nullptr;
    if (!base) return Failed(WaitForSingleObject(process_, 0) == WAIT_OBJECT_0 ? InjectStep::Ended : InjectStep::NotLoaded, 0);
    if (!start) return Failed(InjectStep::NoStart, 0);
    HANDLE readyInChild = nullptr;
    if (ready && !DuplicateHandle(GetCurrentProcess(), ready, process_, &readyInChild, EVENT_MODIFY_STATE, FALSE, 0))
        return Failed(InjectStep::Prepare);
    GuestSettings settings{sizeof(GuestSettings), look, static_cast<std::uint64_t>(reinterpret_cast<ULONG_PTR>(readyInChild)),
                           GuestStatus::Pending, 0};
    if (!WriteProcessMemory(process_, block_, &settings, sizeof(settings), nullptr) ||
        !QueueUserAPC(reinterpret_cast<PAPCFUNC>(reinterpret_cast<void (*)()>(start)), thread_,
                      reinterpret_cast<ULONG_PTR>(block_))) {
        const DWORD error = GetLastError();
        CloseInChild(process_, readyInChild);
        return Failed(InjectStep::Queue, error);
    }
    // The start runs in the child's wait, which it ends.
    started_ = true;
    waiting_ = false;
    return {};
}

GuestStatus GuestOnTheWay::Finish(DWORD& error) {
    GuestSettings written{};
    const bool read = block_ && ReadRemote(process_, block_, written);
    if (block_) VirtualFreeEx(process_, block_, 0, MEM_RELEASE);
    block_ = nullptr;
    CloseInChild(process_, waiterInChild_);
    if (!read) return GuestStatus::Pending;
    error = written.error;
    return written.status;
}

bool IsOfOtherArchitecture(HANDLE process, bool& known) {
    BOOL childUnderWow64 = FALSE;
    known = IsWow64Process(process, &childUnderWow64) != FALSE;
#ifdef _WIN64
    return known && childUnderWow64;
#else
    // 32-bit code under WOW64 is on 64-bit Windows, where a child outside WOW64 is 64-bit.
    static BOOL selfUnderWow64 = FALSE;
    static const bool selfKnown = IsWow64Process(GetCurrentProcess(), &selfUnderWow64) != FALSE;
    known = known && selfKnown;
    return known && selfUnderWow64 && !childUnderWow64;
#endif
}

bool IsSystemService(HANDLE process) {
    wchar_t image[MAX_PATH * 2] = {};
    DWORD size = MAX_PATH * 2;
    return QueryFullProcessImageNameW(process, 0, image, &size) && IsSystemServiceImage(image);
}

bool IsSystemServiceImage(const wchar_t* image) {
    static const wchar_t* const kServices[] = {L"explorer.exe", L"services.exe", L"winedevice.exe", L"plugplay.exe",
                                               L"rpcss.exe",   L"svchost.exe",  L"wineboot.exe",   L"conhost.exe"};
    wchar_t windows[MAX_PATH] = {};
    const UINT windowsLength = GetSystemWindowsDirectoryW(windows, MAX_PATH);
    // Under the Windows folder (system32, syswow64 or the folder itself).
    if (!windowsLength || std::wcslen(image) <= windowsLength ||
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

bool HasOwnIntegrityLevel(HANDLE process) {
    static const Identity own = IdentityOfProcess(GetCurrentProcess());
    const Identity child = IdentityOfProcess(process);
    return own.known && child.known && child.level == own.level && child.user == own.user;
}

}  // namespace skinrun
