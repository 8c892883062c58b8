// The skin's parts in front of the platform's part drawing. Each stand-in first asks what costs
// least (the kind of part, whether this thread runs an engine), then whether the context belongs
// to a window the skin is attached to, and last whether the call comes from the program rather
// than from the platform's own code: Wine's controls draw their parts through the same functions,
// and what the skin leaves to them stays theirs.
#include "core/part_drawing.h"

#include <windows.h>

#include <uxtheme.h>
#include <vssym32.h>

#include <string>
#include <unordered_map>

#include "core/engine.h"
#include "core/entry_patch.h"
#include "core/props.h"
#include "render/button_box_renderer.h"
#include "render/button_renderer.h"
#include "render/check_renderer.h"
#include "render/header_renderer.h"
#include "render/primitives.h"
#include "render/scrollbar_renderer.h"
#include "render/tab_renderer.h"

#ifdef _MSC_VER
#include <intrin.h>
#define DORRIK_CALLER_ADDRESS() _ReturnAddress()
#else
#define DORRIK_CALLER_ADDRESS() __builtin_return_address(0)
#endif

namespace skin {

namespace {

using DrawFrameControlFunction = BOOL(WINAPI*)(HDC, LPRECT, UINT, UINT);
using DrawEdgeFunction = BOOL(WINAPI*)(HDC, LPRECT, UINT, UINT);
using DrawThemeBackgroundFunction = HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, const RECT*);
using DrawThemeTextFunction = HRESULT(WINAPI*)(HTHEME, HDC, int, int, LPCWSTR, int, DWORD, DWORD,
                                               const RECT*);
using OpenThemeDataFunction = HTHEME(WINAPI*)(HWND, LPCWSTR);
using OpenThemeDataExFunction = HTHEME(WINAPI*)(HWND, LPCWSTR, DWORD);
using OpenThemeDataForDpiFunction = HTHEME(WINAPI*)(HWND, LPCWSTR, UINT);

DrawFrameControlFunction platformDrawFrameControl = nullptr;
DrawEdgeFunction platformDrawEdge = nullptr;
DrawThemeBackgroundFunction platformDrawThemeBackground = nullptr;
DrawThemeTextFunction platformDrawThemeText = nullptr;
OpenThemeDataFunction platformOpenThemeData = nullptr;
OpenThemeDataExFunction platformOpenThemeDataEx = nullptr;
OpenThemeDataForDpiFunction platformOpenThemeDataForDpi = nullptr;

// Set while this thread draws a part of the skin's: whatever it reaches goes to the platform.
thread_local bool drawingPart = false;

// The Windows folder, with its separator: code loaded from under it is the platform's.
wchar_t windowsFolder[MAX_PATH] = {};
size_t windowsFolderLength = 0;

bool IsPlatformCode(const void* address) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCWSTR>(address), &module))
        return false;
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH || windowsFolderLength == 0 || length < windowsFolderLength) return false;
    return CompareStringOrdinal(path, static_cast<int>(windowsFolderLength), windowsFolder,
                                static_cast<int>(windowsFolderLength), TRUE) == CSTR_EQUAL;
}

// The skinned window a context draws on, or null: a window of this thread that the skin is
// attached to, asked of the program's own code only. The caller's last error stays as it was for
// the platform's call that may follow.
HWND SkinnedTarget(HDC dc, const void* caller) {
    if (drawingPart || !dc || !EngineIfAny()) return nullptr;
    const DWORD lastError = GetLastError();
    HWND window = WindowFromDC(dc);
    const WindowRecord* record = window ? FindRecord(window) : nullptr;
    if (!record || record->link != Link::Attached || IsPlatformCode(caller)) window = nullptr;
    SetLastError(lastError);
    return window;
}

// Everything the skin's part changes in the context comes back with it.
class PartDrawing {
public:
    explicit PartDrawing(HDC dc) : dc_(dc), saved_(SaveDC(dc)) { drawingPart = true; }
    ~PartDrawing() {
        if (saved_) RestoreDC(dc_, saved_);
        drawingPart = false;
    }
    PartDrawing(const PartDrawing&) = delete;
    PartDrawing& operator=(const PartDrawing&) = delete;

private:
    HDC dc_;
    int saved_;
};

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// ---- The parts ----

enum class BoxShape { Check, Option };

