#include "cli.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <initializer_list>
#include <string_view>

namespace strcrypt::cli {

namespace {

constexpr std::string_view command_keyword = "CRYPT";

// Folds A-Z to a-z and leaves every other character as it is, whatever the locale.
template <typename Char>
constexpr Char fold_ascii(Char c) {
    return c >= Char{'A'} && c <= Char{'Z'} ? static_cast<Char>(c - 'A' + 'a') : c;
}

// Writes `parts` and a line end as one line, assembled in one buffer and written at once.
// Returns "" or the reason it could not be written.
const char* write_line(std::initializer_list<std::string_view> parts) {
    std::size_t size = newline.size();
    for (const auto part : parts) size += part.size();
    const auto line = allocate_array<char>(size);
    if (!line) return "not enough memory";
    char* out = line.get();
    for (const auto part : parts) out = std::copy(part.begin(), part.end(), out);
    std::copy(newline.begin(), newline.end(), out);
    return write_stdout({line.get(), size});
}

template <typename Char>
bool keyword_matches_any(const Char* arg) {
    if (arg == nullptr) return false;
    for (const char k : command_keyword) {
        // A shorter argument stops here at its terminating zero and is never read past.
        if (fold_ascii(*arg) != fold_ascii(static_cast<Char>(k))) {
            return false;
        }
        ++arg;
    }
    return true;
}

}  // namespace

bool keyword_matches(const char* arg) { return keyword_matches_any(arg); }
bool keyword_matches(const wchar_t* arg) { return keyword_matches_any(arg); }

void print_usage(const char* name) {
    // The usage line already reports a fault; a failure to write it changes nothing.
    static_cast<void>(
        write_line({"Usage: ", name != nullptr ? name : "", " CRYPT <string to be encoded>"}));
}

const char* print_result(const EncodedText& encoded) {
    std::array<char, 24> digits{};  // a 64-bit length in decimal
    const auto formatted =
        std::to_chars(digits.data(), digits.data() + digits.size(), encoded.length);
    const std::string_view length(digits.data(),
                                  static_cast<std::size_t>(formatted.ptr - digits.data()));
    return write_line({"endecoded string (len=", length, "): ", encoded.view()});
}

void print_error(const char* what, const char* why) {
    std::fprintf(stderr, "strcrypt: %s: %s\n", what, why);
}

}  // namespace strcrypt::cli
