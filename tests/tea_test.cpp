#include "tea.h"

#include <gtest/gtest.h>

#include "decipher.h"

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
        const TeaBlock in = v.plain;
        EXPECT_EQ(tea_encrypt(in, v.key), v.cipher);
        EXPECT_EQ(in, v.plain);  // the input block is left as it was
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
