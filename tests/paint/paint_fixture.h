// A skinned form for the paint tests, with the controls of one test, and pixel helpers.
#pragma once

#include <windows.h>

#include <vector>

namespace paint_tests {

// A colour the skin never draws, laid over a window before a drawing call so that untouched
// pixels can be told from drawn ones.
inline constexpr COLORREF kCover = 0x0000FF;

// The shared visible form (making and destroying top-level windows under Wine takes seconds)
// with the child windows of one test. At scope end the skin comes off and the children go.
class SkinnedForm {
public:
    SkinnedForm();
    ~SkinnedForm();
    SkinnedForm(const SkinnedForm&) = delete;
    SkinnedForm& operator=(const SkinnedForm&) = delete;

    HWND form() const;
    // A child of the given class with exactly these styles (WS_CHILD | WS_VISIBLE added).
    HWND Add(const wchar_t* className, const wchar_t* text, int x, int y, int width, int height,
             DWORD style = 0, DWORD exStyle = 0);
    // A control of one of the superclassed kinds, with the styles its class adds.
    HWND AddControl(const wchar_t* className, const wchar_t* text, int x, int y, int width,
                    int height, DWORD extraStyle = 0);
    // Skins the form and every child, and lets the first paints happen.
    void Attach();

private:
    std::vector<HWND> children_;
    bool attached_ = false;
};

// Fills the whole window, frame included, with one colour.
void CoverWindow(HWND window, COLORREF colour = kCover);

// A client repaint only (no erase, no frame), and a frame repaint only.
void RepaintClient(HWND window);
void RepaintFrame(HWND window);

// Property value of the skin, as an int.
int Prop(HWND window, const char* name);

}  // namespace paint_tests
