// The default push button under the whole look. The skin makes push buttons owner-drawn, and the
// dialog manager neither finds nor moves the default among owner-drawn buttons: the skinned
// button answers as the push button it was, and keeps the default or plain type the dialog gives
// it in OLDSTYLE (where detach finds it), while it stays owner-drawn.
#include "core/default_button.h"

#include "core/attach.h"
#include "core/props.h"
#include "core/window_proc.h"
#include "render/button_renderer.h"

namespace skin {

namespace {

LONG StyleBeforeSkin(HWND window) { return static_cast<LONG>(GetSkinProp(window, kPropOldStyle)); }

// A push button the whole look made owner-drawn.
bool FollowsTheDefault(HWND window) {
    const WindowRecord* record = FindRecord(window);
    return record && (record->options & kWholeTree) && IsAttached(window) &&
           record->kind == ControlKind::PushButton && !ButtonKeepsOwnPainting(StyleBeforeSkin(window)) &&
           (GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW;
}

}  // namespace

bool IsDefaultPushButton(HWND window) {
    const LONG type = GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK;
    if (type == BS_DEFPUSHBUTTON) return true;
    return type == BS_OWNERDRAW && (StyleBeforeSkin(window) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

LRESULT HandleGetDlgCode(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT code = CallPrevious(previous, window, message, wParam, lParam);
    if (!FollowsTheDefault(window)) return code;
    code &= ~static_cast<LRESULT>(DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON);
    return code | DLGC_BUTTON | (IsDefaultPushButton(window) ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

LRESULT HandleSetStyle(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LONG type = static_cast<LONG>(wParam & BS_TYPEMASK);
    if ((type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON) || !FollowsTheDefault(window))
        return CallPrevious(previous, window, message, wParam, lParam);
    SetSkinProp(window, kPropOldStyle, (StyleBeforeSkin(window) & ~BS_TYPEMASK) | type);
    const LRESULT result =
        CallPrevious(previous, window, message, (wParam & ~static_cast<WPARAM>(BS_TYPEMASK)) | BS_OWNERDRAW, lParam);
    RenderButtonFaces(window);
    if (lParam) InvalidateRect(window, nullptr, FALSE);
    return result;
}

}  // namespace skin
