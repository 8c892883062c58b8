// Each surface is a context with its own bitmap selected into it. The bitmap is freed only after
// its context (or after it has been swapped out of it): a selected bitmap cannot be deleted.
#include "render/state_surfaces.h"

#include "render/primitives.h"
#include "render/scoped_gdi.h"

namespace skin {

namespace {

struct StateSurface {
    HDC context = nullptr;
    HBITMAP bitmap = nullptr;
};

StateSurface MakeStateSurface(HDC reference, int width, int height) {
    StateSurface surface;
    surface.context = CreateCompatibleDC(reference);
    surface.bitmap = CreateSurfaceBitmap(reference, width, height);
    // The displaced default bitmap is a stock object and needs no freeing.
    if (surface.context && surface.bitmap) SelectObject(surface.context, surface.bitmap);
    return surface;
}

// False when no new bitmap could be made or selected: the surface keeps the one it has.
bool ResizeStateSurface(StateSurface& surface, HDC reference, int width, int height) {
    ScopedBitmap bitmap(CreateSurfaceBitmap(reference, width, height));
    if (!bitmap.get() || !SelectObject(surface.context, bitmap.get())) return false;
    // Swapped out of the context now, the old bitmap can go.
    if (surface.bitmap) DeleteObject(surface.bitmap);
    surface.bitmap = bitmap.release();
    return true;
}

void FreeStateSurface(const StateSurface& surface) {
    // The context first: that lets go of the bitmap, which can then go too.
    if (surface.context) DeleteDC(surface.context);
    if (surface.bitmap) DeleteObject(surface.bitmap);
}

StateSurface PublishedStateSurface(HWND window, int state) {
    return {GetStateSurface(window, state),
            reinterpret_cast<HBITMAP>(GetSkinProp(window, StateBitmapKey(state)))};
}

}  // namespace

void CreateStateSurfaces(HWND window, HDC reference, int width, int height) {
    for (int state = 0; state < kStateCount; ++state) {
        const StateSurface surface = MakeStateSurface(reference, width, height);
        SetSkinProp(window, StateSurfaceKey(state), reinterpret_cast<intptr_t>(surface.context));
        SetSkinProp(window, StateBitmapKey(state), reinterpret_cast<intptr_t>(surface.bitmap));
    }
}

void ResizeStateSurfaces(HWND window, HDC reference, int width, int height) {
    for (int state = 0; state < kStateCount; ++state) {
        StateSurface surface = PublishedStateSurface(window, state);
        if (!surface.context) continue;  // the button is being detached: nothing to resize
        if (ResizeStateSurface(surface, reference, width, height))
            SetSkinProp(window, StateBitmapKey(state), reinterpret_cast<intptr_t>(surface.bitmap));
    }
}

void DestroyStateSurfaces(HWND window) {
    for (int state = 0; state < kStateCount; ++state) {
        FreeStateSurface(PublishedStateSurface(window, state));
        RemoveSkinProp(window, StateSurfaceKey(state));
        RemoveSkinProp(window, StateBitmapKey(state));
    }
}

void FreeStateSurfaces(const WindowRecord& record) {
    for (int state = 0; state < kStateCount; ++state) {
        FreeStateSurface({reinterpret_cast<HDC>(record.values[SlotSurface0 + state]),
                          reinterpret_cast<HBITMAP>(record.values[SlotBitmap0 + state])});
    }
}

}  // namespace skin
