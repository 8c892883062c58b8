// Counts and times the platform calls that this program (the engine is linked into it) makes,
// by pointing its own import table at small wrappers while a CallWatch is alive. Times are
// exclusive: a wrapped call that sends a message, whose handler makes wrapped calls, is charged
// only for its own part. It also keeps the GDI objects created through the wrappers and not yet
// deleted, which is how the memory figures are counted (GetGuiResources says 0 under Wine).
#pragma once

#include <windows.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "perf_util.h"

namespace perf {

enum CallId {
    kGetPropA, kSetPropA, kRemovePropA, kGetWindowDC, kGetDC, kReleaseDC, kBeginPaint, kEndPaint,
    kSetWindowRgn, kRedrawWindow, kDrawTextW, kDrawTextA, kSendMessageA, kSendMessageW,
    kCreateDCA, kCreateCompatibleDC, kCreateCompatibleBitmap, kCreateBitmap, kCreateDIBSection,
    kGetDeviceCaps, kCreateSolidBrush,
    kCreateRoundRectRgn, kCreateHalftonePalette, kDeleteDC, kDeleteObject, kBitBlt, kStretchBlt,
    kAlphaBlend, kCallWindowProcW, kSetWindowLongW, kSetWindowLongPtrW, kEnumChildWindows,
    kSelectObject, kFillRect, kFrameRect, kGetWindowTextW, kGetWindowTextLengthW, kGetClassNameA,
    kGetWindowRect, kOleTranslateColor, kSetBkColor, kSetTextColor, kCallCount
};

struct CallStats {
    long long count = 0;
    double seconds = 0.0;  // exclusive
};

namespace calls_detail {

struct Frame {
    double start;
    double children;
};

inline CallStats stats[kCallCount];
inline std::vector<Frame> stack;
inline bool trackObjects = false;
// Live GDI objects made through the wrappers: handle -> kind letter; regions given to windows.
inline std::map<HGDIOBJ, char> liveObjects;
inline long long regionsGivenToWindows = 0;

inline void Enter() { stack.push_back({Now(), 0.0}); }

inline void Leave(CallId id) {
    const Frame frame = stack.back();
    stack.pop_back();
    const double total = Now() - frame.start;
    stats[id].count += 1;
    stats[id].seconds += total - frame.children;
    if (!stack.empty()) stack.back().children += total;
}

inline void Made(HGDIOBJ object, char kind) {
    if (object && trackObjects) liveObjects[object] = kind;
}

inline void Gone(HGDIOBJ object, BOOL ok) {
    if (ok && trackObjects) liveObjects.erase(object);
}

}  // namespace calls_detail

// One wrapper per watched function: the real function is reached through its saved address.
#define PERF_WRAP(Id, Ret, Name, Params, Args, After)                         \
    namespace calls_detail {                                                  \
    inline Ret(WINAPI* real##Name) Params = nullptr;                          \
    inline Ret WINAPI Wrapped##Name Params {                                  \
        Enter();                                                              \
        Ret result = real##Name Args;                                         \
        Leave(Id);                                                            \
        After;                                                                \
        return result;                                                        \
    }                                                                         \
    }

PERF_WRAP(kGetPropA, HANDLE, GetPropA, (HWND w, LPCSTR n), (w, n), (void)0)
PERF_WRAP(kSetPropA, BOOL, SetPropA, (HWND w, LPCSTR n, HANDLE v), (w, n, v), (void)0)
PERF_WRAP(kRemovePropA, HANDLE, RemovePropA, (HWND w, LPCSTR n), (w, n), (void)0)
PERF_WRAP(kGetWindowDC, HDC, GetWindowDC, (HWND w), (w), (void)0)
PERF_WRAP(kGetDC, HDC, GetDC, (HWND w), (w), (void)0)
PERF_WRAP(kReleaseDC, int, ReleaseDC, (HWND w, HDC d), (w, d), (void)0)
PERF_WRAP(kBeginPaint, HDC, BeginPaint, (HWND w, LPPAINTSTRUCT p), (w, p), (void)0)
PERF_WRAP(kEndPaint, BOOL, EndPaint, (HWND w, const PAINTSTRUCT* p), (w, p), (void)0)
PERF_WRAP(kSetWindowRgn, int, SetWindowRgn, (HWND w, HRGN r, BOOL redraw), (w, r, redraw),
          if (result && r && trackObjects && liveObjects.erase(r)) ++regionsGivenToWindows)
PERF_WRAP(kRedrawWindow, BOOL, RedrawWindow, (HWND w, const RECT* r, HRGN g, UINT f),
          (w, r, g, f), (void)0)
PERF_WRAP(kDrawTextW, int, DrawTextW, (HDC d, LPCWSTR t, int n, LPRECT r, UINT f),
          (d, t, n, r, f), (void)0)
PERF_WRAP(kDrawTextA, int, DrawTextA, (HDC d, LPCSTR t, int n, LPRECT r, UINT f),
          (d, t, n, r, f), (void)0)
PERF_WRAP(kSendMessageA, LRESULT, SendMessageA, (HWND w, UINT m, WPARAM wp, LPARAM lp),
          (w, m, wp, lp), (void)0)
PERF_WRAP(kSendMessageW, LRESULT, SendMessageW, (HWND w, UINT m, WPARAM wp, LPARAM lp),
          (w, m, wp, lp), (void)0)
PERF_WRAP(kCreateDCA, HDC, CreateDCA, (LPCSTR a, LPCSTR b, LPCSTR c, const DEVMODEA* d),
          (a, b, c, d), Made(result, 'D'))
PERF_WRAP(kCreateCompatibleDC, HDC, CreateCompatibleDC, (HDC d), (d), Made(result, 'D'))
PERF_WRAP(kCreateCompatibleBitmap, HBITMAP, CreateCompatibleBitmap, (HDC d, int w, int h),
          (d, w, h), Made(result, 'B'))
PERF_WRAP(kCreateBitmap, HBITMAP, CreateBitmap, (int w, int h, UINT p, UINT b, const void* bits),
          (w, h, p, b, bits), Made(result, 'B'))
PERF_WRAP(kCreateDIBSection, HBITMAP, CreateDIBSection,
          (HDC d, const BITMAPINFO* i, UINT u, void** b, HANDLE s, DWORD o), (d, i, u, b, s, o),
          Made(result, 'B'))
PERF_WRAP(kGetDeviceCaps, int, GetDeviceCaps, (HDC d, int i), (d, i), (void)0)
PERF_WRAP(kCreateSolidBrush, HBRUSH, CreateSolidBrush, (COLORREF c), (c), Made(result, 'b'))
PERF_WRAP(kCreateRoundRectRgn, HRGN, CreateRoundRectRgn,
          (int a, int b, int c, int d, int e, int f), (a, b, c, d, e, f), Made(result, 'R'))
PERF_WRAP(kCreateHalftonePalette, HPALETTE, CreateHalftonePalette, (HDC d), (d),
          Made(result, 'P'))
PERF_WRAP(kDeleteDC, BOOL, DeleteDC, (HDC d), (d), Gone(d, result))
PERF_WRAP(kDeleteObject, BOOL, DeleteObject, (HGDIOBJ o), (o), Gone(o, result))
PERF_WRAP(kBitBlt, BOOL, BitBlt,
          (HDC d, int x, int y, int w, int h, HDC s, int sx, int sy, DWORD r),
          (d, x, y, w, h, s, sx, sy, r), (void)0)
PERF_WRAP(kStretchBlt, BOOL, StretchBlt,
          (HDC d, int x, int y, int w, int h, HDC s, int sx, int sy, int sw, int sh, DWORD r),
          (d, x, y, w, h, s, sx, sy, sw, sh, r), (void)0)
PERF_WRAP(kAlphaBlend, BOOL, AlphaBlend,
          (HDC d, int x, int y, int w, int h, HDC s, int sx, int sy, int sw, int sh,
           BLENDFUNCTION f),
          (d, x, y, w, h, s, sx, sy, sw, sh, f), (void)0)

PERF_WRAP(kCallWindowProcW, LRESULT, CallWindowProcW,
          (WNDPROC p, HWND w, UINT m, WPARAM wp, LPARAM lp), (p, w, m, wp, lp), (void)0)
PERF_WRAP(kSetWindowLongW, LONG, SetWindowLongW, (HWND w, int i, LONG v), (w, i, v), (void)0)
PERF_WRAP(kSetWindowLongPtrW, LONG_PTR, SetWindowLongPtrW, (HWND w, int i, LONG_PTR v), (w, i, v),
          (void)0)
PERF_WRAP(kEnumChildWindows, BOOL, EnumChildWindows, (HWND w, WNDENUMPROC f, LPARAM l), (w, f, l),
          (void)0)
PERF_WRAP(kSelectObject, HGDIOBJ, SelectObject, (HDC d, HGDIOBJ o), (d, o), (void)0)
PERF_WRAP(kFillRect, int, FillRect, (HDC d, const RECT* r, HBRUSH b), (d, r, b), (void)0)
PERF_WRAP(kFrameRect, int, FrameRect, (HDC d, const RECT* r, HBRUSH b), (d, r, b), (void)0)
PERF_WRAP(kGetWindowTextW, int, GetWindowTextW, (HWND w, LPWSTR t, int n), (w, t, n), (void)0)
PERF_WRAP(kGetWindowTextLengthW, int, GetWindowTextLengthW, (HWND w), (w), (void)0)
PERF_WRAP(kGetClassNameA, int, GetClassNameA, (HWND w, LPSTR t, int n), (w, t, n), (void)0)
PERF_WRAP(kGetWindowRect, BOOL, GetWindowRect, (HWND w, LPRECT r), (w, r), (void)0)
PERF_WRAP(kOleTranslateColor, HRESULT, OleTranslateColor, (DWORD c, HPALETTE p, COLORREF* out),
          (c, p, out), (void)0)
PERF_WRAP(kSetBkColor, COLORREF, SetBkColor, (HDC d, COLORREF c), (d, c), (void)0)
PERF_WRAP(kSetTextColor, COLORREF, SetTextColor, (HDC d, COLORREF c), (d, c), (void)0)

#undef PERF_WRAP

struct WatchedCall {
    CallId id;
    const char* dll;
    const char* name;
    void* wrapper;
    void** real;
};

#define PERF_ENTRY(Dll, Name)                                                      \
    {k##Name, Dll, #Name, reinterpret_cast<void*>(&calls_detail::Wrapped##Name), \
     reinterpret_cast<void**>(&calls_detail::real##Name)}

inline const WatchedCall kWatchedCalls[] = {
    PERF_ENTRY("user32.dll", GetPropA), PERF_ENTRY("user32.dll", SetPropA),
    PERF_ENTRY("user32.dll", RemovePropA), PERF_ENTRY("user32.dll", GetWindowDC),
    PERF_ENTRY("user32.dll", GetDC), PERF_ENTRY("user32.dll", ReleaseDC),
    PERF_ENTRY("user32.dll", BeginPaint), PERF_ENTRY("user32.dll", EndPaint),
    PERF_ENTRY("user32.dll", SetWindowRgn), PERF_ENTRY("user32.dll", RedrawWindow),
    PERF_ENTRY("user32.dll", DrawTextW), PERF_ENTRY("user32.dll", DrawTextA),
    PERF_ENTRY("user32.dll", SendMessageA), PERF_ENTRY("user32.dll", SendMessageW),
    PERF_ENTRY("gdi32.dll", CreateDCA), PERF_ENTRY("gdi32.dll", CreateCompatibleDC),
    PERF_ENTRY("gdi32.dll", CreateCompatibleBitmap), PERF_ENTRY("gdi32.dll", CreateBitmap),
    PERF_ENTRY("gdi32.dll", CreateDIBSection), PERF_ENTRY("gdi32.dll", GetDeviceCaps),
    PERF_ENTRY("gdi32.dll", CreateSolidBrush), PERF_ENTRY("gdi32.dll", CreateRoundRectRgn),
    PERF_ENTRY("gdi32.dll", CreateHalftonePalette), PERF_ENTRY("gdi32.dll", DeleteDC),
    PERF_ENTRY("gdi32.dll", DeleteObject), PERF_ENTRY("gdi32.dll", BitBlt),
    PERF_ENTRY("gdi32.dll", StretchBlt), PERF_ENTRY("msimg32.dll", AlphaBlend),
    PERF_ENTRY("user32.dll", CallWindowProcW), PERF_ENTRY("user32.dll", SetWindowLongW),
    PERF_ENTRY("user32.dll", SetWindowLongPtrW), PERF_ENTRY("user32.dll", EnumChildWindows),
    PERF_ENTRY("gdi32.dll", SelectObject), PERF_ENTRY("user32.dll", FillRect),
    PERF_ENTRY("user32.dll", FrameRect), PERF_ENTRY("user32.dll", GetWindowTextW),
    PERF_ENTRY("user32.dll", GetWindowTextLengthW), PERF_ENTRY("user32.dll", GetClassNameA),
    PERF_ENTRY("user32.dll", GetWindowRect), PERF_ENTRY("oleaut32.dll", OleTranslateColor),
    PERF_ENTRY("gdi32.dll", SetBkColor), PERF_ENTRY("gdi32.dll", SetTextColor),
};

#undef PERF_ENTRY

inline const char* CallName(CallId id) {
    for (const WatchedCall& call : kWatchedCalls) {
        if (call.id == id) return call.name;
    }
    return "?";
}

// The import-table slot of dll!name in this program, or nullptr.
inline ULONG_PTR* FindImportSlot(const char* dll, const char* name) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0) return nullptr;
    for (auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         import->Name != 0; ++import) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + import->Name), dll) != 0) continue;
        const DWORD namesRva = import->OriginalFirstThunk ? import->OriginalFirstThunk
                                                          : import->FirstThunk;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + namesRva);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (int i = 0; names[i].u1.AddressOfData != 0; ++i) {
            if (IMAGE_SNAP_BY_ORDINAL(names[i].u1.Ordinal)) continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names[i].u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), name) == 0)
                return reinterpret_cast<ULONG_PTR*>(&slots[i].u1.Function);
        }
    }
    return nullptr;
}

