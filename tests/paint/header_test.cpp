// Header controls: the full repaint of a real SysHeader32 and the single-item renderer.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "core/props.h"
#include "dorrik_skin.h"
#include "paint/paint_fixture.h"
#include "render/header_renderer.h"
#include "render/primitives.h"
#include "support/test_windows.h"

using paint_tests::CoverWindow;
using paint_tests::kCover;
using paint_tests::RepaintClient;
using paint_tests::SkinnedForm;
using testing_support::DCPixel;
using testing_support::WindowPixel;

namespace {

// HeaderImage column 1 (the background strip), rows 0 to 19.
const COLORREF kStrip[20] = {0xFEF5EA, 0xFEF4E9, 0xFDF3E8, 0xFDF2E6, 0xFCF1E4, 0xFCF0E2, 0xFBEFE0,
                             0xFBEDDF, 0xFAECDD, 0xF6E5D3, 0xF6E5D3, 0xF6E5D3, 0xF6E5D3, 0xF6E5D3,
                             0xF6E5D3, 0xF6E5D3, 0xF6E5D3, 0xF6E5D3, 0xF6E5D3, 0xF2DAC0};

// First rows of the three frames (left, centre, right column), and the shared last row.
struct FrameTop {
    COLORREF left, centre, right;
};
constexpr FrameTop kNormalTop = {0xFEF5EA, 0xFEF5EA, 0xFEF5EA};
constexpr FrameTop kHotTop = {0xFDE6BD, 0xFEEED3, 0xFDE6BD};
constexpr FrameTop kPressedTop = {0xFBD797, 0xFBD797, 0xFBD797};
constexpr COLORREF kPressedSecondRowSide = 0xFACE7E, kPressedSecondRowCentre = 0xFFDC9F;
constexpr COLORREF kHotSecondRowSide = 0xFCDEA7;
constexpr COLORREF kLastRow = 0xF2DAC0;

HWND AddHeader(SkinnedForm& form, int height) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    return form.AddWindow(WC_HEADERW, L"", 20, 20, 300, height, HDS_HORZ | HDS_BUTTONS);
}

void AddItem(HWND header, int width, const wchar_t* text) {
    HDITEMW item{};
    item.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT;
    item.cxy = width;
    item.pszText = const_cast<wchar_t*>(text);
    item.fmt = HDF_STRING | HDF_CENTER;
    const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    SendMessageW(header, HDM_INSERTITEMW, static_cast<WPARAM>(count),
                 reinterpret_cast<LPARAM>(&item));
}

// Items 0 to 50, 50 to 130 (no text), 130 to 200, in a 24-high header.
HWND AddHeaderWithThreeItems(SkinnedForm& form) {
    HWND header = AddHeader(form, 24);
    AddItem(header, 50, L"A");
    AddItem(header, 80, L"");
    AddItem(header, 70, L"WWWW");
    return header;
}

bool IsDark(COLORREF colour) {
    return GetRValue(colour) < 0x80 && GetGValue(colour) < 0x80 && GetBValue(colour) < 0x80;
}

// Whether any pixel of columns [left, right) and rows [top, bottom) is dark.
bool HasDarkPixel(HWND window, int left, int right, int top, int bottom) {
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            if (IsDark(WindowPixel(window, x, y))) return true;
        }
    }
    return false;
}

void ExpectTop(HWND header, int left, int right, const FrameTop& top) {
    EXPECT_EQ(top.left, WindowPixel(header, left, 0)) << left;
    EXPECT_EQ(top.centre, WindowPixel(header, (left + right) / 2, 0)) << left;
    EXPECT_EQ(top.right, WindowPixel(header, right - 1, 0)) << left;
}

}  // namespace

TEST(HeaderPaint, WithoutItemsOnlyTheBackgroundStrip) {
    SkinnedForm form;
    HWND header = AddHeader(form, 20);
    form.Attach();

    CoverWindow(header);
    RepaintClient(header);
    for (int y = 0; y < 20; ++y) {
        for (const int x : {0, 1, 150, 299}) EXPECT_EQ(kStrip[y], WindowPixel(header, x, y)) << x << "," << y;
    }
}

