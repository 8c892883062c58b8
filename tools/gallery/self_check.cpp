// The gallery driven through its own controls, as a person would with the mouse, and looked at
// from outside the skin: its window properties and the pixels on screen.
#include "self_check.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "gallery_form.h"
#include "platform_form.h"
#include "render/scoped_gdi.h"
#include "support/message_pump.h"
#include "support/window_names.h"

namespace gallery {

namespace {

using skin::ScopedBitmap;
using skin::ScopedCreatedDC;
using skin::ScopedSelectObject;
using skin::ScopedWindowDC;
using testing_support::LowerClassName;
using testing_support::PumpMessages;
using testing_support::PumpMessagesFor;

int failures = 0;

void Expect(bool condition, const std::string& what) {
    if (condition) return;
    ++failures;
    std::fprintf(stderr, "gallery check: %s\n", what.c_str());
}

bool IsSkinned(HWND window) { return GetPropA(window, "PROCADDR") != nullptr; }

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

// The form and every window inside it.
std::vector<HWND> WindowsOf(HWND form) {
    std::vector<HWND> windows{form};
    EnumChildWindows(form, CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

void ExpectAllSkinned(HWND form, bool skinned, const std::string& when) {
    for (HWND window : WindowsOf(form)) {
        Expect(IsSkinned(window) == skinned, when + ": a window of class " + LowerClassName(window) +
                                                 (skinned ? " is not skinned" : " is still skinned"));
    }
}

std::vector<LONG_PTR> ProceduresOf(HWND form) {
    std::vector<LONG_PTR> procedures;
    for (HWND window : WindowsOf(form)) procedures.push_back(GetWindowLongPtrW(window, GWLP_WNDPROC));
    return procedures;
}

HWND FirstOfClass(HWND form, const char* lowerClassName) {
    for (HWND window : WindowsOf(form)) {
        if (LowerClassName(window) == lowerClassName && IsWindowEnabled(window)) return window;
    }
    return nullptr;
}

// The client area above the header and left of the vertical bars: buttons, check boxes, options,
// combo boxes. Nothing there moves by itself.
constexpr int kStillWidth = 550;
constexpr int kStillHeight = 262;

std::vector<DWORD> CaptureStillPart(HWND form) {
    constexpr int kWidth = kStillWidth;
    constexpr int kHeight = kStillHeight;
    POINT origin = {0, 0};
    ClientToScreen(form, &origin);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;

    ScopedWindowDC screen(nullptr, ScopedWindowDC::ClientArea);
    ScopedBitmap bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ScopedCreatedDC memory(CreateCompatibleDC(screen.get()));
    if (!bitmap.get() || !memory.get()) return {};
    ScopedSelectObject select(memory.get(), bitmap.get());
    BitBlt(memory.get(), 0, 0, kWidth, kHeight, screen.get(), origin.x, origin.y, SRCCOPY);
    GdiFlush();
    const DWORD* pixels = static_cast<const DWORD*>(bits);
    return std::vector<DWORD>(pixels, pixels + kWidth * kHeight);
}

// A fade may end a level short of its face, depending on where it started: a channel that is
// off by one or two is the same look.
bool SamePixel(DWORD a, DWORD b) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int difference = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (difference > 2 || difference < -2) return false;
    }
    return true;
}

bool SameLook(const std::vector<DWORD>& a, const std::vector<DWORD>& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), SamePixel);
}

// Where two captures differ: how many pixels, inside which client rectangle.
std::string DescribeDifference(const std::vector<DWORD>& a, const std::vector<DWORD>& b) {
    if (a.size() != b.size()) return " (no capture)";
    int count = 0;
    RECT box = {kStillWidth, kStillHeight, -1, -1};
    for (size_t i = 0; i < a.size(); ++i) {
        if (SamePixel(a[i], b[i])) continue;
        ++count;
        const int x = static_cast<int>(i % kStillWidth);
        const int y = static_cast<int>(i / kStillWidth);
        box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x),
               std::max<LONG>(box.bottom, y)};
    }
    return " (" + std::to_string(count) + " pixels between " + std::to_string(box.left) + "," +
           std::to_string(box.top) + " and " + std::to_string(box.right) + "," +
           std::to_string(box.bottom) + ")";
}

// The skin keeps the id of a window's fade timer in TIMERID while the timer runs.
HWND WindowWithFadeRunning(HWND form) {
    for (HWND window : WindowsOf(form)) {
        if (GetPropA(window, "TIMERID") != nullptr) return window;
    }
    return nullptr;
}

// Lets fades run out: back once no window of the form has a fade timer running and the last
// step's paints are done. A fade that never ends is a failure, however loaded the machine.
void WaitUntilStill(HWND form, const std::string& when) {
    constexpr DWORD kDeadlineMs = 30000;
    const DWORD start = GetTickCount();
    while (HWND fading = WindowWithFadeRunning(form)) {
        if (GetTickCount() - start > kDeadlineMs) {
            Expect(false, when + ": a fade timer still runs after 30 s, on a window of class " +
                              LowerClassName(fading));
            return;
        }
        PumpMessagesFor(20);
    }
    PumpMessagesFor(50);
}

