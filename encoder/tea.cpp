#include "tea.h"

namespace strcrypt {

namespace {

constexpr std::uint32_t tea_delta = 0x9E3779B9;  // 2^32 / golden ratio, added to the sum each cycle
constexpr int tea_cycles = 32;                   // each cycle is two Feistel rounds

// Hides `v` from the optimiser, so that it keeps the carried terms below and does not fold
// them back into the textbook form, which is one step deeper.
inline std::uint32_t hold(std::uint32_t v) {
#if defined(__GNUC__)
    __asm__("" : "+r"(v));
#endif
    return v;
}

}  // namespace

// The textbook cycle is
//   sum += delta;
//   x += ((y << 4) + k0) ^ (y + sum) ^ ((y >> 5) + k1);
//   y += ((x << 4) + k2) ^ (x + sum) ^ ((x >> 5) + k3);
// in which each half-round takes five dependent steps: shift, add, xor, xor, add. Here
// ya = (y << 4) + k0 travels with y: when y grows by g, ya grows by g << 4, because a left
// shift distributes over addition mod 2^32. So ya, like y + sum, is ready one step after
// y, and the first xor waits only for (y >> 5) + k1: a half-round takes four steps
// (shift, add, xor, add). xa does the same for x with k2.
TeaBlock tea_encrypt(const TeaBlock& block, const TeaKey& key) {
    auto [x, y] = block;
    const auto [k0, k1, k2, k3] = key;
    std::uint32_t ya = (y << 4) + k0;
    std::uint32_t xa = (x << 4) + k2;
    std::uint32_t sum = 0;
#if defined(__GNUC__) && !defined(__clang__)
    // Unrolled, g++ turns each sum into a constant and frees two registers, which 32-bit
    // x86 needs to keep the carried words out of memory. clang is faster rolled.
#pragma GCC unroll 32
#endif
    for (int cycle = 0; cycle < tea_cycles; ++cycle) {
        sum += tea_delta;
        const std::uint32_t f = hold(ya ^ (y + sum)) ^ ((y >> 5) + k1);
        x += f;
        xa += f << 4;
        const std::uint32_t g = hold(xa ^ (x + sum)) ^ ((x >> 5) + k3);
        y += g;
        ya += g << 4;
    }
    return {x, y};
}

}  // namespace strcrypt
