#pragma once
// Byte-order helpers: the only place where words meet bytes.

#include <cstdint>

namespace strcrypt {

// Reads the 32-bit word stored least significant byte first at p[0..3].
constexpr std::uint32_t load32_le(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

// Writes w to p[0..3], least significant byte first.
constexpr void store32_le(std::uint8_t* p, std::uint32_t w) {
    p[0] = static_cast<std::uint8_t>(w);
    p[1] = static_cast<std::uint8_t>(w >> 8);
    p[2] = static_cast<std::uint8_t>(w >> 16);
    p[3] = static_cast<std::uint8_t>(w >> 24);
}

// Reads the 32-bit word stored most significant byte first at p[0..3].
constexpr std::uint32_t load32_be(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 |
           std::uint32_t{p[3]};
}

// Writes w to p[0..3], most significant byte first.
constexpr void store32_be(std::uint8_t* p, std::uint32_t w) {
    p[0] = static_cast<std::uint8_t>(w >> 24);
    p[1] = static_cast<std::uint8_t>(w >> 16);
    p[2] = static_cast<std::uint8_t>(w >> 8);
    p[3] = static_cast<std::uint8_t>(w);
}

}  // namespace strcrypt
