#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ratio>

#include "cli.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace strcrypt::cli {

std::chrono::system_clock::time_point from_filetime(std::uint64_t ticks) {
    using filetime_ticks =
        std::chrono::duration<std::int64_t, std::ratio<1, filetime_ticks_per_second>>;
    const filetime_ticks since_1970 = filetime_ticks{ticks} - filetime_ticks{filetime_unix_epoch};
    return std::chrono::system_clock::time_point{
        std::chrono::floor<std::chrono::system_clock::duration>(since_1970)};
}

#ifdef _WIN32

namespace {

// The system's own words for a Win32 error, without the line end it comes with.
std::string system_message(DWORD error) {
    // A pipe whose reader has gone, named as POSIX names it. Which of the three a writer
    // sees depends on how the pipe was made and when its reader left.
    if (error == ERROR_NO_DATA || error == ERROR_BROKEN_PIPE || error == ERROR_PIPE_NOT_CONNECTED) {
        return "Broken pipe";
    }
    char text[512];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, text, sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r')) --length;
    if (length == 0) return "Windows error " + std::to_string(error);
    return {text, length};
}

}  // namespace

std::string write_stdout(std::string_view bytes) {
    // WriteFile itself, so that its error is the one reported. The line carries its own
    // CR LF. Older consoles refuse single writes much over 64 KiB.
    constexpr std::size_t max_write = 32 * 1024;
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    while (!bytes.empty()) {
        const auto chunk = static_cast<DWORD>(std::min(bytes.size(), max_write));
        DWORD written = 0;
        if (!WriteFile(out, bytes.data(), chunk, &written, nullptr)) {
            return system_message(GetLastError());
        }
        if (written == 0) return system_message(ERROR_WRITE_FAULT);
        bytes.remove_prefix(written);
    }
    return {};
}

std::chrono::system_clock::time_point clock_now() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return from_filetime(std::uint64_t{now.dwHighDateTime} << 32 | now.dwLowDateTime);
}

std::string to_code_page_best_fit(std::wstring_view arg, unsigned code_page) {
    if (arg.empty()) return {};
    const int wide_length = static_cast<int>(arg.size());
    const int length =
        WideCharToMultiByte(code_page, 0, arg.data(), wide_length, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(std::max(length, 0)), '\0');
    WideCharToMultiByte(code_page, 0, arg.data(), wide_length, bytes.data(), length, nullptr,
                        nullptr);
    return bytes;
}

std::optional<std::string> to_code_page(std::wstring_view arg, unsigned code_page) {
    // A character the code page lacks comes out as a look-alike or a default character,
    // and either reads back as something else: the round trip is the whole test.
    std::string bytes = to_code_page_best_fit(arg, code_page);
    const int length = static_cast<int>(bytes.size());
    const int wide_length =
        MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
    std::wstring back(static_cast<std::size_t>(std::max(wide_length, 0)), L'\0');
    MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, bytes.data(), length, back.data(),
                        wide_length);
    if (back != arg) return std::nullopt;
    return bytes;
}

#else

std::string write_stdout(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(STDOUT_FILENO, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) return std::strerror(errno);
        if (written == 0) return std::strerror(EIO);
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
}

std::chrono::system_clock::time_point clock_now() { return std::chrono::system_clock::now(); }

#endif

}  // namespace strcrypt::cli
