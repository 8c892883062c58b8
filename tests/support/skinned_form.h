// The form that the tests of one program share (making and destroying a top-level window under
// Wine takes seconds), with the child windows of one test. At scope end the skin comes off and
// the children go. The pointer is kept off the test windows, so no hover changes a state under a
// test.
#pragma once

#include <windows.h>

#include <vector>

namespace testing_support {

// The size and style of the shared form; the first SkinnedForm of a program makes it so.
struct SharedFormShape {
    int width;
    int height;
    DWORD style = WS_POPUP;
};

class SkinnedForm {
public:
    explicit SkinnedForm(const SharedFormShape& shape);
    ~SkinnedForm();
    SkinnedForm(const SkinnedForm&) = delete;
    SkinnedForm& operator=(const SkinnedForm&) = delete;

    HWND form() const { return form_; }
    // A visible child (of the form, or of parent) with exactly these styles; WS_CHILD and
    // WS_VISIBLE are added.
    HWND AddWindow(const wchar_t* className, const wchar_t* text, int x, int y, int width,
                   int height, DWORD style = 0, DWORD exStyle = 0, HWND parent = nullptr);
    // A visible control (of the form, or of parent) with the styles its class gives;
    // extraStyle is added to them.
    HWND AddControl(const wchar_t* className, const wchar_t* text, int x, int y, int width,
                    int height, DWORD extraStyle = 0, HWND parent = nullptr);
    // Skins the form and every child, and lets the paints of the attach happen.
    void Attach();
    void Detach();
    // The skin off and the children gone, as at scope end; for fixtures that must tidy up after.
    void TakeDown();

private:
    HWND form_;
    std::vector<HWND> children_;
    bool attached_ = false;
};

// The pointer in a corner of the screen where no test window lies. Does not dispatch the mouse
// messages that the move itself causes.
void PointerAway();

}  // namespace testing_support
