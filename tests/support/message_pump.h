// Message pumping for the test programs and the tools' own checks. Header-only, so that programs
// that link nothing of the tests (the DLL example, the long run in bench/) use the same pump.
#pragma once

#include <windows.h>

namespace testing_support {

// Handles every message waiting for this thread (posted messages, paints, timers due). Bounded:
// a window that posts to itself on every message must not hold the caller here.
inline void PumpMessages() {
    MSG msg;
    for (int handled = 0; handled < 10000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);
         ++handled) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Keeps handling messages, 10 ms apart, for at least `milliseconds`: what timers and posted work
// do meanwhile is done when it returns.
inline void PumpMessagesFor(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    do {
        PumpMessages();
        Sleep(10);
    } while (GetTickCount() - start < milliseconds);
}

}  // namespace testing_support
