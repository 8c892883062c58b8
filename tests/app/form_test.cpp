// Form1 in the test's own process: layout, fonts that cover every caption, the link's looks.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "core/attach.h"
#include "core/props.h"
#include "dorrik_skin.h"
#include "main_form.h"
#include "support/test_windows.h"

using testing_support::PumpMessages;

namespace {

class FormTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = app::CreateMainForm(GetModuleHandleW(nullptr));
        ASSERT_TRUE(form);
        ShowWindow(form, SW_SHOWNORMAL);
        UpdateWindow(form);
        PumpMessages();
        parts = app::GetFormParts(form);
        ASSERT_TRUE(parts);
    }
    void TearDown() override {
        if (IsWindow(form)) SendMessageW(form, WM_CLOSE, 0, 0);
        PumpMessages();
        EXPECT_EQ(0, skin::Engine().skinnedWindowCount);
    }
    void MoveTo(int x, int y) {
        SendMessageW(form, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        PumpMessages();
    }
    // The longest run of pixels of exactly this colour on one row of Label2.
    int LongestRowInLink(COLORREF colour) {
        HDC dc = GetDC(form);
        int longest = 0;
        for (int y = app::kLabel2Rect.top; y < app::kClientHeight; ++y) {
            int run = 0;
            for (int x = app::kLabel2Rect.left; x < app::kLabel2Rect.right; ++x) {
                run = GetPixel(dc, x, y) == colour ? run + 1 : 0;
                if (run > longest) longest = run;
            }
        }
        ReleaseDC(form, dc);
        return longest;
    }

    HWND form = nullptr;
    const app::FormParts* parts = nullptr;
};

RECT RectIn(HWND window, HWND container) {
    RECT rect;
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, container, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void ExpectRect(const RECT& expected, const RECT& actual) {
    EXPECT_EQ(expected.left, actual.left);
    EXPECT_EQ(expected.top, actual.top);
    EXPECT_EQ(expected.right, actual.right);
    EXPECT_EQ(expected.bottom, actual.bottom);
}

// Glyphs that the font itself lacks, for a text drawn with it.
int MissingGlyphs(HFONT font, const std::wstring& text) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, font);
    std::wstring glyphs(text.size(), L'\0');
    GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()),
                     reinterpret_cast<WORD*>(glyphs.data()), GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    int missing = 0;
    for (wchar_t g : glyphs) missing += g == 0xFFFF;
    return missing;
}

}  // namespace

TEST_F(FormTest, LayoutInPixels) {
    RECT client;
    GetClientRect(form, &client);
    EXPECT_EQ(264, client.right);
    EXPECT_EQ(79, client.bottom);
    ExpectRect({8, 0, 257, 57}, RectIn(parts->frame, form));
    ExpectRect({8, 16, 121, 49}, RectIn(parts->command1, parts->frame));
    ExpectRect({128, 16, 241, 49}, RectIn(parts->command2, parts->frame));

    wchar_t text[64] = {};
    GetWindowTextW(form, text, 64);
    EXPECT_STREQ(L"Dorrik", text);
    GetWindowTextW(parts->command1, text, 64);
    EXPECT_STREQ(L"关闭光驱", text);
    GetWindowTextW(parts->command2, text, 64);
    EXPECT_STREQ(L"打开光驱", text);

    // Centred on the screen, with a fixed border and a minimise box only.
    const LONG style = GetWindowLongW(form, GWL_STYLE);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
    RECT window, work;
    GetWindowRect(form, &window);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_LE(std::abs((window.left + window.right) - (work.left + work.right)), 1);
    EXPECT_LE(std::abs((window.top + window.bottom) - (work.top + work.bottom)), 1);
}

TEST_F(FormTest, LoadSkinsFormFrameAndButtonsAndCloseTakesItOff) {
    EXPECT_EQ(4, skin::Engine().skinnedWindowCount);
    for (HWND w : {form, parts->frame, parts->command1, parts->command2})
        EXPECT_NE(0, skin::GetSkinProp(w, skin::kPropProcAddr));
    EXPECT_EQ(0, skin::GetSkinProp(parts->tooltip, skin::kPropProcAddr));
    HWND button = parts->command1;
    SendMessageW(form, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(form));
    EXPECT_FALSE(IsWindow(button));
    EXPECT_EQ(0, skin::Engine().skinnedWindowCount);
    EXPECT_FALSE(skin::Engine().initialised);
}

