#include "core/entry_patch.h"

#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <type_traits>
#include <vector>

namespace skin {
namespace {

using Byte = unsigned char;

constexpr size_t kJumpSize = 5;       // jmp rel32
constexpr size_t kMovedMost = 24;     // room for the moved instructions in the block
constexpr size_t kBlockSize = 64;

#ifdef _WIN64
constexpr bool kIs64 = true;
#else
constexpr bool kIs64 = false;
#endif

// The size of a ModRM operand (with its SIB byte and displacement), or 0 when it is relative to
// the instruction pointer (which would point elsewhere once moved).
size_t ModRmSize(const Byte* modrm) {
    const int mod = *modrm >> 6, rm = *modrm & 7;
    if (mod == 3) return 1;
    size_t size = 1;
    if (rm == 4) {
        ++size;
        if (mod == 0 && (modrm[1] & 7) == 5) size += 4;
    } else if (mod == 0 && rm == 5) {
        if (kIs64) return 0;
        size += 4;
    }
    return size + (mod == 1 ? 1 : mod == 2 ? 4 : 0);
}

// The length of one instruction of the kinds that function entries start with (pushes, moves,
// stack adjustments, the hot-patch no-ops), or 0 for anything else.
size_t InstructionLength(const Byte* code) {
    size_t prefix = 0;
    bool operand16 = false, wide = false;
    if (*code == 0x66) {
        operand16 = true;
        ++prefix;
    }
    if (kIs64 && (code[prefix] & 0xF0) == 0x40) {
        wide = (code[prefix] & 8) != 0;
        ++prefix;
    }
    const Byte* op = code + prefix;
    const size_t immediate = operand16 ? 2 : 4;
    auto withModRm = [&](size_t extra) -> size_t {
        const size_t operand = ModRmSize(op + 1);
        return operand ? prefix + 1 + operand + extra : 0;
    };
    if (*op >= 0x50 && *op <= 0x5F) return prefix + 1;  // push, pop
    if (*op == 0x90) return prefix + 1;                  // nop
    if (*op == 0x6A) return prefix + 2;                  // push imm8
    if (*op == 0x68) return prefix + 1 + immediate;      // push imm32 (imm16 after 0x66)
    if (*op >= 0xB8 && *op <= 0xBF) return prefix + 1 + (wide ? 8 : immediate);
    switch (*op) {
    case 0x01: case 0x03: case 0x29: case 0x2B: case 0x31: case 0x33:
    case 0x39: case 0x3B: case 0x85: case 0x89: case 0x8B: case 0x8D:
        return withModRm(0);                             // add, sub, xor, cmp, test, mov, lea
    case 0x83: return withModRm(1);                      // arithmetic with imm8
    case 0x81: case 0xC7: return withModRm(immediate);   // arithmetic, mov with imm32
    case 0x0F:
        if (op[1] == 0x1F) {                             // the long nop
            const size_t operand = ModRmSize(op + 2);
            return operand ? prefix + 2 + operand : 0;
        }
        return 0;
    default:
        return 0;
    }
}

// A jmp rel32 written into `out` for the place `at` (where it will run).
void WriteJump(Byte* out, const Byte* at, const void* to) {
    const auto distance = reinterpret_cast<std::intptr_t>(to) - reinterpret_cast<std::intptr_t>(at + kJumpSize);
    const auto rel = static_cast<std::int32_t>(distance);
    out[0] = 0xE9;
    std::memcpy(out + 1, &rel, sizeof(rel));
}

// jmp [rip+0] followed by the address: reaches anywhere, 14 bytes (64-bit only).
void WriteFarJump(Byte* at, const void* to) {
    const Byte opcode[6] = {0xFF, 0x25, 0, 0, 0, 0};
    std::memcpy(at, opcode, sizeof(opcode));
    const auto address = reinterpret_cast<std::uintptr_t>(to);
    std::memcpy(at + sizeof(opcode), &address, sizeof(address));
}

bool WithinJump(const Byte* from, const Byte* to) {
    const std::intptr_t distance = reinterpret_cast<std::intptr_t>(to) - reinterpret_cast<std::intptr_t>(from);
    return distance > -0x7FFF0000LL && distance < 0x7FFF0000LL;
}

// A block of executable memory that a jmp rel32 at `target` reaches.
Byte* AllocateNear(const Byte* target) {
    if (!kIs64)
        return static_cast<Byte*>(VirtualAlloc(nullptr, kBlockSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    const std::uintptr_t granularity = system.dwAllocationGranularity;
    const std::uintptr_t origin = reinterpret_cast<std::uintptr_t>(target) & ~(granularity - 1);
    // Below the function first (the system's DLLs sit high), then above it.
    for (int direction : {-1, 1}) {
        for (std::uintptr_t step = 1; step < 0x7FF0; ++step) {
            const std::uintptr_t offset = step * granularity;
            if (direction < 0 && offset >= origin) break;
            auto* candidate = reinterpret_cast<Byte*>(direction < 0 ? origin - offset : origin + offset);
            if (!WithinJump(target, candidate)) break;
            MEMORY_BASIC_INFORMATION region{};
            if (!VirtualQuery(candidate, &region, sizeof(region))) continue;
            if (region.State != MEM_FREE) continue;
            if (void* block = VirtualAlloc(candidate, kBlockSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))
                return static_cast<Byte*>(block);
        }
    }
    return nullptr;
}

// The bytes at `at` replaced by `bytes` (at most eight) in one locked write of the eight bytes
// there: a thread that runs them sees either all the old ones or all the new ones.
void WriteEightAtOnce(Byte* at, const Byte* bytes, size_t count) {
    auto* word = reinterpret_cast<volatile LONG64*>(at);
    for (;;) {
        LONG64 before = 0;
        std::memcpy(&before, at, sizeof(before));
        LONG64 after = before;
        std::memcpy(&after, bytes, count);
        if (InterlockedCompareExchange64(word, after, before) == before) return;
    }
}

// The five bytes before a function that nothing runs: the room a compiler leaves for a jump there.
bool HasPatchRoom(const Byte* entry) {
    for (int i = 1; i <= static_cast<int>(kJumpSize); ++i) {
        if (entry[-i] != 0xCC && entry[-i] != 0x90) return false;
    }
    return true;
}

// A function already sent elsewhere through its patch room: a short jump back into it, where a
// jmp rel32 leads on.
bool IsHotPatched(const Byte* entry) {
    return entry[0] == 0xEB && entry[1] == static_cast<Byte>(-7) && entry[-5] == 0xE9;
}

const Byte* JumpTarget(const Byte* jump) {
    std::int32_t rel = 0;
    std::memcpy(&rel, jump + 1, sizeof(rel));
    return jump + kJumpSize + rel;
}

constexpr DWORD kHoldAccess = THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT | THREAD_SET_CONTEXT |
                              THREAD_QUERY_LIMITED_INFORMATION;

// The process's own threads, walked one by one where the system offers it (Windows Vista and
// later, and Wine): a snapshot lists every thread of the system, which under Wine takes its server
// about ten milliseconds each time.
using NextThreadFunction = LONG(NTAPI*)(HANDLE process, HANDLE thread, ACCESS_MASK access, ULONG attributes,
                                        ULONG flags, HANDLE* next);

std::vector<HANDLE> OtherThreads() {
    std::vector<HANDLE> threads;
    const DWORD self = GetCurrentThreadId();
    static const auto nextThread = reinterpret_cast<NextThreadFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtGetNextThread")));
    if (nextThread) {
        HANDLE thread = nullptr;
        for (HANDLE next = nullptr; nextThread(GetCurrentProcess(), thread, kHoldAccess, 0, 0, &next) == 0;) {
            threads.push_back(next);
            thread = next;
        }
        std::erase_if(threads, [self](HANDLE handle) {
            if (GetThreadId(handle) != self) return false;
            CloseHandle(handle);
            return true;
        });
        if (!threads.empty() || thread) return threads;
    }
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return threads;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != GetCurrentProcessId() || entry.th32ThreadID == self) continue;
        if (HANDLE thread = OpenThread(kHoldAccess, FALSE, entry.th32ThreadID)) threads.push_back(thread);
    }
    CloseHandle(snapshot);
    return threads;
}

// Every other thread of the process held still while an entry is rewritten in more than one write,
// and moved on to the same instruction in the block if it was stopped inside the bytes that move.
class OtherThreadsHeld {
public:
    OtherThreadsHeld() {
        std::vector<HANDLE> threads = OtherThreads();
        // Nothing is allocated once a thread is held: it may hold the heap's lock.
        held_.reserve(threads.size());
        for (HANDLE thread : threads) {
            if (SuspendThread(thread) == static_cast<DWORD>(-1)) {
                CloseHandle(thread);
                continue;
            }
            held_.push_back(thread);
        }
    }
    ~OtherThreadsHeld() {
        for (HANDLE thread : held_) {
            ResumeThread(thread);
            CloseHandle(thread);
        }
    }
    OtherThreadsHeld(const OtherThreadsHeld&) = delete;
    OtherThreadsHeld& operator=(const OtherThreadsHeld&) = delete;

