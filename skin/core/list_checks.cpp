// The check boxes of the platform's list views (LVS_EX_CHECKBOXES) and tree views
// (TVS_CHECKBOXES) as the skin's check box: the control draws them from its state images, so the
// skin gives it a list of its own, drawn from the skin's check box at the size of the control's,
// and gives the control's own list back at detach. The program asking for the state images gets
// the control's own; when it sets other ones, or the control makes new ones (its check box style
// switched), the control's own are back first, so that whatever the control frees is its own.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <unordered_map>

#include "core/common_controls.h"
#include "core/engine.h"
#include "core/kind_routes.h"
#include "render/check_renderer.h"
#include "render/image_tables.h"
#include "render/primitives.h"
#include "render/scoped_gdi.h"

namespace skin {

namespace {

struct StateImages {
    HIMAGELIST own;   // the control's, given back at detach
    HIMAGELIST skin;  // the skin's, freed at detach
    ControlKind kind;
};

void PutBack(HWND control, const StateImages& images);

// The lists swapped, per control, for the windows of this thread. A thread that ends with its
// controls still skinned gives each its own list back and frees the skin's.
struct SwappedLists : ThreadPart {
    std::unordered_map<HWND, StateImages> byControl;
    ~SwappedLists() override {
        for (const auto& [control, images] : byControl) PutBack(control, images);
    }
};

std::unordered_map<HWND, StateImages>& Swapped() { return ThisThreadPart<SwappedLists>().byControl; }

struct ListMessages {
    UINT get;
    UINT set;
    WPARAM stateList;
};

ListMessages MessagesOf(ControlKind kind) {
    if (kind == ControlKind::TreeView) return {TVM_GETIMAGELIST, TVM_SETIMAGELIST, TVSIL_STATE};
    return {LVM_GETIMAGELIST, LVM_SETIMAGELIST, LVSIL_STATE};
}

bool HasCheckBoxes(HWND control, ControlKind kind) {
    if (kind == ControlKind::TreeView) return (GetWindowLongW(control, GWL_STYLE) & TVS_CHECKBOXES) != 0;
    return (SendMessageW(control, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_CHECKBOXES) != 0;
}

HIMAGELIST StateList(HWND control, const ListMessages& messages) {
    return reinterpret_cast<HIMAGELIST>(SendMessageW(control, messages.get, messages.stateList, 0));
}

HIMAGELIST PutStateList(HWND control, const ListMessages& messages, HIMAGELIST list) {
    return reinterpret_cast<HIMAGELIST>(
        SendMessageW(control, messages.set, messages.stateList, reinterpret_cast<LPARAM>(list)));
}

// As many images as the control's own list: the last two are the unchecked and the checked box,
// any before them (a tree view's image 0, which no item shows) are empty.
HIMAGELIST BuildCheckImages(int width, int height, int count) {
    HIMAGELIST list = ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, count, 0);
    if (!list) return nullptr;
    const int side = std::min({width, height, kCheckBoxFrameSize.width});
    const int x = (width - side) / 2, y = (height - side) / 2;
    {
        ScopedCreatedDC dc(CreateCompatibleDC(nullptr));
        ScopedBitmap strip(CreateSurfaceBitmap(nullptr, width * count, height));
        {
            const ScopedSelectObject select(dc.get(), strip.get());
            FillSolid(dc.get(), 0, 0, width * count, height, kKeyMagenta);
            for (int i = std::max(count - 2, 0); i < count; ++i) {
                const LRESULT check = i == count - 1 ? BST_CHECKED : BST_UNCHECKED;
                DrawCheckBoxBox(dc.get(), i * width + x, y, side, side, Normal, check, true);
            }
        }
        ImageList_AddMasked(list, strip.get(), kKeyMagenta);
    }
    return list;
}

void SwapIn(HWND control, ControlKind kind) {
    if (Swapped().contains(control) || !HasCheckBoxes(control, kind)) return;
    const ListMessages messages = MessagesOf(kind);
    HIMAGELIST own = StateList(control, messages);
    int width = 0, height = 0;
    const int count = own ? ImageList_GetImageCount(own) : 0;
    if (count < 2 || !ImageList_GetIconSize(own, &width, &height)) return;
    HIMAGELIST skin = BuildCheckImages(width, height, count);
    if (!skin) return;
    PutStateList(control, messages, skin);
    Swapped()[control] = {own, skin, kind};
}

// The control's own list back, where the skin's is still the one the control holds (a control
// that was given other lists meanwhile has freed the skin's itself).
void PutBack(HWND control, const StateImages& images) {
    const ListMessages messages = MessagesOf(images.kind);
    if (!IsWindow(control) || StateList(control, messages) != images.skin) return;
    PutStateList(control, messages, images.own);
    ImageList_Destroy(images.skin);
}

void SwapOut(HWND control) {
    const auto found = Swapped().find(control);
    if (found == Swapped().end()) return;
    const StateImages images = found->second;
    Swapped().erase(found);
    PutBack(control, images);
}

bool IsStateList(ControlKind kind, WPARAM which) { return which == MessagesOf(kind).stateList; }

LRESULT GetImages(ControlKind kind, WNDPROC previous, HWND window, UINT message, WPARAM wParam,
                  LPARAM lParam) {
    const auto found = Swapped().find(window);
    if (IsStateList(kind, wParam) && found != Swapped().end())
        return reinterpret_cast<LRESULT>(found->second.own);
    return RouteMessage(previous, window, message, wParam, lParam);
}

// The program sets state images of its own: they replace the control's, as without the skin.
LRESULT SetImages(ControlKind kind, WNDPROC previous, HWND window, UINT message, WPARAM wParam,
                  LPARAM lParam) {
    if (IsStateList(kind, wParam)) SwapOut(window);
    return RouteMessage(previous, window, message, wParam, lParam);
}

// Whether the message switches the control's check boxes on or off.
bool SwitchesCheckBoxes(ControlKind kind, HWND control, WPARAM wParam, LPARAM lParam) {
    if (kind == ControlKind::TreeView) {
        const auto* change = reinterpret_cast<const STYLESTRUCT*>(lParam);
        return wParam == static_cast<WPARAM>(GWL_STYLE) && change &&
               ((change->styleOld ^ change->styleNew) & TVS_CHECKBOXES);
    }
    const auto now = static_cast<DWORD>(SendMessageW(control, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    const DWORD mask = wParam ? static_cast<DWORD>(wParam) : ~0u;
    const DWORD next = (now & ~mask) | (static_cast<DWORD>(lParam) & mask);
    return ((now ^ next) & LVS_EX_CHECKBOXES) != 0;
}

// A change that makes the control build new check boxes or drop them: its own list back first
// (the control frees what it holds), the skin's again after.
LRESULT Restyle(ControlKind kind, WNDPROC previous, HWND window, UINT message, WPARAM wParam,
                LPARAM lParam) {
    if (!SwitchesCheckBoxes(kind, window, wParam, lParam))
        return RouteMessage(previous, window, message, wParam, lParam);
    SwapOut(window);
    const LRESULT result = RouteMessage(previous, window, message, wParam, lParam);
    if (IsAttached(window)) SwapIn(window, kind);
    return result;
}

template <ControlKind kind>
LRESULT GetImagesOf(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return GetImages(kind, previous, window, message, wParam, lParam);
}
template <ControlKind kind>
LRESULT SetImagesOf(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return SetImages(kind, previous, window, message, wParam, lParam);
}
template <ControlKind kind>
LRESULT RestyleOf(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return Restyle(kind, previous, window, message, wParam, lParam);
}

const KindRoute kListViewRoutes[] = {
    {LVM_GETIMAGELIST, GetImagesOf<ControlKind::ListView>},
    {LVM_SETIMAGELIST, SetImagesOf<ControlKind::ListView>},
    {LVM_SETEXTENDEDLISTVIEWSTYLE, RestyleOf<ControlKind::ListView>},
};

const KindRoute kTreeViewRoutes[] = {
    {TVM_GETIMAGELIST, GetImagesOf<ControlKind::TreeView>},
    {TVM_SETIMAGELIST, SetImagesOf<ControlKind::TreeView>},
    {WM_STYLECHANGED, RestyleOf<ControlKind::TreeView>},
};

}  // namespace

LRESULT ListViewProc(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return RouteKindMessage(kListViewRoutes, previous, window, message, wParam, lParam);
}

LRESULT TreeViewProc(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return RouteKindMessage(kTreeViewRoutes, previous, window, message, wParam, lParam);
}

void SwapInCheckBoxes(HWND control, ControlKind kind) { SwapIn(control, kind); }
void SwapOutCheckBoxes(HWND control) { SwapOut(control); }

}  // namespace skin
