#include <windows.h>

#include <stdexcept>
#include <thread>

#include "run_program.h"

namespace strcrypt::testing {

namespace {

void check(bool ok, const char* what) {
    if (!ok) throw std::runtime_error(std::string(what) + " failed");
}

// Quotes one argument so that the C runtime's command-line parser gives it back as is:
// backslashes are literal unless they precede a quote, where they are doubled.
std::string quote_argument(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\n\v\"") == std::string::npos) return arg;
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, '\\');
    return quoted + "\"";
}

void drain(HANDLE pipe, std::string& sink) {
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0)
        sink.append(buffer, got);
    CloseHandle(pipe);
}

std::string command_line(const std::vector<std::string>& argv) {
    std::string line;
    for (const auto& arg : argv) {
        if (!line.empty()) line += ' ';
        line += quote_argument(arg);
    }
    return line;
}

}  // namespace

RunResult run_program(const std::string& program, const std::vector<std::string>& argv,
                      const RunOptions& options) {
    check(options.env.empty() && options.out == Stdout::pipe, "a POSIX-only run option");
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE out_read = nullptr;
    HANDLE out_write = nullptr;
    HANDLE err_read = nullptr;
    HANDLE err_write = nullptr;
    check(CreatePipe(&out_read, &out_write, &inherit, 0) &&
              CreatePipe(&err_read, &err_write, &inherit, 0),
          "CreatePipe");
    SetHandleInformation(out_read, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(err_read, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out_write;
    startup.hStdError = err_write;
    std::string line = command_line(argv);
    PROCESS_INFORMATION process = {};
    const BOOL started = CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &process);
    CloseHandle(out_write);
    CloseHandle(err_write);
    if (!started) {
        CloseHandle(out_read);
        CloseHandle(err_read);
        check(false, "CreateProcess");
    }

    RunResult result;
    std::thread err_reader(drain, err_read, std::ref(result.err));
    drain(out_read, result.out);
    err_reader.join();

    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    result.status = static_cast<int>(code);
    return result;
}

}  // namespace strcrypt::testing
