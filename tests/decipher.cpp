#include "decipher.h"

#include <algorithm>
#include <cstddef>

#include "bytes.h"
#include "encoder.h"
#include "textbook_tea.h"

namespace strcrypt::testing {

namespace {
constexpr std::size_t window_size = 8;

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
        const TeaBlock plain = tea_decrypt({load32_le(w), load32_le(w + 4)}, key);
        store32_le(w, plain[0]);
        store32_le(w + 4, plain[1]);
    }
    return record;
}

std::string check_encoding(std::span<const std::uint8_t> input, std::uint32_t seed,
                           std::string_view text, const TeaKey& key) {
    const auto record = decipher(text, key);
    if (!record) return "not uppercase hex of even length: " + std::string(text.substr(0, 64));

    const std::size_t n = input.size();
    PadGenerator gen = pad_seed(seed);
    const std::uint32_t first = pad_rand(gen);
    const std::size_t p = (n <= 2 ? 4 - n : 0) + first % 4 + 1;
    if (record->size() != n + p + 5) {
        return "record of " + std::to_string(record->size()) + " bytes, expected " +
               std::to_string(n + p + 5);
    }
    const std::uint8_t* r = record->data();
    if (r[0] != p)
        return "pad count byte " + std::to_string(r[0]) + ", expected " + std::to_string(p);
    for (std::size_t i = 1; i <= p; ++i) {
        if (r[i] != static_cast<std::uint8_t>(pad_rand(gen)))
            return "pad byte " + std::to_string(i);
    }
    if (!std::equal(input.begin(), input.end(), r + 1 + p)) return "payload differs";
    if (load32_be(r + 1 + p + n) != crc32({r, 1 + p + n})) return "CRC-32 trailer wrong";
    return "";
}

std::span<const std::uint8_t> bytes_of(std::string_view s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

}  // namespace strcrypt::testing
