#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <cstdio>
#include "control_classes.h"
#include "support/test_windows.h"
TEST(Probe, Metrics) {
    std::printf("vscroll %d hscroll %d menucheck %d x %d\n", GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL), GetSystemMetrics(SM_CXMENUCHECK), GetSystemMetrics(SM_CYMENUCHECK));
    testing_support::TestWindow form(400, 300);
    HWND combo = controls::CreateControl(controls::kComboBoxClass, L"", form.get(), 10, 10, 100, 200);
    RECT r; GetWindowRect(combo, &r);
    std::printf("combo %ld x %ld itemh %d\n", r.right - r.left, r.bottom - r.top, (int)SendMessageW(combo, CB_GETITEMHEIGHT, (WPARAM)-1, 0));
    SendMessageW(combo, CB_SETITEMHEIGHT, (WPARAM)-1, 15);
    GetWindowRect(combo, &r);
    std::printf("combo %ld x %ld\n", r.right - r.left, r.bottom - r.top);
}
