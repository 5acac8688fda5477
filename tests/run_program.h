#pragma once
// Runs the built program as a separate process and collects what it printed.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace strcrypt::testing {

// Standard output: a pipe; closed (Windows: a null handle); a device that is always full
// (Windows: Wine's view of /dev/full, which only Wine has); a non-blocking pipe (Windows:
// a named pipe in no-wait mode) whose reader is slow. Windows only: a message-mode named
// pipe, which keeps each write apart; a named pipe that the reader has disconnected.
enum class Stdout { pipe, closed, full_device, nonblocking_pipe, message_pipe, disconnected_pipe };

struct RunOptions {
    std::vector<std::string> env = {};  // NAME=VALUE entries, in place of inherited ones
    Stdout out = Stdout::pipe;
    std::size_t read_limit = SIZE_MAX;  // close the output pipe after this many bytes
    bool ignore_sigpipe = false;        // SIGPIPE ignored, else its default action; POSIX only
    std::size_t address_space = 0;      // the process's address-space limit, if any; POSIX only
};

struct RunResult {
    int status = -1;  // POSIX: the exit status as a shell sees it, 0..255; -1 if killed.
                      // Windows: the whole exit code, as %ERRORLEVEL% shows it.
    int signal = 0;   // POSIX: the signal that ended the process, if any
    std::string out;
    std::string err;
    std::vector<std::size_t> writes;  // Stdout::message_pipe: the size of each write
};

// Runs `program` with exactly `argv` as its argument vector (argv[0] included). On POSIX
// an empty vector starts it with no arguments at all, not even a name. On Windows the
// arguments are UTF-8, as a user types them: they are quoted into a UTF-16 command line
// that the C runtime splits back into `argv`.
RunResult run_program(const std::string& program, const std::vector<std::string>& argv,
                      const RunOptions& options = {});

// Throws, naming `what`, unless `ok`: the runners' set-up must not fail quietly.
inline void check(bool ok, const char* what) {
    if (!ok) throw std::runtime_error(std::string(what) + " failed");
}

#ifdef _WIN32
// `bytes` in code page `code_page` as UTF-16, and back.
std::wstring to_wide(std::string_view bytes, unsigned code_page);
std::string from_wide(std::wstring_view wide, unsigned code_page);
#endif

}  // namespace strcrypt::testing
