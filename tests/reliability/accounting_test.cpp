// The object accounting itself: it must count what real Windows would hold, not what Wine frees.
#include <gtest/gtest.h>
#include <windows.h>

#include "control_classes.h"
#include "reliability_fixture.h"

using testing_support::CountGdiFaults;
using testing_support::CountLiveObjects;
using testing_support::GdiFaults;
using testing_support::LiveObjects;

namespace reliability {
namespace {

using AccountingTest = ReliabilityTest;

HWND MakeWindow() {
    controls::RegisterControlClasses();
    return CreateWindowExW(0, controls::kFormClass, L"Accounting", WS_POPUP | WS_VISIBLE, 600, 400,
                           120, 80, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

TEST_F(AccountingTest, SelectedBitmapIsNotDeletedAndDeleteDCLetsItGo) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 8, 8);
    ReleaseDC(nullptr, screen);
    HGDIOBJ initial = SelectObject(memory, bitmap);
    EXPECT_EQ(1, LiveSince(before_).createdContexts);
    EXPECT_EQ(1, LiveSince(before_).bitmaps);

    // Windows refuses and keeps the bitmap; the accounting does the same, really.
    EXPECT_FALSE(DeleteObject(bitmap));
    EXPECT_EQ(static_cast<DWORD>(OBJ_BITMAP), GetObjectType(bitmap));
    EXPECT_EQ(1, LiveSince(before_).bitmaps);
    EXPECT_EQ(faultsBefore_.refusedDeletes + 1, CountGdiFaults().refusedDeletes);

    // Selecting the initial bitmap back frees it; so does deleting the context.
    SelectObject(memory, initial);
    SelectObject(memory, bitmap);
    EXPECT_TRUE(DeleteDC(memory));
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_EQ(LiveObjects{}, LiveSince(before_));

    // The initial bitmap, like every stock object, is never counted; deleting it is harmless.
    DeleteObject(initial);
    DeleteObject(GetStockObject(WHITE_BRUSH));
    faultsBefore_ = CountGdiFaults();  // the refusal above was on purpose
}

TEST_F(AccountingTest, WindowRegionBelongsToTheSystemWhileTheWindowHasIt) {
    HWND window = MakeWindow();
    HRGN region = CreateRectRgn(0, 0, 50, 40);
    EXPECT_EQ(1, LiveSince(before_).regions);
    ASSERT_NE(0, SetWindowRgn(window, region, TRUE));
    EXPECT_EQ(0, LiveSince(before_).regions);
    EXPECT_EQ(1, LiveSince(before_).windowRegions);

    // The program no longer owns it: deleting it is a fault and is not done.
    EXPECT_FALSE(DeleteObject(region));
    EXPECT_EQ(faultsBefore_.systemRegionDeletes + 1, CountGdiFaults().systemRegionDeletes);
    faultsBefore_ = CountGdiFaults();

    // A new region replaces it (the system frees the old one); none at all restores the window.
    SetWindowRgn(window, CreateRectRgn(0, 0, 30, 30), TRUE);
    EXPECT_EQ(1, LiveSince(before_).windowRegions);
    SetWindowRgn(window, nullptr, TRUE);
    EXPECT_EQ(0, LiveSince(before_).windowRegions);

    // A window that goes takes its region with it.
    SetWindowRgn(window, CreateRectRgn(0, 0, 30, 30), TRUE);
    DestroyWindow(window);
    EXPECT_EQ(LiveObjects{}, LiveSince(before_));
}

TEST_F(AccountingTest, ContextsTimersAndDrawingObjectsAreCountedUntilReleased) {
    HWND window = MakeWindow();
    HDC dc = GetWindowDC(window);
    HDC client = GetDC(window);
    EXPECT_EQ(2, LiveSince(before_).windowContexts);
    HBRUSH brush = CreateSolidBrush(0x123456);
    HPEN pen = CreatePen(PS_SOLID, 1, 0);
    HFONT font =
        CreateFontW(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
    HPALETTE palette = CreateHalftonePalette(dc);
    EXPECT_EQ(1, LiveSince(before_).brushes);
    EXPECT_EQ(1, LiveSince(before_).pens);
    EXPECT_EQ(1, LiveSince(before_).fonts);
    EXPECT_EQ(1, LiveSince(before_).palettes);

    // A font selected into a context cannot go until it is deselected.
    HGDIOBJ oldFont = SelectObject(client, font);
    EXPECT_FALSE(DeleteObject(font));
    SelectObject(client, oldFont);
    faultsBefore_.refusedDeletes += 1;
    for (HGDIOBJ object : {static_cast<HGDIOBJ>(brush), static_cast<HGDIOBJ>(pen),
                           static_cast<HGDIOBJ>(font), static_cast<HGDIOBJ>(palette)})
        EXPECT_TRUE(DeleteObject(object));
    ReleaseDC(window, client);
    ReleaseDC(window, dc);

    EXPECT_NE(0u, SetTimer(window, 7, 1000, nullptr));
    EXPECT_NE(0u, SetTimer(window, 7, 500, nullptr));  // the same timer, reset
    EXPECT_NE(0u, SetTimer(window, 8, 1000, nullptr));
    EXPECT_EQ(2, LiveSince(before_).timers);
    KillTimer(window, 7);
    EXPECT_EQ(1, LiveSince(before_).timers);

    InvalidateRect(window, nullptr, FALSE);
    PAINTSTRUCT paint{};
    BeginPaint(window, &paint);
    EXPECT_EQ(1, LiveSince(before_).windowContexts);
    EndPaint(window, &paint);

    DestroyWindow(window);  // takes timer 8 with it
    EXPECT_EQ(LiveObjects{}, LiveSince(before_));
}

}  // namespace
}  // namespace reliability
