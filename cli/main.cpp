// strcrypt CRYPT <text>: prints the text's encoding with its length.

#include <cstdint>
#include <span>
#include <string_view>

#include "cli.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

using namespace strcrypt::cli;

// What the command line asks for: the text to encode, or in `fault` the status that says
// why there is none.
struct Request {
    int fault = exit_ok;
    std::string_view text;
};

// The argument rules, for either platform's arguments: without a first argument there is
// no keyword; a first one that is not the keyword is a wrong one; else the text is the
// second, or the empty text if there is none. `text_of` gives the second argument's text,
// which on Windows is converted and can fail; arguments after it are ignored.
template <typename Arg, typename TextOf>
Request request_of(int argc, const Arg* const* argv, TextOf text_of) {
    if (argc < 2) return {exit_no_keyword, {}};
    if (!keyword_matches(argv[1])) return {exit_bad_keyword, {}};
    if (argc < 3) return {exit_ok, ""};
    return text_of(argv[2]);
}

// Carries out `request`, printing the program name `name` in the usage line, and returns
// the exit status.
int run(const char* name, const Request& request) {
    switch (request.fault) {
        case exit_no_keyword:
        case exit_bad_keyword:
            print_usage(name);
            return request.fault;
        case exit_not_representable:
            print_error("cannot encode the text",
                        "it has characters that the system's code page cannot represent");
            return request.fault;
        case exit_ok: {
            const std::span input(reinterpret_cast<const std::uint8_t*>(request.text.data()),
                                  request.text.size());
            const strcrypt::EncodedText encoded = strcrypt::crypt_encode(input, clock_now());
            if (!encoded.text) break;
            if (const char* why = print_result(encoded); *why != '\0') {
                print_error("cannot write the result", why);
                return exit_write_failed;
            }
            return exit_ok;
        }
        default:  // exit_no_memory: the text could not be taken
            break;
    }
    print_error("cannot encode the text", "not enough memory");
    return exit_no_memory;
}

}  // namespace

#ifdef _WIN32
// The C runtime's ANSI arguments come with best fit, which silently changes a text. Take
// the UTF-16 ones, split by the same rules, and convert the text exactly. The name is
// only shown, so best fit serves it; the keyword is checked as UTF-16.
int wmain(int argc, wchar_t** wargv) {
    const unsigned code_page = GetACP();
    CodePageText text;
    const Request request = request_of(argc, wargv, [&](const wchar_t* arg) {
        text = to_code_page(arg, code_page);
        return !text.bytes   ? Request{exit_no_memory, {}}
               : text.exact ? Request{exit_ok, text.bytes.get()}
                            : Request{exit_not_representable, {}};
    });
    const CodePageText name = argc > 0 ? to_code_page(wargv[0], code_page) : CodePageText{};
    return run(name.bytes.get(), request);
}
#else
int main(int argc, char** argv) {
    const Request request =
        request_of(argc, argv, [](const char* arg) { return Request{exit_ok, arg}; });
    return run(argc > 0 ? argv[0] : nullptr, request);
}
#endif
