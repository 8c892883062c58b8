// Stands in for a rundll32.exe that someone left in a downloads folder: when it runs, it leaves
// its command line in planted-rundll32-ran.txt beside itself.
#include <windows.h>

#include <string>

int main() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    std::wstring file(path, length);
    file = file.substr(0, file.find_last_of(L'\\') + 1) + L"planted-rundll32-ran.txt";
    const HANDLE out = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return 1;
    const char* line = GetCommandLineA();
    DWORD written = 0;
    WriteFile(out, line, static_cast<DWORD>(lstrlenA(line)), &written, nullptr);
    CloseHandle(out);
    return 0;
}
