#include "core/props.h"

#include <cstring>
#include <unordered_map>

namespace skin {

namespace {

const char* const kSurfaceKeys[kStateCount] = {"0HDC", "1HDC", "2HDC", "3HDC"};
const char* const kBitmapKeys[kStateCount] = {"0BMP", "1BMP", "2BMP", "3BMP"};

const char* const kSlotNames[kSlotCount] = {
    kPropProcAddr,  kPropOldStyle,  kPropOldState,  kPropMouseFlag,  kPropTimerId,  kPropAlphaLevel,
    kPropHdIndex,   kPropHmIndex,   kSurfaceKeys[0], kSurfaceKeys[1], kSurfaceKeys[2], kSurfaceKeys[3],
    kBitmapKeys[0], kBitmapKeys[1], kBitmapKeys[2], kBitmapKeys[3],
};

using RecordMap = std::unordered_map<HWND, WindowRecord>;

// Made on first use and never destroyed: a program's own global destructor may still destroy a
// skinned window at exit, after every destructor of the engine's would have run.
RecordMap& Records() {
    static RecordMap* const records = new RecordMap;
    return *records;
}

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

WindowRecord* FindRecord(HWND window) {
    RecordMap& records = Records();
    const auto found = records.find(window);
    return found == records.end() ? nullptr : &found->second;
}

WindowRecord& CreateRecord(HWND window) { return Records()[window] = WindowRecord{}; }

void EraseRecord(HWND window) { Records().erase(window); }

size_t RecordCount() { return Records().size(); }

std::vector<HWND> RecordedWindows() {
    std::vector<HWND> windows;
    windows.reserve(Records().size());
    for (const auto& entry : Records()) windows.push_back(entry.first);
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
