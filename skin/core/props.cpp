#include "core/props.h"

#include "core/engine.h"

#include <cstring>

namespace skin {

namespace {

const char* const kSurfaceKeys[kStateCount] = {"0HDC", "1HDC", "2HDC", "3HDC"};
const char* const kBitmapKeys[kStateCount] = {"0BMP", "1BMP", "2BMP", "3BMP"};

const char* const kSlotNames[kSlotCount] = {
    kPropProcAddr,  kPropOldStyle,  kPropOldState,  kPropMouseFlag,  kPropTimerId,  kPropAlphaLevel,
    kPropHdIndex,   kPropHmIndex,   kSurfaceKeys[0], kSurfaceKeys[1], kSurfaceKeys[2], kSurfaceKeys[3],
    kBitmapKeys[0], kBitmapKeys[1], kBitmapKeys[2], kBitmapKeys[3],
};

// The engine passes its own constants, so the address usually answers; callers with a string of
// their own ("0BMP") are matched by text.
int SlotOf(const char* name) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (kSlotNames[slot] == name) return slot;
    }
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (std::strcmp(kSlotNames[slot], name) == 0) return slot;
    }
    return -1;
}

}  // namespace

const char* StateSurfaceKey(int state) { return kSurfaceKeys[state & 3]; }
const char* StateBitmapKey(int state) { return kBitmapKeys[state & 3]; }

// Each thread keeps the records of its own windows, and a window's messages always run on its
// own thread: the lookups never see another thread's records.
WindowRecord* FindRecord(HWND window) {
    EngineState* engine = EngineIfAny();
    if (!engine) return nullptr;
    const auto found = engine->records.find(window);
    return found == engine->records.end() ? nullptr : &found->second;
}

WindowRecord& CreateRecord(HWND window) { return Engine().records[window] = WindowRecord{}; }

void EraseRecord(HWND window) {
    if (EngineState* engine = EngineIfAny()) engine->records.erase(window);
}

size_t RecordCount() {
    const EngineState* engine = EngineIfAny();
    return engine ? engine->records.size() : 0;
}

std::vector<HWND> RecordedWindows() {
    std::vector<HWND> windows;
    const EngineState* engine = EngineIfAny();
    if (!engine) return windows;
    windows.reserve(engine->records.size());
    for (const auto& entry : engine->records) windows.push_back(entry.first);
    return windows;
}

intptr_t GetSkinProp(HWND window, const char* name) {
    const WindowRecord* record = FindRecord(window);
    const int slot = record && name ? SlotOf(name) : -1;
    return slot < 0 ? 0 : record->values[slot];
}

void SetSkinProp(HWND window, const char* name, intptr_t value) {
    SetPropA(window, name, reinterpret_cast<HANDLE>(value));
    WindowRecord* record = FindRecord(window);
    const int slot = record ? SlotOf(name) : -1;
    if (slot < 0) return;
    record->values[slot] = value;
    if (slot == SlotProcAddr && value != 0) record->previous = reinterpret_cast<WNDPROC>(value);
}

void RemoveSkinProp(HWND window, const char* name) {
    RemovePropA(window, name);
    WindowRecord* record = FindRecord(window);
    const int slot = record ? SlotOf(name) : -1;
    if (slot >= 0) record->values[slot] = 0;
}

HDC GetStateSurface(HWND window, int state) {
    const WindowRecord* record = FindRecord(window);
    return record ? reinterpret_cast<HDC>(record->values[SlotSurface0 + (state & 3)]) : nullptr;
}

bool IsAttached(HWND window) {
    const WindowRecord* record = FindRecord(window);
    return record && record->link == Link::Attached && record->values[SlotProcAddr] != 0;
}

ControlKind AttachedKind(HWND window) {
    const WindowRecord* record = FindRecord(window);
    return record && record->link == Link::Attached ? record->kind : ControlKind::Other;
}

}  // namespace skin
