#include "decipher.h"

#include <algorithm>
#include <cstddef>

#include "textbook_tea.h"

namespace strcrypt::testing {

namespace {
// The format written out again, apart from the encoder's own code, so that a fault in
// its byte order, generator or CRC cannot agree with itself.
constexpr std::size_t window_size = 8;

std::uint32_t le_word(const std::uint8_t* p) {
    return std::uint32_t{p[3]} << 24 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
}

void put_le_word(std::uint8_t* p, std::uint32_t w) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(w >> 8 * i);
}

std::uint32_t be_word(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

// The pad generator's next value: bits 16..30 of state * 214013 + 2531011.
std::uint32_t next_pad_value(std::uint32_t& state) {
    state = state * 214013U + 2531011U;
    return state >> 16 & 0x7FFF;
}

// CRC-32 (zlib's) bit by bit, without a table.
std::uint32_t bitwise_crc32(const std::uint8_t* p, std::size_t n) {
    std::uint32_t crc = 0xFFFFFFFF;
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ ((crc & 1) != 0 ? 0xEDB88320 : 0);
    }
    return ~crc;
}

int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;  // lowercase is a fault too
}
}  // namespace

std::optional<std::vector<std::uint8_t>> decipher(std::string_view text, const TeaKey& key) {
    if (text.size() % 2 != 0) return std::nullopt;
    std::vector<std::uint8_t> record(text.size() / 2);
    for (std::size_t i = 0; i < record.size(); ++i) {
        const int hi = hex_value(text[2 * i]);
        const int lo = hex_value(text[2 * i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        record[i] = static_cast<std::uint8_t>(hi << 4 | lo);
    }
    // Undo the windows last to first.
    for (std::size_t i = record.size() + 1; i-- > window_size;) {
        std::uint8_t* w = record.data() + i - window_size;
        const TeaBlock plain = tea_decrypt({le_word(w), le_word(w + 4)}, key);
        put_le_word(w, plain[0]);
        put_le_word(w + 4, plain[1]);
    }
    return record;
}

std::string check_encoding(std::span<const std::uint8_t> input, std::uint32_t seed,
                           std::string_view text, const TeaKey& key) {
    const auto record = decipher(text, key);
    if (!record) return "not uppercase hex of even length: " + std::string(text.substr(0, 64));

    const std::size_t n = input.size();
    std::uint32_t state = seed;
    const std::uint32_t first = next_pad_value(state);
    const std::size_t p = (n <= 2 ? 4 - n : 0) + first % 4 + 1;
    if (record->size() != n + p + 5) {
        return "record of " + std::to_string(record->size()) + " bytes, expected " +
               std::to_string(n + p + 5);
    }
    const std::uint8_t* r = record->data();
    if (r[0] != p)
        return "pad count byte " + std::to_string(r[0]) + ", expected " + std::to_string(p);
    for (std::size_t i = 1; i <= p; ++i) {
        if (r[i] != static_cast<std::uint8_t>(next_pad_value(state)))
            return "pad byte " + std::to_string(i);
    }
    if (!std::equal(input.begin(), input.end(), r + 1 + p)) return "payload differs";
    if (be_word(r + 1 + p + n) != bitwise_crc32(r, 1 + p + n)) return "CRC-32 trailer wrong";
    return "";
}

std::span<const std::uint8_t> bytes_of(std::string_view s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

}  // namespace strcrypt::testing
