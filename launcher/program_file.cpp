#include "program_file.h"

#include <windows.h>

#include <cstddef>
#include <vector>

namespace skinrun {
namespace {

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

bool ReadAt(HANDLE file, LONGLONG offset, void* buffer, DWORD size) {
    LARGE_INTEGER position;
    position.QuadPart = offset;
    DWORD read = 0;
    return SetFilePointerEx(file, position, nullptr, FILE_BEGIN) &&
           ReadFile(file, buffer, size, &read, nullptr) && read == size;
}

// What the image headers say: the optional header's subsystem field sits at the same offset
// in 32- and 64-bit images.
ProgramKind KindFromHeaders(const std::wstring& path) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) return ProgramKind::Missing;
    IMAGE_DOS_HEADER dos{};
    if (!ReadAt(file.get(), 0, &dos, sizeof(dos)) || dos.e_magic != IMAGE_DOS_SIGNATURE)
        return ProgramKind::NotAProgram;
    struct {
        DWORD signature;
        IMAGE_FILE_HEADER file;
        IMAGE_OPTIONAL_HEADER32 optional;
    } nt{};
    constexpr DWORD kThroughSubsystem = offsetof(decltype(nt), optional) +
                                        offsetof(IMAGE_OPTIONAL_HEADER32, Subsystem) +
                                        sizeof(nt.optional.Subsystem);
    if (dos.e_lfanew <= 0 || !ReadAt(file.get(), dos.e_lfanew, &nt, kThroughSubsystem) ||
        nt.signature != IMAGE_NT_SIGNATURE || (nt.file.Characteristics & IMAGE_FILE_DLL) ||
        !(nt.file.Characteristics & IMAGE_FILE_EXECUTABLE_IMAGE))
        return ProgramKind::NotAProgram;
    if (nt.optional.Magic != IMAGE_NT_OPTIONAL_HDR32_MAGIC &&
        nt.optional.Magic != IMAGE_NT_OPTIONAL_HDR64_MAGIC)
        return ProgramKind::NotAProgram;
    switch (nt.optional.Subsystem) {
    case IMAGE_SUBSYSTEM_WINDOWS_GUI:
        return ProgramKind::Windowed;
    case IMAGE_SUBSYSTEM_WINDOWS_CUI:
        return ProgramKind::Console;
    default:
        return ProgramKind::NotAProgram;
    }
}

}  // namespace

ProgramFile FindProgram(const std::wstring& name) {
    // The search a command line makes: the launcher's folder, the current folder, the system
    // folders, then PATH; ".exe" is added to a name without an extension.
    std::vector<wchar_t> found(MAX_PATH);
    for (;;) {
        const DWORD length = SearchPathW(nullptr, name.c_str(), L".exe",
                                         static_cast<DWORD>(found.size()), found.data(), nullptr);
        if (length == 0) return {name, ProgramKind::Missing};
        if (length < found.size()) break;
        found.resize(length + 1);
    }
    ProgramFile program{found.data(), ProgramKind::Missing};
    const DWORD attributes = GetFileAttributesW(program.path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return program;
    program.kind = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? ProgramKind::NotAProgram
                                                           : KindFromHeaders(program.path);
    return program;
}

std::wstring LauncherFolder() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) break;
        path.resize(path.size() * 2);
    }
    std::wstring folder(path.data());
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

bool FileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace skinrun
