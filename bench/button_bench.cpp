// Push buttons: one fade step, and one paint of a skinned 113 x 33 button against the same button
// painting itself without the skin.
#include <windows.h>

#include "bench_util.h"
#include "control_classes.h"
#include "core/props.h"
#include "dorrik_skin.h"
#include "render/button_renderer.h"

namespace {

using bench::Pump;
using bench::Repaint;

constexpr int kWidth = 113;
constexpr int kHeight = 33;

HWND MakeForm(int x) {
    return CreateWindowExW(0, controls::kFormClass, L"Bench", WS_POPUP | WS_VISIBLE, x, 100, 200,
                           100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

HWND MakeButton(HWND form) {
    return CreateWindowExW(0, L"Button", L"Open tray", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 20,
                           20, kWidth, kHeight, form, nullptr, GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

int main() {
    controls::RegisterControlClasses();
    HWND plainForm = MakeForm(100);
    HWND skinnedForm = MakeForm(400);
    HWND plainButton = MakeButton(plainForm);
    HWND skinnedButton = MakeButton(skinnedForm);
    AttachSkin(skinnedForm);
    Pump();

    // A step in the middle of a fade; the level is put back so the fade never ends.
    const double step = bench::MicrosecondsPerCall([&] {
        skin::SetSkinProp(skinnedButton, skin::kPropAlphaLevel, 120);
        SendMessageW(skinnedButton, WM_TIMER, 1, 0);
    });
    bench::Report("button: fade step (WM_TIMER)", step, "us");

    const double plain = bench::MicrosecondsPerCall([&] { Repaint(plainButton); });
    const double skinned = bench::MicrosecondsPerCall([&] { Repaint(skinnedButton); });
    bench::Report("button: WM_PAINT without the skin", plain, "us");
    bench::Report("button: WM_PAINT skinned", skinned, "us");
    bench::Report("button: skinned / unskinned WM_PAINT", skinned / plain, "x");

    // What the skinned paint amounts to: the face laid at full opacity.
    skin::SetSkinProp(skinnedButton, skin::kPropOldState, skin::Normal);
    skin::SetSkinProp(skinnedButton, skin::kPropAlphaLevel, 255);
    const double blend = bench::MicrosecondsPerCall([&] {
        skin::BlendButtonFace(skinnedButton, nullptr);
    });
    bench::Report("button: full-opacity face blend", blend, "us");
    bench::Report("button: full blend / unskinned WM_PAINT", blend / plain, "x");

    DetachSkin(skinnedForm);
    DestroyWindow(skinnedForm);
    DestroyWindow(plainForm);
    return 0;
}