// A check or option box, square, centred in the rectangle as the platform centres its own.
void DrawBox(HDC dc, const RECT& r, BoxShape shape, int state, LRESULT checkState) {
    const int side = Width(r) < Height(r) ? Width(r) : Height(r);
    if (side <= 0) return;
    const int x = r.left + (Width(r) - side) / 2;
    const int y = r.top + (Height(r) - side) / 2;
    const bool enabled = state != Disabled;
    const int look = enabled ? state : Normal;
    if (shape == BoxShape::Option)
        DrawOptionBox(dc, x, y, side, side, look, checkState, enabled, y);
    else
        DrawCheckBoxBox(dc, x, y, side, side, look, checkState, enabled);
}

// A push button's face without a caption: the program writes its own.
void DrawPushFace(HDC dc, const RECT& r, int state) {
    if (Width(r) <= 0 || Height(r) <= 0) return;
    ScopedMemorySurface surface(Width(r), Height(r));
    if (!surface.get()) return;
    DrawButtonFace(surface.get(), state, FaceContent{}, Width(r), Height(r));
    BitBlt(dc, r.left, r.top, Width(r), Height(r), surface.get(), 0, 0, SRCCOPY);
}

void DrawHeaderFace(HDC dc, const RECT& r, int state) {
    // The header's face is drawn from the context's top: the context is moved to the item's (and
    // back with the rest of the context when the part is done).
    OffsetViewportOrgEx(dc, 0, r.top, nullptr);
    DrawHeaderItemFace(dc, r.left, Width(r), Height(r), Height(r), state, std::wstring());
}

// ---- DrawFrameControl ----

int FrameControlState(UINT flags) {
    if (flags & DFCS_INACTIVE) return Disabled;
    if (flags & DFCS_PUSHED) return Pressed;
    if (flags & DFCS_HOT) return Hot;
    return Normal;
}

constexpr UINT kButtonTypeMask = 0xFF;

// Whether the skin has the part: check, three-state and option boxes, push buttons and the four
// scroll arrows; not the masks of custom option shapes, nor rectangles the caller wants adjusted.
bool SkinHasFrameControl(UINT type, UINT flags) {
    if (flags & DFCS_ADJUSTRECT) return false;
    const UINT kind = flags & kButtonTypeMask;
    if (type == DFC_BUTTON)
        return kind == DFCS_BUTTONCHECK || kind == DFCS_BUTTON3STATE || kind == DFCS_BUTTONRADIO ||
               kind == DFCS_BUTTONPUSH;
    if (type == DFC_SCROLL)
        return kind == DFCS_SCROLLUP || kind == DFCS_SCROLLDOWN || kind == DFCS_SCROLLLEFT ||
               kind == DFCS_SCROLLRIGHT;
    return false;
}

const ArrowDirection kScrollArrows[] = {ArrowDirection::Up, ArrowDirection::Down, ArrowDirection::Left,
                                        ArrowDirection::Right};

void DrawFrameControlPart(HDC dc, const RECT& r, UINT type, UINT flags) {
    const UINT kind = flags & kButtonTypeMask;
    const int state = FrameControlState(flags);
    if (type == DFC_SCROLL) {
        DrawScrollArrowButton(dc, r, kScrollArrows[kind], state);
    } else if (kind == DFCS_BUTTONPUSH) {
        DrawPushFace(dc, r, (flags & DFCS_CHECKED) && state != Disabled ? Pressed : state);
    } else if (kind == DFCS_BUTTONRADIO) {
        DrawBox(dc, r, BoxShape::Option, state, (flags & DFCS_CHECKED) ? BST_CHECKED : BST_UNCHECKED);
    } else {
        // A checked three-state box shows the mixed mark, as the platform's grey check does.
        LRESULT check = BST_UNCHECKED;
        if (flags & DFCS_CHECKED) check = kind == DFCS_BUTTON3STATE ? BST_INDETERMINATE : BST_CHECKED;
        DrawBox(dc, r, BoxShape::Check, state, check);
    }
}

BOOL WINAPI DrawFrameControlInstead(HDC dc, LPRECT rect, UINT type, UINT flags) {
    if (!rect || !SkinHasFrameControl(type, flags)) return platformDrawFrameControl(dc, rect, type, flags);
    if (!SkinnedTarget(dc, DORRIK_CALLER_ADDRESS())) return platformDrawFrameControl(dc, rect, type, flags);
    const PartDrawing drawing(dc);
    DrawFrameControlPart(dc, *rect, type, flags);
    return TRUE;
}

