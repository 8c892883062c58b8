// The long reliability run (scripts/fuzz.sh): thousands of cycles of use over a form of every
// kind with every object counted under Windows' rules, then at least a million random messages
// over such a form, checking the skin's state after every step. Too long for the test suite.
//
//     fuzz_long_bench [cycles] [messages] [first seed] [messages per seed] [watchdog seconds]
//
// Without arguments (as scripts/bench.sh runs every benchmark) it makes a short run of 20 cycles
// and 20,000 messages and reports their cost. Prints the figures and every failing seed; the exit
// code is 0 when nothing failed.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// The test programs' accounting, form and fuzzer, compiled into this program (it links no test
// library).
#include "../tests/reliability/every_kind_form.cpp"
#include "../tests/reliability/message_fuzzer.cpp"
#include "../tests/support/gdi_accounting.cpp"
#include "bench_util.h"
#include "core/attach.h"

namespace {

using testing_support::CountGdiFaults;
using testing_support::CountLiveObjects;
using testing_support::Describe;
using testing_support::LiveObjects;

constexpr int kCyclesPerForm = 10;

long long Argument(int argc, char** argv, int index, long long fallback) {
    return argc > index ? std::atoll(argv[index]) : fallback;
}

void PrintLiveObjects() {
    for (const std::string& line : testing_support::DescribeLiveObjects())
        std::printf("  live: %s\n", line.c_str());
}

// Cycles of use; returns false when an object outlived a cycle or the skin's state was wrong.
bool RunCycles(long long cycles) {
    const LiveObjects before = CountLiveObjects();
    std::printf("cycles: live objects before: %s\n", Describe(before).c_str());
    reliability::EveryKindForm form = reliability::CreateEveryKindForm();
    LiveObjects withForm = CountLiveObjects();
    const double start = bench::Now();
    bool ok = true;
    long long cycle = 0;
    for (; cycle < cycles && ok; ++cycle) {
        reliability::RunUseCycle(form);
        std::string problem = reliability::CheckSkinInvariants();
        // After each detach the form is as it was, and the image set is gone.
        if (problem.empty() && (skin::Engine().initialised || skin::SkinImages().ButtonFaceImage))
            problem = "the image set outlived the last detach";
        const LiveObjects expected = withForm;
        const LiveObjects now = CountLiveObjects();
        if (!problem.empty() || now != expected) {
            std::printf("cycle %lld: %s\n  live %s\n  expected %s\n", cycle, problem.c_str(),
                        Describe(now).c_str(), Describe(expected).c_str());
            ok = false;
        }
        if ((cycle + 1) % kCyclesPerForm == 0) {
            DestroyWindow(form.form);
            testing_support::PumpMessages();
            if (CountLiveObjects() != before) {
                std::printf("cycle %lld: objects outlived the form\n", cycle);
                ok = false;
            }
            form = reliability::CreateEveryKindForm();
            withForm = CountLiveObjects();
        }
        if ((cycle + 1) % 500 == 0) {
            std::printf("  %lld cycles, %.0f ms per cycle\n", cycle + 1,
                        (bench::Now() - start) * 1000 / static_cast<double>(cycle + 1));
            std::fflush(stdout);
        }
    }
    DestroyWindow(form.form);
    testing_support::PumpMessages();
    const LiveObjects after = CountLiveObjects();
    std::printf("cycles run: %lld\ncycles: live objects after:  %s\n", cycle,
                Describe(after).c_str());
    std::printf("cycles: faults: %s\n", Describe(CountGdiFaults()).c_str());
    if (after != before || skin::Engine().initialised || skin::SkinImages().ButtonFaceImage) {
        std::printf("cycles: objects left behind\n");
        PrintLiveObjects();
        ok = false;
    }
    return ok && CountGdiFaults().Total() == 0;
}

bool RunMessages(long long messages, uint32_t firstSeed, long long perSeed, int watchdogSeconds,
                 long long& sent) {
    reliability::StartFuzzWatchdog(watchdogSeconds);
    const LiveObjects before = CountLiveObjects();
    sent = 0;
    int seeds = 0;
    std::vector<std::string> failures;
    const double start = bench::Now();
    for (uint32_t seed = firstSeed; sent < messages; ++seed) {
        reliability::MessageFuzzer fuzzer(seed);
        bool ok = fuzzer.Run(perSeed);
        ok = fuzzer.Finish() && ok;
        sent += fuzzer.messagesSent();
        ++seeds;
        if (!ok) {
            failures.push_back(fuzzer.failure());
            std::printf("failing seed %u: %s\n", seed, fuzzer.failure().c_str());
        }
        std::printf("  seed %u: %lld messages, %lld steps; %lld sent, %.2f ms per message\n%s\n",
                    seed, fuzzer.messagesSent(), fuzzer.steps(), sent,
                    (bench::Now() - start) * 1000 / static_cast<double>(sent),
                    fuzzer.Coverage().c_str());
        std::fflush(stdout);
    }
    const LiveObjects after = CountLiveObjects();
    std::printf("messages sent: %lld\nseeds tried: %d (from %u)\nfailing seeds: %zu\n", sent, seeds,
                firstSeed, failures.size());
    std::printf("messages: live objects before: %s\nmessages: live objects after:  %s\n",
                Describe(before).c_str(), Describe(after).c_str());
    std::printf("messages: faults: %s\n", Describe(CountGdiFaults()).c_str());
    if (after != before) PrintLiveObjects();
    return failures.empty() && after == before && CountGdiFaults().Total() == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (!testing_support::InstallGdiAccounting()) {
        std::printf("the object accounting could not be installed\n");
        return 2;
    }
    const long long cycles = Argument(argc, argv, 1, 20);
    const long long messages = Argument(argc, argv, 2, 20000);
    const auto firstSeed = static_cast<uint32_t>(Argument(argc, argv, 3, 1000));
    const long long perSeed = Argument(argc, argv, 4, 10000);
    const int watchdogSeconds = static_cast<int>(Argument(argc, argv, 5, 300));

    double start = bench::Now();
    const bool cyclesOk = RunCycles(cycles);
    if (cycles > 0) {
        bench::Report("reliability: one cycle of use, every kind",
                      (bench::Now() - start) * 1000 / static_cast<double>(cycles), "ms");
    }
    start = bench::Now();
    long long sent = 0;
    const bool messagesOk = RunMessages(messages, firstSeed, perSeed, watchdogSeconds, sent);
    if (sent > 0) {
        bench::Report("reliability: one random message, checked",
                      (bench::Now() - start) * 1000 / static_cast<double>(sent), "ms");
    }
    std::printf("result: %s\n", cyclesOk && messagesOk ? "passed" : "FAILED");
    return cyclesOk && messagesOk ? 0 : 1;
}
