// Attaching the skin to windows and detaching it: per-kind set-up, subclassing, and every change
// of the skin's link in a window's chain.
#include "core/attach.h"

#include "core/frame.h"
#include "core/common_controls.h"
#include "core/hover.h"
#include "core/kinds.h"
#include "core/menus.h"
#include "core/props.h"
#include "core/scroll_bars.h"
#include "core/scroll_calls.h"
#include "core/window_proc.h"
#include "dorrik_skin.h"
#include "render/button_renderer.h"
#include "render/header_renderer.h"
#include "render/primitives.h"
#include "render/scoped_gdi.h"
#include "render/state_surfaces.h"

namespace skin {

namespace {

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

bool HasWindowRegion(HWND window) {
    const ScopedRegion probe(CreateRectRgn(0, 0, 0, 0));
    return probe.get() && GetWindowRgn(window, probe.get()) != ERROR;
}

bool KeepsOwnRegion(HWND window) {
    const WindowRecord* record = FindRecord(window);
    return record && record->ownRegion;
}

void AttachPushButton(HWND window) {
    // A button shaped by the program (a round one) keeps its shape instead of the rounded corners.
    if (WindowRecord* record = FindRecord(window)) record->ownRegion = HasWindowRegion(window);
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
    if (!KeepsOwnRegion(window)) SetWindowRgn(window, nullptr, TRUE);
}

// A combo's drop-down list belongs to the desktop, not to the form, so the form's detach does not
// reach it; it goes with its combo box instead.
void DetachDropDownList(HWND combo) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (GetComboBoxInfo(combo, &info) && info.hwndList != combo) DetachWindow(info.hwndList);
}

// A form takes everything inside it along, at attach and at detach. Under AttachSkinEx so does
// the window given, and every top-level window skinned over it, whatever their classes.
bool TakesItsTree(HWND window, ControlKind kind, DWORD options) {
    if (kind == ControlKind::Form) return true;
    if (!(options & kWholeTree)) return false;
    return (options & kTreeRoot) || !(GetWindowLongW(window, GWL_STYLE) & WS_CHILD);
}

// Returns whether the window took everything inside it along.
bool SetupKind(HWND window, ControlKind kind, DWORD options) {
    const bool tree = TakesItsTree(window, kind, options);
    // Descendants first; the window itself is subclassed after them.
    if (tree) EnumChildWindows(window, AttachChild, options & ~kTreeRoot);
    switch (kind) {
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
        SetupCommonControl(window, kind);
        break;
    }
    return tree;
}

void TeardownKind(HWND window, ControlKind kind, bool tree) {
    if (tree) EnumChildWindows(window, DetachChild, 0);
    switch (kind) {
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
        TeardownCommonControl(window, kind);
        break;
    }
}

bool RunsSkinProc(HWND window) {
    return GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(SkinWindowProc);
}

// A frame pass now, and a client repaint later, both in the window's current look.
void RepaintWhole(HWND window) {
    SendMessageA(window, WM_NCPAINT, 1, 0);
    RedrawWindow(window, nullptr, nullptr, kRepaintLater);
}

bool IsFormKind(HWND window, const WindowRecord& record) {
    return (record.link == Link::Attached ? record.kind : ClassifyWindow(window)) == ControlKind::Form;
}

bool HoldsTheSkin(Link link) {
    return link == Link::Attached || link == Link::Attaching || link == Link::Waiting;
}

// Where plain AttachSkin would have reached a child had it been there at attach time: somewhere
// inside a skinned form or dialog.
bool IsInsideSkinnedForm(HWND container) {
    for (HWND window = container; window; window = GetParent(window)) {
        const WindowRecord* record = FindRecord(window);
        if (record && HoldsTheSkin(record->link) && IsFormKind(window, *record)) return true;
        if (!(GetWindowLongW(window, GWL_STYLE) & WS_CHILD)) return false;
    }
    return false;
}

// Records of windows that went without the skin seeing their last message (other code took the
// skin out of their chain first) are forgotten, with what they held.
void ForgetGoneWindows() {
    for (HWND window : RecordedWindows()) {
        if (!IsWindow(window) || GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId())
            ForgetWindow(window);
    }
}

LONG AttachForm(HWND form, DWORD options) {
    if (!form || !IsWindowOfThisThread(form)) return 0;
    const EngineBusy busy;
    ForgetGoneWindows();
    StartEngine();
    return static_cast<LONG>(AttachWindow(form, options));
}

}  // namespace

