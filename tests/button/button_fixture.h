// A skinned form holding push buttons of 113 x 33, and small pixel helpers for the button tests.
#pragma once

#include <windows.h>

#include <vector>

#include "support/skinned_form.h"
#include "support/test_windows.h"

namespace button_tests {

inline constexpr int kButtonWidth = 113;
inline constexpr int kButtonHeight = 33;

// The shared form (400 x 300) with the buttons of one test, one to a row.
class SkinnedForm : public testing_support::SkinnedForm {
public:
    SkinnedForm();

    // A push button of 113 x 33 in the next free row of the form; add them before Attach().
    HWND AddButton(const wchar_t* caption, DWORD extraStyle = 0);
    // Any child window of the given class in the next free row.
    HWND AddChild(const wchar_t* className, const wchar_t* text, DWORD extraStyle = 0);

private:
    int rows_ = 0;
};

// Every pixel of a w x h area of a context, row by row.
std::vector<COLORREF> ReadPixels(HDC dc, int width, int height);

}  // namespace button_tests
