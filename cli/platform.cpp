#include <algorithm>
#include <cerrno>

#include "cli.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace strcrypt::cli {

#ifdef _WIN32

bool write_stdout(std::string_view bytes) {
    // Binary mode: the line carries its own CR LF, and the C runtime neither translates
    // nor splits it. Older consoles refuse single writes much over 64 KiB.
    constexpr std::size_t max_write = 32 * 1024;
    _setmode(1, _O_BINARY);
    while (!bytes.empty()) {
        const auto chunk = static_cast<unsigned>(std::min(bytes.size(), max_write));
        const int written = _write(1, bytes.data(), chunk);
        if (written <= 0) {
            if (written == 0) errno = EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
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

bool write_stdout(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(STDOUT_FILENO, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            if (written == 0) errno = EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

#endif

}  // namespace strcrypt::cli
