#include "cli.h"

#include <cstdio>
#include <string_view>

namespace strcrypt::cli {

namespace {

constexpr std::string_view command_keyword = "CRYPT";

// Folds A-Z to a-z and leaves every other byte as it is, whatever the locale.
constexpr char fold_ascii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool keyword_matches(const char* arg) {
    for (const char k : command_keyword) {
        // A shorter argument fails here at its terminating zero, before reading past it.
        if (fold_ascii(*arg) != fold_ascii(k)) {
            return false;
        }
        ++arg;
    }
    return true;
}

void print_usage(const char* const* argv) {
    const char* name = argv != nullptr && argv[0] != nullptr ? argv[0] : "";
    std::printf("Usage: %s CRYPT <string to be encoded>\n", name);
}

bool print_result(const EncodedText& encoded) {
    const int written =
        std::printf("endecoded string (len=%zu): %s\n", encoded.length, encoded.text.get());
    return written >= 0 && std::fflush(stdout) == 0;
}

void print_error(const char* what, const char* why) {
    std::fprintf(stderr, "strcrypt: %s: %s\n", what, why);
}

}  // namespace strcrypt::cli
