#include "gdi_accounting.h"

#include <cstring>
#include <map>
#include <set>
#include <sstream>
#include <utility>

#if defined(_MSC_VER)
#include <intrin.h>
#define CALLER _ReturnAddress()
#else
#define CALLER __builtin_return_address(0)
#endif

namespace testing_support {

namespace {

using Kind = ObjectKind;

// What a context holds, as far as the program selected it. Stock objects count as nothing.
struct Selection {
    HGDIOBJ bitmap = nullptr;
    HGDIOBJ brush = nullptr;
    HGDIOBJ pen = nullptr;
    HGDIOBJ font = nullptr;
    HGDIOBJ palette = nullptr;
};

// A made object and the address in the program that made it, for finding the leaker.
struct Made {
    Kind kind;
    const void* origin;
};

struct Accounts {
    std::map<HANDLE, Made> objects;    // made by the program and alive
    std::map<HANDLE, int> selectedIn;  // contexts that hold the object now
    std::map<HDC, Selection> selections;
    std::map<HDC, int> windowContexts;  // obtained and not yet released (a context may repeat)
    std::set<std::pair<HWND, UINT_PTR>> timers;
    std::map<HWND, HRGN> windowRegions;  // owned by the system while the window has it
    std::set<HGDIOBJ> stock;
    GdiFaults faults;
    int failing[kObjectKinds] = {};  // creations still to fail, by kind
};

Accounts accounts;

// Threads make and free objects at once: the accounts are kept under one lock, taken again by a
// thread that holds it. Never held across a call that may send a window a message (painting,
// regions, destruction), which could wait for a thread that waits for the lock.
CRITICAL_SECTION& AccountsLock() {
    static CRITICAL_SECTION lock;
    static const bool made = [] {
        InitializeCriticalSection(&lock);
        return true;
    }();
    (void)made;
    return lock;
}

struct Locked {
    Locked() { EnterCriticalSection(&AccountsLock()); }
    ~Locked() { LeaveCriticalSection(&AccountsLock()); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
};

// The real functions, as the imports held them before the redirection.
struct RealFunctions {
    decltype(&::CreateCompatibleDC) CreateCompatibleDC = nullptr;
    decltype(&::CreateDCA) CreateDCA = nullptr;
    decltype(&::CreateDCW) CreateDCW = nullptr;
    decltype(&::CreateICA) CreateICA = nullptr;
    decltype(&::CreateICW) CreateICW = nullptr;
    decltype(&::DeleteDC) DeleteDC = nullptr;
    decltype(&::CreateCompatibleBitmap) CreateCompatibleBitmap = nullptr;
    decltype(&::CreateBitmap) CreateBitmap = nullptr;
    decltype(&::CreateBitmapIndirect) CreateBitmapIndirect = nullptr;
    decltype(&::CreateDIBSection) CreateDIBSection = nullptr;
    decltype(&::CreateDIBitmap) CreateDIBitmap = nullptr;
    decltype(&::CreateSolidBrush) CreateSolidBrush = nullptr;
    decltype(&::CreateHatchBrush) CreateHatchBrush = nullptr;
    decltype(&::CreatePatternBrush) CreatePatternBrush = nullptr;
    decltype(&::CreateBrushIndirect) CreateBrushIndirect = nullptr;
    decltype(&::CreatePen) CreatePen = nullptr;
    decltype(&::CreatePenIndirect) CreatePenIndirect = nullptr;
    decltype(&::ExtCreatePen) ExtCreatePen = nullptr;
    decltype(&::CreateFontA) CreateFontA = nullptr;
    decltype(&::CreateFontW) CreateFontW = nullptr;
    decltype(&::CreateFontIndirectA) CreateFontIndirectA = nullptr;
    decltype(&::CreateFontIndirectW) CreateFontIndirectW = nullptr;
    decltype(&::CreatePalette) CreatePalette = nullptr;
    decltype(&::CreateHalftonePalette) CreateHalftonePalette = nullptr;
    decltype(&::CreateRectRgn) CreateRectRgn = nullptr;
    decltype(&::CreateRectRgnIndirect) CreateRectRgnIndirect = nullptr;
    decltype(&::CreateRoundRectRgn) CreateRoundRectRgn = nullptr;
    decltype(&::CreateEllipticRgn) CreateEllipticRgn = nullptr;
    decltype(&::CreateEllipticRgnIndirect) CreateEllipticRgnIndirect = nullptr;
    decltype(&::CreatePolygonRgn) CreatePolygonRgn = nullptr;
    decltype(&::ExtCreateRegion) ExtCreateRegion = nullptr;
    decltype(&::DeleteObject) DeleteObject = nullptr;
    decltype(&::SelectObject) SelectObject = nullptr;
    decltype(&::SelectPalette) SelectPalette = nullptr;
    decltype(&::GetDC) GetDC = nullptr;
    decltype(&::GetDCEx) GetDCEx = nullptr;
    decltype(&::GetWindowDC) GetWindowDC = nullptr;
    decltype(&::ReleaseDC) ReleaseDC = nullptr;
    decltype(&::BeginPaint) BeginPaint = nullptr;
    decltype(&::EndPaint) EndPaint = nullptr;
    decltype(&::SetTimer) SetTimer = nullptr;
    decltype(&::KillTimer) KillTimer = nullptr;
    decltype(&::SetWindowRgn) SetWindowRgn = nullptr;
    decltype(&::DestroyWindow) DestroyWindow = nullptr;
};

RealFunctions real;

// A creation that is to fail does not reach the system at all.
bool Failing(Kind kind) {
    const Locked locked;
    int& left = accounts.failing[static_cast<int>(kind)];
    if (left <= 0) return false;
    --left;
    return true;
}

bool IsStock(HGDIOBJ object) {
    const Locked locked;
    return accounts.stock.count(object) != 0;
}

template <typename Handle>
Handle Record(Kind kind, const void* origin, Handle handle) {
    const Locked locked;
    if (handle && !IsStock(handle)) accounts.objects[handle] = {kind, origin};
    return handle;
}

int SelectedCount(HANDLE object) {
    const Locked locked;
    const auto found = accounts.selectedIn.find(object);
    return found == accounts.selectedIn.end() ? 0 : found->second;
}

bool IsMadeHere(HGDIOBJ object) {
    const Locked locked;
    return object && accounts.objects.count(object) != 0;
}

// The context's slot now holds `object`; what it held before is one context less selected.
void Reselect(HGDIOBJ& slot, HGDIOBJ object) {
    const Locked locked;
    if (slot == object) return;
    if (slot) {
        auto found = accounts.selectedIn.find(slot);
        if (found != accounts.selectedIn.end() && --found->second <= 0)
            accounts.selectedIn.erase(found);
    }
    slot = IsMadeHere(object) ? object : nullptr;
    if (slot) ++accounts.selectedIn[slot];
}

// The context is gone or back with the system: whatever it held is free again.
void ForgetSelection(HDC dc, bool releasedToSystem) {
    const Locked locked;
    auto found = accounts.selections.find(dc);
    if (found == accounts.selections.end()) return;
    Selection& held = found->second;
    for (HGDIOBJ* slot : {&held.bitmap, &held.brush, &held.pen, &held.font, &held.palette}) {
        if (*slot && releasedToSystem) ++accounts.faults.releasedWithSelection;
        Reselect(*slot, nullptr);
    }
    accounts.selections.erase(found);
}

// Timers and regions of destroyed windows went with them.
void ForgetDeadWindows() {
    const Locked locked;
    for (auto it = accounts.timers.begin(); it != accounts.timers.end();) {
        if (it->first && !IsWindow(it->first))
            it = accounts.timers.erase(it);
        else
            ++it;
    }
    for (auto it = accounts.windowRegions.begin(); it != accounts.windowRegions.end();) {
        if (!IsWindow(it->first))
            it = accounts.windowRegions.erase(it);
        else
            ++it;
    }
}

bool IsWindowRegion(HGDIOBJ object) {
    const Locked locked;
    for (const auto& [window, region] : accounts.windowRegions)
        if (region == object) return true;
    return false;
}

HDC Obtained(HDC dc) {
    const Locked locked;
    if (dc) ++accounts.windowContexts[dc];
    return dc;
}

void Released(HDC dc) {
    const Locked locked;
    if (!dc) return;
    auto found = accounts.windowContexts.find(dc);
    if (found == accounts.windowContexts.end()) {
        ++accounts.faults.unbalancedReleases;
        return;
    }
    if (--found->second > 0) return;
    accounts.windowContexts.erase(found);
    ForgetSelection(dc, true);
}

// ---- contexts ----

HDC WINAPI HookCreateCompatibleDC(HDC dc) {
    const Locked locked;
    if (Failing(Kind::Context)) return nullptr;
    return Record(Kind::Context, CALLER, real.CreateCompatibleDC(dc));
}
HDC WINAPI HookCreateDCA(LPCSTR driver, LPCSTR device, LPCSTR port, const DEVMODEA* mode) {
    const Locked locked;
    if (Failing(Kind::Context)) return nullptr;
    return Record(Kind::Context, CALLER, real.CreateDCA(driver, device, port, mode));
}
HDC WINAPI HookCreateDCW(LPCWSTR driver, LPCWSTR device, LPCWSTR port, const DEVMODEW* mode) {
    const Locked locked;
    if (Failing(Kind::Context)) return nullptr;
    return Record(Kind::Context, CALLER, real.CreateDCW(driver, device, port, mode));
}
HDC WINAPI HookCreateICA(LPCSTR driver, LPCSTR device, LPCSTR port, const DEVMODEA* mode) {
    const Locked locked;
    if (Failing(Kind::Context)) return nullptr;
    return Record(Kind::Context, CALLER, real.CreateICA(driver, device, port, mode));
}
HDC WINAPI HookCreateICW(LPCWSTR driver, LPCWSTR device, LPCWSTR port, const DEVMODEW* mode) {
    const Locked locked;
    if (Failing(Kind::Context)) return nullptr;
    return Record(Kind::Context, CALLER, real.CreateICW(driver, device, port, mode));
}

BOOL WINAPI HookDeleteDC(HDC dc) {
    const Locked locked;
    if (!dc) return real.DeleteDC(dc);  // nothing to delete: harmless
    const auto made = accounts.objects.find(dc);
    if (made == accounts.objects.end() || made->second.kind != Kind::Context) {
        if (accounts.windowContexts.count(dc)) {
            // A context from GetDC or BeginPaint is released, never deleted.
            ++accounts.faults.unbalancedReleases;
            return FALSE;
        }
        ++accounts.faults.unknownDeletes;
        return real.DeleteDC(dc);
    }
    const BOOL deleted = real.DeleteDC(dc);
    if (deleted) {
        // Deleting a context deselects what it held, so those objects can be deleted now.
        ForgetSelection(dc, false);
        accounts.objects.erase(made);
    }
    return deleted;
}

HDC WINAPI HookGetDC(HWND window) { return Obtained(real.GetDC(window)); }
// DCX_KEEPCLIPRGN, which the SDK headers leave out.
constexpr DWORD kKeepClipRegion = 0x00040000;

HDC WINAPI HookGetDCEx(HWND window, HRGN clip, DWORD flags) {
    const Locked locked;
    const HDC dc = Obtained(real.GetDCEx(window, clip, flags));
    // A clipping region given this way belongs to the system, which frees it with the context.
    if (dc && clip && (flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN)) && !(flags & kKeepClipRegion))
        accounts.objects.erase(clip);
    return dc;
}
HDC WINAPI HookGetWindowDC(HWND window) { return Obtained(real.GetWindowDC(window)); }

int WINAPI HookReleaseDC(HWND window, HDC dc) {
    const Locked locked;
    const int result = real.ReleaseDC(window, dc);
    Released(dc);
    return result;
}

HDC WINAPI HookBeginPaint(HWND window, LPPAINTSTRUCT paint) {
    return Obtained(real.BeginPaint(window, paint));
}

BOOL WINAPI HookEndPaint(HWND window, const PAINTSTRUCT* paint) {
    const BOOL result = real.EndPaint(window, paint);
    if (paint) Released(paint->hdc);
    return result;
}

// ---- bitmaps ----

HBITMAP WINAPI HookCreateCompatibleBitmap(HDC dc, int width, int height) {
    const Locked locked;
    if (Failing(Kind::Bitmap)) return nullptr;
    return Record(Kind::Bitmap, CALLER, real.CreateCompatibleBitmap(dc, width, height));
}
HBITMAP WINAPI HookCreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel,
                                const VOID* bits) {
    const Locked locked;
    if (Failing(Kind::Bitmap)) return nullptr;
    return Record(Kind::Bitmap, CALLER,
                  real.CreateBitmap(width, height, planes, bitsPerPixel, bits));
}
HBITMAP WINAPI HookCreateBitmapIndirect(const BITMAP* bitmap) {
    const Locked locked;
    if (Failing(Kind::Bitmap)) return nullptr;
    return Record(Kind::Bitmap, CALLER, real.CreateBitmapIndirect(bitmap));
}
HBITMAP WINAPI HookCreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, VOID** bits,
                                    HANDLE section, DWORD offset) {
    const Locked locked;
    if (Failing(Kind::Bitmap)) return nullptr;
    return Record(Kind::Bitmap, CALLER,
                  real.CreateDIBSection(dc, info, usage, bits, section, offset));
}
HBITMAP WINAPI HookCreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init,
                                  const VOID* bits, const BITMAPINFO* info, UINT usage) {
    const Locked locked;
    if (Failing(Kind::Bitmap)) return nullptr;
    return Record(Kind::Bitmap, CALLER, real.CreateDIBitmap(dc, header, init, bits, info, usage));
}

