// A skinned form holding push buttons of 113 x 33, and small pixel helpers for the button tests.
#pragma once

#include <windows.h>

#include <vector>

#include "support/test_windows.h"

namespace button_tests {

inline constexpr int kButtonWidth = 113;
inline constexpr int kButtonHeight = 33;

// The visible form the button tests share (destroying a top-level window under Wine takes
// seconds), with the buttons of one test. The skin comes off and the buttons go at scope end.
class SkinnedForm {
public:
    SkinnedForm();
    ~SkinnedForm();
    SkinnedForm(const SkinnedForm&) = delete;
    SkinnedForm& operator=(const SkinnedForm&) = delete;

    HWND form() const;
    // A push button of 113 x 33 in the next free row of the form; add them before Attach().
    HWND AddButton(const wchar_t* caption, DWORD extraStyle = 0);
    // Any child window of the given class in the next free row.
    HWND AddChild(const wchar_t* className, const wchar_t* text, DWORD extraStyle = 0);
    void Attach();

private:
    std::vector<HWND> children_;
    bool attached_ = false;
};

// Every pixel of a w x h area of a context, row by row.
std::vector<COLORREF> ReadPixels(HDC dc, int width, int height);

// Parks the pointer in a corner of the screen where no test window lies.
void ParkPointer();

}  // namespace button_tests
