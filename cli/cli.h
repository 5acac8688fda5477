#pragma once
// The command-line front end: `strcrypt CRYPT <text>` prints the text's encoding.

#include "encoder.h"

namespace strcrypt::cli {

// Exit statuses; a POSIX shell sees the negative ones as 255, 254, 253 and 252.
constexpr int exit_ok = 0;
constexpr int exit_no_keyword = -1;    // fewer than two arguments
constexpr int exit_bad_keyword = -2;   // the first argument is not the keyword
constexpr int exit_no_memory = -3;     // the encoding does not fit in memory
constexpr int exit_write_failed = -4;  // the result line could not be written

// True when the first five characters of `arg` are CRYPT, ignoring ASCII letter case.
bool keyword_matches(const char* arg);

// Prints the usage line on standard output with argv[0], or an empty name if there is none.
void print_usage(const char* const* argv);

// Prints the result line on standard output and flushes it; false if that failed.
bool print_result(const EncodedText& encoded);

// Prints "strcrypt: <what>: <why>" as one line on standard error.
void print_error(const char* what, const char* why);

}  // namespace strcrypt::cli
