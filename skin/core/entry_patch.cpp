#include "core/entry_patch.h"

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>

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
    if (*op == 0x68) return prefix + 5;                  // push imm32
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

}  // namespace

bool RedirectEntry(void* function, const void* replacement, void** original) {
    auto* entry = static_cast<Byte*>(function);
    Byte* block = nullptr;
    Byte* landing = nullptr;      // where the entry's own jump lands: a jump to the replacement
    void* runsOriginal = nullptr;
    size_t moved = 0;             // the entry's bytes the jump replaces
    if (entry[0] == 0xE9) {
        // An entry that already jumps elsewhere (another copy of the engine, another hooking
        // library): the skin goes in front, and its original is where that jump led.
        std::int32_t rel = 0;
        std::memcpy(&rel, entry + 1, sizeof(rel));
        moved = kJumpSize;
        if (!(block = AllocateNear(entry))) return false;
        landing = block;
        runsOriginal = entry + kJumpSize + rel;
    } else {
        while (moved < kJumpSize) {
            const size_t length = InstructionLength(entry + moved);
            if (!length || moved + length > kMovedMost) return false;
            moved += length;
        }
        if (!(block = AllocateNear(entry))) return false;
        // The block: the moved instructions and the jump back behind them, then the jump to the
        // replacement.
        Byte* const back = block + moved;
        std::memcpy(block, entry, moved);
        if (kIs64)
            WriteFarJump(back, entry + moved);
        else
            WriteJump(back, back, entry + moved);
        landing = block + 40;
        runsOriginal = block;
    }
    if (kIs64)
        WriteFarJump(landing, replacement);
    else
        WriteJump(landing, landing, replacement);
    DWORD old = 0;
    if (!VirtualProtect(block, kBlockSize, PAGE_EXECUTE_READ, &old) ||
        !VirtualProtect(entry, moved, PAGE_EXECUTE_READWRITE, &old)) {
        VirtualFree(block, 0, MEM_RELEASE);
        return false;
    }
    FlushInstructionCache(GetCurrentProcess(), block, kBlockSize);
    InterlockedExchangePointer(original, runsOriginal);
    Byte patch[kMovedMost];
    std::memset(patch, 0xCC, sizeof(patch));
    WriteJump(patch, entry, landing);
    std::memcpy(entry, patch, moved);
    VirtualProtect(entry, moved, old, &old);
    FlushInstructionCache(GetCurrentProcess(), entry, moved);
    return true;
}

}  // namespace skin
