#include "tea.h"

#include <gtest/gtest.h>

#include <random>

#include "decipher.h"
#include "textbook_tea.h"

namespace strcrypt {
namespace {

struct TeaVector {
    TeaKey key;
    TeaBlock plain;
    TeaBlock cipher;
};

// Published TEA test vectors (32 cycles).
constexpr TeaVector tea_vectors[] = {
    {{0, 0, 0, 0}, {0x00000000, 0x00000000}, {0x41EA3A0A, 0x94BAA940}},
    {{0x01234567, 0x12345678, 0x23456789, 0x3456789A},
     {0x01020304, 0x05060708},
     {0x773DC179, 0x878A81C0}},
};

TEST(Tea, MatchesPublishedVectors) {
    for (const auto& v : tea_vectors) {
        EXPECT_EQ(tea_encrypt(v.plain, v.key), v.cipher);
        EXPECT_EQ(testing::textbook_tea_encrypt(v.plain, v.key), v.cipher);
    }
    // Nothing carries over from one call to the next.
    const auto& v = tea_vectors[1];
    tea_encrypt(tea_vectors[0].plain, tea_vectors[0].key);
    EXPECT_EQ(tea_encrypt(v.plain, v.key), v.cipher);
}

TEST(Tea, MatchesTheTextbookRoundsOnRandomBlocksAndKeys) {
    std::mt19937 random(20261208);  // fixed, so a failure repeats
    const auto word = [&random] { return static_cast<std::uint32_t>(random()); };
    for (int i = 0; i < 4000; ++i) {
        const TeaKey key = {word(), word(), word(), word()};
        const TeaBlock block = {word(), word()};
        ASSERT_EQ(tea_encrypt(block, key), testing::textbook_tea_encrypt(block, key))
            << std::hex << block[0] << " " << block[1] << " under " << key[0] << " " << key[1]
            << " " << key[2] << " " << key[3];
    }
}

TEST(Tea, TestDecipherInvertsIt) {
    // The tests' decipher is only trustworthy if it undoes the cipher exactly.
    TeaBlock block = {0xDEADBEEF, 0x00C0FFEE};
    const TeaKey key = {0xFFFFFFFF, 0x80000000, 0x7FFFFFFF, 0x00000001};
    for (int i = 0; i < 1000; ++i) {
        const TeaBlock out = tea_encrypt(block, key);
        ASSERT_NE(out, block);
        ASSERT_EQ(testing::tea_decrypt(out, key), block);
        block = out;
    }
}

}  // namespace
}  // namespace strcrypt
