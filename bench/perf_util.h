// Shared by the performance programs: side-by-side timing in interleaved rounds, and the rows of
// the one table that scripts/perf.sh prints (Markdown, so it can go into the README as it is).
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace perf {

inline double Now() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline double Median(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

// Microseconds per call of body(), `calls` calls in a row.
template <typename Body>
double TimeCalls(Body&& body, int calls) {
    const double start = Now();
    for (int i = 0; i < calls; ++i) body();
    return (Now() - start) * 1e6 / calls;
}

// Two sides measured in alternating rounds (A B, B A, A B, ...) so that a noisy stretch of the
// machine hits both alike. The ratio is the median of the rounds' own B / A ratios.
struct SideBySide {
    double a = 0.0;      // median microseconds per call
    double b = 0.0;
    double ratio = 0.0;  // b / a
};

template <typename BodyA, typename BodyB>
SideBySide Interleave(BodyA&& a, BodyB&& b, int calls, int rounds) {
    // One untimed call each: first-use costs (font realisation, caches) are not what is compared.
    a();
    b();
    std::vector<double> as, bs, ratios;
    for (int round = 0; round < rounds; ++round) {
        double ta, tb;
        if (round % 2 == 0) {
            ta = TimeCalls(a, calls);
            tb = TimeCalls(b, calls);
        } else {
            tb = TimeCalls(b, calls);
            ta = TimeCalls(a, calls);
        }
        as.push_back(ta);
        bs.push_back(tb);
        ratios.push_back(tb / ta);
    }
    return {Median(as), Median(bs), Median(ratios)};
}

// The same for sides that time themselves (each call returns its own time), so that the set-up
// and clean-up around the timed part stay out of the comparison. A round where a side returns 0
// or less (it could not be measured) is left out; with none left every figure is 0.
template <typename BodyA, typename BodyB>
SideBySide InterleaveTimed(BodyA&& a, BodyB&& b, int rounds) {
    a();
    b();
    std::vector<double> as, bs, ratios;
    for (int round = 0; round < rounds; ++round) {
        double ta, tb;
        if (round % 2 == 0) {
            ta = a();
            tb = b();
        } else {
            tb = b();
            ta = a();
        }
        if (ta <= 0.0 || tb <= 0.0) continue;
        as.push_back(ta);
        bs.push_back(tb);
        ratios.push_back(tb / ta);
    }
    return {Median(as), Median(bs), Median(ratios)};
}

// "| what | measured | goal | met |". An empty goal leaves the last two cells empty.
inline void RowMet(const char* what, const char* measured, const char* goal, const char* met) {
    std::printf("| %s | %s | %s | %s |\n", what, measured, goal, met);
    std::fflush(stdout);
}

inline const char* Met(bool met) { return met ? "yes" : "**no**"; }

inline void Row(const char* what, const char* measured, const char* goal = "", int met = -1) {
    RowMet(what, measured, goal, met < 0 ? "" : Met(met != 0));
}

inline void RowValue(const char* figure, double value, const char* format, const char* goal = "",
                     int met = -1) {
    char text[64];
    std::snprintf(text, sizeof(text), format, value);
    Row(figure, text, goal, met);
}

}  // namespace perf