// ---- DrawEdge ----

// An etched frame all round (a group frame), nothing else: no fill, no diagonal, no soft, flat or
// single-line look.
constexpr UINT kOtherEdgeFlags = BF_DIAGONAL | BF_MIDDLE | BF_SOFT | BF_FLAT | BF_MONO;
// The etched frame is two lines of one pixel each.
constexpr int kEtchedWidth = 2;

BOOL WINAPI DrawEdgeInstead(HDC dc, LPRECT rect, UINT edge, UINT flags) {
    if (!rect || edge != EDGE_ETCHED || (flags & BF_RECT) != BF_RECT || (flags & kOtherEdgeFlags))
        return platformDrawEdge(dc, rect, edge, flags);
    const HWND window = SkinnedTarget(dc, DORRIK_CALLER_ADDRESS());
    if (!window) return platformDrawEdge(dc, rect, edge, flags);
    {
        const PartDrawing drawing(dc);
        DrawGroupFrame(dc, *rect, IsWindowEnabled(window) != FALSE);
    }
    if (flags & BF_ADJUST) InflateRect(rect, -kEtchedWidth, -kEtchedWidth);
    return TRUE;
}

// ---- The visual style's parts ----

// The theme classes whose parts the skin has, by the handles the platform gave for them.
enum class ThemeClass { Other, Button, Tab, Header, ScrollBar };

struct ThemeClassName {
    const wchar_t* name;
    ThemeClass themeClass;
};

const ThemeClassName kThemeClasses[] = {
    {L"BUTTON", ThemeClass::Button},
    {L"TAB", ThemeClass::Tab},
    {L"HEADER", ThemeClass::Header},
    {L"SCROLLBAR", ThemeClass::ScrollBar},
};

SRWLOCK themesLock = SRWLOCK_INIT;
std::unordered_map<HTHEME, ThemeClass> themes;

// The class the platform opens from a list ("Explorer::Button;Button"): its first entry, without
// an application's prefix.
ThemeClass ClassOfList(const wchar_t* list) {
    if (!list) return ThemeClass::Other;
    std::wstring first(list);
    first = first.substr(0, first.find(L';'));
    const size_t application = first.find(L"::");
    if (application != std::wstring::npos) first = first.substr(application + 2);
    for (const ThemeClassName& entry : kThemeClasses) {
        if (CompareStringOrdinal(first.c_str(), -1, entry.name, -1, TRUE) == CSTR_EQUAL) return entry.themeClass;
    }
    return ThemeClass::Other;
}

// Every handle opened is noted, its class replacing what an earlier handle at the same address
// had; a handle from before the skin came is not known and keeps the platform's drawing.
HTHEME NoteTheme(HTHEME theme, const wchar_t* list) {
    if (!theme) return theme;
    const ThemeClass themeClass = ClassOfList(list);
    AcquireSRWLockExclusive(&themesLock);
    if (themeClass == ThemeClass::Other)
        themes.erase(theme);
    else
        themes[theme] = themeClass;
    ReleaseSRWLockExclusive(&themesLock);
    return theme;
}

ThemeClass ClassOfTheme(HTHEME theme) {
    AcquireSRWLockShared(&themesLock);
    const auto found = themes.find(theme);
    const ThemeClass themeClass = found == themes.end() ? ThemeClass::Other : found->second;
    ReleaseSRWLockShared(&themesLock);
    return themeClass;
}

HTHEME WINAPI OpenThemeDataInstead(HWND window, LPCWSTR list) {
    return NoteTheme(platformOpenThemeData(window, list), list);
}

HTHEME WINAPI OpenThemeDataExInstead(HWND window, LPCWSTR list, DWORD flags) {
    return NoteTheme(platformOpenThemeDataEx(window, list, flags), list);
}

HTHEME WINAPI OpenThemeDataForDpiInstead(HWND window, LPCWSTR list, UINT dpi) {
    return NoteTheme(platformOpenThemeDataForDpi(window, list, dpi), list);
}

// Theme states come in runs of the four looks (normal, hot, pressed, disabled), one run per
// check state or arrow direction.
constexpr int kLooksPerRun = 4;
int LookInRun(int themeState) { return (themeState - 1) % kLooksPerRun; }
int RunOf(int themeState) { return (themeState - 1) / kLooksPerRun; }

using ThemePartDrawer = void (*)(HDC dc, const RECT& r, int themeState);

