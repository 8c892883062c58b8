// Push buttons of Win32 programs under AttachSkinEx with the images option: a bitmap or icon
// button shows its image on every face; a button the program paints itself keeps its painting.
#include <gtest/gtest.h>

#include "core/props.h"
#include "dorrik_skin.h"
#include "paint/paint_fixture.h"
#include "render/button_renderer.h"
#include "support/test_windows.h"

using paint_tests::RepaintClient;
using paint_tests::SkinnedForm;
using testing_support::PumpMessages;
using testing_support::WindowPixel;

namespace {

constexpr COLORREF kImageColour = 0x123456;
constexpr COLORREF kOtherImageColour = 0x0A8040;
constexpr COLORREF kCanvasColour = 0x00AA00;
// The normal face's side column.
constexpr COLORREF kFaceSide = 0xD58F1B;

// An 8 x 6 bitmap of one colour, deleted at scope end.
class SolidBitmap {
public:
    explicit SolidBitmap(COLORREF colour) {
        HDC screen = GetDC(nullptr);
        bitmap_ = CreateCompatibleBitmap(screen, 8, 6);
        HDC memory = CreateCompatibleDC(screen);
        HGDIOBJ previous = SelectObject(memory, bitmap_);
        HBRUSH brush = CreateSolidBrush(colour);
        const RECT all{0, 0, 8, 6};
        FillRect(memory, &all, brush);
        DeleteObject(brush);
        SelectObject(memory, previous);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
    }
    ~SolidBitmap() { DeleteObject(bitmap_); }
    SolidBitmap(const SolidBitmap&) = delete;
    SolidBitmap& operator=(const SolidBitmap&) = delete;
    HBITMAP get() const { return bitmap_; }

private:
    HBITMAP bitmap_;
};

// A 60 x 30 button: the inset area is 56 x 26, so a centred 8 x 6 image covers columns 26 to 33
// and rows 12 to 17.
constexpr RECT kImageRect{26, 12, 34, 18};

::testing::AssertionResult ImageIn(HDC dc, COLORREF colour) {
    for (int y = kImageRect.top - 1; y <= kImageRect.bottom; ++y)
        for (int x = kImageRect.left - 1; x <= kImageRect.right; ++x) {
            const bool inside = x >= kImageRect.left && x < kImageRect.right &&
                                y >= kImageRect.top && y < kImageRect.bottom;
            const COLORREF pixel = GetPixel(dc, x, y);
            if (inside != (pixel == colour))
                return ::testing::AssertionFailure() << "pixel " << x << "," << y;
        }
    return ::testing::AssertionSuccess();
}

constexpr wchar_t kNextProcedure[] = L"TestCanvasNext";

// The program's own painting of a button: a graph, say. Everything else goes on.
LRESULT CALLBACK CanvasProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const WNDPROC next = reinterpret_cast<WNDPROC>(GetPropW(window, kNextProcedure));
    if (message == WM_ERASEBKGND) return 1;
    if (message == WM_PAINT) {
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(window, &paint);
        HBRUSH brush = CreateSolidBrush(kCanvasColour);
        RECT client{};
        GetClientRect(window, &client);
        FillRect(dc, &client, brush);
        DeleteObject(brush);
        EndPaint(window, &paint);
        return 0;
    }
    if (message == WM_NCDESTROY) RemovePropW(window, kNextProcedure);
    return CallWindowProcW(next, window, message, wParam, lParam);
}

void PaintItself(HWND window) {
    SetPropW(window, kNextProcedure,
             reinterpret_cast<HANDLE>(SetWindowLongPtrW(
                 window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CanvasProcedure))));
}

class ButtonImages : public ::testing::Test {
protected:
    void TearDown() override {
        if (attached_) DetachSkin(form_.form());
        PumpMessages();
    }
    void AttachEx(DWORD options) {
        PumpMessages();
        ASSERT_EQ(1, AttachSkinEx(form_.form(), options));
        attached_ = true;
        PumpMessages();
    }
    SkinnedForm form_;
    bool attached_ = false;
};

}  // namespace

