// Attaching the skin to windows and detaching it: classification, per-kind setup, subclassing.
#include "core/attach.h"

#include "core/hover.h"
#include "core/kinds.h"
#include "core/props.h"
#include "core/window_proc.h"
#include "dorrik_skin.h"
#include "render/button_renderer.h"
#include "render/header_renderer.h"
#include "render/image_set.h"
#include "render/primitives.h"
#include "render/scoped_gdi.h"
#include "render/state_surfaces.h"

#include <utility>

namespace skin {

namespace {

EngineState engine;

// Button types with bit 1 or 2 set keep their own painting: check boxes, radio buttons, group
// boxes. The automatic radio button (9) has neither bit, but is a radio button all the same.
constexpr LONG kOwnPaintingStyles = 6;
constexpr WPARAM kOwnerDrawStyle = BS_OWNERDRAW;
constexpr UINT kRepaintLater = RDW_INVALIDATE | RDW_INTERNALPAINT;

// Width and height of the ellipse that rounds a push button's corners.
constexpr int kButtonCornerSize = 3;

BOOL CALLBACK AttachChild(HWND window, LPARAM options) {
    AttachWindow(window, static_cast<DWORD>(options));
    return TRUE;
}

BOOL CALLBACK DetachChild(HWND window, LPARAM) {
    DetachWindow(window);
    return TRUE;
}

BOOL CALLBACK AttachWaitingChild(HWND window, LPARAM) {
    AttachWaitingWindow(window);
    return TRUE;
}

void AttachPushButton(HWND window) {
    WindowBounds bounds;
    GetWindowBounds(window, bounds);
    {
        const ScopedWindowDC windowDC(window);
        CreateStateSurfaces(window, windowDC.get(), bounds.Width, bounds.Height);
        RenderButtonFaces(window);
    }
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    if (!ButtonKeepsOwnPainting(style)) SendMessageA(window, BM_SETSTYLE, kOwnerDrawStyle, -1);
    SetSkinProp(window, kPropOldStyle, style);
    SetSkinProp(window, kPropMouseFlag, 0);
    SetSkinProp(window, kPropTimerId, 0);
    SetSkinProp(window, kPropOldState, IsWindowEnabled(window) ? Normal : Disabled);
    SetSkinProp(window, kPropAlphaLevel, 0);
    SetButtonRegion(window, bounds.Width, bounds.Height);
}

// Attach changed only the button type (to owner-drawn). Whatever else happened to the style
// while the button was skinned (disabled, hidden, made the default) stays as it is now.
void RestoreButtonType(HWND window) {
    const LONG before = static_cast<LONG>(GetSkinProp(window, kPropOldStyle));
    const LONG now = GetWindowLongA(window, GWL_STYLE);
    if (ButtonKeepsOwnPainting(before) || (now & BS_TYPEMASK) != BS_OWNERDRAW) return;
    SetWindowLongA(window, GWL_STYLE, (now & ~BS_TYPEMASK) | (before & BS_TYPEMASK));
}

void DetachPushButton(HWND window) {
    DestroyStateSurfaces(window);
    StopHoverTimer(window);
    RestoreButtonType(window);
    RemoveSkinProp(window, kPropOldStyle);
    RemoveSkinProp(window, kPropMouseFlag);
    RemoveSkinProp(window, kPropTimerId);
    RemoveSkinProp(window, kPropOldState);
    RemoveSkinProp(window, kPropAlphaLevel);
    SetWindowRgn(window, nullptr, TRUE);
}

// A combo's drop-down list belongs to the desktop, not to the form, so the form's detach does not
// reach it; it goes with its combo box instead.
void DetachDropDownList(HWND combo) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (GetComboBoxInfo(combo, &info) && info.hwndList != combo) DetachWindow(info.hwndList);
}

void SetupKind(HWND window, ControlKind kind, DWORD options) {
    switch (kind) {
    case ControlKind::Form:
        // Descendants first; the form itself is subclassed after them.
        EnumChildWindows(window, AttachChild, options);
        break;
    case ControlKind::PushButton:
        AttachPushButton(window);
        break;
    case ControlKind::ComboBox:
    case ControlKind::DriveList:
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
    case ControlKind::ButtonCheckBox:
    case ControlKind::ButtonOption:
    case ControlKind::Trackbar:
        SetSkinProp(window, kPropMouseFlag, 0);
        SetSkinProp(window, kPropOldState, Normal);
        break;
    case ControlKind::Header:
    case ControlKind::TabControl:
    case ControlKind::UpDown:
        SetSkinProp(window, kPropMouseFlag, 0);
        SetSkinProp(window, kPropHdIndex, kNoHeaderItem);
        SetSkinProp(window, kPropHmIndex, kNoHeaderItem);
        break;
    default:
        break;
    }
}

void TeardownKind(HWND window, ControlKind kind) {
    switch (kind) {
    case ControlKind::Form:
        EnumChildWindows(window, DetachChild, 0);
        break;
    case ControlKind::PushButton:
        DetachPushButton(window);
        break;
    case ControlKind::ComboBox:
    case ControlKind::DriveList:
        DetachDropDownList(window);
        RemoveSkinProp(window, kPropMouseFlag);
        RemoveSkinProp(window, kPropOldState);
        break;
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
    case ControlKind::ButtonCheckBox:
    case ControlKind::ButtonOption:
    case ControlKind::Trackbar:
        RemoveSkinProp(window, kPropMouseFlag);
        RemoveSkinProp(window, kPropOldState);
        break;
    case ControlKind::Header:
    case ControlKind::TabControl:
    case ControlKind::UpDown:
        RemoveSkinProp(window, kPropMouseFlag);
        RemoveSkinProp(window, kPropHdIndex);
        RemoveSkinProp(window, kPropHmIndex);
        break;
    default:
        break;
    }
}

// The engine's process-wide values and images are used by one thread: windows of other threads
// (and of other processes, which cannot be subclassed at all) are never attached.
bool IsWindowOfThisThread(HWND window) {
    return GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

bool RunsSkinProc(HWND window) {
    return GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(SkinWindowProc);
}

// A frame pass now, and a client repaint later, both in the window's current look.
void RepaintWhole(HWND window) {
    SendMessageA(window, WM_NCPAINT, 1, 0);
    RedrawWindow(window, nullptr, nullptr, kRepaintLater);
}

// The skin's link leaves the window's chain. When other code has subclassed on top of it, taking
// the skin out would cut that code out too (and a later restore of what it saved would bring the
// skin back without its state), so the link stays and forwards everything instead.
void DropLink(HWND window) {
    WindowRecord* record = FindRecord(window);
    if (!record) return;
    if (RunsSkinProc(window)) {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(record->previous));
        EraseRecord(window);
    } else {
        record->link = Link::PassThrough;
    }
}

// A record that says attached while the window carries no PROCADDR was left by a window that had
// this handle before and went with the skin cut out of its chain: its objects go, and it no
// longer counts as skinned.
void ForgetStaleRecord(const WindowRecord& stale) {
    FreeStateSurfaces(stale);
    if (engine.skinnedWindowCount > 0) --engine.skinnedWindowCount;
}

bool ServesThisThread() {
    const EngineState& state = engine;
    return state.thread == 0 || state.thread == GetCurrentThreadId();
}

constexpr DWORD kUnloadGraceMs = 100;

// Gives back the engine's reference to its own module. The caller may be the last holder, and it
// is still running the module's code until it returns: the release happens on a thread of its
// own, a moment later, and that thread ends inside the system's code.
DWORD WINAPI ReleaseModuleLater(LPVOID module) {
    Sleep(kUnloadGraceMs);
    FreeLibraryAndExitThread(static_cast<HMODULE>(module), 0);
}

// Linked into the program itself, the engine cannot be unloaded and holds no reference.
bool EngineIsInTheProgram() {
    static const bool inProgram = [] {
        HMODULE module = nullptr;
        GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCWSTR>(&SkinWindowProc), &module);
        return module == GetModuleHandleW(nullptr);
    }();
    return inProgram;
}