void ThemePushButton(HDC dc, const RECT& r, int themeState) {
    // PBS_DEFAULTED and its animation show the normal face.
    DrawPushFace(dc, r, themeState <= PBS_DISABLED ? themeState - 1 : Normal);
}

void ThemeOptionButton(HDC dc, const RECT& r, int themeState) {
    DrawBox(dc, r, BoxShape::Option, LookInRun(themeState), RunOf(themeState) == 1 ? BST_CHECKED : BST_UNCHECKED);
}

void ThemeCheckBox(HDC dc, const RECT& r, int themeState) {
    // Runs: unchecked, checked, mixed; the implicit and excluded looks show unchecked.
    const LRESULT checks[] = {BST_UNCHECKED, BST_CHECKED, BST_INDETERMINATE};
    const int run = RunOf(themeState);
    DrawBox(dc, r, BoxShape::Check, LookInRun(themeState), run < 3 ? checks[run] : BST_UNCHECKED);
}

void ThemeGroupBox(HDC dc, const RECT& r, int themeState) { DrawGroupFrame(dc, r, themeState != GBS_DISABLED); }

void ThemeTabItem(HDC dc, const RECT& r, int themeState) {
    const int looks[] = {Normal, Hot, Normal, Normal, Normal};  // normal, hot, selected, disabled, focused
    const int look = themeState >= TIS_NORMAL && themeState <= TIS_FOCUSED ? looks[themeState - 1] : Normal;
    DrawTabItem(dc, r, look, themeState == TIS_SELECTED, themeState != TIS_DISABLED);
}

void ThemeHeaderItem(HDC dc, const RECT& r, int themeState) {
    // Normal, hot and pressed, and the same three again for each sorted or dropped-down look.
    DrawHeaderFace(dc, r, (themeState - 1) % 3);
}

void ThemeScrollArrow(HDC dc, const RECT& r, int themeState) {
    // Up, down, left, right; the hover looks after them show the normal one.
    const int run = RunOf(themeState);
    if (run < 4)
        DrawScrollArrowButton(dc, r, kScrollArrows[run], LookInRun(themeState));
    else
        DrawScrollArrowButton(dc, r, kScrollArrows[(themeState - ABS_UPHOVER) % 4], Normal);
}

struct ThemePartRoute {
    ThemeClass themeClass;
    int part;
    ThemePartDrawer drawer;
};

const ThemePartRoute kThemePartRoutes[] = {
    {ThemeClass::Button, BP_PUSHBUTTON, ThemePushButton},
    {ThemeClass::Button, BP_RADIOBUTTON, ThemeOptionButton},
    {ThemeClass::Button, BP_CHECKBOX, ThemeCheckBox},
    {ThemeClass::Button, BP_GROUPBOX, ThemeGroupBox},
    {ThemeClass::Tab, TABP_TABITEM, ThemeTabItem},
    {ThemeClass::Tab, TABP_TABITEMLEFTEDGE, ThemeTabItem},
    {ThemeClass::Tab, TABP_TABITEMRIGHTEDGE, ThemeTabItem},
    {ThemeClass::Tab, TABP_TABITEMBOTHEDGE, ThemeTabItem},
    {ThemeClass::Tab, TABP_TOPTABITEM, ThemeTabItem},
    {ThemeClass::Tab, TABP_TOPTABITEMLEFTEDGE, ThemeTabItem},
    {ThemeClass::Tab, TABP_TOPTABITEMRIGHTEDGE, ThemeTabItem},
    {ThemeClass::Tab, TABP_TOPTABITEMBOTHEDGE, ThemeTabItem},
    {ThemeClass::Header, HP_HEADERITEM, ThemeHeaderItem},
    {ThemeClass::ScrollBar, SBP_ARROWBTN, ThemeScrollArrow},
};

// The most states any of these parts has (a check box's twenty, the arrows' twenty).
constexpr int kMostThemeStates = 20;

ThemePartDrawer ThemePartOf(ThemeClass themeClass, int part) {
    for (const ThemePartRoute& route : kThemePartRoutes) {
        if (route.themeClass == themeClass && route.part == part) return route.drawer;
    }
    return nullptr;
}