// ---- brushes, pens, fonts, palettes ----

HBRUSH WINAPI HookCreateSolidBrush(COLORREF colour) {
    const Locked locked;
    if (Failing(Kind::Brush)) return nullptr;
    return Record(Kind::Brush, CALLER, real.CreateSolidBrush(colour));
}
HBRUSH WINAPI HookCreateHatchBrush(int hatch, COLORREF colour) {
    const Locked locked;
    if (Failing(Kind::Brush)) return nullptr;
    return Record(Kind::Brush, CALLER, real.CreateHatchBrush(hatch, colour));
}
HBRUSH WINAPI HookCreatePatternBrush(HBITMAP bitmap) {
    const Locked locked;
    if (Failing(Kind::Brush)) return nullptr;
    return Record(Kind::Brush, CALLER, real.CreatePatternBrush(bitmap));
}
HBRUSH WINAPI HookCreateBrushIndirect(const LOGBRUSH* brush) {
    const Locked locked;
    if (Failing(Kind::Brush)) return nullptr;
    return Record(Kind::Brush, CALLER, real.CreateBrushIndirect(brush));
}
HPEN WINAPI HookCreatePen(int style, int width, COLORREF colour) {
    const Locked locked;
    if (Failing(Kind::Pen)) return nullptr;
    return Record(Kind::Pen, CALLER, real.CreatePen(style, width, colour));
}
HPEN WINAPI HookCreatePenIndirect(const LOGPEN* pen) {
    const Locked locked;
    if (Failing(Kind::Pen)) return nullptr;
    return Record(Kind::Pen, CALLER, real.CreatePenIndirect(pen));
}
HPEN WINAPI HookExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* brush, DWORD count,
                             const DWORD* dashes) {
    const Locked locked;
    if (Failing(Kind::Pen)) return nullptr;
    return Record(Kind::Pen, CALLER, real.ExtCreatePen(style, width, brush, count, dashes));
}
HFONT WINAPI HookCreateFontA(int height, int width, int escapement, int orientation, int weight,
                             DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                             DWORD precision, DWORD clipPrecision, DWORD quality, DWORD pitch,
                             LPCSTR face) {
    const Locked locked;
    if (Failing(Kind::Font)) return nullptr;
    return Record(
        Kind::Font, CALLER,
        real.CreateFontA(height, width, escapement, orientation, weight, italic, underline,
                         strikeOut, charSet, precision, clipPrecision, quality, pitch, face));
}
HFONT WINAPI HookCreateFontW(int height, int width, int escapement, int orientation, int weight,
                             DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                             DWORD precision, DWORD clipPrecision, DWORD quality, DWORD pitch,
                             LPCWSTR face) {
    const Locked locked;
    if (Failing(Kind::Font)) return nullptr;
    return Record(
        Kind::Font, CALLER,
        real.CreateFontW(height, width, escapement, orientation, weight, italic, underline,
                         strikeOut, charSet, precision, clipPrecision, quality, pitch, face));
}
HFONT WINAPI HookCreateFontIndirectA(const LOGFONTA* font) {
    const Locked locked;
    if (Failing(Kind::Font)) return nullptr;
    return Record(Kind::Font, CALLER, real.CreateFontIndirectA(font));
}
HFONT WINAPI HookCreateFontIndirectW(const LOGFONTW* font) {
    const Locked locked;
    if (Failing(Kind::Font)) return nullptr;
    return Record(Kind::Font, CALLER, real.CreateFontIndirectW(font));
}
HPALETTE WINAPI HookCreatePalette(const LOGPALETTE* palette) {
    const Locked locked;
    if (Failing(Kind::Palette)) return nullptr;
    return Record(Kind::Palette, CALLER, real.CreatePalette(palette));
}
HPALETTE WINAPI HookCreateHalftonePalette(HDC dc) {
    const Locked locked;
    if (Failing(Kind::Palette)) return nullptr;
    return Record(Kind::Palette, CALLER, real.CreateHalftonePalette(dc));
}

