#include "messages.h"

#include <string>
#include <vector>

namespace skinrun {
namespace {

bool Usable(HANDLE handle) {
    return handle && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

bool Write(HANDLE output, const std::wstring& text) {
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(output, &mode))
        return WriteConsoleW(output, text.c_str(), static_cast<DWORD>(text.size()), &written, nullptr);
    // A file or a pipe gets UTF-8.
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                          nullptr, 0, nullptr, nullptr);
    std::vector<char> utf8(static_cast<size_t>(bytes > 0 ? bytes : 0));
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(),
                            bytes, nullptr, nullptr);
    return WriteFile(output, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

// A windowed program has no console of its own: the one of whoever started it, if any.
bool WriteToParentConsole(const std::wstring& text) {
    if (!GetConsoleWindow() && !AttachConsole(ATTACH_PARENT_PROCESS)) return false;
    HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    if (console == INVALID_HANDLE_VALUE) return false;
    const bool written = Write(console, text);
    CloseHandle(console);
    return written;
}

void ShowMessageBox(const std::wstring& text) {
    // Loaded here only: a launcher that imports user32 costs the program's start more.
    HMODULE user32 = LoadLibraryW(L"user32.dll");
    if (!user32) return;
    using MessageBoxFunction = int(WINAPI*)(HWND, LPCWSTR, LPCWSTR, UINT);
    auto messageBox = reinterpret_cast<MessageBoxFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(user32, "MessageBoxW")));
    if (messageBox) messageBox(nullptr, text.c_str(), L"skinrun", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
    FreeLibrary(user32);
}

}  // namespace

void Tell(const std::wstring& text) {
    const std::wstring line = L"skinrun: " + text + L"\r\n";
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (Usable(error) && Write(error, line)) return;
    if (WriteToParentConsole(line)) return;
    ShowMessageBox(text);
}

std::wstring SystemMessage(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length ? std::wstring(text, length) : L"";
    if (text) LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' ' ||
                                message.back() == L'.'))
        message.pop_back();
    const std::wstring code = L"error " + std::to_wstring(error);
    return message.empty() ? code : message + L" (" + code + L")";
}

}  // namespace skinrun
