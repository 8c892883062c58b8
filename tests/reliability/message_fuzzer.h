// A seeded random sequence of window messages and events over a form of every kind: every
// message the skin routes, with random parameters, mixed with attach, detach, destroy and
// re-create, enable, resize, focus, drop-down lists and dialogs (modeless, and modal ones driven
// from inside their own loop), and now and then objects that cannot be made. After every step the
// skin's state is checked. No test framework in
// here: the suite and the long run in bench/ share it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "every_kind_form.h"

namespace reliability {

class MessageFuzzer {
public:
    explicit MessageFuzzer(uint32_t seed);
    ~MessageFuzzer();  // destroys every window it made
    MessageFuzzer(const MessageFuzzer&) = delete;
    MessageFuzzer& operator=(const MessageFuzzer&) = delete;

    // Runs steps until `messages` messages have been sent or a check fails. Returns false on a
    // failure, described by failure().
    bool Run(long long messages);

    // One step: one random message, or now and then an event. False when a check failed.
    bool Step();

    // Destroys what is left, so that nothing stays skinned; false when a check fails then.
    bool Finish();

    long long messagesSent() const { return messages_; }
    long long steps() const { return steps_; }
    uint32_t seed() const { return seed_; }
    // "seed 7, step 1234 (WM_LBUTTONUP to combobox): what is wrong"; empty while all is well.
    const std::string& failure() const { return failure_; }

    // What the run reached: messages and events by name with how often each came, and the classes
    // of the windows found skinned.
    std::string Coverage() const;

    // Called by the modal dialog from inside its own message loop.
    void RunInsideModalLoop(HWND dialog);

private:
    uint32_t Next();
    int Below(int n);
    bool Chance(int percent);

    void RefreshWindows();
    HWND AnyTarget();
    HWND WindowParameter();
    void SendRandomMessage(bool mayPost);
    void RunRandomEvent();
    void OpenOrCloseModelessDialog();
    void RunModalDialog();
    void DestroyAndRecreate();
    void RememberDestroyed(const std::vector<HWND>& windows);
    bool Check();

    uint32_t seed_;
    std::mt19937 random_;
    EveryKindForm form_;
    HWND otherForm_ = nullptr;  // an unrelated form: attached when it takes the activation
    HWND popup_ = nullptr;      // an unrelated popup of no kind
    HWND modeless_ = nullptr;
    HDC scratch_ = nullptr;  // handed to WM_CTLCOLORLISTBOX
    std::vector<HWND> destroyed_;
    std::vector<HWND> threadWindows_;  // as the last check found them
    std::vector<HWND> targets_;        // the ones that messages go to
    long long messages_ = 0;
    long long heldBack_ = 0;
    long long steps_ = 0;
    int modalDepth_ = 0;
    std::string action_;
    std::vector<long long> messageCounts_;
    std::vector<long long> eventCounts_;
    std::set<std::string> skinnedClasses_;
    std::string failure_;
};

// Stops the process with a message naming the seed and step when a run stops making progress
// (a message loop that never returns); one per process, started by the first fuzzer.
void StartFuzzWatchdog(int seconds);

}  // namespace reliability
