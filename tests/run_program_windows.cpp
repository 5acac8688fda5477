#include <windows.h>

#include <algorithm>

#include "run_program.h"

namespace strcrypt::testing {

namespace {

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
        line += quote_argument(to_wide(arg, CP_UTF8));
    }
    return line;
}

// Reads `pipe` to its end or up to `limit` bytes; a slow reader waits before each read
// and takes at most 16 KiB.
void drain(HANDLE pipe, std::string& sink, std::size_t limit, bool slow = false) {
    char buffer[65536];
    const std::size_t most = slow ? std::size_t{16} * 1024 : sizeof buffer;
    for (DWORD got = 0; sink.size() < limit; sink.append(buffer, got)) {
        if (slow) Sleep(10);
        const auto size = static_cast<DWORD>(std::min(most, limit - sink.size()));
        if (!ReadFile(pipe, buffer, size, &got, nullptr) || got == 0) break;
    }
    CloseHandle(pipe);
}

// Reads a message-mode pipe to its end, keeping the size of each message.
void drain_messages(HANDLE pipe, RunResult& result) {
    char buffer[65536];
    bool new_message = true;
    for (;;) {
        DWORD got = 0;
        const BOOL whole = ReadFile(pipe, buffer, sizeof buffer, &got, nullptr);
        if (!whole && GetLastError() != ERROR_MORE_DATA) break;
        if (new_message) result.writes.push_back(0);
        result.writes.back() += got;
        result.out.append(buffer, got);
        new_message = whole != FALSE;  // else the rest of this message comes next
    }
    CloseHandle(pipe);
}

// A named pipe of this run's own, in `mode`, that holds `size` bytes: the reading end and
// the end for the program.
void named_pipe(DWORD mode, SECURITY_ATTRIBUTES* inherit, HANDLE& server, HANDLE& client,
                DWORD size = 65536) {
    static int count = 0;
    const std::wstring name = L"\\\\.\\pipe\\strcrypt-test-" +
                              std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++count);
    server = CreateNamedPipeW(name.c_str(), PIPE_ACCESS_INBOUND, mode | PIPE_WAIT, 1, 0, size, 0,
                              nullptr);
    check(server != INVALID_HANDLE_VALUE, "CreateNamedPipe");
    client = CreateFileW(name.c_str(), GENERIC_WRITE, 0, inherit, OPEN_EXISTING, 0, nullptr);
    check(client != INVALID_HANDLE_VALUE, "opening the named pipe");
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
    if (options.out == Stdout::message_pipe) {
        named_pipe(PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE, &inherit, out_read, out_write);
    } else if (options.out == Stdout::nonblocking_pipe) {
        // No-wait mode belongs to the program's end: a write to a full pipe takes nothing.
        named_pipe(PIPE_TYPE_BYTE, &inherit, out_read, out_write, 4096);
        DWORD mode = PIPE_READMODE_BYTE | PIPE_NOWAIT;
        check(SetNamedPipeHandleState(out_write, &mode, nullptr, nullptr), "PIPE_NOWAIT");
    } else if (options.out == Stdout::disconnected_pipe) {
        // The reader disconnects before the program starts: its writes find no one there.
        named_pipe(PIPE_TYPE_BYTE, &inherit, out_read, out_write);
        check(DisconnectNamedPipe(out_read), "DisconnectNamedPipe");
    } else {
        check(CreatePipe(&out_read, &out_write, &inherit, 0), "CreatePipe");
    }
    check(CreatePipe(&err_read, &err_write, &inherit, 0), "CreatePipe");
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
    startup.hStdOutput = options.out == Stdout::closed        ? nullptr
                         : options.out == Stdout::full_device ? device
                                                              : out_write;
    startup.hStdError = err_write;
    std::wstring line = command_line(argv);
    PROCESS_INFORMATION process = {};
    const BOOL started = CreateProcessW(to_wide(program, CP_UTF8).c_str(), line.data(), nullptr,
                                        nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
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
    if (options.out == Stdout::message_pipe) {
        drain_messages(out_read, result);
    } else {
        drain(out_read, result.out, options.read_limit, options.out == Stdout::nonblocking_pipe);
    }
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

std::wstring to_wide(std::string_view bytes, unsigned code_page) {
    if (bytes.empty()) return {};
    const int n = static_cast<int>(bytes.size());
    std::wstring wide(
        static_cast<std::size_t>(MultiByteToWideChar(code_page, 0, bytes.data(), n, nullptr, 0)),
        L'\0');
    MultiByteToWideChar(code_page, 0, bytes.data(), n, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

std::string from_wide(std::wstring_view wide, unsigned code_page) {
    if (wide.empty()) return {};
    const int n = static_cast<int>(wide.size());
    std::string bytes(static_cast<std::size_t>(WideCharToMultiByte(code_page, 0, wide.data(), n,
                                                                   nullptr, 0, nullptr, nullptr)),
                      '\0');
    WideCharToMultiByte(code_page, 0, wide.data(), n, bytes.data(), static_cast<int>(bytes.size()),
                        nullptr, nullptr);
    return bytes;
}

}  // namespace strcrypt::testing
