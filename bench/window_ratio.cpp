// Prints the window pass's cost against textbook TEA, for builds without Google Benchmark
// (the Windows one, run under Wine): build/<preset>/strcrypt_window_ratio

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

#include "window_timing.h"

int main() {
    std::vector<std::uint8_t> record(4096, 0x5A);
    strcrypt::bench::time_window_passes(record, 20);  // warm up
    std::array<strcrypt::bench::WindowTimes, 7> runs{};
    for (auto& run : runs) run = strcrypt::bench::time_window_passes(record, 200);
    std::sort(runs.begin(), runs.end(), [](const auto& a, const auto& b) {
        return a.ns_per_window / a.textbook_ns_per_window <
               b.ns_per_window / b.textbook_ns_per_window;
    });
    const auto& median = runs[runs.size() / 2];
    std::printf("window pass: %.1f ns a window, textbook %.1f ns, ratio %.3f\n",
                median.ns_per_window, median.textbook_ns_per_window,
                median.ns_per_window / median.textbook_ns_per_window);
    return 0;
}
