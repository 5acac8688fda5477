#pragma once
// TEA, the Tiny Encryption Algorithm: encryption direction, 32 cycles.

#include <array>
#include <cstdint>

namespace strcrypt {

using TeaBlock = std::array<std::uint32_t, 2>;  // words x, y
using TeaKey = std::array<std::uint32_t, 4>;    // words k0..k3

// The program's built-in key, fixed when the program is built.
extern const TeaKey crypt_key;

// Returns `block` enciphered under `key` with 32-cycle TEA.
TeaBlock tea_encrypt(const TeaBlock& block, const TeaKey& key);

}  // namespace strcrypt
