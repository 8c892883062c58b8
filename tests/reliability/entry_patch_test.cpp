// Sending a function's calls to the skin while other threads call it: no caller may ever run an
// entry half rewritten, whether the entry has the platform's hot-patch room (Wine's and Windows'
// system functions), a plain prologue, or already leads to another copy of the engine.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

#include "core/entry_patch.h"

namespace reliability {
namespace {

using Byte = unsigned char;
using Function = int (*)();

int Replacement() { return 7; }

// Functions that give 7 either way, written into executable memory in the shapes system DLLs'
// entries have: five bytes of padding before a hot-patch no-op, or a plain frame set-up.
#ifdef _WIN64
const Byte kHotPatchShape[] = {0x48, 0x8D, 0xA4, 0x24, 0, 0, 0, 0,  // lea rsp, [rsp]
                               0x55, 0x48, 0x89, 0xE5,              // push rbp; mov rbp, rsp
                               0xB8, 7, 0, 0, 0, 0x5D, 0xC3};       // mov eax, 7; pop rbp; ret
const Byte kPlainShape[] = {0x55, 0x48, 0x89, 0xE5, 0x90, 0x90, 0x90,  // push rbp; mov rbp, rsp; nops
                            0xB8, 7, 0, 0, 0, 0x5D, 0xC3};
#else
const Byte kHotPatchShape[] = {0x8B, 0xFF, 0x55, 0x8B, 0xEC, 0x5D,  // mov edi, edi; push ebp; mov ebp, esp; pop ebp
                               0x55, 0x89, 0xE5,                    // push ebp; mov ebp, esp
                               0xB8, 7, 0, 0, 0, 0x5D, 0xC3};       // mov eax, 7; pop ebp; ret
const Byte kPlainShape[] = {0x55, 0x89, 0xE5, 0x90, 0x90, 0x90, 0x90,  // push ebp; mov ebp, esp; nops
                            0xB8, 7, 0, 0, 0, 0x5D, 0xC3};
#endif
// push word 7; mov eax, 7; pop dx; ret: the same bytes on both architectures.
const Byte kWordPushShape[] = {0x66, 0x68, 7, 0, 0xB8, 7, 0, 0, 0, 0x66, 0x5A, 0xC3};

constexpr size_t kSlot = 64;  // each function in a slot of its own, the entry 16 bytes in

struct Functions {
    Byte* memory = nullptr;
    size_t count = 0;
    Functions(const Byte* shape, size_t size, size_t n) : count(n) {
        memory = static_cast<Byte*>(VirtualAlloc(nullptr, n * kSlot, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        for (size_t i = 0; memory && i < n; ++i) {
            std::memset(memory + i * kSlot, 0xCC, kSlot);
            std::memcpy(memory + i * kSlot + 16, shape, size);
        }
        DWORD old = 0;
        if (memory) VirtualProtect(memory, n * kSlot, PAGE_EXECUTE_READ, &old);
    }
    ~Functions() { VirtualFree(memory, 0, MEM_RELEASE); }
    Function At(size_t i) const { return reinterpret_cast<Function>(memory + i * kSlot + 16); }
};

// Calls the function being redirected on more threads than the machine has cores, as fast as they
// can, until told to stop, so that some are always paused by the system somewhere inside its entry;
// counts any answer other than 7.
class Caller {
public:
    explicit Caller(const Functions& functions) : functions_(functions) {
        for (std::thread& thread : threads_) thread = std::thread([this] { Run(); });
    }
    ~Caller() {
        stop_ = true;
        for (std::thread& thread : threads_) thread.join();
    }
    // Moves the calls on to the function and waits until they are under way.
    void CallNow(size_t index) {
        current_ = index;
        const long start = calls_;
        while (calls_ - start < 20) SwitchToThread();
    }
    long Wrong() const { return wrong_; }

private:
    void Run() {
        while (!stop_) {
            if (functions_.At(current_)() != 7) ++wrong_;
            ++calls_;
        }
    }
    const Functions& functions_;
    std::atomic<bool> stop_{false};
    std::atomic<size_t> current_{0};
    std::atomic<long> calls_{0}, wrong_{0};
    std::thread threads_[4];
};

// A caller that runs a half-written entry faults on another thread: the program ends at once with
// a message rather than waiting for a debugger.
LONG WINAPI EndOnFault(EXCEPTION_POINTERS* fault) {
    std::fprintf(stderr, "a caller faulted (code %08lx at %p) running an entry being rewritten\n",
                 fault->ExceptionRecord->ExceptionCode, fault->ExceptionRecord->ExceptionAddress);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

TEST(EntryPatchTest, CallersNeverRunAHalfWrittenEntry) {
    const LPTOP_LEVEL_EXCEPTION_FILTER before = SetUnhandledExceptionFilter(EndOnFault);
    struct Case {
        const char* shape;
        const Byte* bytes;
        size_t size;
        size_t functions;
        int redirectsEach;  // the later ones go in front of the earlier ones
    };
    const Case cases[] = {
        {"hot-patch entry, redirected again and again", kHotPatchShape, sizeof(kHotPatchShape), 1, 800},
        {"hot-patch entries, each redirected once", kHotPatchShape, sizeof(kHotPatchShape), 800, 1},
        {"plain entries, each redirected once", kPlainShape, sizeof(kPlainShape), 100, 1},
        {"entries that push a word first", kWordPushShape, sizeof(kWordPushShape), 20, 1},
    };
    for (const Case& c : cases) {
        const Functions functions(c.bytes, c.size, c.functions);
        ASSERT_NE(nullptr, functions.memory);
        Caller caller(functions);
        std::vector<void*> originals(c.functions * c.redirectsEach);
        for (size_t i = 0; i < c.functions; ++i) {
            caller.CallNow(i);
            for (int round = 0; round < c.redirectsEach; ++round) {
                void** original = &originals[i * c.redirectsEach + round];
                ASSERT_TRUE(skin::RedirectEntry(reinterpret_cast<void*>(functions.At(i)),
                                                reinterpret_cast<const void*>(&Replacement), original))
                    << c.shape << ": function " << i << ", round " << round;
                // What the entry led to before still answers as it did.
                ASSERT_EQ(7, reinterpret_cast<Function>(*original)()) << c.shape;
            }
        }
        EXPECT_EQ(0, caller.Wrong()) << c.shape;
        EXPECT_EQ(7, functions.At(0)()) << c.shape;
    }
    SetUnhandledExceptionFilter(before);
}

}  // namespace
}  // namespace reliability
