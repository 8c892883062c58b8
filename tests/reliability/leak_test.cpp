// Leaks: what each kind holds while skinned, and many cycles of use over a form of every kind.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include "control_classes.h"
#include "core/attach.h"
#include "core/props.h"
#include "dorrik_skin.h"
#include "../support/test_windows.h"
#include "reliability_fixture.h"
#include "render/image_set.h"
#include "support/window_names.h"

using testing_support::CountLiveObjects;
using testing_support::Describe;
using testing_support::LiveObjects;
using testing_support::PumpMessages;
using testing_support::SkinPropertyNames;

namespace reliability {
namespace {

using LeakTest = ReliabilityTest;

// A cycle takes about a second under Wine (every release repaints the check boxes beside the
// control), so the suite runs a few dozen; bench/fuzz_long_bench.cpp runs ten thousand.
constexpr int kSuiteCycles = 30;
// Every so many cycles the form is destroyed and made anew.
constexpr int kCyclesPerForm = 10;

LiveObjects ImageSet() {
    LiveObjects objects;
    objects.createdContexts = kImageSetContexts;
    objects.bitmaps = kImageSetBitmaps;
    return objects;
}

TEST_F(LeakTest, ImageSetComesWithTheFirstAttachAndGoesWithTheLastDetach) {
    // An attach of nothing starts nothing: no images, no hook.
    EXPECT_EQ(0, AttachSkin(nullptr));
    EXPECT_EQ(LiveObjects{}, LiveSince(before_));
    EXPECT_FALSE(skin::Engine().initialised);

    testing_support::TestWindow plain(10, 10, L"Static");
    ASSERT_EQ(1, AttachSkin(plain.get()));
    EXPECT_EQ(ImageSet(), LiveSince(before_));
    ASSERT_EQ(1, DetachSkin(plain.get()));

    EveryKindForm form = CreateEveryKindForm();
    ASSERT_EQ(1, AttachSkin(form.form));
    ASSERT_EQ(1, DetachSkin(form.form));
    EXPECT_EQ(LiveObjects{}, LiveSince(before_)) << Describe(LiveSince(before_));
    EXPECT_FALSE(skin::Engine().initialised);
    EXPECT_EQ(nullptr, skin::SkinImages().ButtonFaceImage);
}

// A push button holds four state surfaces (a context and a bitmap each) and its region; no other
// kind holds anything of its own.
TEST_F(LeakTest, EachKindHoldsOnlyWhatItNeedsWhileAttached) {
    EveryKindForm form = CreateEveryKindForm();
    // A skinned window of its own keeps the engine (and the image set) alive between the kinds.
    HWND anchor = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_EQ(1, AttachSkin(anchor));
    for (int slot = 0; slot < kSlotCount; ++slot) {
        HWND window = form.children[slot];
        const LiveObjects start = CountLiveObjects();
        ASSERT_EQ(1, skin::AttachWindow(window)) << slot;
        PumpMessages();
        LiveObjects expected;
        if (slot == kCommand1 || slot == kCommand2 || slot == kDefaultButton ||
            slot == kButtonCheck) {
            expected.createdContexts = 4;
            expected.bitmaps = 4;
            expected.windowRegions = 1;
        }
        EXPECT_EQ(expected, LiveSince(start))
            << "slot " << slot << ": " << Describe(LiveSince(start));
        if (slot == kCommand1) {
            EXPECT_EQ(9, LiveSince(start).Total());
            EXPECT_EQ(4, LiveSince(start).Contexts());
        }
        ASSERT_EQ(1, skin::DetachWindow(window));
        PumpMessages();
        EXPECT_EQ(1, skin::Engine().skinnedWindowCount) << "slot " << slot << ": only the anchor";
        EXPECT_EQ(LiveObjects{}, LiveSince(start))
            << "slot " << slot << ": " << Describe(LiveSince(start));
    }
    ASSERT_EQ(1, DetachSkin(anchor));
    EXPECT_FALSE(skin::Engine().initialised);
    DestroyWindow(anchor);
    EXPECT_EQ(LiveObjects{}, LiveSince(before_)) << Describe(LiveSince(before_));
}

TEST_F(LeakTest, CyclesOfUseOverAFormOfEveryKindLeaveNothingBehind) {
    EveryKindForm form = CreateEveryKindForm();
    LiveObjects start = CountLiveObjects();
    for (int cycle = 0; cycle < kSuiteCycles; ++cycle) {
        RunUseCycle(form);
        ASSERT_EQ("", CheckSkinInvariants()) << "cycle " << cycle;
        // After the detach the form is back as it was, and the image set is gone too.
        for (HWND window : FormWindows(form.form))
            ASSERT_TRUE(SkinPropertyNames(window).empty())
                << "cycle " << cycle << ", window " << window;
        ASSERT_EQ(0, skin::Engine().skinnedWindowCount) << "cycle " << cycle;
        ASSERT_FALSE(skin::Engine().initialised) << "cycle " << cycle;
        ASSERT_EQ(nullptr, skin::SkinImages().ButtonFaceImage) << "cycle " << cycle;
        ASSERT_EQ(start, CountLiveObjects())
            << "cycle " << cycle << ": " << Describe(CountLiveObjects()) << "\nexpected "
            << Describe(start);

        if ((cycle + 1) % kCyclesPerForm == 0) {
            DestroyWindow(form.form);
            PumpMessages();
            ASSERT_EQ(LiveObjects{}, LiveSince(before_))
                << "cycle " << cycle << ": " << Describe(LiveSince(before_));
            form = CreateEveryKindForm();
            start = CountLiveObjects();
        }
    }
    DestroyWindow(form.form);
    PumpMessages();
    EXPECT_EQ(LiveObjects{}, LiveSince(before_)) << Describe(LiveSince(before_));
}

// The message box that the form's modal loop shows: whether it was skinned, then closed.
bool messageBoxSkinned = false;
int messageBoxButtonsSkinned = 0;

BOOL CALLBACK CountSkinnedButton(HWND window, LPARAM) {
    if (GetPropA(window, skin::kPropProcAddr) && skin::GetClassNameLower(window) == "button")
        ++messageBoxButtonsSkinned;
    return TRUE;
}

int messageBoxTicks = 0;

// The box is skinned when its loop first goes idle (WM_ENTERIDLE to the form). On a busy machine
// the first tick can come before that, so the box is given a few seconds of ticks to get there.
VOID CALLBACK CloseMessageBox(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = FindWindowW(L"#32770", L"Reliability");
    if (!box) return;  // not shown yet: the next tick tries again
    if (!GetPropA(box, skin::kPropProcAddr) && ++messageBoxTicks < 100) return;
    KillTimer(nullptr, timer);
    messageBoxSkinned = GetPropA(box, skin::kPropProcAddr) != nullptr;
    EnumChildWindows(box, CountSkinnedButton, 0);
    PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
}

TEST_F(LeakTest, MessageBoxesOverTheFormAreSkinnedAndLeaveNothingBehind) {
    EveryKindForm form = CreateEveryKindForm();
    ASSERT_EQ(1, AttachSkin(form.form));
    const int count = skin::Engine().skinnedWindowCount;
    const LiveObjects start = CountLiveObjects();
    for (int i = 0; i < 5; ++i) {
        messageBoxSkinned = false;
        messageBoxButtonsSkinned = 0;
        messageBoxTicks = 0;
        SetTimer(nullptr, 0, 30, CloseMessageBox);
        MessageBoxW(form.form, L"Open the tray?", L"Reliability", MB_OKCANCEL);
        EXPECT_TRUE(messageBoxSkinned) << i;
        EXPECT_EQ(2, messageBoxButtonsSkinned) << i;
        PumpMessages();
        EXPECT_EQ(count, skin::Engine().skinnedWindowCount) << i;
        EXPECT_EQ(start, CountLiveObjects()) << i << ": " << Describe(CountLiveObjects());
    }
    ASSERT_EQ(1, DetachSkin(form.form));
}

// DetachSkin takes the skin off the form and everything in it. A combo box's drop-down list is
// not a descendant of the form: it is attached when its combo box reports it, so it must be taken
// off with its combo box, or it stays skinned (and keeps the image set alive) after the form is
// detached.
TEST_F(LeakTest, DetachingAFormAlsoTakesTheSkinOffItsDropDownLists) {
    EveryKindForm form = CreateEveryKindForm();
    ASSERT_EQ(1, AttachSkin(form.form));
    SendMessageW(form.children[kListCombo], CB_SHOWDROPDOWN, TRUE, 0);
    PumpMessages();
    SendMessageW(form.children[kListCombo], CB_SHOWDROPDOWN, FALSE, 0);
    const std::vector<HWND> lists = DropDownLists(form.form);
    ASSERT_FALSE(lists.empty());
    bool listSkinned = false;
    for (HWND list : lists) listSkinned = listSkinned || GetPropA(list, skin::kPropProcAddr);
    ASSERT_TRUE(listSkinned) << "the dropped list was not attached";

    ASSERT_EQ(1, DetachSkin(form.form));
    for (HWND list : lists) EXPECT_TRUE(SkinPropertyNames(list).empty()) << "list " << list;
    EXPECT_EQ(0, skin::Engine().skinnedWindowCount);
    EXPECT_FALSE(skin::Engine().initialised);
    EXPECT_EQ(nullptr, skin::SkinImages().ButtonFaceImage);
}

}  // namespace
}  // namespace reliability
