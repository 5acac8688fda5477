#include "encoder.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstdint>
#include <limits>

#include "bytes.h"
#include "tea.h"
#include "window_pass.h"

namespace strcrypt {

namespace {

// Pad generator: state = state * multiplier + increment (mod 2^32); the value is bits 16..30.
constexpr std::uint32_t pad_multiplier = 214013;
constexpr std::uint32_t pad_increment = 2531011;
constexpr std::uint32_t pad_value_mask = 0x7FFF;

// A text shorter than this gets short_text_pad - n extra pad bytes. Pad and text then hold
// at least 5 bytes, or 4 for a longer text, so every record has 9 bytes or more: more than
// one cipher window.
constexpr std::size_t short_text_length = 3;
constexpr std::size_t short_text_pad = 4;
constexpr std::uint32_t pad_spread = 4;  // the first value adds 0..3 pad bytes

constexpr std::size_t count_size = 1;  // the pad count byte
constexpr std::size_t check_size = 4;  // the CRC-32 trailer

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

}  // namespace

std::uint32_t pad_rand(PadGenerator& gen) {
    gen.state = gen.state * pad_multiplier + pad_increment;
    return (gen.state >> 16) & pad_value_mask;
}

std::size_t pad_count(std::size_t n, std::uint32_t first_value) {
    const std::size_t base = n < short_text_length ? short_text_pad - n : 0;
    return base + first_value % pad_spread + 1;
}

std::optional<std::size_t> record_size(std::size_t n, std::size_t p) {
    // The text needs 2R + 1 chars: refuse any length for which that overflows.
    constexpr std::size_t max_record = (std::numeric_limits<std::size_t>::max() - 1) / 2;
    constexpr std::size_t fixed = count_size + check_size;
    if (p > max_record - fixed || n > max_record - fixed - p) {
        return std::nullopt;
    }
    return n + p + fixed;
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

std::uint32_t clock_seed(std::chrono::sys_seconds t) {
    return static_cast<std::uint32_t>(t.time_since_epoch().count());  // wraps in 2106, and on
}

EncodedText crypt_encode_seeded(std::span<const std::uint8_t> input, std::uint32_t seed) {
    PadGenerator gen = pad_seed(seed);
    const std::size_t n = input.size();
    const std::size_t p = pad_count(n, pad_rand(gen));

    const auto size = record_size(n, p);
    if (!size) {
        return {};
    }
    const std::size_t r = *size;

    const auto record = allocate_array<std::uint8_t>(r);
    auto text = allocate_array<char>(2 * r + 1);
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

    encipher_windows({record.get(), r},
                     [](const TeaBlock& block) { return tea_encrypt(block, crypt_key); });

    const std::size_t length = hex_encode({record.get(), r}, {text.get(), 2 * r});
    text[length] = '\0';
    return {std::move(text), length};
}

EncodedText crypt_encode(std::span<const std::uint8_t> input, std::chrono::sys_seconds now) {
    return crypt_encode_seeded(input, clock_seed(now));
}

}  // namespace strcrypt