// ---- regions ----

HRGN WINAPI HookCreateRectRgn(int left, int top, int right, int bottom) {
    const Locked locked;
    if (Failing(Kind::Region)) return nullptr;
    return Record(Kind::Region, CALLER, real.CreateRectRgn(left, top, right, bottom));
}
HRGN WINAPI HookCreateRectRgnIndirect(const RECT* rect) {
    const Locked locked;
    if (Failing(Kind::Region)) return nullptr;
    return Record(Kind::Region, CALLER, real.CreateRectRgnIndirect(rect));
}
HRGN WINAPI HookCreateRoundRectRgn(int left, int top, int right, int bottom, int width,
                                   int height) {
    const Locked locked;
    if (Failing(Kind::Region)) return nullptr;
    return Record(Kind::Region, CALLER,
                  real.CreateRoundRectRgn(left, top, right, bottom, width, height));
}
HRGN WINAPI HookCreateEllipticRgn(int left, int top, int right, int bottom) {
    const Locked locked;
    if (Failing(Kind::Region)) return nullptr;
    return Record(Kind::Region, CALLER, real.CreateEllipticRgn(left, top, right, bottom));
}
HRGN WINAPI HookCreateEllipticRgnIndirect(const RECT* rect) {
    const Locked locked;
    if (Failing(Kind::Region)) return nullptr;
    return Record(Kind::Region, CALLER, real.CreateEllipticRgnIndirect(rect));
}
HRGN WINAPI HookCreatePolygonRgn(const POINT* points, int count, int mode) {
    const Locked locked;
    if (Failing(Kind::Region)) return nullptr;
    return Record(Kind::Region, CALLER, real.CreatePolygonRgn(points, count, mode));
}
HRGN WINAPI HookExtCreateRegion(const XFORM* transform, DWORD count, const RGNDATA* data) {
    const Locked locked;
    if (Failing(Kind::Region)) return nullptr;
    return Record(Kind::Region, CALLER, real.ExtCreateRegion(transform, count, data));
}

