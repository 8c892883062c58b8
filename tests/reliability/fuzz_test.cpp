// Random message orders: no crash, and the skin's properties always agree with its count.
#include <gtest/gtest.h>
#include <windows.h>

#include "message_fuzzer.h"
#include "reliability_fixture.h"

namespace reliability {
namespace {

using FuzzTest = ReliabilityTest;

// A few seconds here; bench/fuzz_long_bench.cpp (scripts/fuzz.sh) sends a million and more.
constexpr long long kMessagesPerSeed = 1000;
// New seeds for the suite, then every seed that once failed, so that its fault stays mended.
const uint32_t kSeeds[] = {1, 2};

TEST_F(FuzzTest, RandomMessageOrdersKeepTheSkinConsistent) {
    StartFuzzWatchdog(120);
    for (uint32_t seed : kSeeds) {
        MessageFuzzer fuzzer(seed);
        bool ok = fuzzer.Run(kMessagesPerSeed);
        ok = fuzzer.Finish() && ok;
        EXPECT_TRUE(ok) << "failing seed " << seed << ": " << fuzzer.failure();
    }
}

}  // namespace
}  // namespace reliability