bool ButtonKeepsOwnPainting(LONG style) {
    return (style & kOwnPaintingStyles) != 0 || (style & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
}

void SetButtonRegion(HWND window, int width, int height) {
    if (KeepsOwnRegion(window)) return;
    ScopedRegion region(
        CreateRoundRectRgn(0, 0, width + 1, height + 1, kButtonCornerSize, kButtonCornerSize));
    // Once SetWindowRgn succeeds the region belongs to the system.
    if (region.get() && SetWindowRgn(window, region.get(), TRUE)) region.release();
}

// The skin's link in a window's chain of procedures, and every change of it:
//
//   (none) ---------- LinkNewWindow --> Waiting     made inside a skinned window (creation hook)
//   (none) ---------- LinkNewForm ----> Waiting     a top-level form made, to be skinned as a whole
//   Waiting --------- RelinkIfCutOut -> Waiting     back on top of the procedure that replaced it
//   (none), Waiting,
//   PassThrough ----- AttachWindow ---> Attaching   the kind is set up; then
//                                   --> Attached    counted, procedure in, PROCADDR published
//                                   or  back out    (LeaveChain) when the set-up failed
//   Attached -------- DetachWindow ---> Detaching   counted off, the kind taken down; then
//   Detaching, Waiting,
//   PassThrough ----- LeaveChain -----> (none)      the procedure put back where the skin is on top
//                                   or  PassThrough where other code has subclassed on top
//   any ------------- ForgetWindow ---> (none)      the window is gone, or its handle means
//                                                   another window now
//
// A change that can leave nothing of the skin settles the engine (at once, or when the outermost
// attach or detach running ends).

// A window being made whose creation linked it already (a form linked as a whole, then found
// inside a skinned window by the creation hook): the one link stays.
bool LinkedWhileMade(HWND window) {
    const WindowRecord* record = FindRecord(window);
    return record && record->link == Link::Waiting && RunsSkinProc(window);
}

void LinkNewWindow(HWND window, const CREATESTRUCTW& create) {
    if (LinkedWhileMade(window)) return;
    // A window being made is always a new window: a record under its handle was left by one that
    // went with the skin cut out of its chain.
    ForgetWindow(window);
    if (!Engine().initialised) return;
    HWND container = create.hwndParent;
    const WindowRecord* outer = container ? FindRecord(container) : nullptr;
    if (!outer || !HoldsTheSkin(outer->link)) return;
    // A dialog, message box or list opened over a skinned window is skinned whatever its class;
    // a child only inside a skinned form, unless the form was given the whole tree.
    const bool child = (create.style & WS_CHILD) != 0;
    if (child && !(outer->options & kWholeTree) && !IsInsideSkinnedForm(container)) return;

    const DWORD options = outer->options;
    FindRecord(container)->holdsWaiting = true;
    WindowRecord& record = CreateRecord(window);
    record.link = Link::Waiting;
    record.container = container;
    record.options = options;
    record.previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SkinWindowProc)));
    if (!record.previous) EraseRecord(window);
}

void LinkNewForm(HWND window, DWORD options) {
    if (!window || !IsWindowOfThisThread(window)) return;
    if (const WindowRecord* record = FindRecord(window);
        record && (record->link == Link::Waiting || record->link == Link::Attached) && IsLinkInChain(window))
        return;
    ForgetWindow(window);
    WindowRecord& record = CreateRecord(window);
    record.link = Link::Waiting;
    record.container = nullptr;  // a form of its own: attached as AttachSkinEx attaches one
    record.options = options;
    record.previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SkinWindowProc)));
    if (!record.previous) EraseRecord(window);
}

void RelinkIfCutOut(HWND window) {
    WindowRecord* record = FindRecord(window);
    if (!record || record->link != Link::Waiting || IsLinkInChain(window)) return;
    const auto replacement = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SkinWindowProc)));
    if (replacement) {
        record->previous = replacement;
    } else {
        EraseRecord(window);
        SettleEngine();
    }
}

LRESULT AttachWindow(HWND window, DWORD options) {
    if (!window || !IsWindowOfThisThread(window)) return 0;
    // The published property says whether a window is attached.
    if (GetPropA(window, kPropProcAddr) != nullptr) return 0;
    const WindowRecord* existing = FindRecord(window);
    // Reached again from inside its own set-up or take-down (a message it sends): nothing to do.
    if (existing && (existing->link == Link::Attaching || existing->link == Link::Detaching))
        return 0;
    const EngineBusy busy;

    // PROCADDR taken off by other code while the skin is still on: the record, not the property,
    // says what the window was before the skin (a push button's own type), so the skin comes off
    // by the record before it goes on again.
    if (existing && existing->link == Link::Attached && existing->values[SlotProcAddr] != 0 &&
        IsLinkInChain(window)) {
        DetachWindow(window);
        existing = FindRecord(window);
    }

    // A link still in the window's chain (waiting, passing through, or this procedure on top) is
    // switched on again rather than installed a second time. A record that says attached while
    // the window carries no PROCADDR, or whose link is no longer in the chain, was left by a
    // window that had this handle before: it is forgotten with what it held.
    WNDPROC linkedPrevious = nullptr;
    bool holdsWaiting = false;
    if (existing) {
        const bool attached = existing->link == Link::Attached;
        const bool inChain = attached ? RunsSkinProc(window) : IsLinkInChain(window);
        if (inChain) linkedPrevious = existing->previous;
        holdsWaiting = existing->holdsWaiting && inChain;
        if (attached || !inChain) ForgetWindow(window);
    }

    const ControlKind kind = (options & kWholeTree) ? ClassifyWindowWithOptions(window, options)
                                                    : ClassifyWindow(window);
    WindowRecord& fresh = CreateRecord(window);
    fresh.kind = kind;
    fresh.previous = linkedPrevious;
    fresh.options = options & ~kTreeRoot;
    const bool tree = SetupKind(window, kind, options);

    WNDPROC previous = linkedPrevious;
    WindowRecord* record = FindRecord(window);
    if (record && record->link == Link::Attaching && !previous) {
        previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SkinWindowProc)));
    }
    if (!record || record->link != Link::Attaching || !previous) {
        // The window went away during its set-up, or the procedure could not be installed:
        // nothing is attached and nothing is counted; a link that was there passes on or goes.
        TeardownKind(window, kind, tree);
        record = FindRecord(window);
        if (record && linkedPrevious) {
            record->link = Link::PassThrough;
            LeaveChain(window);
        } else if (record) {
            ForgetWindow(window);
        }
        return 0;
    }
    ++Engine().skinnedWindowCount;
    record->link = Link::Attached;
    record->holdsTree = tree;
    if (record->options & DORRIK_SKIN_SCROLLBARS) NoteSkinnedBars(window, true);
    SetSkinProp(window, kPropProcAddr, reinterpret_cast<intptr_t>(previous));
    AttachMenus(window);
    AttachFrame(window);
    RepaintWhole(window);
    // Windows a control made inside itself while it was made (a list view's header) are as
    // complete as the control is: they go with it, shown or not.
    if (holdsWaiting && !tree) EnumChildWindows(window, AttachWaitingChild, 0);
    return 1;
}

