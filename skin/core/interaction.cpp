// The interaction state machine: mouse, keyboard, focus and enable messages become a visual state
// kept in the window's properties, and the control is redrawn through its renderer.
//
// Every handler lets the control's own procedure see the message first (exactly once), so that
// toggling, capture, focus moves and dropped lists are complete before the skin repaints, and
// returns that procedure's result whatever the skin work does.
#include "core/interaction.h"

#include "core/attach.h"
#include "core/hover.h"
#include "core/props.h"
#include "core/window_proc.h"
#include "render/button_box_renderer.h"
#include "render/button_renderer.h"
#include "render/check_renderer.h"
#include "render/combo_renderer.h"
#include "render/header_renderer.h"
#include "render/primitives.h"

namespace skin {

namespace {

constexpr int kAlphaAfterRelease = 60;
constexpr int kAlphaOnLeaving = 140;

// Client coordinates, sign-extended: a control holding the capture sees points left of or
// above itself as negative values.
struct MousePoint {
    int x;
    int y;
};

MousePoint PointOf(LPARAM lParam) {
    return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

bool LeftButtonHeld(WPARAM wParam) { return (wParam & MK_LBUTTON) != 0; }

bool IsSpace(WPARAM key) { return key == VK_SPACE; }

int GetIntProp(HWND window, const char* name) { return static_cast<int>(GetSkinProp(window, name)); }

// The topmost window at the cursor is this one. A failed query counts as another window.
bool CursorIsOver(HWND window) {
    POINT cursor{};
    if (!GetCursorPos(&cursor)) return false;
    return WindowFromPoint(cursor) == window;
}

// The first move of a visit asks for one leave notification; later moves ask for none.
void Enter(HWND window) {
    if (GetSkinProp(window, kPropMouseFlag) != 0) return;
    SetSkinProp(window, kPropMouseFlag, 1);
    TrackMouseLeave(window);
}

// The control's own processing may have detached or destroyed the window (a click that unloads
// the form). Skin work then would leave properties and a timer on a window that is no longer
// skinned.
bool StillSkinned(HWND window) { return IsAttached(window); }

// ---- Push buttons ----

void ShowPressed(HWND window) {
    StopHoverTimer(window);
    SetSkinProp(window, kPropOldState, Pressed);
    SetSkinProp(window, kPropAlphaLevel, kFullStrengthAlpha);
    BlendButtonFace(window, nullptr);
    SetSkinProp(window, kPropAlphaLevel, 0);
}

void ButtonMouseMove(HWND window) {
    if (GetSkinProp(window, kPropMouseFlag) == 0) {
        // Nothing is drawn now: the timer fades the hot face in.
        Enter(window);
        SetSkinProp(window, kPropOldState, Hot);
        SetSkinProp(window, kPropAlphaLevel, 0);
        StartHoverTimer(window);
        return;
    }
    if (CursorIsOver(window)) return;
    // The button holds the capture and the cursor is elsewhere: show the unchanged state fully.
    StopHoverTimer(window);
    SetSkinProp(window, kPropAlphaLevel, kFullStrengthAlpha);
    BlendButtonFace(window, nullptr);
}

void ButtonRelease(HWND window) {
    SetSkinProp(window, kPropMouseFlag, 0);
    SetSkinProp(window, kPropOldState, Normal);
    SetSkinProp(window, kPropAlphaLevel, kAlphaAfterRelease);
    StartHoverTimer(window);
}

void ButtonSpaceUp(HWND window) {
    SetSkinProp(window, kPropMouseFlag, 0);
    SetSkinProp(window, kPropAlphaLevel, 0);
    SetSkinProp(window, kPropOldState, Normal);
    StartHoverTimer(window);
}

// The hot face is laid once at half strength, then the normal face fades in over it.
void ButtonLeave(HWND window) {
    SetSkinProp(window, kPropMouseFlag, 0);
    SetSkinProp(window, kPropOldState, Hot);
    SetSkinProp(window, kPropAlphaLevel, kAlphaOnLeaving);
    BlendButtonFace(window, nullptr);
    SetSkinProp(window, kPropOldState, Normal);
    SetSkinProp(window, kPropAlphaLevel, 0);
    StartHoverTimer(window);
}

// The faces gain or lose the focus frame; the current one fades in anew.
void ButtonFocusChange(HWND window) {
    RenderButtonFaces(window);
    SetSkinProp(window, kPropAlphaLevel, 0);
    StartHoverTimer(window);
}

void ButtonEnable(HWND window, bool enabled) {
    SetSkinProp(window, kPropOldState, enabled ? Normal : Disabled);
    BlendButtonFace(window, nullptr);
}

// ---- Check boxes and option buttons ----

void PaintCheckKind(HWND window, ControlKind kind, int state, bool force) {
    if (kind == ControlKind::CheckBox)
        PaintCheckBox(window, state, force);
    else
        PaintOptionButton(window, state, force);
}

bool IsCheckKind(ControlKind kind) {
    return kind == ControlKind::CheckBox || kind == ControlKind::OptionButton;
}

// ---- Combo boxes and drive lists ----

bool IsComboKind(ControlKind kind) {
    return kind == ControlKind::ComboBox || kind == ControlKind::DriveList;
}

void PaintCombo(HWND window, int state) { PaintComboButton(window, nullptr, state, false); }

// The drop button of an editable combo box as drawn, less its top row.
bool InDropZone(HWND window, MousePoint point) {
    WindowBounds bounds;
    GetWindowBounds(window, bounds);
    const RECT button = ComboDropButtonRect(bounds);
    return button.left <= point.x && point.x < button.right && button.top < point.y &&
           point.y < button.bottom;
}

// Drive lists and combo boxes without an edit field are all drop button.
bool OverDropButton(HWND window, ControlKind kind, MousePoint point) {
    if (kind == ControlKind::DriveList) return true;
    if (ComboWithoutEditField(GetWindowLongA(window, GWL_STYLE))) return true;
    return InDropZone(window, point);
}

// ---- Headers ----

void HeaderMouseMove(HWND window, WPARAM wParam, MousePoint point) {
    Enter(window);
    const int count = GetHeaderItemCount(window);
    const int hit = count > 0 ? HeaderItemAt(window, count, point.x) : kNoHeaderItem;
    const int hot = GetIntProp(window, kPropHmIndex);
    const int pressed = GetIntProp(window, kPropHdIndex);
    if (hit == hot) return;

    if (hot >= 0 && hot != pressed) PaintHeaderItem(window, nullptr, hot, Normal);
    if (LeftButtonHeld(wParam)) {
        // While the button is held the hot item stays the one hot at the press.
        if (hit == pressed) PaintHeaderItem(window, nullptr, hit, Pressed);
        return;
    }
    SetSkinProp(window, kPropHmIndex, hit);
    PaintHeaderItem(window, nullptr, hit, Hot);
}

void HeaderPress(HWND window, MousePoint point) {
    const int count = GetHeaderItemCount(window);
    if (count <= 0) return;
    const int hit = HeaderItemAt(window, count, point.x);
    SetSkinProp(window, kPropHdIndex, hit);
    if (hit >= 0) PaintHeaderItem(window, nullptr, hit, Pressed);
}

void HeaderRelease(HWND window) {
    const int pressed = GetIntProp(window, kPropHdIndex);
    SetSkinProp(window, kPropHdIndex, kNoHeaderItem);
    if (pressed >= 0) PaintHeaderItem(window, nullptr, pressed, CursorIsOver(window) ? Hot : Normal);
}

void HeaderLeave(HWND window) {
    const int hot = GetIntProp(window, kPropHmIndex);
    SetSkinProp(window, kPropMouseFlag, 0);
    SetSkinProp(window, kPropHdIndex, kNoHeaderItem);
    SetSkinProp(window, kPropHmIndex, kNoHeaderItem);
    if (hot >= 0) PaintHeaderItem(window, nullptr, hot, Normal);
}

// ---- Per-message rules: what each message does to each kind once the control has seen it ----

using Rule = void (*)(HWND window, ControlKind kind, WPARAM wParam, LPARAM lParam);

void MouseMoveRule(HWND window, ControlKind kind, WPARAM wParam, LPARAM lParam) {
    const MousePoint point = PointOf(lParam);
    const int pressedOrHot = LeftButtonHeld(wParam) ? Pressed : Hot;
    if (kind == ControlKind::PushButton) {
        ButtonMouseMove(window);
    } else if (IsCheckKind(kind)) {
        // Every move repaints, so the box follows the button being pressed or let go.
        Enter(window);
        PaintCheckKind(window, kind, pressedOrHot, true);
    } else if (IsComboKind(kind)) {
        Enter(window);
        PaintCombo(window, OverDropButton(window, kind, point) ? pressedOrHot : Normal);
    } else if (kind == ControlKind::Header) {
        HeaderMouseMove(window, wParam, point);
    }
}

void ButtonDownRule(HWND window, ControlKind kind, WPARAM, LPARAM lParam) {
    const MousePoint point = PointOf(lParam);
    if (kind == ControlKind::PushButton) {
        ShowPressed(window);
    } else if (IsCheckKind(kind)) {
        PaintCheckKind(window, kind, Pressed, false);
    } else if (IsComboKind(kind)) {
        // A press on the edit field of an editable combo box leaves the drop button alone.
        if (OverDropButton(window, kind, point)) PaintCombo(window, Pressed);
    } else if (kind == ControlKind::Header) {
        HeaderPress(window, point);
    }
}

// The window procedure then repaints the check boxes and option buttons beside the window.
void ButtonUpRule(HWND window, ControlKind kind, WPARAM, LPARAM) {
    if (kind == ControlKind::PushButton) {
        ButtonRelease(window);
    } else if (IsCheckKind(kind)) {
        PaintCheckKind(window, kind, Normal, false);
    } else if (IsComboKind(kind)) {
        PaintCombo(window, CursorIsOver(window) ? Hot : Normal);
    } else if (kind == ControlKind::Header) {
        HeaderRelease(window);
    }
}

void DoubleClickRule(HWND window, ControlKind kind, WPARAM, LPARAM lParam) {
    if (kind == ControlKind::PushButton)
        ShowPressed(window);
    else if (kind == ControlKind::Header)
        HeaderPress(window, PointOf(lParam));
}

void MouseLeaveRule(HWND window, ControlKind kind, WPARAM, LPARAM) {
    if (kind == ControlKind::PushButton) {
        ButtonLeave(window);
    } else if (IsCheckKind(kind)) {
        SetSkinProp(window, kPropMouseFlag, 0);
        PaintCheckKind(window, kind, Normal, false);
    } else if (IsComboKind(kind)) {
        SetSkinProp(window, kPropMouseFlag, 0);
        PaintCombo(window, Normal);
    } else if (kind == ControlKind::Header) {
        HeaderLeave(window);
    }
}

// Auto-repeat of the space bar repeats the press.
void KeyDownRule(HWND window, ControlKind kind, WPARAM key, LPARAM) {
    if (!IsSpace(key)) return;
    if (kind == ControlKind::PushButton)
        ShowPressed(window);
    else if (IsCheckKind(kind))
        PaintCheckKind(window, kind, Pressed, false);
}

void KeyUpRule(HWND window, ControlKind kind, WPARAM key, LPARAM) {
    if (!IsSpace(key)) return;
    if (kind == ControlKind::PushButton)
        ButtonSpaceUp(window);
    else if (IsCheckKind(kind))
        PaintCheckKind(window, kind, Normal, false);
}

// An option button that receives the focus may just have been selected.
void FocusRule(HWND window, ControlKind kind, WPARAM, LPARAM) {
    if (kind == ControlKind::PushButton)
        ButtonFocusChange(window);
    else if (kind == ControlKind::OptionButton)
        PaintOptionButton(window, Normal, true);
}

void EnableRule(HWND window, ControlKind kind, WPARAM enabled, LPARAM) {
    if (kind == ControlKind::PushButton) ButtonEnable(window, enabled != 0);
}

// The message goes on unchanged and once; the rule runs after it, while the window is still
// skinned; the control's own result is returned.
LRESULT PassOnThen(Rule rule, WNDPROC previous, HWND window, UINT message, WPARAM wParam,
                   LPARAM lParam) {
    const LRESULT result = CallPrevious(previous, window, message, wParam, lParam);
    if (StillSkinned(window)) rule(window, AttachedKind(window), wParam, lParam);
    return result;
}

}  // namespace

LRESULT HandleMouseMove(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return PassOnThen(MouseMoveRule, previous, window, message, wParam, lParam);
}

LRESULT HandleLButtonDown(WNDPROC previous, HWND window, UINT message, WPARAM wParam,
                          LPARAM lParam) {
    return PassOnThen(ButtonDownRule, previous, window, message, wParam, lParam);
}

LRESULT HandleLButtonUp(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return PassOnThen(ButtonUpRule, previous, window, message, wParam, lParam);
}

LRESULT HandleLButtonDblClk(WNDPROC previous, HWND window, UINT message, WPARAM wParam,
                            LPARAM lParam) {
    return PassOnThen(DoubleClickRule, previous, window, message, wParam, lParam);
}

LRESULT HandleMouseLeave(WNDPROC previous, HWND window, UINT message, WPARAM wParam,
                         LPARAM lParam) {
    return PassOnThen(MouseLeaveRule, previous, window, message, wParam, lParam);
}

LRESULT HandleKeyDown(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return PassOnThen(KeyDownRule, previous, window, message, wParam, lParam);
}

LRESULT HandleKeyUp(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return PassOnThen(KeyUpRule, previous, window, message, wParam, lParam);
}

LRESULT HandleEnable(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return PassOnThen(EnableRule, previous, window, message, wParam, lParam);
}

LRESULT HandleSetFocus(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return PassOnThen(FocusRule, previous, window, message, wParam, lParam);
}

LRESULT HandleKillFocus(WNDPROC previous, HWND window, UINT message, WPARAM wParam,
                        LPARAM lParam) {
    return PassOnThen(FocusRule, previous, window, message, wParam, lParam);
}

BOOL CALLBACK RefreshCheckSiblings(HWND window, LPARAM) {
    if (!StillSkinned(window)) return TRUE;
    const ControlKind kind = AttachedKind(window);
    if (IsCheckKind(kind))
        PaintCheckKind(window, kind, Normal, true);
    else if ((kind == ControlKind::ButtonCheckBox || kind == ControlKind::ButtonOption) &&
             IsWindowVisible(window))
        PaintButtonBox(window, nullptr, Normal, true);
    return TRUE;
}

}  // namespace skin
