#include <windows.h>

#include <algorithm>
#include <stdexcept>

#include "run_program.h"

namespace strcrypt::testing {

namespace {

void check(bool ok, const char* what) {
    if (!ok) throw std::runtime_error(std::string(what) + " failed");
}

std::wstring widen(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int n = static_cast<int>(utf8.size());
    std::wstring wide(
        static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), n, nullptr, 0)),
        L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), n, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

// Quotes one argument so that the C runtime's command-line parser gives it back as is:
// backslashes are literal unless they precede a quote, where they are doubled.
std::wstring quote_argument(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L"\"";
}

std::wstring command_line(const std::vector<std::string>& argv) {
    std::wstring line;
    for (const auto& arg : argv) {
        if (!line.empty()) line += L' ';
        line += quote_argument(widen(arg));
    }
    return line;
}

void drain(HANDLE pipe, std::string& sink, std::size_t limit) {
    char buffer[65536];
    DWORD got = 0;
    while (sink.size() < limit &&
           ReadFile(pipe, buffer, static_cast<DWORD>(std::min(sizeof buffer, limit - sink.size())),
                    &got, nullptr) &&
           got > 0)
        sink.append(buffer, got);
    CloseHandle(pipe);
}

// Drains standard error on a thread of its own (the win32-thread runtime has no
// std::thread), so that neither pipe can fill up while the other is read.
struct ErrDrain {
    HANDLE pipe;
    std::string* sink;
};
DWORD WINAPI drain_err(void* arg) {
    const auto* job = static_cast<ErrDrain*>(arg);
    drain(job->pipe, *job->sink, SIZE_MAX);
    return 0;
}

}  // namespace

RunResult run_program(const std::string& program, const std::vector<std::string>& argv,
                      const RunOptions& options) {
    check(options.env.empty() && !options.ignore_sigpipe, "a POSIX-only run option");
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
    HANDLE device = INVALID_HANDLE_VALUE;
    if (options.out == Stdout::full_device) {
        device = CreateFileW(L"Z:\\dev\\full", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit,
                             OPEN_EXISTING, 0, nullptr);
        check(device != INVALID_HANDLE_VALUE, "opening Z:\\dev\\full");
    }

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = options.out == Stdout::pipe     ? out_write
                         : options.out == Stdout::closed ? nullptr
                                                         : device;
    startup.hStdError = err_write;
    std::wstring line = command_line(argv);
    PROCESS_INFORMATION process = {};
    const BOOL started = CreateProcessW(widen(program).c_str(), line.data(), nullptr, nullptr, TRUE,
                                        0, nullptr, nullptr, &startup, &process);
    CloseHandle(out_write);
    CloseHandle(err_write);
    if (device != INVALID_HANDLE_VALUE) CloseHandle(device);
    if (!started) {
        CloseHandle(out_read);
        CloseHandle(err_read);
        check(false, "CreateProcess");
    }

    RunResult result;
    ErrDrain err_job = {err_read, &result.err};
    const HANDLE err_reader = CreateThread(nullptr, 0, drain_err, &err_job, 0, nullptr);
    check(err_reader != nullptr, "CreateThread");
    drain(out_read, result.out, options.read_limit);
    WaitForSingleObject(err_reader, INFINITE);
    CloseHandle(err_reader);

    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    result.status = static_cast<int>(code);
    return result;
}

}  // namespace strcrypt::testing
