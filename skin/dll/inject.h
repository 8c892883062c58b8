// Bringing the guest into a new process whose main thread has never run: shared by skinrun and by
// the guest, which follows the processes its program starts.
//
// Nothing is named and nothing is shared. In two steps: first, on the suspended main thread, an
// alertable wait (as an APC) that lasts until something is queued behind it or the one who queued
// it has ended; nothing of it runs before whoever owns the thread resumes it, the thread's
// suspension is never touched, and nothing in the child's memory is touched yet. Then, behind it,
// the load of the DLL by its full path, the signal that it returned and a second wait; once the
// signal came, the start's address is read from the DLL's exports in the child, the settings are
// written into memory allocated in the child and the start is queued with their address: it runs
// in the second wait, before the program's own code. The DLL's own start-up does nothing, so a
// program that loads it itself starts no guest.
#pragma once

#include <windows.h>

#include <string>

#include "guest_settings.h"

namespace skinrun {

enum class InjectStep {
    Done,
    Prepare,           // an event or the child's memory could not be had
    Queue,             // the APCs could not be queued
    Ended,             // the child ended before the guest started
    NotLoaded,         // the DLL did not load in the child
    NoStart,           // the DLL in the child has no start (not of this build)
};

struct InjectResult {
    InjectStep failed = InjectStep::Done;
    DWORD error = 0;
};

// One child on its way to the guest: this code's own handles to it (the creator's may be closed
// at any time) and what was put into it. Whatever is left when it goes is let go: a child still
// waiting for its start is released to run without it.
class GuestOnTheWay {
public:
    GuestOnTheWay() = default;
    GuestOnTheWay(const GuestOnTheWay&) = delete;
    GuestOnTheWay& operator=(const GuestOnTheWay&) = delete;
    ~GuestOnTheWay();

    // The first step, on a main thread that has never run; nothing is resumed. The process handle
    // needs the rights to write and duplicate into the child, the thread handle THREAD_SET_CONTEXT;
    // neither needs to outlive the call.
    InjectResult Queue(HANDLE process, HANDLE thread, const std::wstring& dll);

    // The second step, at once or once the thread was let run: queues the load and waits, without a
    // deadline (until the load returns the program's static DLLs are starting, as they would
    // without the skin), for it or the child's end, then queues the start. `ready`, when given, is an event of this
    // process that the guest sets once it has started; its status is then in the settings.
    InjectResult Start(Look look, HANDLE ready);

    // Once `ready` was set: the guest's status as the child wrote it; the block and the handle
    // the child waited on are taken out of it.
    GuestStatus Finish(DWORD& error);

    HANDLE process() const { return process_; }
    HANDLE thread() const { return thread_; }

    // Whether its creator lets the child run now (rather than holds it suspended); the moment the
    // queuing here holds the thread still does not count.
    bool RunsNow();

private:
    void Release();
    bool QueueWait();
    InjectResult QueueLoad();

    HANDLE process_ = nullptr, thread_ = nullptr;
    HANDLE loaded_ = nullptr;          // set in the child once the load returned
    HANDLE loadedInChild_ = nullptr;   // that event's handle in the child
    HANDLE waiterInChild_ = nullptr;   // this process, whose end ends the child's wait
    BYTE* block_ = nullptr;            // the settings and the DLL's path, in the child
    std::wstring dll_;
    bool waiting_ = false;             // the child's wait is queued and nothing ended it yet
    bool started_ = false;             // the start was queued
    SRWLOCK holding_ = SRWLOCK_INIT;   // held while this code holds the thread still
};

// Whether a process is of the other architecture than this code (then the sibling launcher has
// to bring the guest in). False with `known` false when the system cannot tell.
bool IsOfOtherArchitecture(HANDLE process, bool& known);

// Whether the process is one of the programs that serve every program (Wine's desktop and
// services, which Wine starts from the first program that needs them): neither skinned nor waited
// for, as they outlive every program.
bool IsSystemService(HANDLE process);
bool IsSystemServiceImage(const wchar_t* imagePath);

// Whether the process runs with the integrity level of this one: a child that another user's
// token or a different level made is never followed, as the skin comes from a folder that a
// process of lower rights may be able to write.
bool HasOwnIntegrityLevel(HANDLE process);

}  // namespace skinrun
