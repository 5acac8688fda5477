#pragma once
// TEA exactly as published, both directions: the reference that the program's faster
// form is checked against, and the inverse that the tests decipher with.

#include <cstdint>

#include "tea.h"

namespace strcrypt::testing {

inline constexpr std::uint32_t textbook_delta = 0x9E3779B9;  // 2^32 / golden ratio
inline constexpr int textbook_cycles = 32;

inline TeaBlock textbook_tea_encrypt(const TeaBlock& block, const TeaKey& key) {
    auto [x, y] = block;
    std::uint32_t sum = 0;
    for (int cycle = 0; cycle < textbook_cycles; ++cycle) {
        sum += textbook_delta;
        x += ((y << 4) + key[0]) ^ (y + sum) ^ ((y >> 5) + key[1]);
        y += ((x << 4) + key[2]) ^ (x + sum) ^ ((x >> 5) + key[3]);
    }
    return {x, y};
}

// The inverse of textbook_tea_encrypt: the same cycles run backwards from the last sum.
inline TeaBlock tea_decrypt(const TeaBlock& block, const TeaKey& key) {
    auto [x, y] = block;
    std::uint32_t sum = textbook_delta * textbook_cycles;  // mod 2^32
    for (int cycle = 0; cycle < textbook_cycles; ++cycle) {
        y -= ((x << 4) + key[2]) ^ (x + sum) ^ ((x >> 5) + key[3]);
        x -= ((y << 4) + key[0]) ^ (y + sum) ^ ((y >> 5) + key[1]);
        sum -= textbook_delta;
    }
    return {x, y};
}

}  // namespace strcrypt::testing