TEST(HeaderPaint, EveryItemGetsTheFrameOfItsStateAndItsText) {
    SkinnedForm form;
    HWND header = AddHeaderWithThreeItems(form);
    form.Attach();
    // Item 0 hot, item 1 both pressed and hot: pressed wins.
    skin::SetSkinProp(header, skin::kPropHmIndex, 1);
    skin::SetSkinProp(header, skin::kPropHdIndex, 1);

    CoverWindow(header);
    RepaintClient(header);
    ExpectTop(header, 0, 50, kNormalTop);
    ExpectTop(header, 50, 130, kPressedTop);
    ExpectTop(header, 130, 200, kNormalTop);
    EXPECT_EQ(kPressedSecondRowSide, WindowPixel(header, 50, 1));
    EXPECT_EQ(kPressedSecondRowCentre, WindowPixel(header, 90, 1));
    EXPECT_EQ(kPressedSecondRowSide, WindowPixel(header, 129, 1));
    for (const int x : {10, 50, 90, 129, 160, 250}) EXPECT_EQ(kLastRow, WindowPixel(header, x, 23)) << x;
    // Beyond the items, the background strip.
    EXPECT_EQ(kStrip[0], WindowPixel(header, 250, 0));

    // The empty text draws nothing: every column of the centre repeats column 51.
    for (int y = 1; y < 23; ++y) {
        for (int x = 52; x < 129; ++x) ASSERT_EQ(WindowPixel(header, 51, y), WindowPixel(header, x, y)) << x << "," << y;
    }
    EXPECT_TRUE(HasDarkPixel(header, 131, 199, 1, 23));
    EXPECT_TRUE(HasDarkPixel(header, 1, 49, 1, 23));

    skin::SetSkinProp(header, skin::kPropHmIndex, 0);
    skin::SetSkinProp(header, skin::kPropHdIndex, -1);
    RepaintClient(header);
    ExpectTop(header, 0, 50, kHotTop);
    EXPECT_EQ(kHotSecondRowSide, WindowPixel(header, 0, 1));
    ExpectTop(header, 50, 130, kNormalTop);
}

TEST(HeaderItem, DrawsOneItemStretchedOverTheHeaderHeight) {
    SkinnedForm form;
    HWND header = AddHeaderWithThreeItems(form);
    form.Attach();

    CoverWindow(header);
    EXPECT_EQ(0, skin::PaintHeaderItem(header, nullptr, 1, skin::Hot));
    ExpectTop(header, 50, 130, kHotTop);
    EXPECT_EQ(kHotSecondRowSide, WindowPixel(header, 50, 1));
    EXPECT_EQ(kHotSecondRowSide, WindowPixel(header, 129, 1));
    for (const int x : {50, 90, 129}) EXPECT_EQ(kLastRow, WindowPixel(header, x, 23)) << x;
    for (int y = 0; y < 24; ++y) {
        EXPECT_EQ(kCover, WindowPixel(header, 49, y)) << y;
        EXPECT_EQ(kCover, WindowPixel(header, 130, y)) << y;
    }

    // Any state but hot and pressed is the normal frame.
    EXPECT_EQ(0, skin::PaintHeaderItem(header, nullptr, 1, 5));
    ExpectTop(header, 50, 130, kNormalTop);

    // No item: nothing drawn.
    CoverWindow(header);
    EXPECT_EQ(0, skin::PaintHeaderItem(header, nullptr, -1, skin::Pressed));
    EXPECT_EQ(0, skin::PaintHeaderItem(header, nullptr, 7, skin::Pressed));
    for (const int x : {0, 25, 90, 160, 299}) EXPECT_EQ(kCover, WindowPixel(header, x, 0)) << x;
}

TEST(HeaderItem, DrawsIntoAGivenTargetInHeaderCoordinates) {
    SkinnedForm form;
    HWND header = AddHeaderWithThreeItems(form);
    form.Attach();

    skin::ScopedMemorySurface target(300, 24);
    skin::FillSolid(target.get(), 0, 0, 300, 24, kCover);
    skin::PaintHeaderItem(header, target.get(), 2, skin::Pressed);
    EXPECT_EQ(kCover, DCPixel(target.get(), 129, 0));
    EXPECT_EQ(kPressedTop.left, DCPixel(target.get(), 130, 0));
    EXPECT_EQ(kPressedTop.right, DCPixel(target.get(), 199, 0));
    EXPECT_EQ(kCover, DCPixel(target.get(), 200, 0));
    bool dark = false;
    for (int y = 1; y < 23 && !dark; ++y) {
        for (int x = 131; x < 199 && !dark; ++x) dark = IsDark(DCPixel(target.get(), x, y));
    }
    EXPECT_TRUE(dark);
}