// A region given to a window belongs to the system; it frees the region it replaces.
int WINAPI HookSetWindowRgn(HWND window, HRGN region, BOOL redraw) {
    EnterCriticalSection(&AccountsLock());
    ForgetDeadWindows();
    // Handed over before the call: the messages sent inside may give the window yet another
    // region, which then replaces this one.
    const auto before = accounts.windowRegions.find(window);
    const bool hadRegion = before != accounts.windowRegions.end();
    const HRGN previous = hadRegion ? before->second : nullptr;
    const bool madeHere = IsMadeHere(region);
    const Made origin = madeHere ? accounts.objects[region] : Made{Kind::Region, nullptr};
    if (region)
        accounts.windowRegions[window] = region;
    else
        accounts.windowRegions.erase(window);
    if (madeHere) accounts.objects.erase(region);
    LeaveCriticalSection(&AccountsLock());

    const int result = real.SetWindowRgn(window, region, redraw);
    const Locked locked;
    if (!result) {
        if (hadRegion)
            accounts.windowRegions[window] = previous;
        else
            accounts.windowRegions.erase(window);
        if (madeHere) accounts.objects[region] = origin;
    }
    return result;
}

// ---- selection and deletion ----

HGDIOBJ WINAPI HookSelectObject(HDC dc, HGDIOBJ object) {
    const Locked locked;
    const HGDIOBJ previous = real.SelectObject(dc, object);
    if (!previous || previous == HGDI_ERROR) return previous;
    Selection& held = accounts.selections[dc];
    switch (GetObjectType(object)) {
    case OBJ_BITMAP:
        Reselect(held.bitmap, object);
        break;
    case OBJ_BRUSH:
        Reselect(held.brush, object);
        break;
    case OBJ_PEN:
    case OBJ_EXTPEN:
        Reselect(held.pen, object);
        break;
    case OBJ_FONT:
        Reselect(held.font, object);
        break;
    default:
        break;  // a region is copied into the context's clipping, not held
    }
    return previous;
}