void GiveBackModule(HMODULE module) {
    HANDLE thread = CreateThread(nullptr, 0, ReleaseModuleLater, module, 0, nullptr);
    // Without the thread the module stays loaded: unloading it here would pull the code from
    // under this very call.
    if (thread) CloseHandle(thread);
}

// Windows made on the engine's thread inside a skinned window get the skin's link at once and
// are attached when they first paint, when they are complete (class, style, size, caption,
// font) and before anything of theirs is on screen. The hook runs only when a window is made,
// activated or focused, never for the thread's messages.
LRESULT CALLBACK WatchCreation(int code, WPARAM wParam, LPARAM lParam) {
    const LRESULT next = CallNextHookEx(nullptr, code, wParam, lParam);
    if (code != HCBT_CREATEWND || next != 0 || !engine.initialised) return next;
    HWND window = reinterpret_cast<HWND>(wParam);
    const CBT_CREATEWNDW* create = reinterpret_cast<const CBT_CREATEWNDW*>(lParam);
    HWND container = create && create->lpcs ? create->lpcs->hwndParent : nullptr;
    WindowRecord* outer = container ? FindRecord(container) : nullptr;
    if (!outer || outer->link == Link::PassThrough || FindRecord(window)) return next;

    outer->holdsWaiting = true;
    WindowRecord& record = CreateRecord(window);
    record.link = Link::Waiting;
    record.container = container;
    record.options = outer->options;
    record.previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SkinWindowProc)));
    if (!record.previous) EraseRecord(window);
    return next;
}

