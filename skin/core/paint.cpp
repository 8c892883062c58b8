// Paint routing: per kind, whether the control paints itself first, whether the skin paints the
// whole window, and which renderer draws what. Progress bars, headers and the flat borders of
// lists, grids and sunken client edges are drawn here.
#include "core/paint.h"

#include <commctrl.h>

#include <algorithm>

#include "core/attach.h"
#include "core/default_processing.h"
#include "core/frame.h"
#include "core/hover.h"
#include "core/menus.h"
#include "core/props.h"
#include "core/scroll_bars.h"
#include "core/window_proc.h"
#include "render/button_renderer.h"
#include "render/check_renderer.h"
#include "render/combo_renderer.h"
#include "render/header_renderer.h"
#include "render/image_set.h"
#include "render/image_tables.h"
#include "render/primitives.h"
#include "render/scoped_gdi.h"

namespace skin {

namespace {

constexpr COLORREF kProgressFill = 0xF6D64C;

// A progress bar's position is read against this full scale, not against the bar's own range.
constexpr double kProgressFullScale = 30000.0;

// BeginPaint and EndPaint around one scope; the invalid area is validated even if nothing draws.
class ScopedPaint {
public:
    explicit ScopedPaint(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~ScopedPaint() { EndPaint(window_, &paint_); }
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

SIZE WindowSize(HWND window) {
    WindowBounds bounds;
    GetWindowBounds(window, bounds);
    return {bounds.Width, bounds.Height};
}

SIZE ClientSize(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

LONG Style(HWND window) { return GetWindowLongA(window, GWL_STYLE); }

void DrawOuterBorder(HDC dc, HWND window, SIZE size) {
    FrameSolid(dc, 0, 0, size.cx, size.cy,
               IsWindowEnabled(window) ? kSkinBorder : kSkinDisabledBorder);
}

void DrawTwoRingBorder(HDC dc, HWND window, SIZE size) {
    DrawOuterBorder(dc, window, size);
    FrameSolid(dc, 1, 1, size.cx - 2, size.cy - 2, kSkinWhite);
}

// Where a bar's fill ends along its axis, for a client area of the given size. A vertical bar
// fills from the bottom, so its empty part lies above the fill. The two lengths are rounded each
// on its own and need not add up to the axis; they are not clamped: a position beyond the full
// scale (or below zero) gives lengths beyond the client area.
struct ProgressFill {
    bool none;  // the position is 0: nothing is filled
    bool vertical;
    int filled;
    int empty;
};

ProgressFill MeasureProgressFill(HWND window, SIZE client) {
    const LRESULT position = SendMessageA(window, PBM_GETPOS, 0, 0);
    const float fraction =
        static_cast<float>(static_cast<double>(static_cast<int>(position)) / kProgressFullScale);
    const bool vertical = (Style(window) & PBS_VERTICAL) != 0;
    const int axis = vertical ? client.cy : client.cx;
    const double scaled = static_cast<double>(fraction) * axis;
    return {fraction == 0.0f, vertical, RoundHalfEven(scaled), RoundHalfEven(axis - scaled)};
}

// A simple combo box shows its edit field with its list below it; its window may reach further
// down (a dialog template's height) over the controls below. Its frame goes round what it shows.
SIZE ShownSize(HWND window, SIZE size) {
    const ControlKind kind = AttachedKind(window);
    if (kind != ControlKind::ComboBox && kind != ControlKind::DriveList) return size;
    if ((Style(window) & 3) != CBS_SIMPLE) return size;
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (!GetComboBoxInfo(window, &info) || !info.hwndList || !IsWindowVisible(info.hwndList))
        return size;
    RECT combo{}, list{};
    GetWindowRect(window, &combo);
    GetWindowRect(info.hwndList, &list);
    return {size.cx, std::clamp(static_cast<LONG>(list.bottom - combo.top), 0L, size.cy)};
}

// The drop button looks pressed while the list is down. However the list went up (a click in
// it, a key, CB_SHOWDROPDOWN, the focus going elsewhere), the control repaints itself, and the
// button is normal again: the whole button, also where the control's repaint does not reach.
int ComboStateToPaint(HWND window) {
    int state = static_cast<int>(GetSkinProp(window, kPropOldState));
    if (state != Pressed || SendMessageA(window, CB_GETDROPPEDSTATE, 0, 0) != 0) return state;
    state = Normal;
    PaintComboButton(window, nullptr, state, true);
    return state;
}

// ---- WM_PAINT, one function per kind ----

LRESULT PaintPushButton(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (ButtonKeepsOwnPainting(static_cast<LONG>(GetSkinProp(window, kPropOldStyle))))
        return CallPrevious(previous, window, message, wParam, lParam);
    // A paint always shows the current face at full strength and ends any fade in progress.
    StopHoverTimer(window);
    SetSkinProp(window, kPropAlphaLevel, kFullStrengthAlpha);
    ScopedPaint paint(window);
    BlendButtonFace(window, paint.get());
    return 0;
}

LRESULT PaintComboBox(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    int state = ComboStateToPaint(window);
    const SIZE size = ShownSize(window, WindowSize(window));
    if (ComboWithoutEditField(Style(window))) {
        // Simple and drop-down-list combos draw their own text first; the skin frames them.
        const LRESULT result = CallPrevious(previous, window, message, wParam, lParam);
        ScopedWindowDC windowDC(window);
        DrawTwoRingBorder(windowDC.get(), window, size);
        PaintComboButton(window, windowDC.get(), state, true);
        return result;
    }
    // A drop-down combo's text lives in its edit field; the skin paints everything around it.
    ScopedPaint paint(window);
    FillSolid(paint.get(), 0, 0, size.cx, size.cy, kSkinWhite);
    DrawOuterBorder(paint.get(), window, size);
    PaintComboButton(window, paint.get(), state, true);
    return 0;
}

LRESULT PaintDriveList(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallPrevious(previous, window, message, wParam, lParam);
    int state = ComboStateToPaint(window);
    const SIZE size = WindowSize(window);
    ScopedWindowDC windowDC(window);
    DrawTwoRingBorder(windowDC.get(), window, size);
    PaintComboButton(window, windowDC.get(), state, true);
    return result;
}

LRESULT PaintCheckBoxKind(WNDPROC previous, HWND window, UINT message, WPARAM wParam,
                          LPARAM lParam) {
    const LRESULT result = CallPrevious(previous, window, message, wParam, lParam);
    PaintCheckBox(window, Normal, true);
    return result;
}

LRESULT PaintOptionButtonKind(WNDPROC previous, HWND window, UINT message, WPARAM wParam,
                              LPARAM lParam) {
    const LRESULT result = CallPrevious(previous, window, message, wParam, lParam);
    PaintOptionButton(window, Normal, true);
    return result;
}

LRESULT PaintList(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallPrevious(previous, window, message, wParam, lParam);
    const SIZE size = WindowSize(window);
    ScopedWindowDC windowDC(window);
    DrawTwoRingBorder(windowDC.get(), window, size);
    return result;
}

// The surface is the client area alone: it clips a fill that runs beyond it.
LRESULT PaintProgressBar(HWND window) {
    const SIZE client = ClientSize(window);
    ScopedMemorySurface surface(client.cx, client.cy);
    const ProgressFill fill = MeasureProgressFill(window, client);
    FillSolid(surface.get(), 0, 0, client.cx, client.cy, kSkinWhite);
    if (!fill.none) {
        if (fill.vertical)
            FillSolid(surface.get(), 0, fill.empty, client.cx, fill.filled, kProgressFill);
        else
            FillSolid(surface.get(), 0, 0, fill.filled, client.cy, kProgressFill);
    }
    ScopedPaint paint(window);
    BitBlt(paint.get(), 0, 0, client.cx, client.cy, surface.get(), 0, 0, SRCCOPY);
    return 0;
}

LRESULT PaintHeader(HWND window) {
    const SIZE size = WindowSize(window);
    ScopedMemorySurface surface(size.cx, size.cy);
    HDC dc = surface.get();
    StretchBlt(dc, 0, 0, size.cx, size.cy, SkinImages().HeaderImage, kHeaderBackground.x,
               kHeaderBackground.y, kHeaderBackground.width, kHeaderBackground.height, SRCCOPY);

    const int count = GetHeaderItemCount(window);
    if (count > 0) {
        const intptr_t pressedItem = GetSkinProp(window, kPropHdIndex);
        const intptr_t hotItem = GetSkinProp(window, kPropHmIndex);
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
        ScopedSelectObject selectFont(dc, font);
        for (int i = 0; i < count; ++i) {
            const RECT item = GetHeaderItemRect(window, i);
            // Pressed wins over hot.
            const int state = i == pressedItem ? Pressed : i == hotItem ? Hot : Normal;
            DrawHeaderItem(dc, window, i, item.left, item.right - item.left, size.cy, item.bottom, state);
        }
    }
    ScopedPaint paint(window);
    BitBlt(paint.get(), 0, 0, size.cx, size.cy, dc, 0, 0, SRCCOPY);
    return 0;
}

LRESULT PaintGrid(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallPrevious(previous, window, message, wParam, lParam);
    if ((Style(window) & WS_BORDER) != 0) {
        const SIZE size = WindowSize(window);
        ScopedWindowDC windowDC(window);
        DrawOuterBorder(windowDC.get(), window, size);
    }
    return result;
}

// ---- WM_NCPAINT ----

// The whole window, client area included, so a frame pass alone leaves a complete picture.
LRESULT NcPaintProgressBar(HWND window) {
    int bx = 0, by = 0;
    GetBorderThickness(window, bx, by);
    const SIZE size = WindowSize(window);
    const SIZE client = ClientSize(window);
    ScopedMemorySurface surface(size.cx, size.cy);
    HDC dc = surface.get();
    const ProgressFill fill = MeasureProgressFill(window, client);

    FillSolid(dc, 0, 0, size.cx, size.cy, kSkinBorder);
    FillSolid(dc, 1, 1, size.cx - 2, size.cy - 2, kSkinWhite);
    if (!fill.none) {
        // The surface holds the border too: a position beyond the full scale (or below zero)
        // must not spill the fill or the white over it, so lengths stay within the client area.
        if (fill.vertical) {
            // Smooth or not, the fill is drawn: a frame pass that is not followed by a client
            // paint (activation, frame change) would otherwise wipe the fill off the screen.
            const int empty = std::clamp(fill.empty, 0, static_cast<int>(client.cy));
            FillSolid(dc, bx, by, client.cx, client.cy, kProgressFill);
            FillSolid(dc, bx, by, client.cx, empty, kSkinWhite);
        } else {
            const int filled = std::clamp(fill.filled, 0, static_cast<int>(client.cx));
            FillSolid(dc, bx, by, filled, client.cy, kProgressFill);
        }
    }
    ScopedWindowDC windowDC(window);
    BitBlt(windowDC.get(), 0, 0, size.cx, size.cy, dc, 0, 0, SRCCOPY);
    return 0;
}

// The platform's sunken client edge becomes a flat border with rings of the background inside.
void FlattenClientEdge(HWND window) {
    int bx = 0, by = 0;
    GetBorderThickness(window, bx, by);
    const SIZE size = ShownSize(window, WindowSize(window));
    ScopedWindowDC windowDC(window);
    ScopedWindowDC clientDC(window, ScopedWindowDC::ClientArea);
    DrawOuterBorder(windowDC.get(), window, size);
    // The rings' right and bottom edges all stay on the column W - 2 and the row H - 2.
    for (int d = 1; d <= bx; ++d) {
        FrameSolid(windowDC.get(), d, d, size.cx - 1 - d, size.cy - 1 - d, GetBkColor(clientDC.get()));
    }
}

// The platform paints only what no step of the skin paints over (when anything is left: its
// frame paint costs more than the skin's), then each step draws its part. The scroll bars, and
// the square where two of them meet, are left out of the platform's paint altogether. Where the
// skin stands in the default processing, that is done there, and the window's procedure sees the
// message and its styles as they are; on Windows, around the window's procedure.
LRESULT PaintBehindTheSteps(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (SkinDoesDefaultProcessing()) return CallPrevious(previous, window, message, wParam, lParam);
    const PlatformFrameUpdate update(window, wParam);
    if (update.empty()) return 0;
    return CallPreviousWithoutBars(previous, window, message, update.region(), lParam);
}

}  // namespace

LRESULT HandlePaint(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (AttachedKind(window)) {
    case ControlKind::PushButton:
        return PaintPushButton(previous, window, message, wParam, lParam);
    case ControlKind::ComboBox:
        return PaintComboBox(previous, window, message, wParam, lParam);
    case ControlKind::DriveList:
        return PaintDriveList(previous, window, message, wParam, lParam);
    case ControlKind::CheckBox:
        return PaintCheckBoxKind(previous, window, message, wParam, lParam);
    case ControlKind::OptionButton:
        return PaintOptionButtonKind(previous, window, message, wParam, lParam);
    case ControlKind::DataList:
    case ControlKind::DropDownList:
        return PaintList(previous, window, message, wParam, lParam);
    case ControlKind::ProgressBar:
        return PaintProgressBar(window);
    case ControlKind::Header:
        return PaintHeader(window);
    case ControlKind::Grid:
        return PaintGrid(previous, window, message, wParam, lParam);
    default:
        return PaintMenuWindow(previous, window, message, wParam, lParam);
    }
}

LRESULT HandleNcPaint(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const ControlKind kind = AttachedKind(window);
    if (kind == ControlKind::ProgressBar) return NcPaintProgressBar(window);
    const LRESULT result = PaintBehindTheSteps(previous, window, message, wParam, lParam);
    // Where the skin stands in the default processing, the frame was drawn there.
    if (!SkinDoesDefaultProcessing()) PaintFrameStep(window);
    // Data lists get their flat border from the client paint instead.
    if (kind != ControlKind::DataList && (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE))
        FlattenClientEdge(window);
    PaintMenuBarFace(window);
    PaintWindowScrollBars(window);
    return result;
}

int GetBorderThickness(HWND window, int& horizontal, int& vertical) {
    RECT windowRect{}, client{};
    GetWindowRect(window, &windowRect);
    GetClientRect(window, &client);
    int totalX = (windowRect.right - windowRect.left) - client.right;
    int totalY = (windowRect.bottom - windowRect.top) - client.bottom;
    // Scroll bars sit between the border and the client area; they are not border.
    const LONG style = Style(window);
    if (style & WS_VSCROLL) totalX -= GetSystemMetrics(SM_CXVSCROLL);
    if (style & WS_HSCROLL) totalY -= GetSystemMetrics(SM_CYHSCROLL);
    horizontal = RoundHalfEven(totalX / 2.0);
    vertical = RoundHalfEven(totalY / 2.0);
    return 1;
}

}  // namespace skin
