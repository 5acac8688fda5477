// libFuzzer target for the seeded encoder: the first four input bytes are the seed
// (little-endian), the rest is the text. Every encoding must decipher back to a record
// that follows the format, and its text must be 2R uppercase hex digits.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>

#include "bytes.h"
#include "decipher.h"
#include "encoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    const std::uint32_t seed = strcrypt::load32_le(data);
    const std::span<const std::uint8_t> text(data + 4, size - 4);

    const strcrypt::EncodedText encoded = strcrypt::crypt_encode_seeded(text, seed);
    if (!encoded.text) {
        std::fprintf(stderr, "no encoding for %zu bytes\n", text.size());
        std::abort();
    }
    if (std::strlen(encoded.text.get()) != encoded.length) {
        std::fprintf(stderr, "returned length %zu is not the text's length\n", encoded.length);
        std::abort();
    }
    const std::string fault = strcrypt::testing::check_encoding(text, seed, encoded.view());
    if (!fault.empty()) {
        std::fprintf(stderr, "%s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
