// Bringing the guest into a new process whose main thread has never run: shared by skinrun and by
// the guest, which follows the processes its program starts.
//
// Nothing is named and nothing is shared: on the suspended main thread go, as APCs, the load of the
// DLL by its full path, the signal that it returned and the thread's suspension of itself. Once it
// has suspended itself the start's address is read from the DLL's exports in the child, the
// settings are written into memory allocated in the child and the start is queued with their
// address. The DLL's own start-up does nothing, so a program that loads it itself starts no guest.
#pragma once

#include <windows.h>

#include <string>

#include "guest_settings.h"

namespace skinrun {

enum class InjectStep {
    Done,
    Prepare,           // an event or the child's memory could not be had
    Queue,             // the APCs could not be queued or the thread resumed
    Ended,             // the child ended before the guest started
    NotLoaded,         // the DLL did not load in the child
    NoStart,           // the DLL in the child has no start (not of this build)
};

struct InjectResult {
    InjectStep failed = InjectStep::Done;
    DWORD error = 0;
    void* settings = nullptr;  // the settings' address in the child (freed by who waits for ready)
    bool held = false;         // the child's main thread never ran: still in its creation's suspension
};

// `ready`, when given, is an event of this process that the guest sets once it has started (its
// status is then in the settings). The child's main thread is left suspended once when
// `keepSuspended` (its creator asked for that), else it runs. On failure the thread is let run
// when it can be, without the guest.
InjectResult BringInGuest(HANDLE process, HANDLE thread, const std::wstring& dll, Look look, HANDLE ready,
                          bool keepSuspended);

// Whether a process is of the other architecture than this code (then the sibling launcher has
// to bring the guest in). False with `known` false when the system cannot tell.
bool IsOfOtherArchitecture(HANDLE process, bool& known);

// Whether the process is one of the programs that serve every program (Wine's desktop and
// services, which Wine starts from the first program that needs them): neither skinned nor waited
// for, as they outlive every program.
bool IsSystemService(HANDLE process);

// The guest's status as the child wrote it, read from outside.
GuestStatus ReadGuestStatus(HANDLE process, void* settings, DWORD& error);

}  // namespace skinrun
