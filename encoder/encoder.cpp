#include "encoder.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstdint>
#include <limits>
#include <new>

#include "bytes.h"
#include "tea.h"

namespace strcrypt {

namespace {

// Pad generator: state = state * multiplier + increment (mod 2^32); the value is bits 16..30.
constexpr std::uint32_t pad_multiplier = 214013;
constexpr std::uint32_t pad_increment = 2531011;
constexpr std::uint32_t pad_value_mask = 0x7FFF;

// Texts shorter than this get extra pad bytes, so that pad and text hold at least 5 bytes.
constexpr std::size_t short_text_length = 3;
constexpr std::size_t short_text_pad = 4;
constexpr std::uint32_t pad_spread = 4;  // the first value adds 0..3 pad bytes

constexpr std::size_t count_size = 1;   // the pad count byte
constexpr std::size_t check_size = 4;   // the CRC-32 trailer
constexpr std::size_t window_size = 8;  // one TEA block

// CRC-32 generator polynomial x^32 + x^26 + ... + x + 1, bit-reversed for the
// least-significant-bit-first (reflected) calculation.
constexpr std::uint32_t crc32_polynomial = 0xEDB88320;
// The register starts all ones and is complemented at the end.
constexpr std::uint32_t crc32_conditioning = 0xFFFFFFFF;

constexpr std::array<std::uint32_t, 256> make_crc32_table() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < table.size(); ++i) {
        std::uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit) {
            c = (c & 1) != 0 ? (c >> 1) ^ crc32_polynomial : c >> 1;
        }
        table[i] = c;
    }
    return table;
}

constexpr auto crc32_table = make_crc32_table();
static_assert(crc32_table[1] == 0x77073096 && crc32_table[128] == 0xEDB88320 &&
              crc32_table[255] == 0x2D02EF8D);

constexpr std::string_view hex_digits = "0123456789ABCDEF";

// Enciphers the windows at offsets 0, 1, ..., size - 8 in place, in that order, so each
// window reads seven bytes that the one before it has just written.
//
// The window is held as one 64-bit number, little-endian: x is its low word, y its high
// word. Moving one byte on drops byte i, which no later window touches, from the bottom
// and takes byte i + 8 in at the top; the enciphered bytes stay in registers rather than
// being stored and read back at an offset, which would stall every window.
void encipher_windows(std::span<std::uint8_t> record) {
    assert(record.size() >= window_size);  // a record is at least 9 bytes
    std::uint8_t* const r = record.data();
    const std::size_t last = record.size() - window_size;
    std::uint64_t window = std::uint64_t{load32_le(r + 4)} << 32 | load32_le(r);
    for (std::size_t i = 0;; ++i) {
        const TeaBlock out = tea_encrypt(
            {static_cast<std::uint32_t>(window), static_cast<std::uint32_t>(window >> 32)},
            crypt_key);
        window = std::uint64_t{out[1]} << 32 | out[0];
        if (i == last) {
            break;
        }
        r[i] = static_cast<std::uint8_t>(window);
        window = window >> 8 | std::uint64_t{r[i + window_size]} << 56;
    }
    store32_le(r + last, static_cast<std::uint32_t>(window));
    store32_le(r + last + 4, static_cast<std::uint32_t>(window >> 32));
}

}  // namespace

std::uint32_t pad_rand(PadGenerator& gen) {
    gen.state = gen.state * pad_multiplier + pad_increment;
    return (gen.state >> 16) & pad_value_mask;
}

std::size_t pad_count(std::size_t n, std::uint32_t first_value) {
    const std::size_t base = n < short_text_length ? short_text_pad - n : 0;
    return base + first_value % pad_spread + 1;
}

std::uint32_t crc32(std::span<const std::uint8_t> bytes) {
    std::uint32_t crc = crc32_conditioning;
    for (const std::uint8_t b : bytes) {
        crc = (crc >> 8) ^ crc32_table[(crc ^ b) & 0xFF];
    }
    return crc ^ crc32_conditioning;
}

char hex_digit(unsigned value) { return hex_digits[value & 0xF]; }

std::size_t hex_encode(std::span<const std::uint8_t> bytes, std::span<char> dest) {
    assert(dest.size() / 2 >= bytes.size());
    char* out = dest.data();
    for (const std::uint8_t b : bytes) {
        *out++ = hex_digit(b >> 4U);
        *out++ = hex_digit(b);
    }
    return 2 * bytes.size();
}

std::uint32_t clock_seed(std::chrono::system_clock::time_point t) {
    const auto seconds = std::chrono::floor<std::chrono::seconds>(t.time_since_epoch());
    return static_cast<std::uint32_t>(seconds.count());  // wraps modulo 2^32, past 2106 too
}

EncodedText crypt_encode_seeded(std::span<const std::uint8_t> input, std::uint32_t seed) {
    PadGenerator gen = pad_seed(seed);
    const std::size_t n = input.size();
    const std::size_t p = pad_count(n, pad_rand(gen));

    // The text needs 2R + 1 chars: refuse any length for which that overflows.
    constexpr std::size_t max_size = std::numeric_limits<std::size_t>::max();
    if (n > (max_size - 1) / 2 - (count_size + p + check_size)) {
        return {};
    }
    const std::size_t r = count_size + p + n + check_size;

    const std::unique_ptr<std::uint8_t[]> record(new (std::nothrow) std::uint8_t[r]);
    std::unique_ptr<char[]> text(new (std::nothrow) char[2 * r + 1]);
    if (!record || !text) {
        return {};
    }

    record[0] = static_cast<std::uint8_t>(p);
    for (std::size_t i = 1; i <= p; ++i) {
        record[i] = static_cast<std::uint8_t>(pad_rand(gen));  // low 8 bits of each value
    }
    std::copy_n(input.begin(), n, record.get() + count_size + p);
    const std::size_t checked = count_size + p + n;
    store32_be(record.get() + checked, crc32({record.get(), checked}));

    encipher_windows({record.get(), r});

    const std::size_t length = hex_encode({record.get(), r}, {text.get(), 2 * r});
    text[length] = '\0';
    return {std::move(text), length};
}

EncodedText crypt_encode(std::span<const std::uint8_t> input,
                         std::chrono::system_clock::time_point now) {
    return crypt_encode_seeded(input, clock_seed(now));
}

}  // namespace strcrypt