TEST(HeaderItem, TextIsReadAsUnicodeUpTo255Characters) {
    SkinnedForm form;
    HWND header = AddHeader(form, 24);
    const std::wstring chinese = L"\u5173\u95ed\u5149\u9a71";
    const std::wstring longText(300, L'x');
    AddItem(header, 50, chinese.c_str());
    AddItem(header, 50, longText.c_str());
    AddItem(header, 50, L"");

    EXPECT_EQ(chinese, skin::GetHeaderItemText(header, 0));
    EXPECT_EQ(std::wstring(255, L'x'), skin::GetHeaderItemText(header, 1));
    EXPECT_EQ(L"", skin::GetHeaderItemText(header, 2));
    EXPECT_EQ(L"", skin::GetHeaderItemText(header, 3));
}

namespace {

void AddFormattedItem(HWND header, int width, const wchar_t* text, int format, int image = -1) {
    HDITEMW item{};
    item.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT | (image >= 0 ? HDI_IMAGE : 0);
    item.cxy = width;
    item.pszText = const_cast<wchar_t*>(text);
    item.fmt = HDF_STRING | format;
    item.iImage = image;
    const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    SendMessageW(header, HDM_INSERTITEMW, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(&item));
}

// Whether a pixel of colour lies in columns [left, right) and rows [top, bottom).
bool HasPixel(HWND window, COLORREF colour, int left, int right, int top, int bottom) {
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            if (WindowPixel(window, x, y) == colour) return true;
        }
    }
    return false;
}

}  // namespace

// Under the whole look a column's caption follows its alignment and ends before the divider, and
// the column's sort arrow and image are shown; under AttachSkin every caption stays centred.
TEST(HeaderPaint, TheWholeLookFollowsTheColumnsFormat) {
    constexpr COLORREF kArrow = 0x5F5519;
    constexpr COLORREF kImageColour = 0x0000FF;
    SkinnedForm form;
    HWND header = AddHeader(form, 24);
    HIMAGELIST images = ImageList_Create(8, 8, ILC_COLOR24, 1, 0);
    {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), 8, 8, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HBITMAP red = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        auto* bytes = static_cast<BYTE*>(bits);
        for (int i = 0; i < 8 * 8; ++i) bytes[i * 3] = 0, bytes[i * 3 + 1] = 0, bytes[i * 3 + 2] = 0xFF;
        ImageList_Add(images, red, nullptr);
        DeleteObject(red);
    }
    SendMessageW(header, HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    AddFormattedItem(header, 100, L"A", HDF_LEFT);                  //   0 .. 100
    AddFormattedItem(header, 100, L"A", HDF_RIGHT);                 // 100 .. 200
    AddFormattedItem(header, 40, L"WWWWWWWWWWWW", HDF_LEFT);         // 200 .. 240
    AddFormattedItem(header, 60, L"", HDF_LEFT | HDF_SORTUP | HDF_IMAGE, 0);  // 240 .. 300

    form.Attach();
    CoverWindow(header);
    RepaintClient(header);
    EXPECT_TRUE(HasDarkPixel(header, 40, 60, 1, 23)) << "plain AttachSkin centres every caption";
    EXPECT_FALSE(HasPixel(header, kArrow, 240, 300, 1, 23));
    form.Detach();

    ASSERT_EQ(1, AttachSkinEx(form.form(), 0));
    CoverWindow(header);
    RepaintClient(header);
    EXPECT_TRUE(HasDarkPixel(header, 1, 20, 1, 23)) << "left";
    EXPECT_FALSE(HasDarkPixel(header, 40, 99, 1, 23)) << "left";
    EXPECT_TRUE(HasDarkPixel(header, 180, 199, 1, 23)) << "right";
    EXPECT_FALSE(HasDarkPixel(header, 101, 160, 1, 23)) << "right";
    // Too long: cut short of the divider, with room to spare before it.
    EXPECT_TRUE(HasDarkPixel(header, 201, 230, 1, 23));
    EXPECT_FALSE(HasDarkPixel(header, 236, 240, 1, 23));
    EXPECT_TRUE(HasPixel(header, kArrow, 270, 299, 1, 23)) << "the sort arrow";
    EXPECT_TRUE(HasPixel(header, kImageColour, 241, 270, 1, 23)) << "the image";
    DetachSkin(form.form());
    ImageList_Destroy(images);
}
