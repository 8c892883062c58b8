// Leaks: what each kind holds while skinned, and many cycles of use over a form of every kind.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include "control_classes.h"
#include "core/attach.h"
#include "core/props.h"
#include "dorrik_skin.h"
#include "reliability_fixture.h"
#include "render/image_set.h"

using testing_support::CountLiveObjects;
using testing_support::Describe;
using testing_support::LiveObjects;

namespace reliability {
namespace {

using LeakTest = ReliabilityTest;

// A cycle takes about a second under Wine (every release repaints the check boxes beside the
// control), so the suite runs a few dozen; bench/fuzz_long_bench.cpp runs ten thousand.
constexpr int kSuiteCycles = 30;
// Every so many cycles the form is destroyed and made anew, so that the image set goes and is
// built again.
constexpr int kCyclesPerForm = 10;

LiveObjects ImageSet() {
    LiveObjects objects;
    objects.createdContexts = kImageSetContexts;
    objects.bitmaps = kImageSetBitmaps;
    return objects;
}

LiveObjects Plus(LiveObjects a, const LiveObjects& b) {
    a.createdContexts += b.createdContexts;
    a.bitmaps += b.bitmaps;
    return a;
}

TEST_F(LeakTest, ImageSetComesWithTheFirstAttachAndGoesWithTheLastDetach) {
    EXPECT_EQ(0, AttachSkin(nullptr));
    EXPECT_EQ(ImageSet(), LiveSince(before_));

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
        Pump();
        LiveObjects expected;
        if (slot == kCommand1 || slot == kCommand2 || slot == kDefaultButton || slot == kButtonCheck) {
            expected.createdContexts = 4;
            expected.bitmaps = 4;
            expected.windowRegions = 1;
        }
        EXPECT_EQ(expected, LiveSince(start)) << "slot " << slot << ": " << Describe(LiveSince(start));
        if (slot == kCommand1) {
            EXPECT_EQ(9, LiveSince(start).Total());
            EXPECT_EQ(4, LiveSince(start).Contexts());
        }
        ASSERT_EQ(1, skin::DetachWindow(window));
        // A combo box reports its list, which is then skinned too; it is not this test's matter.
        for (HWND inner : FormWindows(window)) skin::DetachWindow(inner);
        for (HWND list : DropDownLists(window)) skin::DetachWindow(list);
        Pump();
        EXPECT_EQ(LiveObjects{}, LiveSince(start)) << "slot " << slot << ": " << Describe(LiveSince(start));
    }
    ASSERT_EQ(1, DetachSkin(anchor));
    EXPECT_FALSE(skin::Engine().initialised);
    DestroyWindow(anchor);
    EXPECT_EQ(LiveObjects{}, LiveSince(before_)) << Describe(LiveSince(before_));
}

TEST_F(LeakTest, CyclesOfUseOverAFormOfEveryKindLeaveNothingBehind) {
    EveryKindForm form = CreateEveryKindForm();
    const LiveObjects start = CountLiveObjects();
    const skin::SkinImageSet* images = &skin::SkinImages();
    HDC lastImages[5] = {};
    for (int cycle = 0; cycle < kSuiteCycles; ++cycle) {
        RunUseCycle(form);
        ASSERT_EQ("", CheckSkinInvariants()) << "cycle " << cycle;
        // The form is back as it was; only the image set may still be held, for a drop-down
        // list that stays skinned until its combo box is destroyed.
        for (HWND window : FormWindows(form.form))
            ASSERT_TRUE(SkinProperties(window).empty()) << "cycle " << cycle << ", window " << window;
        const LiveObjects expected = skin::Engine().initialised ? Plus(start, ImageSet()) : start;
        ASSERT_EQ(expected, CountLiveObjects())
            << "cycle " << cycle << ": " << Describe(CountLiveObjects()) << "\nexpected "
            << Describe(expected);

        if ((cycle + 1) % kCyclesPerForm == 0) {
            const HDC held[5] = {images->ButtonFaceImage, images->ComboButtonImage,
                                 images->GlyphImage, images->CheckBoxImage, images->HeaderImage};
            std::copy(std::begin(held), std::end(held), std::begin(lastImages));
            DestroyWindow(form.form);
            Pump();
            ASSERT_EQ(0, skin::Engine().skinnedWindowCount) << "cycle " << cycle;
            ASSERT_EQ(LiveSince(before_), LiveObjects{}) << "cycle " << cycle << ": "
                                                          << Describe(LiveSince(before_));
            form = CreateEveryKindForm();
        }
    }
    DestroyWindow(form.form);
    Pump();
    // After the last detach the image set is gone too.
    EXPECT_FALSE(skin::Engine().initialised);
    EXPECT_EQ(nullptr, images->ButtonFaceImage);
    for (HDC image : lastImages) EXPECT_EQ(0u, GetObjectType(image));
    EXPECT_EQ(LiveObjects{}, LiveSince(before_)) << Describe(LiveSince(before_));
}

// DetachSkin takes the skin off the form and everything in it. A combo box's drop-down list is
// not a descendant of the form: it is attached when its combo box reports it, so it must be taken
// off with its combo box, or it stays skinned (and keeps the image set alive) after the form is
// detached.
TEST_F(LeakTest, DetachingAFormAlsoTakesTheSkinOffItsDropDownLists) {
    EveryKindForm form = CreateEveryKindForm();
    ASSERT_EQ(1, AttachSkin(form.form));
    SendMessageW(form.children[kListCombo], CB_SHOWDROPDOWN, TRUE, 0);
    Pump();
    SendMessageW(form.children[kListCombo], CB_SHOWDROPDOWN, FALSE, 0);
    const std::vector<HWND> lists = DropDownLists(form.form);
    ASSERT_FALSE(lists.empty());
    bool listSkinned = false;
    for (HWND list : lists) listSkinned = listSkinned || GetPropA(list, skin::kPropProcAddr);
    ASSERT_TRUE(listSkinned) << "the dropped list was not attached";

    ASSERT_EQ(1, DetachSkin(form.form));
    for (HWND list : lists) EXPECT_TRUE(SkinProperties(list).empty()) << "list " << list;
    EXPECT_EQ(0, skin::Engine().skinnedWindowCount);
    EXPECT_FALSE(skin::Engine().initialised);
    EXPECT_EQ(nullptr, skin::SkinImages().ButtonFaceImage);
}

}  // namespace
}  // namespace reliability
