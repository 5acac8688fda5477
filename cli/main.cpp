// strcrypt CRYPT <text>: prints the text's encoding with its length.

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <span>

#include "cli.h"

int main(int argc, char** argv) {
    using namespace strcrypt::cli;

    if (argc < 2) {
        print_usage(argv);
        return exit_no_keyword;
    }
    const char* text = argc == 2 ? "" : argv[2];
    if (!keyword_matches(argv[1])) {
        print_usage(argv);
        return exit_bad_keyword;
    }

    const std::span input(reinterpret_cast<const std::uint8_t*>(text), std::strlen(text));
    const auto encoded = strcrypt::crypt_encode(input, std::chrono::system_clock::now());
    if (!encoded.text) {
        print_error("cannot encode the text", "not enough memory");
        return exit_no_memory;
    }
    if (!print_result(encoded)) {
        print_error("cannot write the result", std::strerror(errno));
        return exit_write_failed;
    }
    return exit_ok;
}
