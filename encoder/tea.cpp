#include "tea.h"

namespace strcrypt {

namespace {
constexpr std::uint32_t tea_delta = 0x9E3779B9;  // 2^32 / golden ratio, added to the sum each cycle
constexpr int tea_cycles = 32;                   // each cycle is two Feistel rounds
}  // namespace

TeaBlock tea_encrypt(const TeaBlock& block, const TeaKey& key) {
    auto [x, y] = block;
    const auto [k0, k1, k2, k3] = key;
    std::uint32_t sum = 0;
    for (int cycle = 0; cycle < tea_cycles; ++cycle) {
        sum += tea_delta;
        x += ((y << 4) + k0) ^ (y + sum) ^ ((y >> 5) + k1);
        y += ((x << 4) + k2) ^ (x + sum) ^ ((x >> 5) + k3);
    }
    return {x, y};
}

}  // namespace strcrypt
