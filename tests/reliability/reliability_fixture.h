// What the reliability tests share: object accounting installed before the first test, and a
// fixture that expects every test to leave no skinned window, no object and no fault behind.
#pragma once

#include <gtest/gtest.h>

#include "../support/gdi_accounting.h"
#include "../support/message_pump.h"
#include "every_kind_form.h"

namespace reliability {

// The image set: five memory surfaces, each a made context holding a bitmap of its own.
inline constexpr int kImageSetContexts = 5;
inline constexpr int kImageSetBitmaps = 5;

class ReliabilityTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    testing_support::LiveObjects before_;
    testing_support::GdiFaults faultsBefore_;
    std::vector<HWND> windowsBefore_;
};

// Live objects minus the ones counted at the start of the test.
testing_support::LiveObjects LiveSince(const testing_support::LiveObjects& start);

}  // namespace reliability