HPALETTE WINAPI HookSelectPalette(HDC dc, HPALETTE palette, BOOL background) {
    const Locked locked;
    const HPALETTE previous = real.SelectPalette(dc, palette, background);
    if (previous) Reselect(accounts.selections[dc].palette, palette);
    return previous;
}

BOOL WINAPI HookDeleteObject(HGDIOBJ object) {
    const Locked locked;
    if (!object || IsStock(object)) return real.DeleteObject(object);
    const auto made = accounts.objects.find(object);
    if (made == accounts.objects.end()) {
        if (IsWindowRegion(object)) {
            ++accounts.faults.systemRegionDeletes;
            return FALSE;
        }
        ++accounts.faults.unknownDeletes;
        return real.DeleteObject(object);
    }
    if (SelectedCount(object) > 0) {
        // Windows refuses, and the object stays until its context lets it go.
        ++accounts.faults.refusedDeletes;
        return FALSE;
    }
    const BOOL deleted = real.DeleteObject(object);
    if (deleted) accounts.objects.erase(made);
    return deleted;
}

// ---- timers and windows ----

UINT_PTR WINAPI HookSetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC procedure) {
    const Locked locked;
    ForgetDeadWindows();
    const UINT_PTR result = real.SetTimer(window, id, elapse, procedure);
    if (result) accounts.timers.insert({window, window ? id : result});
    return result;
}