inline void WriteSlot(ULONG_PTR* slot, ULONG_PTR value) {
    DWORD oldProtection = 0;
    VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &oldProtection);
    *slot = value;
    VirtualProtect(slot, sizeof(*slot), oldProtection, &oldProtection);
}

// While alive, every watched call of this program goes through its wrapper.
class CallWatch {
public:
    CallWatch() {
        for (const WatchedCall& call : kWatchedCalls) {
            ULONG_PTR* slot = FindImportSlot(call.dll, call.name);
            if (!slot) continue;
            *call.real = reinterpret_cast<void*>(*slot);
            patched_.push_back({slot, *slot});
            WriteSlot(slot, reinterpret_cast<ULONG_PTR>(call.wrapper));
        }
    }
    ~CallWatch() {
        for (const Patched& p : patched_) WriteSlot(p.slot, p.original);
    }
    CallWatch(const CallWatch&) = delete;
    CallWatch& operator=(const CallWatch&) = delete;

    static void Reset() {
        for (CallStats& s : calls_detail::stats) s = {};
    }
    static const CallStats& Stats(CallId id) { return calls_detail::stats[id]; }

private:
    struct Patched {
        ULONG_PTR* slot;
        ULONG_PTR original;
    };
    std::vector<Patched> patched_;
};