void StartEngine() {
    engine.initialised = true;
    engine.thread = GetCurrentThreadId();
    engine.hasTrackMouseEvent = IsExportAvailable("TrackMouseEvent", "User32");
    BuildSkinImages();
    engine.creationHook = SetWindowsHookExW(WH_CBT, WatchCreation, nullptr, engine.thread);
}

void StopEngine() {
    engine.skinnedWindowCount = 0;
    ReleaseSkinImages();
    engine.initialised = false;
    if (engine.creationHook) UnhookWindowsHookEx(std::exchange(engine.creationHook, nullptr));
    SettleEngine();
}

}  // namespace

EngineState& Engine() { return engine; }

bool ButtonKeepsOwnPainting(LONG style) {
    return (style & kOwnPaintingStyles) != 0 || (style & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
}

void SetButtonRegion(HWND window, int width, int height) {
    ScopedRegion region(
        CreateRoundRectRgn(0, 0, width + 1, height + 1, kButtonCornerSize, kButtonCornerSize));
    // Once SetWindowRgn succeeds the region belongs to the system.
    if (region.get() && SetWindowRgn(window, region.get(), TRUE)) region.release();
}

LRESULT AttachWindow(HWND window, DWORD options) {
    if (!window || !IsWindowOfThisThread(window) || !ServesThisThread()) return 0;
    // The published property says whether a window is attached.
    if (GetPropA(window, kPropProcAddr) != nullptr) return 0;
    WindowRecord* existing = FindRecord(window);
    // Reached again from inside its own set-up (a message the set-up sends): attached once.
    if (existing && existing->link == Link::Attaching) return 0;
    if (existing && existing->link == Link::Attached) ForgetStaleRecord(*existing);
    // A link still in the window's chain (waiting, passing through, or this procedure on top) is
    // switched on again rather than installed a second time.
    const bool linked = existing && (existing->link != Link::Attached || RunsSkinProc(window));
    const WNDPROC linkedPrevious = linked ? existing->previous : nullptr;
    const bool holdsWaiting = existing && existing->holdsWaiting;

    const ControlKind kind = (options & kWholeTree) ? ClassifyWindowWithOptions(window, options)
                                                    : ClassifyWindow(window);
    WindowRecord& fresh = CreateRecord(window);
    fresh.kind = kind;
    fresh.previous = linkedPrevious;
    fresh.options = options;
    SetupKind(window, kind, options);

    WNDPROC previous = linkedPrevious;
    WindowRecord* record = FindRecord(window);
    if (record && record->link == Link::Attaching && !previous) {
        previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SkinWindowProc)));
    }
    if (!record || record->link != Link::Attaching || !previous) {
        // The window went away during its set-up, or the procedure could not be installed:
        // nothing is attached and nothing is counted.
        TeardownKind(window, kind);
        if (record && !linked) EraseRecord(window);
        return 0;
    }
    ++engine.skinnedWindowCount;
    record->link = Link::Attached;
    SetSkinProp(window, kPropProcAddr, reinterpret_cast<intptr_t>(previous));
    RepaintWhole(window);
    // Windows a control made inside itself while it was made (a list view's header) are as
    // complete as the control is: they go with it, shown or not.
    if (holdsWaiting && kind != ControlKind::Form) EnumChildWindows(window, AttachWaitingChild, 0);
    return 1;
}