BOOL WINAPI HookKillTimer(HWND window, UINT_PTR id) {
    const Locked locked;
    const BOOL killed = real.KillTimer(window, id);
    if (killed) accounts.timers.erase({window, id});
    return killed;
}

BOOL WINAPI HookDestroyWindow(HWND window) {
    const BOOL destroyed = real.DestroyWindow(window);
    ForgetDeadWindows();
    return destroyed;
}

// ---- the redirection ----

struct Redirect {
    const char* library;
    const char* name;
    ULONG_PTR hook;
    void* realSlot;
};

// The hook and the real function must have the same type, or this does not compile.
template <typename Function>
Redirect Redirection(const char* library, const char* name, Function hook, Function* realSlot) {
    return {library, name, reinterpret_cast<ULONG_PTR>(hook), realSlot};
}

#define DORRIK_GDI(name) Redirection("gdi32.dll", #name, Hook##name, &real.name)
#define DORRIK_USER(name) Redirection("user32.dll", #name, Hook##name, &real.name)

const Redirect kRedirects[] = {
    DORRIK_GDI(CreateCompatibleDC),
    DORRIK_GDI(CreateDCA),
    DORRIK_GDI(CreateDCW),
    DORRIK_GDI(CreateICA),
    DORRIK_GDI(CreateICW),
    DORRIK_GDI(DeleteDC),
    DORRIK_GDI(CreateCompatibleBitmap),
    DORRIK_GDI(CreateBitmap),
    DORRIK_GDI(CreateBitmapIndirect),
    DORRIK_GDI(CreateDIBSection),
    DORRIK_GDI(CreateDIBitmap),
    DORRIK_GDI(CreateSolidBrush),
    DORRIK_GDI(CreateHatchBrush),
    DORRIK_GDI(CreatePatternBrush),
    DORRIK_GDI(CreateBrushIndirect),
    DORRIK_GDI(CreatePen),
    DORRIK_GDI(CreatePenIndirect),
    DORRIK_GDI(ExtCreatePen),
    DORRIK_GDI(CreateFontA),
    DORRIK_GDI(CreateFontW),
    DORRIK_GDI(CreateFontIndirectA),
    DORRIK_GDI(CreateFontIndirectW),
    DORRIK_GDI(CreatePalette),
    DORRIK_GDI(CreateHalftonePalette),
    DORRIK_GDI(CreateRectRgn),
    DORRIK_GDI(CreateRectRgnIndirect),
    DORRIK_GDI(CreateRoundRectRgn),
    DORRIK_GDI(CreateEllipticRgn),
    DORRIK_GDI(CreateEllipticRgnIndirect),
    DORRIK_GDI(CreatePolygonRgn),
    DORRIK_GDI(ExtCreateRegion),
    DORRIK_GDI(DeleteObject),
    DORRIK_GDI(SelectObject),
    DORRIK_GDI(SelectPalette),
    DORRIK_USER(GetDC),
    DORRIK_USER(GetDCEx),
    DORRIK_USER(GetWindowDC),
    DORRIK_USER(ReleaseDC),
    DORRIK_USER(BeginPaint),
    DORRIK_USER(EndPaint),
    DORRIK_USER(SetTimer),
    DORRIK_USER(KillTimer),
    DORRIK_USER(SetWindowRgn),
    DORRIK_USER(DestroyWindow),
};

