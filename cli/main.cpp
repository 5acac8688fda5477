// strcrypt CRYPT <text>: prints the text's encoding with its length.

#include <cstdint>
#include <cstring>
#include <span>

#include "cli.h"

#ifdef _WIN32
#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#endif

namespace {

using namespace strcrypt::cli;

// The program on its arguments, of which it reads the name and the text; the caller checks
// the keyword, argv[1], in the platform's own form of it and passes `keyword_ok`. On
// Windows argv[1] is always null: wmain has checked the keyword as UTF-16. argv[2] is null
// where the platform could not give the text's bytes exactly. Returns the exit status.
int run(int argc, const char* const* argv, bool keyword_ok) {
    if (argc < 2) {
        print_usage(argv);
        return exit_no_keyword;
    }
    const char* text = argc == 2 ? "" : argv[2];
    if (!keyword_ok) {
        print_usage(argv);
        return exit_bad_keyword;
    }
    if (text == nullptr) {
        print_error("cannot encode the text",
                    "it has characters that the system's code page cannot represent");
        return exit_not_representable;
    }

    const std::span input(reinterpret_cast<const std::uint8_t*>(text), std::strlen(text));
    const auto encoded = strcrypt::crypt_encode(input, clock_now());
    if (!encoded.text) {
        print_error("cannot encode the text", "not enough memory");
        return exit_no_memory;
    }
    if (const std::string why = print_result(encoded); !why.empty()) {
        print_error("cannot write the result", why.c_str());
        return exit_write_failed;
    }
    return exit_ok;
}

}  // namespace

#ifdef _WIN32
// The C runtime's ANSI arguments are converted with best fit, which silently changes a
// text; take the UTF-16 ones, split by the same rules, and convert the text exactly. The
// name is only shown, so best fit serves it; the keyword is checked as UTF-16.
int wmain(int argc, wchar_t** wargv) {
    const unsigned code_page = GetACP();
    const std::string name = argc > 0 ? to_code_page_best_fit(wargv[0], code_page) : "";
    const auto text = argc > 2 ? to_code_page(wargv[2], code_page) : std::optional<std::string>();
    const char* const argv[] = {argc > 0 ? name.c_str() : nullptr, nullptr,
                                text ? text->c_str() : nullptr, nullptr};
    return run(std::min(argc, 3), argv, argc > 1 && keyword_matches(wargv[1]));
}
#else
int main(int argc, char** argv) { return run(argc, argv, argc > 1 && keyword_matches(argv[1])); }
#endif