    void MoveOutOf(const Byte* from, size_t size, const Byte* to) {
        for (HANDLE thread : held_) {
            CONTEXT context{};
            context.ContextFlags = CONTEXT_CONTROL;
            if (!GetThreadContext(thread, &context)) continue;
#ifdef _WIN64
            DWORD64& ip = context.Rip;
#else
            DWORD& ip = context.Eip;
#endif
            const auto at = reinterpret_cast<const Byte*>(static_cast<std::uintptr_t>(ip));
            if (at <= from || at >= from + size) continue;
            ip = static_cast<std::remove_reference_t<decltype(ip)>>(reinterpret_cast<std::uintptr_t>(to + (at - from)));
            SetThreadContext(thread, &context);
        }
    }

private:
    std::vector<HANDLE> held_;
};

// The block's second half: the jump on to the replacement, where the entry's own jump lands.
Byte* WriteLanding(Byte* block, const void* replacement) {
    Byte* const landing = block + 40;
    if (kIs64)
        WriteFarJump(landing, replacement);
    else
        WriteJump(landing, landing, replacement);
    return landing;
}

// The block's first half: the entry's first `moved` bytes and the jump back behind them. Returns
// where the original function now starts.
Byte* WriteMovedStart(Byte* block, const Byte* entry, size_t moved) {
    Byte* const back = block + moved;
    std::memcpy(block, entry, moved);
    if (kIs64)
        WriteFarJump(back, entry + moved);
    else
        WriteJump(back, back, entry + moved);
    return block;
}

bool SealBlock(Byte* block) {
    DWORD old = 0;
    if (!VirtualProtect(block, kBlockSize, PAGE_EXECUTE_READ, &old)) {
        VirtualFree(block, 0, MEM_RELEASE);
        return false;
    }
    FlushInstructionCache(GetCurrentProcess(), block, kBlockSize);
    return true;
}

// The entry's bytes from `first` to `last` writable while it lives.
class WritableCode {
public:
    WritableCode(Byte* first, size_t size) : first_(first), size_(size) {
        ok_ = VirtualProtect(first_, size_, PAGE_EXECUTE_READWRITE, &old_) != FALSE;
    }
    ~WritableCode() {
        if (!ok_) return;
        VirtualProtect(first_, size_, old_, &old_);
        FlushInstructionCache(GetCurrentProcess(), first_, size_);
    }
    WritableCode(const WritableCode&) = delete;
    WritableCode& operator=(const WritableCode&) = delete;
    bool ok() const { return ok_; }

private:
    Byte* first_;
    size_t size_;
    DWORD old_ = 0;
    bool ok_ = false;
};

// Through the patch room: the jump to the block goes into the room, where nothing runs, and then
// the entry's first two bytes become a short jump to it in one write (the first instruction is at
// least two bytes long, so no thread can be inside it). A second redirect changes only the room's
// jump's four-byte distance, aligned, again in one write.
bool RedirectThroughRoom(Byte* entry, const void* replacement, void** original) {
    Byte* const room = entry - kJumpSize;
    const bool again = IsHotPatched(entry);
    const size_t first = again ? 0 : InstructionLength(entry);
    if (again ? (reinterpret_cast<std::uintptr_t>(room + 1) % 4 != 0) : (first < 2 || first > kMovedMost))
        return false;
    Byte* const block = AllocateNear(entry);
    if (!block) return false;
    Byte* const landing = WriteLanding(block, replacement);
    void* const runsOriginal = again ? const_cast<Byte*>(JumpTarget(room)) : WriteMovedStart(block, entry, first);
    if (!SealBlock(block)) return false;
    const WritableCode writable(room, kJumpSize + 2);
    if (!writable.ok()) {
        VirtualFree(block, 0, MEM_RELEASE);
        return false;
    }
    InterlockedExchangePointer(original, runsOriginal);
    if (again) {
        const auto distance = static_cast<LONG>(reinterpret_cast<std::intptr_t>(landing) -
                                                reinterpret_cast<std::intptr_t>(entry));
        InterlockedExchange(reinterpret_cast<volatile LONG*>(room + 1), distance);
        return true;
    }
    WriteJump(room, room, landing);
    const SHORT shortJump = static_cast<SHORT>(0xEB | (0xF9 << 8));  // jmp -7, little-endian
    SHORT before = 0;
    std::memcpy(&before, entry, sizeof(before));
    InterlockedCompareExchange16(reinterpret_cast<volatile SHORT*>(entry), shortJump, before);
    return true;
}

}  // namespace

bool RedirectEntry(void* function, const void* replacement, void** original) {
    auto* entry = static_cast<Byte*>(function);
    if (IsHotPatched(entry) || (HasPatchRoom(entry) && entry[0] != 0xE9)) {
        if (RedirectThroughRoom(entry, replacement, original)) return true;
    }
    Byte* block = nullptr;
    void* runsOriginal = nullptr;
    size_t moved = 0;  // the entry's bytes the jump replaces
    if (entry[0] == 0xE9) {
        // An entry that already jumps elsewhere (another copy of the engine, another hooking
        // library): the skin goes in front, and its original is where that jump led. Only the
        // jump's distance changes, in one write.
        moved = kJumpSize;
        if (!(block = AllocateNear(entry))) return false;
        runsOriginal = const_cast<Byte*>(JumpTarget(entry));
    } else {
        while (moved < kJumpSize) {
            const size_t length = InstructionLength(entry + moved);
            if (!length || moved + length > kMovedMost) return false;
            moved += length;
        }
        if (!(block = AllocateNear(entry))) return false;
        runsOriginal = WriteMovedStart(block, entry, moved);
    }
    Byte* const landing = WriteLanding(block, replacement);
    if (!SealBlock(block)) return false;
    const size_t span = std::max<size_t>(moved, 8);
    const WritableCode writable(entry, span);
    if (!writable.ok()) {
        VirtualFree(block, 0, MEM_RELEASE);
        return false;
    }
    InterlockedExchangePointer(original, runsOriginal);
    Byte patch[kMovedMost];
    std::memset(patch, 0xCC, sizeof(patch));
    WriteJump(patch, entry, landing);
    if (entry[0] == 0xE9) {
        WriteEightAtOnce(entry, patch, kJumpSize);
        return true;
    }
    // A thread the system paused inside the instructions that move goes on in the block, where
    // the same instructions are; none runs the entry while it is written.
    OtherThreadsHeld held;
    held.MoveOutOf(entry, moved, block);
    if (moved <= 8)
        WriteEightAtOnce(entry, patch, moved);
    else
        std::memcpy(entry, patch, moved);
    return true;
}

}  // namespace skin
