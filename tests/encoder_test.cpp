#include "encoder.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "decipher.h"

namespace strcrypt {
namespace {

using testing::bytes_of;
using testing::check_encoding;

// A text of n bytes that uses every byte value, zero included (the library takes any bytes).
std::vector<std::uint8_t> sample_text(std::size_t n) {
    std::vector<std::uint8_t> text(n);
    for (std::size_t i = 0; i < n; ++i) text[i] = static_cast<std::uint8_t>(i * 167 + 13);
    return text;
}

TEST(Crc32, KnownAnswers) {
    EXPECT_EQ(crc32(bytes_of("")), 0x00000000U);
    EXPECT_EQ(crc32(bytes_of("123456789")), 0xCBF43926U);
    EXPECT_EQ(crc32(bytes_of("The quick brown fox jumps over the lazy dog")), 0x414FA339U);
}

TEST(PadGenerator, SequenceFromSeedOne) {
    PadGenerator gen = pad_seed(1);
    for (const std::uint32_t expected : {41U, 18467U, 6334U, 26500U, 19169U}) {
        EXPECT_EQ(pad_rand(gen), expected);
    }
}

TEST(PadGenerator, ValuesStayBelow32768) {
    PadGenerator gen = pad_seed(0xFFFFFFFF);
    for (int i = 0; i < 100000; ++i) ASSERT_LE(pad_rand(gen), 32767U);
}

TEST(PadCount, FollowsTextLengthAndFirstValue) {
    struct Row {
        std::size_t n;
        std::uint32_t first_value;
        std::size_t pad;
    };
    const Row rows[] = {
        {0, 0, 5}, {0, 3, 8}, {0, 32767, 8},  // short texts get 4 - n extra bytes
        {1, 0, 4}, {1, 7, 7}, {2, 4, 3},     {2, 2, 5},
        {3, 0, 1}, {3, 3, 4}, {4, 1, 2},     {100000, 32766, 3},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(pad_count(row.n, row.first_value), row.pad)
            << "n=" << row.n << " v=" << row.first_value;
    }
}

TEST(Hex, DigitsAndByteOrder) {
    std::string digits;
    for (unsigned v = 0; v < 16; ++v) digits += hex_digit(v);
    EXPECT_EQ(digits, "0123456789ABCDEF");

    const std::array<std::uint8_t, 5> bytes = {0x00, 0x0F, 0xA5, 0xF0, 0xFF};
    std::string out(10, '?');
    EXPECT_EQ(hex_encode(bytes, out), 10U);
    EXPECT_EQ(out, "000FA5F0FF");
}

TEST(ClockSeed, WholeSecondsSince1970ModuloTwoTo32) {
    using std::chrono::seconds;
    struct Row {
        seconds since_epoch;
        std::uint32_t seed;
    };
    const Row rows[] = {
        {seconds{0}, 0},
        {seconds{1}, 1},
        {seconds{1'000'000'000}, 1'000'000'000},
        // 2038-01-19 03:14:08, past a signed 32-bit time_t
        {seconds{2'147'483'648}, 2'147'483'648U},
        {seconds{4'294'967'295}, 4'294'967'295U},  // 2106-02-07 06:28:15, the last second that fits
        {seconds{4'294'967'296}, 0},               // 2106-02-07 06:28:16 wraps
        {seconds{4'417'977'600}, 123'010'304},     // 2110-01-01 00:00:00
        {seconds{9'223'372'800}, 633'438'208},     // 2262-04-12, past 2^63 nanoseconds
        {seconds{253'402'300'799}, 4'294'197'631U},  // 9999-12-31 23:59:59
        {seconds{-1}, 0xFFFFFFFF},                   // 1969-12-31 23:59:59
    };
    for (const auto& row : rows) {
        EXPECT_EQ(clock_seed(std::chrono::sys_seconds{row.since_epoch}), row.seed)
            << row.since_epoch.count() << " s";
    }
}

TEST(Encode, EveryLengthAndManySeedsDecipherToTheInput) {
    const std::uint32_t seeds[] = {0, 1, 2, 3, 41, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFE, 0xFFFFFFFF};
    for (std::size_t n = 0; n <= 80; ++n) {
        const auto text = sample_text(n);
        for (std::uint32_t seed : seeds) {
            const EncodedText encoded = crypt_encode_seeded(text, seed);
            ASSERT_TRUE(encoded.text);
            const std::string_view view = encoded.view();
            ASSERT_EQ(std::char_traits<char>::length(encoded.text.get()), encoded.length);
            ASSERT_EQ(check_encoding(text, seed, view), "") << "n=" << n << " seed=" << seed;
            const std::size_t lo = n <= 2 ? 20 : 2 * n + 12;
            const std::size_t hi = n <= 2 ? 26 : 2 * n + 18;
            ASSERT_GE(encoded.length, lo);
            ASSERT_LE(encoded.length, hi);
        }
    }
}

TEST(Encode, LargeTexts) {
    for (std::size_t n : {4096U, 65535U, 131071U, 1U << 20}) {
        const auto text = sample_text(n);
        for (std::uint32_t seed : {7U, 1'700'000'000U}) {
            const EncodedText encoded = crypt_encode_seeded(text, seed);
            ASSERT_TRUE(encoded.text);
            EXPECT_EQ(check_encoding(text, seed, encoded.view()), "") << "n=" << n;
        }
    }
}

TEST(Encode, AllPadCountsOccurAcrossSeeds) {
    // The first value's low two bits choose among four pad counts; all must appear.
    std::array<int, 4> seen{};
    for (std::uint32_t seed = 0; seed < 64; ++seed) {
        const std::size_t length = crypt_encode_seeded(bytes_of("abc"), seed).length;
        ASSERT_GE(length, 18U);
        ASSERT_LE(length, 24U);
        ++seen[(length - 18) / 2];
    }
    for (int count : seen) EXPECT_GT(count, 0);
}

TEST(Encode, SameSeedSameTextOtherSeedOtherText) {
    const auto a = crypt_encode_seeded(bytes_of("hello world"), 1'765'000'000);
    const auto b = crypt_encode_seeded(bytes_of("hello world"), 1'765'000'000);
    const auto c = crypt_encode_seeded(bytes_of("hello world"), 1'765'000'001);
    EXPECT_EQ(a.view(), b.view());
    EXPECT_NE(a.view(), c.view());
}

TEST(Encode, ClockVariantUsesTheSecond) {
    const std::chrono::sys_seconds t{std::chrono::seconds{4'417'977'600}};
    EXPECT_EQ(crypt_encode(bytes_of("abc"), t).view(),
              crypt_encode_seeded(bytes_of("abc"), 123'010'304).view());
}

// The public default key, written down here apart from the build's own copy of it.
constexpr TeaKey public_default_key = {0x5EC7A2B1, 0x0F3D94C6, 0xA1E85B27, 0x6C49D03E};

// Recomputed from this table by tests/reference/known_answers.py, an encoder of its own
// in Python (CI runs it). Run whenever the program has the public key, whatever the build
// says of it; a build that says it has the public key must have it.
TEST(Encode, KnownAnswersUnderTheDefaultKey) {
    if constexpr (STRCRYPT_KEY_IS_DEFAULT != 0) {
        ASSERT_EQ(crypt_key, public_default_key) << "the build says it has the public key";
    }
    if (crypt_key != public_default_key) GTEST_SKIP() << "built with another key";
    struct Row {
        const char* text;
        std::uint32_t seed;
        const char* encoded;
    };
    const Row rows[] = {
        {"", 0, "86EC198DA27486045D03B9D0"},
        {"abc", 1, "68B267E271055D785D9A"},
        {"abc", 2'147'483'648U, "C8E694A30824C85963D6B4"},
        {"hello world", 1'000'000'000, "A62FF097C8A2B8697497EF8676A10A229A4D57"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(crypt_encode_seeded(bytes_of(row.text), row.seed).view(), row.encoded)
            << row.text;
    }
}

// The encoder refuses a text whose sizes overflow before it reads the text or allocates:
// record_size is its guard, shown here for lengths no real span can have.
TEST(Encode, RecordSizeStopsWhereTheTextNoLongerFits) {
    constexpr std::size_t max = std::numeric_limits<std::size_t>::max();
    constexpr std::size_t largest = (max - 1) / 2;  // 2R + 1 chars still fit
    for (std::size_t p = 1; p <= 8; ++p) {
        for (std::size_t n : {max, max - 13, max / 2}) EXPECT_EQ(record_size(n, p), std::nullopt);
    }
    for (std::size_t p : {1U, 8U}) {
        EXPECT_EQ(record_size(7, p), 7 + p + 5);
        EXPECT_EQ(record_size(largest - 5 - p, p), largest) << "p=" << p;
        EXPECT_EQ(record_size(largest - 4 - p, p), std::nullopt) << "p=" << p;
        EXPECT_EQ(record_size(max, p), std::nullopt);
    }
    EXPECT_EQ(record_size(0, max), std::nullopt);
}

}  // namespace
}  // namespace strcrypt
