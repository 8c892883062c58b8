#include "paint/paint_fixture.h"

#include "control_classes.h"
#include "core/props.h"
#include "dorrik_skin.h"
#include "support/test_windows.h"

namespace paint_tests {

namespace {

HWND SharedForm() {
    // Clipping children keeps the form's own paints off the controls being read back.
    static testing_support::TestWindow form(480, 360, nullptr, WS_POPUP | WS_CLIPCHILDREN);
    return form.get();
}

}  // namespace

SkinnedForm::SkinnedForm() {
    SharedForm();
    // The pointer stays off the test windows, so no hover changes a state under a test.
    SetCursorPos(2, 2);
    testing_support::PumpMessages();
}

SkinnedForm::~SkinnedForm() {
    if (attached_) DetachSkin(SharedForm());
    for (HWND child : children_) DestroyWindow(child);
    testing_support::PumpMessages();
}

HWND SkinnedForm::form() const { return SharedForm(); }

HWND SkinnedForm::Add(const wchar_t* className, const wchar_t* text, int x, int y, int width,
                      int height, DWORD style, DWORD exStyle) {
    HWND child = CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, x, y,
                                 width, height, SharedForm(), nullptr, GetModuleHandleW(nullptr),
                                 nullptr);
    children_.push_back(child);
    return child;
}

HWND SkinnedForm::AddControl(const wchar_t* className, const wchar_t* text, int x, int y,
                             int width, int height, DWORD extraStyle) {
    HWND child = controls::CreateControl(className, text, SharedForm(), x, y, width, height,
                                         extraStyle);
    children_.push_back(child);
    return child;
}

void SkinnedForm::Attach() {
    testing_support::PumpMessages();
    AttachSkin(SharedForm());
    attached_ = true;
    testing_support::PumpMessages();
}

void CoverWindow(HWND window, COLORREF colour) {
    RECT bounds{};
    GetWindowRect(window, &bounds);
    HDC dc = GetWindowDC(window);
    HBRUSH brush = CreateSolidBrush(colour);
    const RECT all{0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    ReleaseDC(window, dc);
}

void RepaintClient(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void RepaintFrame(HWND window) { SendMessageW(window, WM_NCPAINT, 1, 0); }

int Prop(HWND window, const char* name) { return static_cast<int>(skin::GetSkinProp(window, name)); }

}  // namespace paint_tests
