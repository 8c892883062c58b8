// What skinrun hands to the engine it loads into the program it starts. The launcher makes a
// named mapping that carries the child's process id in its name before the child runs any code;
// only that child finds it, so a program that loads dorrikskin.dll itself never sees any of this.
// Launcher and DLL are always of one architecture (the launcher hands a program of the other one
// to its sibling), so the layout only has to agree with itself.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace skinrun {

// How the program's windows are skinned.
enum class Look : std::uint32_t {
    Whole = 0,    // every option the engine has
    Classic = 1,  // only what AttachSkin gives (--classic)
};

// Written by the guest once, just before it sets the ready event.
enum class GuestStatus : std::int32_t {
    Pending = 0,
    Ready = 1,
    NoSettings = -1,     // the mapping was there but could not be read
    HookRefused = -2,    // SetWindowsHookExW failed; `error` says why
};

struct GuestSettings {
    std::uint32_t size;          // sizeof(GuestSettings): a mismatched pair is refused
    Look look;
    std::uint64_t readyEvent;    // an event handle valid in the child (duplicated there)
    GuestStatus status;          // written by the guest
    std::uint32_t error;         // GetLastError() of the step that failed
};

inline std::wstring GuestSettingsName(DWORD processId) {
    return L"Local\\DorrikSkinrun-" + std::to_wstring(processId);
}

}  // namespace skinrun
