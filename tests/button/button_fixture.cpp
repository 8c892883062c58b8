#include "button/button_fixture.h"

#include "dorrik_skin.h"

namespace button_tests {

namespace {

HWND SharedForm() {
    static testing_support::TestWindow form(400, 300);
    return form.get();
}

}  // namespace

SkinnedForm::SkinnedForm() {
    SharedForm();
    ParkPointer();
}

SkinnedForm::~SkinnedForm() {
    if (attached_) DetachSkin(SharedForm());
    for (HWND child : children_) DestroyWindow(child);
    testing_support::PumpMessages();
}

HWND SkinnedForm::form() const { return SharedForm(); }

HWND SkinnedForm::AddChild(const wchar_t* className, const wchar_t* text, DWORD extraStyle) {
    const int y = 10 + static_cast<int>(children_.size()) * (kButtonHeight + 10);
    HWND child = CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | extraStyle, 20, y,
                                 kButtonWidth, kButtonHeight, SharedForm(), nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    children_.push_back(child);
    return child;
}

HWND SkinnedForm::AddButton(const wchar_t* caption, DWORD extraStyle) {
    return AddChild(L"Button", caption, extraStyle);
}

void SkinnedForm::Attach() {
    AttachSkin(SharedForm());
    attached_ = true;
    testing_support::PumpMessages();
}

std::vector<COLORREF> ReadPixels(HDC dc, int width, int height) {
    std::vector<COLORREF> pixels;
    pixels.reserve(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) pixels.push_back(GetPixel(dc, x, y));
    }
    return pixels;
}

void ParkPointer() {
    SetCursorPos(2, 2);
    testing_support::PumpMessages();
}

}  // namespace button_tests