LRESULT DetachWindow(HWND window) {
    if (!window) return 0;
    const WindowRecord* record = FindRecord(window);
    if (!record) return 0;
    if (record->link == Link::Waiting) {
        // Made inside a skinned window but never shown: it only loses the link.
        DropLink(window);
        return 0;
    }
    if (record->link != Link::Attached || record->values[SlotProcAddr] == 0) return 0;

    TeardownKind(window, record->kind);
    RemoveSkinProp(window, kPropProcAddr);
    DropLink(window);
    RepaintWhole(window);

    if (--engine.skinnedWindowCount <= 0) StopEngine();
    return 1;
}

void AttachWaitingWindow(HWND window) {
    const WindowRecord* record = FindRecord(window);
    if (!record || record->link != Link::Waiting) return;
    const WindowRecord* container = FindRecord(record->container);
    const bool containerSkinned =
        container && (container->link == Link::Attached || container->link == Link::Waiting);
    if (engine.initialised && containerSkinned)
        AttachWindow(window, record->options);
    else
        DropLink(window);
}

bool MayAttachFromWindowProc() { return engine.initialised; }

// The engine's own module stays loaded while a window runs its procedure or its hook is set, so
// a program that unloads the engine's library while something is skinned does not pull the code
// from under those windows.
void SettleEngine() {
    const bool inUse = engine.initialised || RecordCount() > 0;
    if (!inUse) engine.thread = 0;
    if (inUse && !engine.heldModule && !EngineIsInTheProgram()) {
        HMODULE module = nullptr;
        if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                               reinterpret_cast<LPCWSTR>(&SkinWindowProc), &module))
            engine.heldModule = module;
    } else if (!inUse && engine.heldModule) {
        GiveBackModule(std::exchange(engine.heldModule, nullptr));
    }
}

}  // namespace skin

extern "C" LONG WINAPI AttachSkin(HWND form) {
    skin::EngineState& engine = skin::Engine();
    if (engine.thread != 0 && engine.thread != GetCurrentThreadId()) return 0;
    if (!engine.initialised) skin::StartEngine();
    const LONG result = static_cast<LONG>(skin::AttachWindow(form));
    skin::SettleEngine();
    return result;
}

extern "C" LONG WINAPI AttachSkinEx(HWND form, DWORD options) {
    if (options & ~static_cast<DWORD>(DORRIK_SKIN_ALL)) return 0;
    skin::EngineState& engine = skin::Engine();
    if (engine.thread != 0 && engine.thread != GetCurrentThreadId()) return 0;
    if (!engine.initialised) skin::StartEngine();
    // Everything inside the form first, whatever the classes; the form itself after it.
    const DWORD withTree = options | skin::kWholeTree;
    if (form && skin::ClassifyWindow(form) != skin::ControlKind::Form)
        EnumChildWindows(form, skin::AttachChild, withTree);
    const LONG result = static_cast<LONG>(skin::AttachWindow(form, withTree));
    skin::SettleEngine();
    return result;
}

extern "C" LONG WINAPI DetachSkin(HWND form) {
    skin::EngineState& engine = skin::Engine();
    if (engine.thread != 0 && engine.thread != GetCurrentThreadId()) return 0;
    const LONG result = static_cast<LONG>(skin::DetachWindow(form));
    skin::SettleEngine();
    return result;
}