// Clicks the skin check box and lets the switch happen; the focus goes back to the button it
// was on when the first capture was taken.
void ClickSkinToggle(HWND form, const GalleryParts& parts, const std::string& when) {
    SendMessageW(parts.skinToggle, BM_CLICK, 0, 0);
    PumpMessagesFor(150);
    SetFocus(parts.focusButton);
    WaitUntilStill(form, when);
}

// --- The message box, looked at from a timer while it is open.

struct MessageBoxWatch {
    HWND owner = nullptr;
    HWND box = nullptr;
    bool boxSkinned = false;
    bool childrenSkinned = false;
    int ticks = 0;
};
MessageBoxWatch watch;

BOOL CALLBACK FindMessageBox(HWND window, LPARAM) {
    if (LowerClassName(window) == "#32770" && GetWindow(window, GW_OWNER) == watch.owner &&
        IsWindowVisible(window)) {
        watch.box = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK WatchMessageBox(HWND, UINT, UINT_PTR timerId, DWORD) {
    ++watch.ticks;
    watch.box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindMessageBox, 0);
    if (!watch.box && watch.ticks < 50) return;
    KillTimer(nullptr, timerId);
    if (!watch.box) return;

    watch.boxSkinned = IsSkinned(watch.box);
    const std::vector<HWND> inside = WindowsOf(watch.box);
    watch.childrenSkinned = inside.size() > 1 &&
                            std::all_of(inside.begin(), inside.end(), [](HWND w) { return IsSkinned(w); });
    PostMessageW(watch.box, WM_COMMAND, IDOK, 0);
}

void CheckMessageBox(HWND form, const GalleryParts& parts) {
    watch = MessageBoxWatch{};
    watch.owner = form;
    SetTimer(nullptr, 0, 100, WatchMessageBox);
    // Returns when the message box is closed.
    SendMessageW(parts.messageBoxButton, BM_CLICK, 0, 0);
    Expect(watch.box != nullptr, "the message box button opened no message box");
    Expect(watch.boxSkinned, "the message box was not skinned when it took the activation");
    Expect(watch.childrenSkinned, "the message box's controls were not all skinned");
    PumpMessagesFor(150);
    ExpectAllSkinned(form, true, "after the message box");
}

// Every kind of the skin's table, by the class name the gallery uses for it.
void CheckEveryKindPresent(HWND form) {
    const char* const kinds[] = {"thunderrt6formdc", "button",          "thunderrt6combobox",
                                 "combobox",         "thunderrt6drivelistbox", "thunderrt6checkbox",
                                 "thunderrt6optionbutton", "sysheader32", "progressbar20wndclass",
                                 "datalistwndclass", "combolbox",       "apexgridoledb32"};
    std::vector<std::string> present;
    for (HWND window : WindowsOf(form)) present.push_back(LowerClassName(window));
    for (const char* kind : kinds) {
        Expect(std::find(present.begin(), present.end(), kind) != present.end(),
               std::string("no window of class ") + kind);
    }
}

void CheckDropDownList(HWND form) {
    HWND combo = FirstOfClass(form, "thunderrt6combobox");
    Expect(combo != nullptr, "no enabled drop-down combo box");
    if (!combo) return;
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    PumpMessagesFor(200);
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    GetComboBoxInfo(combo, &info);
    Expect(info.hwndList && IsWindowVisible(info.hwndList), "the combo box did not drop down");
    Expect(info.hwndList && IsSkinned(info.hwndList), "the dropped-down list is not skinned");
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    PumpMessagesFor(100);
}

void CheckSkinSwitches(HWND form, const GalleryParts& parts) {
    WaitUntilStill(form, "at the start");
    const std::vector<DWORD> skinnedLook = CaptureStillPart(form);
    std::vector<DWORD> plainLook;
    std::vector<LONG_PTR> plainProcedures;
    for (int round = 1; round <= 3; ++round) {
        const std::string when = "switch " + std::to_string(round);
        ClickSkinToggle(form, parts, when + " off");
        Expect(!parts.skinned, when + ": the gallery still says skinned");
        ExpectAllSkinned(form, false, when + " off");
        if (round == 1) {
            plainLook = CaptureStillPart(form);
            plainProcedures = ProceduresOf(form);
            Expect(!plainLook.empty() && !SameLook(plainLook, skinnedLook), "taking the skin off changed nothing on screen");
        } else {
            const std::vector<DWORD> look = CaptureStillPart(form);
            Expect(SameLook(look, plainLook), when + " off: the form looks different from the first time" +
                                          DescribeDifference(look, plainLook));
            Expect(ProceduresOf(form) == plainProcedures, when + " off: window procedures differ from the first time");
        }

        ClickSkinToggle(form, parts, when + " on");
        Expect(parts.skinned, when + ": the gallery does not say skinned");
        ExpectAllSkinned(form, true, when + " on");
        const std::vector<DWORD> look = CaptureStillPart(form);
        Expect(SameLook(look, skinnedLook),
               when + " on: the form looks different from the start" + DescribeDifference(look, skinnedLook));
    }
}

// --- The platform form: the whole look, the Parts' look and no skin, and the property sheet.

// The tab control's look keeps the hot tab in HMINDEX: only the whole look sets it on a tab.
bool HasTabLook(HWND window) {
    return LowerClassName(window) == "systabcontrol32" && GetPropA(window, "HMINDEX") != nullptr;
}

HWND FirstTabControl(HWND root) {
    for (HWND window : WindowsOf(root)) {
        if (LowerClassName(window) == "systabcontrol32") return window;
    }
    return nullptr;
}

struct SheetWatch {
    HWND sheet = nullptr;
    int ticks = 0;
    int pagesSeen = 0;
    bool allSkinned = true;
    bool tabLook = false;
};
SheetWatch sheetWatch;

// Looks at the open sheet on each tick: the first page, then the second, then closes it.
void CALLBACK WatchSheet(HWND, UINT, UINT_PTR timerId, DWORD) {
    ++sheetWatch.ticks;
    HWND sheet = FindWindowW(nullptr, kSheetCaption);
    if (!sheet || !IsWindowVisible(sheet)) {
        if (sheetWatch.ticks >= 50) KillTimer(nullptr, timerId);
        return;
    }
    sheetWatch.sheet = sheet;
    for (HWND window : WindowsOf(sheet)) {
        if (!IsWindowVisible(window)) continue;
        if (!IsSkinned(window)) {
            sheetWatch.allSkinned = false;
            Expect(false, "property sheet page " + std::to_string(sheetWatch.pagesSeen + 1) +
                              ": a window of class " + LowerClassName(window) + " is not skinned");
        }
    }
    if (HWND tabs = FirstTabControl(sheet)) sheetWatch.tabLook = HasTabLook(tabs);
    if (++sheetWatch.pagesSeen == 1) {
        PostMessageW(sheet, PSM_SETCURSEL, 1, 0);
        return;
    }
    KillTimer(nullptr, timerId);
    PostMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
}

void CheckPlatformForm(HINSTANCE instance) {
    HWND form = CreatePlatformForm(instance, nullptr, PlatformSkin::Whole, false);
    Expect(form != nullptr, "the platform form could not be made");
    if (!form) return;
    PumpMessagesFor(200);
    const std::vector<LONG_PTR> procedures = [&] {
        SetPlatformSkin(form, PlatformSkin::None);
        return ProceduresOf(form);
    }();
    SetPlatformSkin(form, PlatformSkin::Whole);
    PumpMessagesFor(100);
    ExpectAllSkinned(form, true, "platform form, AttachSkinEx");
    Expect(HasTabLook(FirstTabControl(form)), "platform form, AttachSkinEx: the tab control is not in the skin's look");

    sheetWatch = SheetWatch{};
    SetTimer(nullptr, 0, 100, WatchSheet);
    ShowPropertySheet(form);  // returns when the watch has closed it
    Expect(sheetWatch.sheet != nullptr, "the property sheet did not open");
    Expect(sheetWatch.pagesSeen == 2, "the property sheet's second page was not looked at");
    Expect(sheetWatch.tabLook, "the property sheet's tab control is not in the skin's look");

    SetPlatformSkin(form, PlatformSkin::Plain);
    PumpMessagesFor(100);
    ExpectAllSkinned(form, true, "platform form, AttachSkin");
    Expect(!HasTabLook(FirstTabControl(form)), "platform form, AttachSkin: the tab control is in the whole look");
    SetPlatformSkin(form, PlatformSkin::None);
    PumpMessagesFor(100);
    ExpectAllSkinned(form, false, "platform form, no skin");
    Expect(ProceduresOf(form) == procedures, "platform form, no skin: window procedures differ from before the skin");
    SendMessageW(form, WM_CLOSE, 0, 0);
    PumpMessages();
}

}  // namespace

int RunSelfCheck(HINSTANCE instance) {
    // The pointer far from the form, so nothing is hot.
    SetCursorPos(0, 0);
    HWND form = CreateGallery(instance);
    Expect(form != nullptr, "the gallery could not be made");
    if (!form) return 1;
    const GalleryParts& parts = *GetGalleryParts(form);
    ShowWindow(form, SW_SHOWNORMAL);
    UpdateWindow(form);
    SetFocus(parts.focusButton);
    PumpMessagesFor(300);

    ExpectAllSkinned(form, true, "at the start");
    CheckEveryKindPresent(form);
    CheckSkinSwitches(form, parts);
    CheckDropDownList(form);
    CheckMessageBox(form, parts);
    CheckPlatformForm(instance);

    SendMessageW(form, WM_CLOSE, 0, 0);
    Expect(!IsWindow(form), "closing did not destroy the gallery");
    PumpMessages();

    if (failures == 0) std::printf("gallery check: passed\n");
    return failures == 0 ? 0 : 1;
}

}  // namespace gallery
