// A tiny timing harness for the benchmarks: best-of-several mean time per call.
#pragma once

#include <windows.h>

#include <cstdio>

namespace bench {

inline double Now() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Microseconds per call of body(), the best of `rounds` rounds of `calls` calls each.
template <typename Body>
double MicrosecondsPerCall(Body&& body, int calls = 1000, int rounds = 5) {
    double best = 1e300;
    for (int round = 0; round < rounds; ++round) {
        const double start = Now();
        for (int i = 0; i < calls; ++i) body();
        const double perCall = (Now() - start) * 1e6 / calls;
        if (perCall < best) best = perCall;
    }
    return best;
}

// Pumps everything waiting for this thread: paints, posted messages, timers due. Unbounded, unlike
// the tests' pump: a timed run must leave nothing behind for the next one.
inline void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// The whole client area invalid, then painted at once through the window's procedure.
inline void Repaint(HWND window) {
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
}

// One row of the table that scripts/bench.sh prints.
inline void Report(const char* name, double value, const char* unit) {
    std::printf("%-48s %12.3f %s\n", name, value, unit);
}

}  // namespace bench
