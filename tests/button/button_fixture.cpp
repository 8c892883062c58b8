#include "button/button_fixture.h"

namespace button_tests {

SkinnedForm::SkinnedForm() : testing_support::SkinnedForm({400, 300}) {}

HWND SkinnedForm::AddChild(const wchar_t* className, const wchar_t* text, DWORD extraStyle) {
    const int y = 10 + rows_++ * (kButtonHeight + 10);
    return AddWindow(className, text, 20, y, kButtonWidth, kButtonHeight, extraStyle);
}

HWND SkinnedForm::AddButton(const wchar_t* caption, DWORD extraStyle) {
    return AddChild(L"Button", caption, extraStyle);
}

std::vector<COLORREF> ReadPixels(HDC dc, int width, int height) {
    std::vector<COLORREF> pixels;
    pixels.reserve(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) pixels.push_back(GetPixel(dc, x, y));
    }
    return pixels;
}

}  // namespace button_tests
