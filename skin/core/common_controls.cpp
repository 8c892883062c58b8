// What attach and detach do for the common controls of DORRIK_SKIN_COMMON.
#include "core/common_controls.h"

namespace skin {

void SetupCommonControl(HWND window, ControlKind kind) {
    if (kind == ControlKind::ListView || kind == ControlKind::TreeView) SwapInCheckBoxes(window, kind);
}

void TeardownCommonControl(HWND window, ControlKind kind) {
    switch (kind) {
    case ControlKind::ListView:
    case ControlKind::TreeView:
        SwapOutCheckBoxes(window);
        break;
    case ControlKind::ProgressControl:
        ForgetMarquee(window);
        break;
    case ControlKind::Toolbar:
        ForgetToolbar(window);
        break;
    default:
        break;
    }
}

}  // namespace skin