TEST_F(ButtonImages, BitmapButtonShowsItsImageOnEveryFaceAndANewOne) {
    SolidBitmap image(kImageColour), other(kOtherImageColour);
    HWND button = form_.AddWindow(L"Button", L"Caption", 20, 20, 60, 30, BS_BITMAP);
    SendMessageW(button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(image.get()));
    HWND plain = form_.AddWindow(L"Button", L"Caption", 100, 20, 60, 30, BS_BITMAP);
    SendMessageW(plain, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(image.get()));
    AttachEx(DORRIK_SKIN_IMAGES);
    ASSERT_EQ(skin::ControlKind::PushButton, skin::AttachedKind(button));

    // Instead of the caption, centred; on the normal, hot and pressed faces as it is.
    for (int state = skin::Normal; state <= skin::Pressed; ++state)
        EXPECT_TRUE(ImageIn(skin::GetStateSurface(button, state), kImageColour)) << state;
    RepaintClient(button);
    HDC dc = GetWindowDC(button);
    EXPECT_TRUE(ImageIn(dc, kImageColour));
    EXPECT_EQ(kFaceSide, GetPixel(dc, 0, 15));
    ReleaseDC(button, dc);
    // The disabled face has it greyed, as the platform greys a disabled image.
    HDC disabled = skin::GetStateSurface(button, skin::Disabled);
    EXPECT_NE(kImageColour, GetPixel(disabled, 29, 14));
    EXPECT_NE(GetPixel(disabled, 20, 14), GetPixel(disabled, 29, 14)) << "no image at all";

    SendMessageW(button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(other.get()));
    EXPECT_TRUE(ImageIn(skin::GetStateSurface(button, skin::Hot), kOtherImageColour));
    PumpMessages();
    dc = GetWindowDC(button);
    EXPECT_TRUE(ImageIn(dc, kOtherImageColour));
    ReleaseDC(button, dc);
    SendMessageW(button, BM_SETIMAGE, IMAGE_BITMAP, 0);
    SendMessageW(plain, BM_SETIMAGE, IMAGE_BITMAP, 0);
    DetachSkin(form_.form());

    // Without the option the face is today's: the caption, no image.
    SendMessageW(plain, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(image.get()));
    attached_ = false;
    ASSERT_EQ(1, AttachSkinEx(form_.form(), 0));
    attached_ = true;
    PumpMessages();
    EXPECT_FALSE(ImageIn(skin::GetStateSurface(plain, skin::Normal), kImageColour));
    SendMessageW(plain, BM_SETIMAGE, IMAGE_BITMAP, 0);
}

TEST_F(ButtonImages, IconButtonShowsItsIcon) {
    // A 32 x 32 icon of the system, in a 60 x 40 button: its centre pixel is the icon's.
    HICON icon = LoadIconW(nullptr, IDI_ERROR);
    ASSERT_NE(nullptr, icon);
    HWND button = form_.AddWindow(L"Button", L"", 20, 20, 60, 40, BS_ICON);
    SendMessageW(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    AttachEx(DORRIK_SKIN_ALL);
    ASSERT_EQ(skin::ControlKind::PushButton, skin::AttachedKind(button));

    // Centred: the 32 x 32 icon covers columns 14 to 45; beside it the face's own centre.
    HDC face = skin::GetStateSurface(button, skin::Normal);
    const COLORREF iconCentre = GetPixel(face, 30, 20);
    const COLORREF faceCentre = GetPixel(face, 5, 20);
    EXPECT_NE(faceCentre, iconCentre) << "no icon on the face";
    EXPECT_EQ(faceCentre, GetPixel(face, 13, 20));
    EXPECT_EQ(faceCentre, GetPixel(face, 46, 20));
}

// The taskmgr case: meters and graphs are plain push buttons without a caption that the
// program's own subclass paints.
TEST_F(ButtonImages, ButtonThatPaintsItselfKeepsItsPainting) {
    HWND canvas = form_.AddWindow(L"Button", L"", 20, 20, 60, 30, BS_PUSHBUTTON);
    PaintItself(canvas);
    HWND empty = form_.AddWindow(L"Button", L"", 100, 20, 60, 30, BS_PUSHBUTTON);
    // Made by a program that uses the ANSI functions: its procedure is asked for in Unicode.
    HWND ansi = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 20, 60, 60,
                                30, form_.form(), nullptr, GetModuleHandleW(nullptr), nullptr);
    AttachEx(DORRIK_SKIN_IMAGES);

    EXPECT_EQ(skin::ControlKind::Other, skin::AttachedKind(canvas));
    EXPECT_EQ(BS_PUSHBUTTON, GetWindowLongW(canvas, GWL_STYLE) & BS_TYPEMASK);
    RepaintClient(canvas);
    EXPECT_EQ(kCanvasColour, WindowPixel(canvas, 1, 1));
    EXPECT_EQ(kCanvasColour, WindowPixel(canvas, 30, 15));
    // A button without caption or image of the class's own procedure is a button.
    EXPECT_EQ(skin::ControlKind::PushButton, skin::AttachedKind(empty));
    EXPECT_EQ(skin::ControlKind::PushButton, skin::AttachedKind(ansi));

    // Made later inside the form, hidden, and subclassed before it is shown (as a dialog's
    // controls are while it initialises): the same.
    HWND later = CreateWindowExW(0, L"Button", L"", WS_CHILD | BS_PUSHBUTTON, 180, 20, 60, 30,
                                 form_.form(), nullptr, GetModuleHandleW(nullptr), nullptr);
    PaintItself(later);
    ShowWindow(later, SW_SHOWNA);
    PumpMessages();
    RepaintClient(later);
    EXPECT_TRUE(skin::IsAttached(later));
    EXPECT_EQ(skin::ControlKind::Other, skin::AttachedKind(later));
    EXPECT_EQ(kCanvasColour, WindowPixel(later, 30, 15));

    DestroyWindow(later);
    DestroyWindow(ansi);
    DetachSkin(form_.form());
    attached_ = false;
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(CanvasProcedure), GetWindowLongPtrW(canvas, GWLP_WNDPROC));
    EXPECT_TRUE(testing_support::SkinPropertyNames(canvas).empty());
    // Under plain AttachSkin it is a push button, as before.
    ASSERT_EQ(1, AttachSkin(form_.form()));
    attached_ = true;
    EXPECT_EQ(skin::ControlKind::PushButton, skin::AttachedKind(canvas));
}
