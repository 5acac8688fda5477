#pragma once
// Runs the built program as a separate process and collects what it printed.

#include <string>
#include <vector>

namespace strcrypt::testing {

enum class Stdout { pipe, closed, full_device };

struct RunOptions {
    std::vector<std::string> env;  // extra NAME=VALUE entries
    Stdout out = Stdout::pipe;
};

struct RunResult {
    int status = -1;  // exit status as a POSIX shell sees it (0..255); -1 if killed
    int signal = 0;   // the signal that ended the process, if any
    std::string out;
    std::string err;
};

// Runs `program` with exactly `argv` as its argument vector (argv[0] included; an
// empty vector starts it with no arguments at all, not even a name).
RunResult run_program(const std::string& program, const std::vector<std::string>& argv,
                      const RunOptions& options = {});

}  // namespace strcrypt::testing