#undef DORRIK_GDI
#undef DORRIK_USER

const Redirect* FindRedirect(const char* library, const char* name) {
    for (const Redirect& redirect : kRedirects) {
        if (lstrcmpiA(redirect.library, library) == 0 && std::strcmp(redirect.name, name) == 0)
            return &redirect;
    }
    return nullptr;
}

// The bitmap, font, brush and pen a new context starts with, and the stock objects.
void RecordStockObjects() {
    for (int i = 0; i <= DC_PEN; ++i) {
        if (HGDIOBJ object = GetStockObject(i)) accounts.stock.insert(object);
    }
    HDC dc = CreateCompatibleDC(nullptr);
    for (UINT type : {OBJ_BITMAP, OBJ_BRUSH, OBJ_PEN, OBJ_FONT, OBJ_PAL}) {
        if (HGDIOBJ object = GetCurrentObject(dc, type)) accounts.stock.insert(object);
    }
    DeleteDC(dc);
}

// Rewrites the import address table of this executable, where the statically linked engine
// finds gdi32 and user32. Returns how many entries were redirected.
int RedirectImports() {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) return 0;

    int redirected = 0;
    for (auto* descriptor =
             reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         descriptor->Name != 0; ++descriptor) {
        const char* library = reinterpret_cast<const char*>(base + descriptor->Name);
        if (descriptor->OriginalFirstThunk == 0) continue;  // no names to match by
        auto* addresses = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
        auto* names =
            reinterpret_cast<const IMAGE_THUNK_DATA*>(base + descriptor->OriginalFirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++addresses) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            const Redirect* redirect =
                FindRedirect(library, reinterpret_cast<const char*>(byName->Name));
            if (!redirect) continue;

            const ULONG_PTR original = static_cast<ULONG_PTR>(addresses->u1.Function);
            std::memcpy(redirect->realSlot, &original, sizeof(original));
            DWORD protection = 0;
            VirtualProtect(&addresses->u1.Function, sizeof(addresses->u1.Function), PAGE_READWRITE,
                           &protection);
            addresses->u1.Function = redirect->hook;
            VirtualProtect(&addresses->u1.Function, sizeof(addresses->u1.Function), protection,
                           &protection);
            ++redirected;
        }
    }
    FlushInstructionCache(GetCurrentProcess(), nullptr, 0);
    return redirected;
}

}  // namespace

