#pragma once
// The window pass timed against the same pass with textbook TEA, in one binary.

#include <chrono>
#include <cstdint>
#include <span>

#include "tea.h"
#include "textbook_tea.h"
#include "window_pass.h"

namespace strcrypt::bench {

struct WindowTimes {
    double ns_per_window;           // the program's cipher
    double textbook_ns_per_window;  // textbook TEA in the same loop
};

// Runs both passes over `record` `rounds` times, alternating, so that both see the same
// clock speed and cache. Both passes are chains of dependent blocks: time is latency.
inline WindowTimes time_window_passes(std::span<std::uint8_t> record, int rounds) {
    using clock = std::chrono::steady_clock;
    const auto fast = [](const TeaBlock& b) { return tea_encrypt(b, crypt_key); };
    const auto textbook = [](const TeaBlock& b) {
        return testing::textbook_tea_encrypt(b, crypt_key);
    };
    clock::duration fast_time{};
    clock::duration textbook_time{};
    for (int i = 0; i < rounds; ++i) {
        const auto t0 = clock::now();
        encipher_windows(record, fast);
        const auto t1 = clock::now();
        encipher_windows(record, textbook);
        const auto t2 = clock::now();
        fast_time += t1 - t0;
        textbook_time += t2 - t1;
    }
    const double windows =
        static_cast<double>(rounds) * static_cast<double>(record.size() - window_size + 1);
    const auto ns = [windows](clock::duration d) {
        return std::chrono::duration<double, std::nano>(d).count() / windows;
    };
    return {ns(fast_time), ns(textbook_time)};
}

}  // namespace strcrypt::bench
