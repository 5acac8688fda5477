#pragma once
// TEA encryption exactly as published, for checking the program's faster form against it.

#include "tea.h"

namespace strcrypt::testing {

inline TeaBlock textbook_tea_encrypt(const TeaBlock& block, const TeaKey& key) {
    auto [x, y] = block;
    std::uint32_t sum = 0;
    for (int cycle = 0; cycle < 32; ++cycle) {
        sum += 0x9E3779B9;
        x += ((y << 4) + key[0]) ^ (y + sum) ^ ((y >> 5) + key[1]);
        y += ((x << 4) + key[2]) ^ (x + sum) ^ ((x >> 5) + key[3]);
    }
    return {x, y};
}

}  // namespace strcrypt::testing
