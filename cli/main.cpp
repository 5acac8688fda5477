// strcrypt CRYPT <text>: prints the text's encoding with its length.

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <span>

#include "cli.h"

#ifdef _WIN32
#include <windows.h>

#include <vector>
#endif

namespace {

using namespace strcrypt::cli;

// The program on its arguments; argv[i] is null where the platform could not give that
// argument's bytes exactly. Returns the exit status.
int run(int argc, const char* const* argv) {
    if (argc < 2) {
        print_usage(argv);
        return exit_no_keyword;
    }
    const char* text = argc == 2 ? "" : argv[2];
    if (!keyword_matches(argv[1])) {
        print_usage(argv);
        return exit_bad_keyword;
    }
    if (text == nullptr) {
        print_error("cannot encode the text",
                    "it has characters that the system's code page cannot represent");
        return exit_not_representable;
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

}  // namespace

#ifdef _WIN32
// The C runtime's ANSI arguments are converted with best fit, which silently changes a
// text; take the UTF-16 ones, split by the same rules, and convert them exactly.
int wmain(int argc, wchar_t** wargv) {
    const unsigned code_page = GetACP();
    std::vector<std::optional<std::string>> args;
    for (int i = 0; i < argc; ++i) {
        args.push_back(i == 0 ? to_code_page_best_fit(wargv[i], code_page)  // only shown
                              : to_code_page(wargv[i], code_page));
    }
    std::vector<const char*> argv;
    for (const auto& arg : args) argv.push_back(arg ? arg->c_str() : nullptr);
    argv.push_back(nullptr);
    return run(argc, argv.data());
}
#else
int main(int argc, char** argv) { return run(argc, argv); }
#endif
