#pragma once
// Runs the built program as a separate process and collects what it printed.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace strcrypt::testing {

enum class Stdout { pipe, closed, full_device };  // the last two on POSIX only

// The rest are POSIX only.
struct RunOptions {
    std::vector<std::string> env = {};  // extra NAME=VALUE entries
    Stdout out = Stdout::pipe;
    std::size_t read_limit = SIZE_MAX;  // close the output pipe after this many bytes
    bool ignore_sigpipe = false;        // start the program with SIGPIPE ignored
};

struct RunResult {
    int status = -1;  // POSIX: the exit status as a shell sees it, 0..255; -1 if killed.
                      // Windows: the whole exit code, as %ERRORLEVEL% shows it.
    int signal = 0;   // POSIX: the signal that ended the process, if any
    std::string out;
    std::string err;
};

// Runs `program` with exactly `argv` as its argument vector (argv[0] included). On POSIX
// an empty vector starts it with no arguments at all, not even a name; on Windows the
// vector is quoted into a command line that the C runtime splits back into `argv`.
RunResult run_program(const std::string& program, const std::vector<std::string>& argv,
                      const RunOptions& options = {});

}  // namespace strcrypt::testing
