// Scoped owners for GDI and USER handles, so that no path forgets a release.
// Each owner releases its handle exactly once, in the way the platform asks for that handle.
#pragma once

#include <windows.h>

#include <utility>

namespace skin {

// A context from GetWindowDC (whole window) or GetDC (client area), released with ReleaseDC.
class ScopedWindowDC {
public:
    enum Area { WholeWindow, ClientArea };
    explicit ScopedWindowDC(HWND window, Area area = WholeWindow)
        : window_(window), dc_(area == WholeWindow ? GetWindowDC(window) : GetDC(window)) {}
    ~ScopedWindowDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    ScopedWindowDC(const ScopedWindowDC&) = delete;
    ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// The caller's context when it gives one, else the window's whole-window context (GetWindowDC),
// released at the end of the scope.
class ScopedTargetDC {
public:
    ScopedTargetDC(HWND window, HDC target)
        : window_(window),
          borrowed_(target != nullptr),
          dc_(target ? target : GetWindowDC(window)) {}
    ~ScopedTargetDC() {
        if (!borrowed_ && dc_) ReleaseDC(window_, dc_);
    }
    ScopedTargetDC(const ScopedTargetDC&) = delete;
    ScopedTargetDC& operator=(const ScopedTargetDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    bool borrowed_;
    HDC dc_;
};

// A context made by CreateDCA or CreateCompatibleDC, deleted with DeleteDC.
class ScopedCreatedDC {
public:
    explicit ScopedCreatedDC(HDC dc = nullptr) : dc_(dc) {}
    ~ScopedCreatedDC() {
        if (dc_) DeleteDC(dc_);
    }
    ScopedCreatedDC(const ScopedCreatedDC&) = delete;
    ScopedCreatedDC& operator=(const ScopedCreatedDC&) = delete;
    HDC get() const { return dc_; }
    HDC release() { return std::exchange(dc_, nullptr); }

private:
    HDC dc_;
};

// A pen, brush, font, bitmap, region or palette, deleted with DeleteObject. Declare it before the
// ScopedSelectObject that selects it, so that it is deselected before it is deleted.
template <typename Handle>
class ScopedGdiObject {
public:
    explicit ScopedGdiObject(Handle object = nullptr) : object_(object) {}
    ~ScopedGdiObject() {
        if (object_) DeleteObject(object_);
    }
    ScopedGdiObject(const ScopedGdiObject&) = delete;
    ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;
    Handle get() const { return object_; }
    Handle release() { return std::exchange(object_, nullptr); }
    void reset(Handle object = nullptr) {
        if (object_) DeleteObject(object_);
        object_ = object;
    }

private:
    Handle object_;
};

using ScopedBitmap = ScopedGdiObject<HBITMAP>;
using ScopedBrush = ScopedGdiObject<HBRUSH>;
using ScopedRegion = ScopedGdiObject<HRGN>;
using ScopedPalette = ScopedGdiObject<HPALETTE>;

// Selects an object into a context and puts the previous one back at the end of the scope.
class ScopedSelectObject {
public:
    ScopedSelectObject(HDC dc, HGDIOBJ object)
        : dc_(dc), previous_(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~ScopedSelectObject() {
        if (previous_) SelectObject(dc_, previous_);
    }
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace skin

namespace skin {

// BeginPaint and EndPaint around one scope; the invalid area is validated even if nothing draws.
class ScopedBeginPaint {
public:
    explicit ScopedBeginPaint(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~ScopedBeginPaint() { EndPaint(window_, &paint_); }
    ScopedBeginPaint(const ScopedBeginPaint&) = delete;
    ScopedBeginPaint& operator=(const ScopedBeginPaint&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

}  // namespace skin
