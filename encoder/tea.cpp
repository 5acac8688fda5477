#include "tea.h"

namespace strcrypt {

namespace {

constexpr std::uint32_t tea_delta = 0x9E3779B9;  // 2^32 / golden ratio, added to the sum each cycle
constexpr int tea_cycles = 32;                   // each cycle is two Feistel rounds

// Makes `v` opaque to the optimiser, so that it keeps the carried terms below as they are
// instead of folding them back into the textbook form, which is one step deeper.
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
// in which each half-round is five dependent steps from the word it reads: shift, add,
// xor, xor, add. Here ya = (y << 4) + k0 is carried along with y: when y grows by g, ya
// grows by g << 4, since a left shift distributes over addition mod 2^32. It is then
// ready one step after y, as y + sum is, so the first xor waits for neither and only
// (y >> 5) + k1 stands between y and it: a half-round is four steps deep (shift, add,
// xor, add). xa does the same for x with k2.
TeaBlock tea_encrypt(const TeaBlock& block, const TeaKey& key) {
    auto [x, y] = block;
    const auto [k0, k1, k2, k3] = key;
    std::uint32_t ya = (y << 4) + k0;
    std::uint32_t xa = (x << 4) + k2;
    std::uint32_t sum = 0;
#if defined(__GNUC__) && !defined(__clang__)
    // Unrolled, g++ folds each sum into an instruction and frees two registers, which
    // 32-bit x86 needs to keep the carried words out of memory; clang is faster rolled.
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
