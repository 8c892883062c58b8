// Names as the checks see them from outside the skin: a window's class in lower case, the skin's
// property names a window carries. The names are typed here, not taken from the engine, so that
// the checks hold the engine to them. Header-only, for the gallery's check and bench/ too.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace testing_support {

// Every property name the skin uses.
inline constexpr const char* kSkinPropertyNames[] = {
    "0BMP",       "0HDC",    "1BMP",    "1HDC",      "2BMP",     "2HDC",     "3BMP",     "3HDC",
    "ALPHALEVEL", "HDINDEX", "HMINDEX", "MOUSEFLAG", "OLDSTATE", "OLDSTYLE", "PROCADDR", "TIMERID",
};

// The property holding the bitmap of a push button's state surface, by state (0 normal, 1 hot,
// 2 pressed, 3 disabled).
inline constexpr const char* kStateBitmapNames[4] = {"0BMP", "1BMP", "2BMP", "3BMP"};

// The window's class name in lower case (class names match in any case).
inline std::string LowerClassName(HWND window) {
    char name[260] = {};
    GetClassNameA(window, name, 259);
    std::string lower(name);
    for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return lower;
}

inline BOOL CALLBACK CollectSkinPropertyName(HWND, LPSTR name, HANDLE, ULONG_PTR names) {
    // Properties set by atom have no string name.
    if (reinterpret_cast<ULONG_PTR>(name) <= 0xFFFF) return TRUE;
    for (const char* known : kSkinPropertyNames) {
        if (std::strcmp(known, name) == 0) {
            reinterpret_cast<std::vector<std::string>*>(names)->push_back(name);
            break;
        }
    }
    return TRUE;
}

// The skin's own property names that the window carries, in alphabetical order (the platform's
// own properties, such as Wine's, are left out).
inline std::vector<std::string> SkinPropertyNames(HWND window) {
    std::vector<std::string> names;
    EnumPropsExA(window, CollectSkinPropertyName, reinterpret_cast<LPARAM>(&names));
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace testing_support
