#pragma once
// Test-only inverse of the encoder: the window pass run backwards with TEA decryption.
// The program itself has no way to decode.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tea.h"

namespace strcrypt::testing {

// Reads an encoded text back into the plain record; nullopt if it is not whole hex bytes.
std::optional<std::vector<std::uint8_t>> decipher(std::string_view text, const TeaKey& key);

// Checks that `text` is the encoding of `input` with the pad drawn from `seed`: uppercase
// hex of even length, pad count by its rule, pad from the generator, payload intact,
// CRC-32 trailer right and most significant byte first. Returns "" or the first fault.
std::string check_encoding(std::span<const std::uint8_t> input, std::uint32_t seed,
                           std::string_view text, const TeaKey& key = crypt_key);

// The bytes of a string, as the encoder takes them.
std::span<const std::uint8_t> bytes_of(std::string_view s);

}  // namespace strcrypt::testing