TEST_F(FormTest, EveryCaptionHasGlyphsInTheFontThatDrawsIt) {
    for (const wchar_t* caption : {app::kCloseTrayCaption, app::kOpenTrayCaption, app::kVendorCaption})
        EXPECT_EQ(0, MissingGlyphs(parts->uiFont, caption)) << caption;
    EXPECT_EQ(0, MissingGlyphs(parts->linkFont.get(), app::kForumAddress));
    EXPECT_EQ(0, MissingGlyphs(parts->linkHotFont.get(), app::kForumAddress));
    HFONT tipFont = reinterpret_cast<HFONT>(SendMessageW(parts->tooltip, WM_GETFONT, 0, 0));
    if (!tipFont) tipFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    EXPECT_EQ(0, MissingGlyphs(tipFont, app::kForumTooltip));
    // The buttons draw with the UI font.
    EXPECT_EQ(reinterpret_cast<LRESULT>(parts->uiFont), SendMessageW(parts->command1, WM_GETFONT, 0, 0));

    LOGFONTW link{};
    GetObjectW(parts->linkFont.get(), sizeof(link), &link);
    EXPECT_STREQ(L"宋体", link.lfFaceName);
    EXPECT_EQ(134, link.lfCharSet);
    EXPECT_TRUE(link.lfItalic);
    EXPECT_EQ(400, link.lfWeight);
    EXPECT_EQ(-12, link.lfHeight);  // 9 points at 96 dots per inch
}

TEST_F(FormTest, LinkUnderlineFollowsTheMouse) {
    const COLORREF green = 0x008000, blue = 0xFF0000;
    EXPECT_FALSE(parts->linkUnderlined);
    EXPECT_EQ(green, parts->linkColour);
    EXPECT_LT(LongestRowInLink(blue), 40);

    MoveTo(150, 70);  // over Label2
    EXPECT_TRUE(parts->linkUnderlined);
    EXPECT_EQ(blue, parts->linkColour);
    EXPECT_GE(LongestRowInLink(blue), 100);  // the underline: one unbroken row of blue

    MoveTo(50, 70);  // over Label1: nothing changes
    EXPECT_TRUE(parts->linkUnderlined);

    MoveTo(261, 70);  // the form's own surface: no underline, the colour stays blue
    EXPECT_FALSE(parts->linkUnderlined);
    EXPECT_EQ(blue, parts->linkColour);
    EXPECT_LT(LongestRowInLink(blue), 40);

    MoveTo(110, 66);  // back over the link
    EXPECT_TRUE(parts->linkUnderlined);
}

// From the link onto the frame or a button, with the left button held (the form then has the
// mouse) or not: the underline stays; only the form's own surface takes it off.
TEST_F(FormTest, LinkKeepsItsUnderlineOverTheFrameAndTheButtons) {
    struct Point {
        int x, y;
        const char* where;
    };
    const Point onFrameOrButton[] = {{72, 32, "Command1"}, {192, 32, "Command2"}, {12, 30, "the frame"},
                                     {124, 52, "the frame between the buttons"}};
    for (const bool held : {false, true}) {
        MoveTo(150, 70);
        ASSERT_TRUE(parts->linkUnderlined);
        if (held) {
            SendMessageW(form, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 70));
            EXPECT_EQ(form, GetCapture());
        }
        for (const Point& point : onFrameOrButton) {
            SendMessageW(form, WM_MOUSEMOVE, held ? MK_LBUTTON : 0, MAKELPARAM(point.x, point.y));
            PumpMessages();
            EXPECT_TRUE(parts->linkUnderlined) << "over " << point.where << (held ? ", button held" : "");
        }
        SendMessageW(form, WM_MOUSEMOVE, held ? MK_LBUTTON : 0, MAKELPARAM(261, 70));
        PumpMessages();
        EXPECT_FALSE(parts->linkUnderlined) << "the form's own surface" << (held ? ", button held" : "");
        if (held) {
            SendMessageW(form, WM_LBUTTONUP, 0, MAKELPARAM(261, 70));
            EXPECT_EQ(nullptr, GetCapture());
        }
    }
}

TEST(Forum, CommandLineQuotesTheAddressWithItsTrailingSlash) {
    EXPECT_EQ(L"rundll32.exe url.dll,FileProtocolHandler \"http://bbs.quillbeck.com/\"",
              app::ForumCommandLine());
}
