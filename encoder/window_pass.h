#pragma once
// The window pass: a block cipher over the overlapping 8-byte windows of a record.

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <span>

#include "bytes.h"
#include "tea.h"

namespace strcrypt {

constexpr std::size_t window_size = 8;  // one TEA block

// Enciphers the windows of `record` at offsets 0, 1, ..., size - 8 in place, in that
// order, with `encipher` (TeaBlock -> TeaBlock), so each window reads seven bytes that
// the one before it has just written. `record` holds at least one window.
//
// The window stays in registers as its two words. One byte on, the pass drops byte i,
// which no later window touches, from the bottom of x and takes byte i + 8 in at the top
// of y. Storing the bytes and reading them back at an offset would stall every window.
template <typename Encipher>
void encipher_windows(std::span<std::uint8_t> record, Encipher encipher) {
    assert(record.size() >= window_size);
    std::uint8_t* const r = record.data();
    const std::size_t last = record.size() - window_size;
    TeaBlock window = {load32_le(r), load32_le(r + 4)};
    for (std::size_t i = 0;; ++i) {
        const auto [x, y] = encipher(window);
        if (i == last) {
            store32_le(r + last, x);
            store32_le(r + last + 4, y);
            return;
        }
        r[i] = static_cast<std::uint8_t>(x);
        window = {x >> 8 | y << 24, y >> 8 | std::uint32_t{r[i + window_size]} << 24};
    }
}

}  // namespace strcrypt
