#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "cli.h"

#ifdef _WIN32
#include <windows.h>

#include <algorithm>
#else
#include <poll.h>
#include <unistd.h>

#include <ctime>
#endif

namespace strcrypt::cli {

std::chrono::sys_seconds from_filetime(std::uint64_t ticks) {
    // Whole seconds straight from the ticks: a finer unit would overflow 64 bits in 2262.
    constexpr std::uint64_t epoch = filetime_unix_epoch;
    constexpr std::uint64_t second = filetime_ticks_per_second;
    const auto since_1970 = ticks >= epoch
                                ? static_cast<std::int64_t>((ticks - epoch) / second)
                                : -static_cast<std::int64_t>((epoch - ticks + second - 1) / second);
    return std::chrono::sys_seconds{std::chrono::seconds{since_1970}};
}

#ifdef _WIN32

namespace {

// The system's own words for a Win32 error, without their line end. The text lives in a
// buffer of this function's, so that reporting a fault needs no memory.
const char* system_message(DWORD error) {
    // A pipe whose reader has gone, named as POSIX names it. Which of the three a writer
    // sees depends on how the pipe was made and when its reader left.
    if (error == ERROR_NO_DATA || error == ERROR_BROKEN_PIPE || error == ERROR_PIPE_NOT_CONNECTED) {
        return "Broken pipe";
    }
    static char text[512];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, text, sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r')) --length;
    if (length == 0) {
        std::snprintf(text, sizeof text, "Windows error %lu", static_cast<unsigned long>(error));
    } else {
        text[length] = '\0';
    }
    return text;
}

}  // namespace

const char* write_stdout(std::string_view bytes) {
    // WriteFile itself, so that its error is the one reported. The line carries its own
    // CR LF. Older consoles refuse single writes much over 64 KiB.
    constexpr std::size_t max_write = 32 * 1024;
    constexpr DWORD retry_ms = 1;  // a pipe in no-wait mode takes nothing while it is full
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    while (!bytes.empty()) {
        const auto chunk = static_cast<DWORD>(std::min(bytes.size(), max_write));
        DWORD written = 0;
        if (!WriteFile(out, bytes.data(), chunk, &written, nullptr)) {
            return system_message(GetLastError());
        }
        if (written == 0) Sleep(retry_ms);
        bytes.remove_prefix(written);
    }
    return "";
}

std::chrono::sys_seconds clock_now() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return from_filetime(std::uint64_t{now.dwHighDateTime} << 32 | now.dwLowDateTime);
}

CodePageText to_code_page(std::wstring_view arg, unsigned code_page) {
    const int wide_length = static_cast<int>(arg.size());
    const int length = arg.empty() ? 0
                                   : WideCharToMultiByte(code_page, 0, arg.data(), wide_length,
                                                         nullptr, 0, nullptr, nullptr);
    const auto size = static_cast<std::size_t>(std::max(length, 0));
    CodePageText text{allocate_array<char>(size + 1)};
    if (!text.bytes) return text;
    WideCharToMultiByte(code_page, 0, arg.data(), wide_length, text.bytes.get(), length, nullptr,
                        nullptr);
    text.bytes[size] = '\0';

    // A character the code page lacks comes out as a look-alike or a default character,
    // and either reads back as something else: the round trip is the whole test.
    const int back_length =
        MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, text.bytes.get(), length, nullptr, 0);
    if (back_length != wide_length) return text;
    const auto back = allocate_array<wchar_t>(arg.size() + 1);
    if (!back) return {};
    MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, text.bytes.get(), length, back.get(),
                        back_length);
    text.exact = std::wstring_view(back.get(), arg.size()) == arg;
    return text;
}

#else

const char* write_stdout(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(STDOUT_FILENO, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            // Whoever started the program left its output non-blocking: wait for room.
            pollfd out = {STDOUT_FILENO, POLLOUT, 0};
            if (poll(&out, 1, -1) < 0 && errno != EINTR) return std::strerror(errno);
            continue;
        }
        if (written < 0) return std::strerror(errno);
        if (written == 0) return std::strerror(EIO);
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return "";
}

std::chrono::sys_seconds clock_now() {
    // Whole seconds as the system counts them: no finer unit that could run out.
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return std::chrono::sys_seconds{std::chrono::seconds{now.tv_sec}};
}

#endif

}  // namespace strcrypt::cli
