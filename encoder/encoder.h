#pragma once
// The string encoder: wraps a text in a padded, check-summed record, enciphers the
// record with TEA over overlapping 8-byte windows and writes it as uppercase hex.
//
// Record layout (R = N + P + 5 bytes for an N-byte text and P pad bytes):
//   [0]            P, the pad count, 1..8
//   [1 .. P]       pad bytes from the pad generator
//   [P+1 .. P+N]   the text, unchanged
//   [P+N+1 .. R-1] CRC-32 of everything before it, most significant byte first

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <type_traits>

namespace strcrypt {

// State of the pad generator, a linear congruential generator mod 2^32.
struct PadGenerator {
    std::uint32_t state;
};

// Frees memory from std::malloc. The large buffers come from malloc, which answers a lack
// of memory with null: nothrow new throws inside the C++ runtime first, and aborts the
// process when there is no memory left for the exception either.
struct FreeMemory {
    void operator()(void* memory) const noexcept { std::free(memory); }
};
template <typename T>
using HeapArray = std::unique_ptr<T[], FreeMemory>;

// An array of `count` elements from std::malloc, uninitialised; null when memory runs out.
template <typename T>
HeapArray<T> allocate_array(std::size_t count) {
    static_assert(std::is_trivial_v<T>);
    if (count > SIZE_MAX / sizeof(T)) return nullptr;
    return HeapArray<T>(static_cast<T*>(std::malloc(count * sizeof(T))));
}

// An encoded text: `length` hex digits followed by a zero byte, freed with the value.
// `text` is null when there was no memory for the encoding.
struct EncodedText {
    HeapArray<char> text;
    std::size_t length = 0;

    [[nodiscard]] std::string_view view() const { return {text.get(), length}; }
};

// Returns a generator whose state is `seed`.
constexpr PadGenerator pad_seed(std::uint32_t seed) { return {seed}; }

// Advances `gen` and returns its next value, 0..32767.
std::uint32_t pad_rand(PadGenerator& gen);

// Number of pad bytes for an n-byte text, given the generator's first value.
std::size_t pad_count(std::size_t n, std::uint32_t first_value);

// Bytes in the record of an n-byte text with p pad bytes; nullopt when its hex text
// (2R + 1 chars) would not fit in a size_t.
std::optional<std::size_t> record_size(std::size_t n, std::size_t p);

// Standard CRC-32 (reflected, as in zlib and IEEE 802.3) of `bytes`.
std::uint32_t crc32(std::span<const std::uint8_t> bytes);

// The uppercase hex digit for `value`, 0..15.
char hex_digit(unsigned value);

// Writes two hex digits per byte, high half first, into `dest`, which must hold
// 2 * bytes.size() chars; writes no terminator. Returns the number of chars written.
std::size_t hex_encode(std::span<const std::uint8_t> bytes, std::span<char> dest);

// The pad seed for the clock second `t`: seconds since 1970-01-01 00:00:00 UTC, modulo 2^32.
std::uint32_t clock_seed(std::chrono::sys_seconds t);

// Encodes `input` with its pad drawn from a generator seeded with `seed`.
// Returns a null text if the sizes overflow or memory runs out.
EncodedText crypt_encode_seeded(std::span<const std::uint8_t> input, std::uint32_t seed);

// Encodes `input` with its pad seeded by the clock second `now`.
EncodedText crypt_encode(std::span<const std::uint8_t> input, std::chrono::sys_seconds now);

}  // namespace strcrypt
