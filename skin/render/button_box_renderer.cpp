// Check boxes, option buttons and group boxes of the platform's button class, painted whole by
// the skin where the platform would put each part.
#include "render/button_box_renderer.h"

#include <algorithm>
#include <string>

#include "render/visual_state.h"
#include "render/button_renderer.h"
#include "render/check_renderer.h"
#include "render/primitives.h"
#include "render/scoped_gdi.h"

namespace skin {

namespace {

// The client-area context of the window unless the caller gives one.
class ScopedClientTarget {
public:
    ScopedClientTarget(HWND window, HDC target)
        : window_(window), borrowed_(target != nullptr), dc_(target ? target : GetDC(window)) {}
    ~ScopedClientTarget() {
        if (!borrowed_ && dc_) ReleaseDC(window_, dc_);
    }
    ScopedClientTarget(const ScopedClientTarget&) = delete;
    ScopedClientTarget& operator=(const ScopedClientTarget&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    bool borrowed_;
    HDC dc_;
};

// SaveDC / RestoreDC around one scope: clipping and selections made inside go with it.
class ScopedSavedDC {
public:
    explicit ScopedSavedDC(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
    ~ScopedSavedDC() {
        if (saved_) RestoreDC(dc_, saved_);
    }
    ScopedSavedDC(const ScopedSavedDC&) = delete;
    ScopedSavedDC& operator=(const ScopedSavedDC&) = delete;

private:
    HDC dc_;
    int saved_;
};

// The background the parent gives a static-looking control, as the control itself asks for it;
// the parent also sets the text colour in dc. A parent that answers nothing gets the default.
HBRUSH ParentBackground(HWND window, HDC dc) {
    HWND parent = GetParent(window);
    if (!parent) parent = window;
    const WPARAM context = reinterpret_cast<WPARAM>(dc);
    const LPARAM control = reinterpret_cast<LPARAM>(window);
    HBRUSH brush = reinterpret_cast<HBRUSH>(SendMessageW(parent, WM_CTLCOLORSTATIC, context, control));
    if (!brush)
        brush = reinterpret_cast<HBRUSH>(DefWindowProcW(parent, WM_CTLCOLORSTATIC, context, control));
    return brush;
}

// A hollow brush paints nothing: what lies behind the control shows there.
bool IsHollow(HBRUSH brush) {
    LOGBRUSH info{};
    return !brush || (GetObjectW(brush, sizeof info, &info) && info.lbStyle == BS_HOLLOW);
}

// The keyboard cues the window's state hides (WM_QUERYUISTATE).
struct Cues {
    bool hideFocus;
    bool hideAccelerators;
};

Cues CuesOf(HWND window) {
    const LRESULT hidden = SendMessageW(window, WM_QUERYUISTATE, 0, 0);
    return {(hidden & UISF_HIDEFOCUS) != 0, (hidden & UISF_HIDEACCEL) != 0};
}

// The caption's format from the button's alignment bits: left unless they say otherwise.
UINT CaptionFormatOf(LONG style, LONG exStyle, bool hideAccelerators) {
    UINT format = (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
    const LONG horizontal = style & BS_CENTER;
    if (horizontal == BS_RIGHT || (exStyle & WS_EX_RIGHT))
        format |= DT_RIGHT;
    else if (horizontal == BS_CENTER)
        format |= DT_CENTER;
    if (hideAccelerators) format |= DT_HIDEPREFIX;
    return format;
}

// The caption's own rectangle inside area, placed as the platform places a button's label: one
// pixel in from the side it is aligned to, or centred; empty when there is no caption.
RECT PlaceCaption(HDC dc, const std::wstring& text, const RECT& area, UINT format,
                  LONG verticalBits) {
    if (text.empty()) return {area.left, area.top, area.left, area.top};
    RECT measured = area;
    DrawTextW(dc, text.c_str(), -1, &measured, format | DT_CALCRECT);
    const int width = measured.right - measured.left;
    const int height = measured.bottom - measured.top;
    RECT label{};
    if (format & DT_RIGHT)
        label.left = area.right - 1 - width;
    else if (format & DT_CENTER)
        label.left = area.left + (area.right - area.left - width) / 2;
    else
        label.left = area.left + 1;
    if (verticalBits == BS_TOP)
        label.top = area.top + 1;
    else if (verticalBits == BS_BOTTOM)
        label.top = area.bottom - 1 - height;
    else
        label.top = area.top + (area.bottom - area.top - height) / 2;
    label.right = label.left + width;
    label.bottom = label.top + height;
    return label;
}

void DrawCaptionIn(HDC dc, const std::wstring& text, RECT label, UINT format) {
    if (!text.empty()) DrawTextW(dc, text.c_str(), -1, &label, format);
}

bool IsOptionType(LONG style) {
    const LONG type = style & BS_TYPEMASK;
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

// Everything a box needs to know about its window, read once per paint.
struct BoxWindow {
    HWND window;
    LONG style;
    LONG exStyle;
    int width;
    int height;
    bool enabled;
    LRESULT buttonState;  // BM_GETSTATE: check state, pushed, focus
    std::wstring caption;
    HFONT font;
    Cues cues;
};

BoxWindow ReadBoxWindow(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {window,
            GetWindowLongW(window, GWL_STYLE),
            GetWindowLongW(window, GWL_EXSTYLE),
            client.right,
            client.bottom,
            IsWindowEnabled(window) != FALSE,
            SendMessageW(window, BM_GETSTATE, 0, 0),
            GetWindowCaption(window),
            reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)),
            CuesOf(window)};
}

bool HasFocus(const BoxWindow& box) {
    return (box.buttonState & BST_FOCUS) != 0 && !box.cues.hideFocus;
}

// The box's square: at the left edge, or at the right for a right-hand button; centred
// vertically, or level with the caption's first or last line for BS_TOP / BS_BOTTOM.
RECT PlaceSquare(const BoxWindow& box, const RECT& label, int lineHeight) {
    const int width = GetSystemMetrics(SM_CXMENUCHECK);
    const int height = GetSystemMetrics(SM_CYMENUCHECK);
    const bool onTheRight = (box.style & BS_LEFTTEXT) || (box.exStyle & WS_EX_RIGHT);
    const int left = onTheRight ? box.width - width : 0;
    const LONG vertical = box.style & BS_VCENTER;
    const bool hasLabel = label.right > label.left;
    const int lineOffset = RoundHalfEven((lineHeight - height) / 2.0);
    int top = RoundHalfEven((box.height - height) / 2.0);
    if (vertical == BS_TOP)
        top = std::max(0, (hasLabel ? static_cast<int>(label.top) : 0) + lineOffset);
    else if (vertical == BS_BOTTOM)
        top = std::min(box.height - height,
                       (hasLabel ? static_cast<int>(label.bottom) : box.height) - lineHeight +
                           lineOffset);
    return {left, top, left + width, top + height};
}

// The check or option box, its caption beside it and the focus frame around the caption.
void DrawBoxAndCaption(HDC dc, const BoxWindow& box, int state) {
    // The line height places the box only beside a caption's first or last line.
    TEXTMETRICW metrics{};
    const LONG vertical = box.style & BS_VCENTER;
    if (vertical == BS_TOP || vertical == BS_BOTTOM) GetTextMetricsW(dc, &metrics);
    int digitWidth = 0;
    GetCharWidth32W(dc, L'0', L'0', &digitWidth);
    const int squareWidth = GetSystemMetrics(SM_CXMENUCHECK);
    const bool onTheRight = (box.style & BS_LEFTTEXT) || (box.exStyle & WS_EX_RIGHT);
    // The caption keeps half a digit's width from the box.
    RECT area{0, 0, box.width, box.height};
    if (onTheRight)
        area.right -= squareWidth + digitWidth / 2;
    else
        area.left += squareWidth + digitWidth / 2;

    const UINT format = CaptionFormatOf(box.style, box.exStyle, box.cues.hideAccelerators);
    const RECT label = PlaceCaption(dc, box.caption, area, format, box.style & BS_VCENTER);
    const RECT square = PlaceSquare(box, label, metrics.tmHeight);
    const LRESULT checkState = box.buttonState & (BST_CHECKED | BST_INDETERMINATE);
    const int squareHeight = square.bottom - square.top;
    if (IsOptionType(box.style))
        DrawOptionBox(dc, square.left, square.top, squareWidth, squareHeight, state, checkState,
                      box.enabled, square.top);
    else
        DrawCheckBoxBox(dc, square.left, square.top, squareWidth, squareHeight, state, checkState,
                        box.enabled);

    if (!box.enabled) SetTextColor(dc, kSkinDisabledCaption);
    SetBkMode(dc, TRANSPARENT);
    DrawCaptionIn(dc, box.caption, label, format);
    if (HasFocus(box) && !box.caption.empty()) {
        RECT focus{label.left - 1, label.top, label.right + 1, label.bottom};
        IntersectRect(&focus, &focus, &area);
        DrawFocusRect(dc, &focus);
    }
}

// A push-like box is a push button's face: pressed while checked (or indeterminate) and while
// held, hot under the pointer.
void DrawPushLike(HDC dc, const BoxWindow& box, int state) {
    int face = state;
    if (!box.enabled)
        face = Disabled;
    else if (box.buttonState & (BST_CHECKED | BST_INDETERMINATE))
        face = Pressed;
    FaceContent content;
    content.font = box.font;
    content.caption = box.caption;
    content.focused = HasFocus(box);
    content.style = box.style;
    DrawButtonFace(dc, face, content, box.width, box.height);
}

}  // namespace

LRESULT PaintButtonBox(HWND window, HDC target, int state, bool force) {
    if (!TakeNewState(window, state, force)) return 0;
    const BoxWindow box = ReadBoxWindow(window);
    if (box.width <= 0 || box.height <= 0) return 1;

    const ScopedClientTarget out(window, target);
    // Composed off screen and put on screen in one copy.
    ScopedMemorySurface surface(box.width, box.height);
    HDC dc = surface.get();
    if (!dc) return 1;
    ScopedSelectObject selectFont(dc, box.font);
    if (box.style & BS_PUSHLIKE) {
        DrawPushLike(dc, box, state);
    } else {
        const HBRUSH background = ParentBackground(window, dc);
        if (IsHollow(background)) {
            BitBlt(dc, 0, 0, box.width, box.height, out.get(), 0, 0, SRCCOPY);
        } else {
            const RECT all{0, 0, box.width, box.height};
            FillRect(dc, &all, background);
        }
        DrawBoxAndCaption(dc, box, state);
    }
    BitBlt(out.get(), 0, 0, box.width, box.height, dc, 0, 0, SRCCOPY);
    return 1;
}

void DrawGroupFrame(HDC dc, const RECT& frame, bool enabled) {
    FrameSolid(dc, frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top,
               enabled ? kSkinBorder : kSkinDisabledBorder);
}

void PaintGroupBox(HWND window, HDC target) {
    RECT client{};
    GetClientRect(window, &client);
    const int width = client.right, height = client.bottom;
    if (width <= 0 || height <= 0) return;
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    const ScopedClientTarget out(window, target);
    HDC dc = out.get();
    // A button's context may be its parent's (CS_PARENTDC): nothing lands outside the control.
    const ScopedSavedDC saved(dc);
    IntersectClipRect(dc, 0, 0, width, height);
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
    const HBRUSH background = ParentBackground(window, dc);
    const bool hollow = IsHollow(background);

    // The frame's top runs through the middle of the caption's line, where the platform puts it.
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int top = metrics.tmHeight / 2 - 1;
    if (!hollow) {
        // The platform's two-pixel etched frame, if it drew one on its own, goes first.
        const RECT bands[] = {{0, top, width, top + 2},
                              {0, height - 2, width, height},
                              {0, top, 2, height},
                              {width - 2, top, width, height}};
        for (const RECT& band : bands) FillRect(dc, &band, background);
    }
    const bool enabled = IsWindowEnabled(window) != FALSE;
    DrawGroupFrame(dc, {0, top, width, height}, enabled);

    const std::wstring caption = GetWindowCaption(window);
    if (caption.empty()) return;
    // The caption sits seven pixels in from the sides, on the frame's top line, with a pixel of
    // background on either side of it.
    const RECT area{7, -1, width - 7, height + 1};
    const UINT format =
        (CaptionFormatOf(style, 0, CuesOf(window).hideAccelerators) & ~DT_WORDBREAK) |
        DT_SINGLELINE;
    const RECT label = PlaceCaption(dc, caption, area, format, BS_TOP);
    if (!hollow) {
        const RECT behind{label.left - 1, label.top, label.right + 1, label.bottom + 1};
        FillRect(dc, &behind, background);
    }
    if (!enabled) SetTextColor(dc, kSkinDisabledCaption);
    SetBkMode(dc, TRANSPARENT);
    DrawCaptionIn(dc, caption, label, format);
}

}  // namespace skin
