// A skinned form whose controls sit on a counting procedure of the test's own, installed before
// the skin, so the skin's "previous procedure" is the probe: it records every message that the
// skin passes on, with the skin's properties as they were at that moment, and can keep the
// control's own input handling out of the way.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/skinned_form.h"
#include "support/test_windows.h"

namespace interaction_tests {

using testing_support::PointerAway;

// What a probe returns for a message it keeps from the control: easy to tell from any real result.
inline LRESULT ProbeResult(UINT message) { return 0x7000 + static_cast<LRESULT>(message); }

struct Arrival {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    intptr_t mouseFlag;  // MOUSEFLAG, OLDSTATE, ALPHALEVEL, HDINDEX as the message arrived
    intptr_t oldState;
    intptr_t alphaLevel;
    intptr_t hdIndex;
    int depth;  // 1 for a message that reached the probe while no other was being handled
};

// Input messages: the ten that the skin handles, and which a probe can keep from the control.
bool IsInputMessage(UINT message);

class Probe {
public:
    // With swallowInput the control never sees the ten input messages (the probe answers them
    // with ProbeResult); otherwise it sees everything.
    Probe(HWND window, bool swallowInput);
    ~Probe();
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;

    HWND window() const { return window_; }
    int Count(UINT message) const;
    const std::vector<Arrival>& arrivals() const { return arrivals_; }
    void Clear() { arrivals_.clear(); }
    // Runs once, inside the probe, when the next message of this number arrives (before the
    // control's own handling).
    void OnNext(UINT message, void (*action)(HWND window));

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_;
    WNDPROC original_;
    bool swallowInput_;
    std::vector<Arrival> arrivals_;
    UINT actionMessage_ = 0;
    void (*action_)(HWND) = nullptr;
    int depth_ = 0;
};

// The shared form (420 x 320 at 100, 100) with the controls of one test, and probes under their
// skin. The skin comes off and the controls go at scope end, then the probes.
class SkinnedForm : public testing_support::SkinnedForm {
public:
    SkinnedForm();
    ~SkinnedForm();

    // A probe under the control's skin; give it before Attach().
    Probe& ProbeOf(HWND control, bool swallowInput = true);
    // As the shared form's, and the probes then forget what the attach brought them.
    void Attach();

private:
    std::vector<Probe*> probes_;
};

// A skin property as the window carries it (0 when absent).
intptr_t Prop(HWND window, const char* name);

// The pointer on a point of a window's client area. Does not dispatch the mouse messages that the
// move itself causes.
void PointerAt(HWND window, int x, int y);

// A leave notification has been requested for the window and not yet delivered; and the
// withdrawal of that request, so that a repeated request shows.
bool LeaveTracked(HWND window);
void CancelLeaveTracking(HWND window);

// The fade timer (identifier 1) runs for the window: stopping it succeeds. Restarted afterwards
// when it ran, so the test changes nothing.
bool TimerRuns(HWND window);

// Paints a block of the window (whole-window coordinates) in a colour no renderer uses, so that
// any later drawing there shows.
inline constexpr COLORREF kSentinel = 0x3C2A17;
void PaintSentinel(HWND window, int x, int y, int width, int height);

// lParam of a mouse message at client point x, y (each a 16-bit signed value).
LPARAM At(int x, int y);

// new = face * a / 255 + old * (255 - a) / 255 per channel.
COLORREF Blend(COLORREF face, COLORREF old, int alpha);
// Each channel within tolerance.
bool Near(COLORREF actual, COLORREF expected, int tolerance);
std::string Hex(COLORREF colour);

}  // namespace interaction_tests
