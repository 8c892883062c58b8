// The interception of the platform's scroll-bar drawing under Wine 8: one entry of the table
// through which win32u calls user32 (the process's KernelCallbackTable). The table's layout and
// the entry's arguments belong to that Wine version, so nothing is touched on any other platform
// or version. Windows draws its scroll bars elsewhere (in the kernel, or in the theme's hook).
#include "core/scroll_draw_hook.h"

#include <winternl.h>

#include <cstring>

namespace skin {

namespace {

// Wine 8's callback number for drawing a scroll bar, and the arguments it passes.
constexpr size_t kDrawScrollBarEntry = 7;

struct WineTrackingInfo {
    HWND window;
    INT bar;
    INT thumbPos;
    INT thumbValue;
    BOOL vertical;
    INT hitTest;
};

struct WineDrawScrollBarArgs {
    HWND window;
    HDC dc;
    INT bar;
    UINT hitTest;
    WineTrackingInfo tracking;
    BOOL arrows;
    BOOL interior;
    RECT rect;
    UINT enableFlags;
    INT arrowSize;
    INT thumbPos;
    INT thumbSize;
    BOOL vertical;
};

using WineCallback = NTSTATUS(WINAPI*)(void* args, ULONG size);

WineCallback platformDraw = nullptr;
ScrollBarPainter painter = nullptr;
LONG installed = 0;

NTSTATUS WINAPI DrawScrollBarInstead(void* args, ULONG size) {
    // A size other than these arguments' would be another layout: left to the platform.
    if (args && size == sizeof(WineDrawScrollBarArgs) && painter) {
        const WineDrawScrollBarArgs& wine = *static_cast<const WineDrawScrollBarArgs*>(args);
        const PlatformScrollBar bar{wine.window,    wine.dc,       wine.bar,      wine.rect,
                                    wine.vertical != 0, wine.arrowSize, wine.thumbPos, wine.thumbSize,
                                    wine.enableFlags};
        if (painter(bar)) return 0;
    }
    return platformDraw(args, size);
}

// Wine 8.0 and its maintenance releases (8.0.1, 8.0.2, ...), whose callback table is 8.0's; the
// development releases after it (8.1 on) are free to change that table. Read from ntdll.
bool IsWine8() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (!ntdll) return false;
    using VersionFunction = const char*(CDECL*)();
    const auto version =
        reinterpret_cast<VersionFunction>(reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_version")));
    if (!version) return false;
    const char* text = version();
    return text && std::strncmp(text, "8.0", 3) == 0 && (text[3] == '\0' || text[3] == '.' || text[3] == ' ' ||
                                                        text[3] == '-' || text[3] == '~');
}

void** CallbackTable() {
    using QueryFunction = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<QueryFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic{};
    if (!query || query(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof(basic), nullptr) != 0 ||
        !basic.PebBaseAddress)
        return nullptr;
    // The table is the PEB's twelfth pointer-sized slot (0x2C in 32-bit, 0x58 in 64-bit).
    constexpr size_t kTableSlot = 11;
    return static_cast<void**>(reinterpret_cast<void* const*>(basic.PebBaseAddress)[kTableSlot]);
}

// The entry must already lead into a loaded module (user32, or another copy of the engine).
bool LeadsIntoModule(void* entry) {
    HMODULE module = nullptr;
    return entry && GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                       static_cast<LPCWSTR>(entry), &module);
}

}  // namespace

bool InterceptScrollBarDrawing(ScrollBarPainter newPainter) {
    if (InterlockedCompareExchange(&installed, 1, 0) != 0) return platformDraw != nullptr;
    if (!IsWine8()) return false;
    void** table = CallbackTable();
    if (!table) return false;
    void** entry = table + kDrawScrollBarEntry;
    if (!LeadsIntoModule(*entry)) return false;
    // The table outlives every window and every detach: the code it leads to must stay loaded.
    HMODULE self = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                            reinterpret_cast<LPCWSTR>(&DrawScrollBarInstead), &self))
        return false;
    DWORD protection = 0;
    if (!VirtualProtect(entry, sizeof(void*), PAGE_READWRITE, &protection)) return false;
    platformDraw = reinterpret_cast<WineCallback>(*entry);
    painter = newPainter;
    InterlockedExchangePointer(entry, reinterpret_cast<void*>(&DrawScrollBarInstead));
    VirtualProtect(entry, sizeof(void*), protection, &protection);
    return true;
}

}  // namespace skin