// Keeps the GDI objects made through the wrappers while alive (needs a CallWatch).
class ObjectCount {
public:
    ObjectCount() {
        calls_detail::liveObjects.clear();
        calls_detail::regionsGivenToWindows = 0;
        calls_detail::trackObjects = true;
    }
    ~ObjectCount() { calls_detail::trackObjects = false; }
    ObjectCount(const ObjectCount&) = delete;
    ObjectCount& operator=(const ObjectCount&) = delete;

    static long long Live() { return static_cast<long long>(calls_detail::liveObjects.size()); }
    static long long Live(char kind) {
        long long n = 0;
        for (const auto& entry : calls_detail::liveObjects) n += entry.second == kind;
        return n;
    }
    static long long RegionsGivenToWindows() { return calls_detail::regionsGivenToWindows; }
    // Pixel bytes of the live bitmaps.
    static long long BitmapBytes() {
        long long bytes = 0;
        for (const auto& entry : calls_detail::liveObjects) {
            if (entry.second != 'B') continue;
            BITMAP bitmap{};
            if (GetObjectW(entry.first, sizeof(bitmap), &bitmap))
                bytes += static_cast<long long>(bitmap.bmWidthBytes) * bitmap.bmHeight *
                         bitmap.bmPlanes;
        }
        return bytes;
    }
};

