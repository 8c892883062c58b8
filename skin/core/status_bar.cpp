// The platform's status bars (msctls_statusbar32), flat in the skin's look: the skin paints
// instead of the control, from what the control reports (its parts, their texts and icons, simple
// mode), and hands owner-drawn parts to the program as the control would.
#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "core/kind_routes.h"
#include "render/flat_parts.h"
#include "render/primitives.h"
#include "render/scoped_gdi.h"
#include "render/status_bar_renderer.h"

namespace skin {

namespace {

// In simple mode the control answers for its one part under index 0; its icon is -1.
constexpr int kSimpleIconIndex = -1;

StatusPart ReadPart(HWND bar, int index, bool simple) {
    StatusPart part{};
    SendMessageW(bar, SB_GETRECT, index, reinterpret_cast<LPARAM>(&part.bounds));
    const LRESULT length = SendMessageW(bar, SB_GETTEXTLENGTHW, index, 0);
    part.ownerDrawn = (HIWORD(length) & SBT_OWNERDRAW) != 0;
    if (!part.ownerDrawn && LOWORD(length) > 0) {
        std::vector<wchar_t> text(LOWORD(length) + 1u, L'\0');
        SendMessageW(bar, SB_GETTEXTW, index, reinterpret_cast<LPARAM>(text.data()));
        part.text = text.data();
    }
    part.icon = reinterpret_cast<HICON>(
        SendMessageW(bar, SB_GETICON, simple ? kSimpleIconIndex : index, 0));
    return part;
}

std::vector<StatusPart> ReadParts(HWND bar) {
    const bool simple = SendMessageW(bar, SB_ISSIMPLE, 0, 0) != 0;
    const int count = simple ? 1 : static_cast<int>(SendMessageW(bar, SB_GETPARTS, 0, 0));
    std::vector<StatusPart> parts;
    for (int i = 0; i < count; ++i) parts.push_back(ReadPart(bar, i, simple));
    return parts;
}

// What the control sends its parent for a part the program draws itself.
void DrawOwnerPart(HWND bar, HDC dc, int index, const StatusPart& part) {
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_STATIC;
    item.CtlID = static_cast<UINT>(GetWindowLongPtrW(bar, GWLP_ID));
    item.itemID = static_cast<UINT>(index);
    item.hwndItem = bar;
    item.hDC = dc;
    item.rcItem = part.bounds;
    item.itemData = static_cast<ULONG_PTR>(SendMessageW(bar, SB_GETTEXTW, index, 0));
    SendMessageW(GetParent(bar), WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
}

bool ShowsGrip(HWND bar) {
    if (!(GetWindowLongW(bar, GWL_STYLE) & SBARS_SIZEGRIP)) return false;
    HWND parent = GetParent(bar);
    return !parent || !IsZoomed(parent);
}

void DrawStatusBarInto(HWND bar, HDC target) {
    RECT client{};
    GetClientRect(bar, &client);
    const SIZE size{client.right, client.bottom};
    const std::vector<StatusPart> parts = ReadParts(bar);
    ScopedMemorySurface surface(size.cx, size.cy);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(bar, WM_GETFONT, 0, 0));
    DrawStatusBar(surface.get(), size, parts, font, ShowsGrip(bar), IsWindowEnabled(bar) != FALSE);
    for (size_t i = 0; i < parts.size(); ++i) {
        if (parts[i].ownerDrawn) DrawOwnerPart(bar, surface.get(), static_cast<int>(i), parts[i]);
    }
    CopyAroundChildren(bar, target, surface.get(), size, false);
}

LRESULT PaintStatusBar(WNDPROC, HWND window, UINT, WPARAM wParam, LPARAM) {
    if (wParam) {
        DrawStatusBarInto(window, reinterpret_cast<HDC>(wParam));
        return 0;
    }
    const ScopedBeginPaint paint(window);
    DrawStatusBarInto(window, paint.get());
    return 0;
}

LRESULT PrintStatusBar(WNDPROC, HWND window, UINT, WPARAM wParam, LPARAM) {
    DrawStatusBarInto(window, reinterpret_cast<HDC>(wParam));
    return 0;
}

LRESULT StatusBarEnable(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = RouteMessage(previous, window, message, wParam, lParam);
    if (IsAttached(window)) InvalidateRect(window, nullptr, FALSE);
    return result;
}

const KindRoute kStatusBarRoutes[] = {
    {WM_PAINT, PaintStatusBar},
    {WM_PRINTCLIENT, PrintStatusBar},
    {WM_ERASEBKGND, SkipErase},
    {WM_ENABLE, StatusBarEnable},
};

}  // namespace

LRESULT StatusBarProc(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return RouteKindMessage(kStatusBarRoutes, previous, window, message, wParam, lParam);
}

}  // namespace skin
