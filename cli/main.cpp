// strcrypt CRYPT <text>: prints the text's encoding with its length.

#include <cstdint>
#include <cstring>
#include <span>

#include "cli.h"

#ifdef _WIN32
#include <windows.h>

#include <algorithm>
#endif

namespace {

using namespace strcrypt::cli;

// Runs the program on `argv`, of which it reads only the name and the text, and returns
// the exit status. The caller checks the keyword in its platform's own form (on Windows
// argv[1] is null) and passes `text_fault`, -5 or -3, when it could not give the text.
int run(int argc, const char* const* argv, bool keyword_ok, int text_fault = exit_ok) {
    if (argc < 2) {
        print_usage(argv);
        return exit_no_keyword;
    }
    if (!keyword_ok) {
        print_usage(argv);
        return exit_bad_keyword;
    }
    if (text_fault == exit_not_representable) {
        print_error("cannot encode the text",
                    "it has characters that the system's code page cannot represent");
        return text_fault;
    }
    strcrypt::EncodedText encoded;
    if (text_fault == exit_ok) {
        const char* text = argc == 2 ? "" : argv[2];
        const std::span input(reinterpret_cast<const std::uint8_t*>(text), std::strlen(text));
        encoded = strcrypt::crypt_encode(input, clock_now());
    }
    if (!encoded.text) {
        print_error("cannot encode the text", "not enough memory");
        return exit_no_memory;
    }
    if (const char* why = print_result(encoded); *why != '\0') {
        print_error("cannot write the result", why);
        return exit_write_failed;
    }
    return exit_ok;
}

}  // namespace

#ifdef _WIN32
// The C runtime's ANSI arguments come with best fit, which silently changes a text. Take
// the UTF-16 ones, split by the same rules, and convert the text exactly. The name is
// only shown, so best fit serves it; the keyword is checked as UTF-16.
int wmain(int argc, wchar_t** wargv) {
    const unsigned code_page = GetACP();
    const CodePageText name = argc > 0 ? to_code_page(wargv[0], code_page) : CodePageText{};
    const CodePageText text = argc > 2 ? to_code_page(wargv[2], code_page) : CodePageText{};
    const int text_fault = argc <= 2 || text.exact ? exit_ok
                           : text.bytes            ? exit_not_representable
                                                   : exit_no_memory;
    const char* const argv[] = {name.bytes.get(), nullptr, text.bytes.get(), nullptr};
    return run(std::min(argc, 3), argv, argc > 1 && keyword_matches(wargv[1]), text_fault);
}
#else
int main(int argc, char** argv) { return run(argc, argv, argc > 1 && keyword_matches(argv[1])); }
#endif
