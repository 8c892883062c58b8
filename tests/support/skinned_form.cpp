#include "support/skinned_form.h"

#include "control_classes.h"
#include "dorrik_skin.h"
#include "support/test_windows.h"

namespace testing_support {

namespace {

HWND SharedForm(const SharedFormShape& shape) {
    static TestWindow form(shape.width, shape.height, nullptr, shape.style);
    return form.get();
}

}  // namespace

SkinnedForm::SkinnedForm(const SharedFormShape& shape) : form_(SharedForm(shape)) {
    // Every test starts from the form unskinned: a skinned window of an earlier test that lost the
    // activation to it on its way out skinned it, as the engine does with a form that takes the
    // activation from a skinned window.
    DetachSkin(form_);
    PointerAway();
    PumpMessages();
}

SkinnedForm::~SkinnedForm() { TakeDown(); }

HWND SkinnedForm::AddWindow(const wchar_t* className, const wchar_t* text, int x, int y,
                            int width, int height, DWORD style, DWORD exStyle, HWND parent) {
    HWND child = CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, x, y,
                                 width, height, parent ? parent : form_, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    children_.push_back(child);
    return child;
}

HWND SkinnedForm::AddControl(const wchar_t* className, const wchar_t* text, int x, int y,
                             int width, int height, DWORD extraStyle, HWND parent) {
    HWND child = controls::CreateControl(className, text, parent ? parent : form_, x, y, width,
                                         height, extraStyle);
    children_.push_back(child);
    return child;
}

void SkinnedForm::Attach() {
    // The children's first paints come before the skin, so that later drawing is the skin's.
    PumpMessages();
    AttachSkin(form_);
    attached_ = true;
    PumpMessages();
}

void SkinnedForm::Detach() {
    if (!attached_) return;
    attached_ = false;
    DetachSkin(form_);
}

void SkinnedForm::TakeDown() {
    Detach();
    // Newest first: a child made inside another goes before its parent.
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        if (IsWindow(*it)) DestroyWindow(*it);
    }
    children_.clear();
    PumpMessages();
}

void PointerAway() { SetCursorPos(2, 2); }

}  // namespace testing_support
