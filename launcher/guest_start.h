// Starting the program suspended, bringing the engine into it on its main thread before any of
// the program's own code runs, and waiting for it and every process started under it.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

#include "guest_settings.h"
#include "inject.h"

namespace skinrun {

class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    HANDLE get() const { return handle_; }
    void reset() {
        if (handle_ && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
        handle_ = nullptr;
    }

private:
    HANDLE handle_ = nullptr;
};

// A process this launcher started. Until it is let go it is ended with the launcher's scope,
// so no failure leaves it suspended or half-started.
struct Child {
    UniqueHandle process;
    UniqueHandle thread;
    DWORD processId = 0;
    bool letGo = false;

    Child() = default;
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child();
};

// CreateProcessW with the launcher's show state and, when it was given them, its standard
// handles. Returns 0 or the system's error code.
DWORD StartProcess(const std::wstring& application, const std::wstring& commandLine, DWORD flags,
                   Child& child);

// Brings the engine into the suspended child, lets it run and waits until the engine reports
// that it watches the program's windows. Empty on success, else what went wrong (for the
// caller's scope to end the child).
std::wstring BringInTheSkin(Child& child, const std::wstring& dll, Look look);

// The program and every process started under it, in one job whose completion port says when the
// last of them has ended. A launcher that cannot make one (or is in a job that allows no other)
// waits for the program alone.
struct ProcessTree {
    UniqueHandle job;
    UniqueHandle port;
    bool joined = false;
};

// Puts the suspended program into a new job.
void JoinTree(ProcessTree& tree, HANDLE program);

// Waits for the program and, when it joined a tree, for every process of it but the system's own
// (Wine's desktop and services, started from the first program that needs them), and gives the
// program's exit code.
DWORD WaitForTree(ProcessTree& tree, HANDLE program);

// Waits for the process to end and gives its exit code.
DWORD WaitForExitCode(HANDLE process);

}  // namespace skinrun