// Where the time of `calls` runs of body() goes: total, then the watched calls by share.
struct Split {
    double totalMicroseconds = 0.0;  // per run
    struct Part {
        CallId id;
        double count;         // per run
        double microseconds;  // per run, exclusive
    };
    std::vector<Part> parts;  // largest first
};

template <typename Body>
Split SplitTime(Body&& body, int calls) {
    CallWatch watch;
    body();
    CallWatch::Reset();
    const double start = Now();
    for (int i = 0; i < calls; ++i) body();
    const double total = Now() - start;
    Split split;
    split.totalMicroseconds = total * 1e6 / calls;
    for (int id = 0; id < kCallCount; ++id) {
        const CallStats& s = CallWatch::Stats(static_cast<CallId>(id));
        if (s.count == 0) continue;
        split.parts.push_back({static_cast<CallId>(id), static_cast<double>(s.count) / calls,
                               s.seconds * 1e6 / calls});
    }
    std::sort(split.parts.begin(), split.parts.end(),
              [](const Split::Part& x, const Split::Part& y) { return x.microseconds > y.microseconds; });
    return split;
}

// Whole microseconds for large figures, two decimals for small ones.
inline int Decimals(double microseconds) { return microseconds < 10.0 ? 2 : 0; }

// "GetPropA 6x 70 us, AlphaBlend 1x 22 us, ..." for the largest `top` parts, then the other
// watched calls and what is left (the engine's own code and unwatched calls), every figure
// divided by `per` (to give it per message when a run sends several). CallWindowProcW and
// SendMessage stand for the receiving procedure's own work outside the watched calls.
inline std::string Describe(const Split& split, size_t top, double per = 1.0) {
    std::string text;
    char part[112];
    double listed = 0.0, others = 0.0;
    for (size_t i = 0; i < split.parts.size(); ++i) {
        const Split::Part& p = split.parts[i];
        if (i >= top) {
            others += p.microseconds;
            continue;
        }
        std::snprintf(part, sizeof(part), "%s%s %.3gx %.*f us", text.empty() ? "" : ", ",
                      CallName(p.id), p.count / per, Decimals(p.microseconds / per),
                      p.microseconds / per);
        text += part;
        listed += p.microseconds;
    }
    const double total = split.totalMicroseconds / per;
    others /= per;
    const double rest = total - listed / per - others;
    std::snprintf(part, sizeof(part), "; other watched calls %.*f us; unwatched %.*f us; of %.*f us",
                  Decimals(others), others, Decimals(rest), rest, Decimals(total), total);
    text += part;
    return text;
}

}  // namespace perf
