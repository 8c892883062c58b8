// Paint routing: one WM_PAINT of a skinned combo box, check box, 5-item header and progress bar,
// each against the same control painting itself without the skin.
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "bench_util.h"
#include "control_classes.h"
#include "dorrik_skin.h"

namespace {

using bench::Pump;
using bench::Repaint;

HWND MakeForm(int x) {
    return CreateWindowExW(0, controls::kFormClass, L"Bench", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                           x, 100, 300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

struct Controls {
    HWND combo;
    HWND checkBox;
    HWND header;
    HWND progressBar;
};

Controls MakeControls(HWND form) {
    Controls made{};
    made.combo = controls::CreateControl(controls::kComboBoxClass, L"", form, 10, 10, 120, 200);
    SendMessageW(made.combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Drive D:"));
    SendMessageW(made.combo, CB_SETCURSEL, 0, 0);
    made.checkBox = controls::CreateControl(controls::kCheckBoxClass, L"Close tray after use", form,
                                            10, 45, 160, 17);
    SendMessageW(made.checkBox, BM_SETCHECK, BST_CHECKED, 0);

    made.header = CreateWindowExW(0, WC_HEADERW, L"", WS_CHILD | WS_VISIBLE | HDS_HORZ | HDS_BUTTONS,
                                  10, 75, 280, 24, form, nullptr, GetModuleHandleW(nullptr), nullptr);
    for (int i = 0; i < 5; ++i) {
        const std::wstring text = L"Column " + std::to_wstring(i + 1);
        HDITEMW item{};
        item.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT;
        item.cxy = 56;
        item.pszText = const_cast<wchar_t*>(text.c_str());
        item.fmt = HDF_STRING | HDF_CENTER;
        SendMessageW(made.header, HDM_INSERTITEMW, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&item));
    }

    made.progressBar = controls::CreateControl(controls::kProgressBarClass, nullptr, form, 10, 110,
                                               200, 20);
    SendMessageW(made.progressBar, PBM_SETRANGE32, 0, 30000);
    SendMessageW(made.progressBar, PBM_SETPOS, 12000, 0);
    return made;
}

void Compare(const char* kind, HWND plain, HWND skinned) {
    const double own = bench::MicrosecondsPerCall([&] { Repaint(plain); }, 500);
    const double skin = bench::MicrosecondsPerCall([&] { Repaint(skinned); }, 500);
    const std::string name(kind);
    bench::Report((name + ": WM_PAINT without the skin").c_str(), own, "us");
    bench::Report((name + ": WM_PAINT skinned").c_str(), skin, "us");
    bench::Report((name + ": skinned / unskinned WM_PAINT").c_str(), skin / own, "x");
}

}  // namespace

int main() {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    controls::RegisterControlClasses();
    HWND plainForm = MakeForm(100);
    HWND skinnedForm = MakeForm(450);
    const Controls plain = MakeControls(plainForm);
    const Controls skinned = MakeControls(skinnedForm);
    AttachSkin(skinnedForm);
    Pump();

    Compare("combo box", plain.combo, skinned.combo);
    Compare("check box", plain.checkBox, skinned.checkBox);
    Compare("header, 5 items", plain.header, skinned.header);
    Compare("progress bar", plain.progressBar, skinned.progressBar);

    DetachSkin(skinnedForm);
    DestroyWindow(skinnedForm);
    DestroyWindow(plainForm);
    return 0;
}
