#pragma once
// The command-line front end: `strcrypt CRYPT <text>` prints the text's encoding.

#include <chrono>
#include <cstdint>
#include <memory>
#include <string_view>

#include "encoder.h"

namespace strcrypt::cli {

// Exit statuses; a POSIX shell sees the negative ones as 255, 254, 253, 252 and 251.
constexpr int exit_ok = 0;
constexpr int exit_no_keyword = -1;         // fewer than two arguments
constexpr int exit_bad_keyword = -2;        // the first argument is not the keyword
constexpr int exit_no_memory = -3;          // the encoding does not fit in memory
constexpr int exit_write_failed = -4;       // the result line could not be written
constexpr int exit_not_representable = -5;  // the text has characters the code page lacks

// True when the first five characters of `arg` are CRYPT in any ASCII case; false for a
// null `arg`. Windows checks the UTF-16 argument, so only those five characters, not the
// rest, need to fit the code page.
bool keyword_matches(const char* arg);
bool keyword_matches(const wchar_t* arg);

// Prints the usage line on standard output with the program's `name`, empty if null.
void print_usage(const char* name);

// Prints the result line on standard output in one write. Returns "" when all of it was
// written, else the reason it was not, as static text: a failure allocates nothing.
const char* print_result(const EncodedText& encoded);

// Prints "strcrypt: <what>: <why>" as one line on standard error.
void print_error(const char* what, const char* why);

// What differs between platforms (platform.cpp).

// The line end on standard output: CR LF on Windows, whose consoles and tools expect it.
#ifdef _WIN32
constexpr std::string_view newline = "\r\n";
#else
constexpr std::string_view newline = "\n";
#endif

// Writes all of `bytes` to standard output, waiting whenever the output cannot take more
// yet. Returns "" when all of it was written, else the system's reason, which stays valid
// until the next call; a reader that has gone is "Broken pipe" on every platform.
const char* write_stdout(std::string_view bytes);

// The calendar clock now, in whole seconds since 1970, as far as the system's clock goes.
std::chrono::sys_seconds clock_now();

// A Windows FILETIME counts ticks of 100 ns since 1601-01-01 00:00:00 UTC.
constexpr std::uint64_t filetime_ticks_per_second = 10'000'000;
constexpr std::uint64_t filetime_unix_epoch = 116'444'736'000'000'000;  // 1970-01-01: 369 years

// The second of a FILETIME of `ticks`, rounded down.
std::chrono::sys_seconds from_filetime(std::uint64_t ticks);

#ifdef _WIN32
// A text converted to a code page: zero-terminated bytes, null when memory ran out.
struct CodePageText {
    HeapArray<char> bytes;
    bool exact = false;  // the bytes read back as the text: nothing was replaced
};

// `arg` in code page `code_page`, with Windows' best fit for characters the page lacks.
CodePageText to_code_page(std::wstring_view arg, unsigned code_page);
#endif

}  // namespace strcrypt::cli