HRESULT WINAPI DrawThemeBackgroundInstead(HTHEME theme, HDC dc, int part, int themeState, const RECT* rect,
                                          const RECT* clip) {
    const void* caller = DORRIK_CALLER_ADDRESS();
    if (!rect || !theme || themeState < 1 || themeState > kMostThemeStates || drawingPart || !EngineIfAny())
        return platformDrawThemeBackground(theme, dc, part, themeState, rect, clip);
    const ThemePartDrawer drawer = ThemePartOf(ClassOfTheme(theme), part);
    if (!drawer || !SkinnedTarget(dc, caller)) return platformDrawThemeBackground(theme, dc, part, themeState, rect, clip);
    const PartDrawing drawing(dc);
    if (clip) IntersectClipRect(dc, clip->left, clip->top, clip->right, clip->bottom);
    drawer(dc, *rect, themeState);
    return S_OK;
}

// A button part's text in the skin's caption colours, where and as the program asks.
constexpr COLORREF kPartText = 0x000000;

bool IsDisabledButtonState(int part, int themeState) {
    if (part == BP_GROUPBOX) return themeState == GBS_DISABLED;
    if (part == BP_PUSHBUTTON) return themeState == PBS_DISABLED;
    return LookInRun(themeState) == Disabled;
}

HRESULT WINAPI DrawThemeTextInstead(HTHEME theme, HDC dc, int part, int themeState, LPCWSTR text, int length,
                                    DWORD flags, DWORD grayFlags, const RECT* rect) {
    const void* caller = DORRIK_CALLER_ADDRESS();
    const bool buttonPart = part >= BP_PUSHBUTTON && part <= BP_GROUPBOX;
    if (!rect || !text || !buttonPart || themeState < 1 || themeState > kMostThemeStates || drawingPart ||
        !EngineIfAny() || ClassOfTheme(theme) != ThemeClass::Button || !SkinnedTarget(dc, caller))
        return platformDrawThemeText(theme, dc, part, themeState, text, length, flags, grayFlags, rect);
    const PartDrawing drawing(dc);
    const bool disabled = IsDisabledButtonState(part, themeState) || (grayFlags & DTT_GRAYED);
    SetTextColor(dc, disabled ? kSkinDisabledCaption : kPartText);
    SetBkMode(dc, TRANSPARENT);
    RECT area = *rect;
    DrawTextW(dc, text, length, &area, flags);
    return S_OK;
}

// ---- Putting them in front ----

template <typename Function>
void Redirect(HMODULE module, const char* name, Function replacement, Function* original) {
    void* entry = module ? reinterpret_cast<void*>(GetProcAddress(module, name)) : nullptr;
    if (entry) RedirectEntry(entry, reinterpret_cast<const void*>(replacement), reinterpret_cast<void**>(original));
}

BOOL CALLBACK StandInFrontOfPartDrawing(PINIT_ONCE, PVOID, PVOID*) {
    const UINT length = GetSystemWindowsDirectoryW(windowsFolder, MAX_PATH - 1);
    if (length == 0 || length >= MAX_PATH - 1) return TRUE;
    if (windowsFolder[length - 1] != L'\\') windowsFolder[length] = L'\\';
    windowsFolderLength = wcslen(windowsFolder);

    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    Redirect(user32, "DrawFrameControl", &DrawFrameControlInstead, &platformDrawFrameControl);
    Redirect(user32, "DrawEdge", &DrawEdgeInstead, &platformDrawEdge);
    // The visual style's functions, where the program has them: the handles are noted before
    // the drawing is taken, so that no part is drawn from a class not yet known.
    const HMODULE uxtheme = GetModuleHandleW(L"uxtheme.dll");
    Redirect(uxtheme, "OpenThemeData", &OpenThemeDataInstead, &platformOpenThemeData);
    Redirect(uxtheme, "OpenThemeDataEx", &OpenThemeDataExInstead, &platformOpenThemeDataEx);
    Redirect(uxtheme, "OpenThemeDataForDpi", &OpenThemeDataForDpiInstead, &platformOpenThemeDataForDpi);
    Redirect(uxtheme, "DrawThemeBackground", &DrawThemeBackgroundInstead, &platformDrawThemeBackground);
    Redirect(uxtheme, "DrawThemeText", &DrawThemeTextInstead, &platformDrawThemeText);
    return TRUE;
}

}  // namespace

void TakeOverPartDrawing() {
    static INIT_ONCE started = INIT_ONCE_STATIC_INIT;
    InitOnceExecuteOnce(&started, StandInFrontOfPartDrawing, nullptr, nullptr);
}

}  // namespace skin
