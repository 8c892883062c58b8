// The platform's toolbars (ToolbarWindow32): hot, pressed and checked buttons get the skin's faces
// (every button of a toolbar that is not flat), separators a line in the border colour; images and text stay the control's own. The
// control asks its parent how to draw (custom draw); the parent is skinned too, so the skin
// answers first there and passes the question on to the program, which keeps the last word.
#include <windows.h>

#include <commctrl.h>

#include <unordered_map>

#include "core/common_controls.h"
#include "core/engine.h"
#include "core/kind_routes.h"
#include "render/flat_parts.h"
#include "render/image_tables.h"
#include "render/primitives.h"

namespace skin {

namespace {

// A flat separator's line lies two pixels in from the top and bottom of its item.
constexpr int kSeparatorInset = 2;

// The custom draw the program asked for at the start of each toolbar's paint, for the windows of
// this thread; and whether it asked to see the end of the button being drawn now.
struct ProgramAnswers : ThreadPart {
    std::unordered_map<HWND, LRESULT> byToolbar;
};

std::unordered_map<HWND, LRESULT>& Answers() { return ThisThreadPart<ProgramAnswers>().byToolbar; }
thread_local bool programWantsItemEnd = false;
// The notification being answered: a parent that passes it further up (a rebar to its frame)
// must not have it answered twice.
thread_local const NMHDR* answering = nullptr;

bool IsFlat(HWND toolbar) { return (GetWindowLongW(toolbar, GWL_STYLE) & TBSTYLE_FLAT) != 0; }

// The state a button's face shows; a disabled or indeterminate button has no interactive look.
int FaceState(UINT itemState) {
    if (itemState & (CDIS_DISABLED | CDIS_INDETERMINATE)) return Normal;
    if (itemState & (CDIS_SELECTED | CDIS_CHECKED)) return Pressed;
    if (itemState & CDIS_HOT) return Hot;
    return Normal;
}

void DrawFace(HDC dc, const RECT& rect, int state) {
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    FrameSolid(dc, rect.left, rect.top, width, height, kSkinBorder);
    DrawFlatFace(dc, rect.left + 1, rect.top + 1, width - 2, height - 2, state);
}

RECT ButtonRect(HWND toolbar, const NMCUSTOMDRAW& item) {
    RECT rect = item.rc;
    SendMessageW(toolbar, TB_GETRECT, item.dwItemSpec, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

// A drop-down button whose arrow is a part of its own, beside the button's face.
bool HasArrowPart(HWND toolbar, const NMCUSTOMDRAW& item) {
    if (!(SendMessageW(toolbar, TB_GETEXTENDEDSTYLE, 0, 0) & TBSTYLE_EX_DRAWDDARROWS)) return false;
    TBBUTTONINFOW info{};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_STYLE;
    if (SendMessageW(toolbar, TB_GETBUTTONINFOW, item.dwItemSpec, reinterpret_cast<LPARAM>(&info)) < 0)
        return false;
    return (info.fsStyle & BTNS_DROPDOWN) && !(info.fsStyle & BTNS_WHOLEDROPDOWN);
}

// Before the control draws a button: the face under its image and text. A flat button at rest
// keeps the toolbar's background. The control is told to draw no edges and (themed) no background
// of its own. Without a visual style it lays its checked pattern over the face all the same: the
// pattern's brush is a hollow one, which draws nothing, so the face shows as it does with a style;
// should a control not use that brush, its two colours are the pressed tint's, a plain tint.
LRESULT BeforeButton(HWND toolbar, NMTBCUSTOMDRAW& draw, LRESULT program) {
    const LRESULT drawNoEdges = program | TBCDRF_NOEDGES | TBCDRF_NOBACKGROUND;
    const int state = FaceState(draw.nmcd.uItemState);
    // Most buttons of a flat toolbar rest: nothing to draw, nothing to ask.
    if (state == Normal && IsFlat(toolbar)) return drawNoEdges;
    DrawFace(draw.nmcd.hdc, ButtonRect(toolbar, draw.nmcd), state);
    draw.hbrMonoDither = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    const COLORREF tint =
        image_tables::kComboStripRows[kComboButtonImageSize.height / 2].pressedCentre;
    draw.clrBtnFace = tint;
    draw.clrBtnHighlight = tint;
    return HasArrowPart(toolbar, draw.nmcd) ? drawNoEdges | CDRF_NOTIFYPOSTPAINT : drawNoEdges;
}

// After the control drew a drop-down button: its arrow part, which the control frames itself
// whatever it is told, gets the face and the skin's arrow again.
void AfterButton(HWND toolbar, const NMCUSTOMDRAW& item) {
    const int state = FaceState(item.uItemState);
    if (state == Normal && IsFlat(toolbar)) return;
    RECT part = ButtonRect(toolbar, item);
    // The part shares its left line with the face.
    part.left = item.rc.right - 1;
    if (part.right - part.left < kArrowBreadth + 2) return;
    DrawFace(item.hdc, part, state);
    const int x = part.left + (part.right - part.left - kArrowBreadth + 1) / 2;
    const int y = part.top + (part.bottom - part.top - kArrowDepth) / 2;
    DrawArrow(item.hdc, x, y, ArrowDirection::Down, !(item.uItemState & CDIS_DISABLED));
}

// After the whole paint: each separator, however the control drew it (a groove, a theme's line),
// becomes one line in the border colour on the background the column beside it shows.
void RestyleSeparators(HWND toolbar, HDC dc) {
    const int count = static_cast<int>(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTON button{};
        if (!SendMessageW(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button))) continue;
        if (!(button.fsStyle & BTNS_SEP) || (button.fsStyle & BTNS_DROPDOWN) ||
            (button.fsState & TBSTATE_HIDDEN))
            continue;
        RECT rect{};
        if (!SendMessageW(toolbar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rect))) continue;
        const int x = (rect.left + rect.right) / 2 - 1;
        const int top = rect.top + kSeparatorInset, height = rect.bottom - rect.top - 2 * kSeparatorInset;
        if (height <= 0 || x <= rect.left) continue;
        StretchBlt(dc, rect.left + 1, rect.top, rect.right - rect.left - 1, rect.bottom - rect.top, dc,
                   rect.left, rect.top, 1, rect.bottom - rect.top, SRCCOPY);
        FillSolid(dc, x, top, 1, height, kSkinBorder);
    }
}

LRESULT AnswerToolbar(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto& draw = *reinterpret_cast<NMTBCUSTOMDRAW*>(lParam);
    HWND toolbar = draw.nmcd.hdr.hwndFrom;
    const auto ask = [&] { return CallPrevious(previous, window, message, wParam, lParam); };
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT: {
        const LRESULT program = ask();
        if (program & CDRF_SKIPDEFAULT) return program;
        Answers()[toolbar] = program;
        return program | CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
    }
    case CDDS_ITEMPREPAINT: {
        const LRESULT asked = Answers()[toolbar];
        const LRESULT program = (asked & CDRF_NOTIFYITEMDRAW) ? ask() : CDRF_DODEFAULT;
        programWantsItemEnd = (program & CDRF_NOTIFYPOSTPAINT) != 0;
        if (program & CDRF_SKIPDEFAULT) return program;
        return BeforeButton(toolbar, draw, program);
    }
    case CDDS_ITEMPOSTPAINT: {
        const LRESULT program = programWantsItemEnd ? ask() : CDRF_DODEFAULT;
        AfterButton(toolbar, draw.nmcd);
        return program;
    }
    case CDDS_POSTPAINT: {
        const LRESULT program = (Answers()[toolbar] & CDRF_NOTIFYPOSTPAINT) ? ask() : CDRF_DODEFAULT;
        RestyleSeparators(toolbar, draw.nmcd.hdc);
        return program;
    }
    default:
        return ask();
    }
}

}  // namespace

LRESULT HandleNotify(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header || header->code != static_cast<UINT>(NM_CUSTOMDRAW) || header == answering ||
        AttachedKind(header->hwndFrom) != ControlKind::Toolbar || !IsAttached(header->hwndFrom))
        return CallPrevious(previous, window, message, wParam, lParam);
    const NMHDR* outer = answering;
    answering = header;
    const LRESULT result = AnswerToolbar(previous, window, message, wParam, lParam);
    answering = outer;
    return result;
}

void ForgetToolbar(HWND toolbar) { Answers().erase(toolbar); }

}  // namespace skin
