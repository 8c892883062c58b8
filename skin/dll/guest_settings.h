// What skinrun (or the guest in a parent process) hands to the guest it brings into a new
// process. Nothing is named: the settings are written into memory allocated in the child only,
// and their address is the argument of the guest's start, which only the one who queued the
// DLL's load can queue. A program that loads dorrikskin.dll itself never sees any of this.
// Injector and guest are always of one architecture (a child of the other one goes to the sibling
// launcher), so the layout only has to agree with itself.
#pragma once

#include <windows.h>

#include <cstdint>

namespace skinrun {

// How the program's windows are skinned.
enum class Look : std::uint32_t {
    Whole = 0,    // every option the engine has
    Classic = 1,  // only what AttachSkin gives (--classic)
};

// Written by the guest once, just before it sets the ready event (when there is one).
enum class GuestStatus : std::int32_t {
    Pending = 0,
    Ready = 1,
    NoSettings = -1,     // the settings are not of this DLL's layout
    HookRefused = -2,    // SetWindowsHookExW failed; `error` says why
    AlreadyThere = -3,   // another copy of the guest runs in the process already
};

struct GuestSettings {
    std::uint32_t size;          // sizeof(GuestSettings): a mismatched pair is refused
    Look look;
    std::uint64_t readyEvent;    // an event handle duplicated into the child for this, or 0
    GuestStatus status;          // written by the guest
    std::uint32_t error;         // GetLastError() of the step that failed
};

// The guest's start, exported by this name (decorated as the compiler decorates stdcall); queued
// as an APC with the settings' address.
constexpr char kGuestStartName[] = "DorrikGuestStart";

}  // namespace skinrun