bool InstallGdiAccounting() {
    static const int redirected = [] {
        RecordStockObjects();
        return RedirectImports();
    }();
    return redirected > 0;
}

LiveObjects CountLiveObjects() {
    const Locked locked;
    ForgetDeadWindows();
    LiveObjects live;
    for (const auto& [handle, made] : accounts.objects) {
        switch (made.kind) {
        case Kind::Context:
            ++live.createdContexts;
            break;
        case Kind::Bitmap:
            ++live.bitmaps;
            break;
        case Kind::Brush:
            ++live.brushes;
            break;
        case Kind::Pen:
            ++live.pens;
            break;
        case Kind::Font:
            ++live.fonts;
            break;
        case Kind::Palette:
            ++live.palettes;
            break;
        case Kind::Region:
            ++live.regions;
            break;
        }
    }
    for (const auto& [dc, times] : accounts.windowContexts) live.windowContexts += times;
    live.windowRegions = static_cast<int>(accounts.windowRegions.size());
    live.timers = static_cast<int>(accounts.timers.size());
    return live;
}

GdiFaults CountGdiFaults() {
    const Locked locked;
    return accounts.faults;
}

void FailCreations(ObjectKind kind, int count) {
    const Locked locked;
    accounts.failing[static_cast<int>(kind)] = count;
}


std::vector<std::string> DescribeLiveObjects() {
    const Locked locked;
    static const char* const kKindNames[] = {"context", "bitmap",  "brush", "pen",
                                             "font",    "palette", "region"};
    const auto base = reinterpret_cast<ULONG_PTR>(GetModuleHandleW(nullptr));
    std::vector<std::string> lines;
    for (const auto& [handle, made] : accounts.objects) {
        std::ostringstream line;
        line << kKindNames[static_cast<int>(made.kind)] << " " << handle
             << " made at image offset 0x" << std::hex
             << (reinterpret_cast<ULONG_PTR>(made.origin) - base);
        lines.push_back(line.str());
    }
    return lines;
}

std::string Describe(const LiveObjects& o) {
    std::ostringstream text;
    text << "contexts " << o.createdContexts << " made + " << o.windowContexts
         << " obtained, bitmaps " << o.bitmaps << ", brushes " << o.brushes << ", pens " << o.pens
         << ", fonts " << o.fonts << ", palettes " << o.palettes << ", regions " << o.regions
         << " + " << o.windowRegions << " of windows, timers " << o.timers << " (total "
         << o.Total() << ")";
    return text.str();
}

std::string Describe(const GdiFaults& f) {
    std::ostringstream text;
    text << "refused deletes " << f.refusedDeletes << ", unknown deletes " << f.unknownDeletes
         << ", system region deletes " << f.systemRegionDeletes << ", unbalanced releases "
         << f.unbalancedReleases << ", released with selection " << f.releasedWithSelection;
    return text.str();
}

}  // namespace testing_support

#undef CALLER
