// Attaching the skin to windows and detaching it: classification, per-kind setup, subclassing.
#include "core/attach.h"

#include "core/hover.h"
#include "core/props.h"
#include "core/window_proc.h"
#include "dorrik_skin.h"
#include "render/button_renderer.h"
#include "render/image_set.h"
#include "render/primitives.h"
#include "render/scoped_gdi.h"

namespace skin {

namespace {

EngineState engine;

struct KindName {
    const char* name;
    ControlKind kind;
};

// Lower-case class names, compared for equality. The grid kind is a prefix match, below.
const KindName kKindNames[] = {
    {"#32770", ControlKind::Form},
    {"thunderformdc", ControlKind::Form},
    {"thunderrt6formdc", ControlKind::Form},
    {"form", ControlKind::Form},
    {"thundercommandbutton", ControlKind::PushButton},
    {"thunderrt6commandbutton", ControlKind::PushButton},
    {"button", ControlKind::PushButton},
    {"thundercombobox", ControlKind::ComboBox},
    {"thunderrt6combobox", ControlKind::ComboBox},
    {"combo", ControlKind::ComboBox},
    {"combobox", ControlKind::ComboBox},
    {"thunderdrivelistbox", ControlKind::DriveList},
    {"thunderrt6drivelistbox", ControlKind::DriveList},
    {"thundercheckbox", ControlKind::CheckBox},
    {"thunderrt6checkbox", ControlKind::CheckBox},
    {"thunderoptionbutton", ControlKind::OptionButton},
    {"thunderrt6optionbutton", ControlKind::OptionButton},
    {"msvb_lib_header", ControlKind::Header},
    {"sysheader32", ControlKind::Header},
    {"progressbar20wndclass", ControlKind::ProgressBar},
    {"progressbarwndclass", ControlKind::ProgressBar},
    {"datalistwndclass", ControlKind::DataList},
    {"dblistwndclass", ControlKind::DataList},
    {"combolbox", ControlKind::DropDownList},
};

constexpr std::string_view kGridPrefix = "apexgrid";

// Button types with bit 1 or 2 set keep their own painting: check boxes, radio buttons, group
// boxes. The automatic radio button (9) has neither bit, but is a radio button all the same.
constexpr LONG kOwnPaintingStyles = 6;
constexpr WPARAM kOwnerDrawStyle = BS_OWNERDRAW;
constexpr UINT kRepaintLater = RDW_INVALIDATE | RDW_INTERNALPAINT;

BOOL CALLBACK AttachChild(HWND window, LPARAM) {
    AttachWindow(window);
    return TRUE;
}

BOOL CALLBACK DetachChild(HWND window, LPARAM) {
    DetachWindow(window);
    return TRUE;
}

// Four memory contexts with a bitmap of the button's size each, then the faces drawn into them.
void CreateStateSurfaces(HWND window) {
    ScopedWindowDC windowDC(window);
    WindowBounds bounds;
    GetWindowBounds(window, bounds);
    for (int state = 0; state < kStateCount; ++state) {
        HDC surface = CreateCompatibleDC(windowDC.get());
        HBITMAP bitmap = CreateCompatibleBitmap(windowDC.get(), bounds.Width, bounds.Height);
        // The context's initial bitmap is the stock one-pixel bitmap; deleting it is harmless.
        DeleteObject(SelectObject(surface, bitmap));
        SetSkinProp(window, StateSurfaceKey(state), reinterpret_cast<intptr_t>(surface));
        SetSkinProp(window, StateBitmapKey(state), reinterpret_cast<intptr_t>(bitmap));
    }
    RenderButtonFaces(window);
}

void AttachPushButton(HWND window) {
    CreateStateSurfaces(window);
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    if (!ButtonKeepsOwnPainting(style)) SendMessageA(window, BM_SETSTYLE, kOwnerDrawStyle, -1);
    SetSkinProp(window, kPropOldStyle, style);
    SetSkinProp(window, kPropMouseFlag, 0);
    SetSkinProp(window, kPropTimerId, 0);
    SetSkinProp(window, kPropOldState, IsWindowEnabled(window) ? Normal : Disabled);
    SetSkinProp(window, kPropAlphaLevel, 0);
    WindowBounds bounds;
    GetWindowBounds(window, bounds);
    SetButtonRegion(window, bounds.Width, bounds.Height);
}

void DetachPushButton(HWND window) {
    for (int state = 0; state < kStateCount; ++state) {
        // Deleting the context first deselects the bitmap, so the bitmap can be deleted too.
        DeleteDC(GetStateSurface(window, state));
        DeleteObject(reinterpret_cast<HGDIOBJ>(GetSkinProp(window, StateBitmapKey(state))));
        RemoveSkinProp(window, StateSurfaceKey(state));
        RemoveSkinProp(window, StateBitmapKey(state));
    }
    StopHoverTimer(window);
    SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(GetSkinProp(window, kPropOldStyle)));
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

void SetupKind(HWND window, ControlKind kind) {
    switch (kind) {
    case ControlKind::Form:
        // Descendants first; the form itself is subclassed after them.
        EnumChildWindows(window, AttachChild, 0);
        break;
    case ControlKind::PushButton:
        AttachPushButton(window);
        break;
    case ControlKind::ComboBox:
    case ControlKind::DriveList:
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
        SetSkinProp(window, kPropMouseFlag, 0);
        SetSkinProp(window, kPropOldState, Normal);
        break;
    case ControlKind::Header:
        SetSkinProp(window, kPropMouseFlag, 0);
        SetSkinProp(window, kPropHdIndex, -1);
        SetSkinProp(window, kPropHmIndex, -1);
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
        RemoveSkinProp(window, kPropMouseFlag);
        RemoveSkinProp(window, kPropOldState);
        break;
    case ControlKind::Header:
        RemoveSkinProp(window, kPropMouseFlag);
        RemoveSkinProp(window, kPropHdIndex);
        RemoveSkinProp(window, kPropHmIndex);
        break;
    default:
        break;
    }
}

// Windows of other processes cannot be subclassed or given our properties, and a destroyed window
// belongs to no process: neither may be counted as skinned.
bool IsWindowOfThisProcess(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId();
}

// A frame pass now, and a client repaint later, both in the window's current look.
void RepaintWhole(HWND window) {
    SendMessageA(window, WM_NCPAINT, 1, 0);
    RedrawWindow(window, nullptr, nullptr, kRepaintLater);
}

}  // namespace

EngineState& Engine() { return engine; }

std::string GetClassNameLower(HWND window) {
    char buffer[256] = {};
    const int length = GetClassNameA(window, buffer, 255);
    if (length <= 0) return {};
    std::string name(buffer);
    for (char& c : name) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return name;
}

ControlKind ClassifyClassName(std::string_view lowerClassName) {
    for (const KindName& entry : kKindNames) {
        if (lowerClassName == entry.name) return entry.kind;
    }
    if (lowerClassName.starts_with(kGridPrefix)) return ControlKind::Grid;
    return ControlKind::Other;
}

ControlKind ClassifyWindow(HWND window) { return ClassifyClassName(GetClassNameLower(window)); }

bool ButtonKeepsOwnPainting(LONG style) {
    return (style & kOwnPaintingStyles) != 0 || (style & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
}

void SetButtonRegion(HWND window, int width, int height) {
    HRGN region = CreateRoundRectRgn(0, 0, width + 1, height + 1, 3, 3);
    // Once SetWindowRgn succeeds the region belongs to the system.
    if (region && !SetWindowRgn(window, region, TRUE)) DeleteObject(region);
}

LRESULT AttachWindow(HWND window) {
    if (!window || !IsWindowOfThisProcess(window)) return 0;
    if (GetSkinProp(window, kPropProcAddr) != 0) return 0;

    SetupKind(window, ClassifyWindow(window));
    ++engine.skinnedWindowCount;
    const LONG_PTR previous =
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SkinWindowProc));
    SetSkinProp(window, kPropProcAddr, previous);
    RepaintWhole(window);
    return 1;
}

LRESULT DetachWindow(HWND window) {
    if (!window) return 0;
    const intptr_t previous = GetSkinProp(window, kPropProcAddr);
    if (previous == 0) return 0;

    TeardownKind(window, ClassifyWindow(window));
    RemoveSkinProp(window, kPropProcAddr);
    SetWindowLongPtrW(window, GWLP_WNDPROC, previous);
    RepaintWhole(window);

    if (--engine.skinnedWindowCount <= 0) {
        engine.skinnedWindowCount = 0;
        ReleaseSkinImages();
        engine.initialised = false;
    }
    return 1;
}

}  // namespace skin

extern "C" LONG WINAPI AttachSkin(HWND form) {
    skin::EngineState& engine = skin::Engine();
    if (!engine.initialised) {
        engine.initialised = true;
        engine.hasTrackMouseEvent = skin::IsExportAvailable("TrackMouseEvent", "User32");
        skin::BuildSkinImages();
    }
    return static_cast<LONG>(skin::AttachWindow(form));
}

extern "C" LONG WINAPI DetachSkin(HWND form) { return static_cast<LONG>(skin::DetachWindow(form)); }
