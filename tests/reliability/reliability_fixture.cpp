#include "reliability_fixture.h"

#include <algorithm>
#include <cstdio>

#include "core/attach.h"

namespace reliability {

using testing_support::PumpMessages;

namespace {

// The imports are redirected before the first test makes anything.
class AccountingEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(testing_support::InstallGdiAccounting()); }
};

[[maybe_unused]] ::testing::Environment* const kAccounting =
    ::testing::AddGlobalTestEnvironment(new AccountingEnvironment);

}  // namespace

void ReliabilityTest::SetUp() {
    ASSERT_EQ(0, skin::Engine().skinnedWindowCount);
    windowsBefore_ = ThreadWindows();
    before_ = testing_support::CountLiveObjects();
    faultsBefore_ = testing_support::CountGdiFaults();
}

void ReliabilityTest::TearDown() {
    // Whatever a test made is gone with its windows, and nothing was freed the wrong way.
    for (HWND window : ThreadWindows()) {
        if (std::find(windowsBefore_.begin(), windowsBefore_.end(), window) == windowsBefore_.end())
            DestroyWindow(window);
    }
    PumpMessages();
    EXPECT_EQ(0, skin::Engine().skinnedWindowCount);
    EXPECT_FALSE(skin::Engine().initialised) << "the engine still runs on this thread";
    EXPECT_EQ(nullptr, skin::Engine().creationHook) << "the creation hook is still set";
    EXPECT_EQ("", CheckSkinInvariants());
    const testing_support::LiveObjects after = testing_support::CountLiveObjects();
    EXPECT_EQ(before_, after) << "before: " << testing_support::Describe(before_)
                              << "\nafter:  " << testing_support::Describe(after);
    if (before_ != after) {
        for (const std::string& line : testing_support::DescribeLiveObjects())
            std::printf("live: %s\n", line.c_str());
    }
    const testing_support::GdiFaults faults = testing_support::CountGdiFaults();
    EXPECT_EQ(faultsBefore_, faults) << "before: " << testing_support::Describe(faultsBefore_)
                                     << "\nafter:  " << testing_support::Describe(faults);
}

testing_support::LiveObjects LiveSince(const testing_support::LiveObjects& start) {
    const testing_support::LiveObjects now = testing_support::CountLiveObjects();
    testing_support::LiveObjects delta;
    delta.createdContexts = now.createdContexts - start.createdContexts;
    delta.windowContexts = now.windowContexts - start.windowContexts;
    delta.bitmaps = now.bitmaps - start.bitmaps;
    delta.brushes = now.brushes - start.brushes;
    delta.pens = now.pens - start.pens;
    delta.fonts = now.fonts - start.fonts;
    delta.palettes = now.palettes - start.palettes;
    delta.regions = now.regions - start.regions;
    delta.windowRegions = now.windowRegions - start.windowRegions;
    delta.timers = now.timers - start.timers;
    return delta;
}

}  // namespace reliability
