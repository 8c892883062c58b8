#include "core/props.h"

namespace skin {

namespace {
const char* const kSurfaceKeys[kStateCount] = {"0HDC", "1HDC", "2HDC", "3HDC"};
const char* const kBitmapKeys[kStateCount] = {"0BMP", "1BMP", "2BMP", "3BMP"};
}  // namespace

const char* StateSurfaceKey(int state) { return kSurfaceKeys[state & 3]; }
const char* StateBitmapKey(int state) { return kBitmapKeys[state & 3]; }

intptr_t GetSkinProp(HWND window, const char* name) {
    return reinterpret_cast<intptr_t>(GetPropA(window, name));
}

void SetSkinProp(HWND window, const char* name, intptr_t value) {
    SetPropA(window, name, reinterpret_cast<HANDLE>(value));
}

void RemoveSkinProp(HWND window, const char* name) { RemovePropA(window, name); }

HDC GetStateSurface(HWND window, int state) {
    return reinterpret_cast<HDC>(GetSkinProp(window, StateSurfaceKey(state)));
}

}  // namespace skin