LRESULT DetachWindow(HWND window) {
    if (!window) return 0;
    WindowRecord* record = FindRecord(window);
    if (!record) return 0;
    if (record->link == Link::Waiting || record->link == Link::PassThrough) {
        // Never attached, or detached before under other code's subclass: only the link goes,
        // where it can.
        LeaveChain(window);
        return 0;
    }
    if (record->link != Link::Attached || record->values[SlotProcAddr] == 0) return 0;

    const EngineBusy busy;
    // Counted off first: a window destroyed in the middle of its own detach (the program's code
    // runs inside the messages the detach sends) is detached, and counted off, once.
    record->link = Link::Detaching;
    --Engine().skinnedWindowCount;
    NoteSkinnedBars(window, false);
    DetachMenus(window);
    TeardownKind(window, record->kind, record->holdsTree);
    DetachFrame(window);
    RemoveSkinProp(window, kPropProcAddr);
    LeaveChain(window);
    RepaintWhole(window);
    return 1;
}

void AttachWaitingWindow(HWND window) {
    const WindowRecord* record = FindRecord(window);
    if (!record || record->link != Link::Waiting) return;
    if (!record->container) {
        AttachSkinEx(window, record->options);
    } else {
        const WindowRecord* container = FindRecord(record->container);
        if (Engine().initialised && container && HoldsTheSkin(container->link))
            AttachWindow(window, record->options);
    }
    // Not attached (its container is no longer skinned, or other code claims the window with a
    // PROCADDR of its own): the link only passes on from now, or leaves.
    record = FindRecord(window);
    if (record && record->link == Link::Waiting) LeaveChain(window);
}

void LeaveChain(HWND window) {
    WindowRecord* record = FindRecord(window);
    if (!record) return;
    if (RunsSkinProc(window)) {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(record->previous));
        EraseRecord(window);
    } else if (IsLinkInChain(window)) {
        // Other code has subclassed on top: taking the skin out would cut that code out too (and
        // a later restore of what it saved would bring the skin back without its state), so the
        // link stays and forwards everything.
        record->link = Link::PassThrough;
    } else {
        // Other code has taken the skin out of the chain already: nothing of it runs there.
        EraseRecord(window);
    }
    SettleEngine();
}

void ForgetWindow(HWND window) {
    const WindowRecord* record = FindRecord(window);
    if (!record) return;
    // A push button destroyed during its own attach still holds its surfaces here.
    FreeStateSurfaces(*record);
    NoteSkinnedBars(window, false);
    if (record->link == Link::Attached && Engine().skinnedWindowCount > 0)
        --Engine().skinnedWindowCount;
    EraseRecord(window);
    SettleEngine();
}

}  // namespace skin

extern "C" LONG WINAPI AttachSkin(HWND form) { return skin::AttachForm(form, 0); }

extern "C" LONG WINAPI AttachSkinEx(HWND form, DWORD options) {
    if (options & ~static_cast<DWORD>(DORRIK_SKIN_ALL)) return 0;
    if (options & DORRIK_SKIN_SCROLLBARS) skin::StartScrollBarSkin();
    return skin::AttachForm(form, options | skin::kWholeTree | skin::kTreeRoot);
}

extern "C" LONG WINAPI DetachSkin(HWND form) {
    // Each thread takes the skin off its own windows.
    if (!form || !skin::IsWindowOfThisThread(form) || !skin::EngineIfAny()) return 0;
    const skin::EngineBusy busy;
    const LONG result = static_cast<LONG>(skin::DetachWindow(form));
    skin::ForgetGoneWindows();
    return result;
}
