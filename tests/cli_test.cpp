// The front end's pieces that no run of the program can reach: a null program name, the
// Windows clock past 2038, and the exact conversion to a code page.

#include "cli.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>

namespace strcrypt::cli {
namespace {

// Linux and Windows both give a program a name, if only an empty one.
TEST(Usage, NullProgramNamePrintsAnEmptyName) {
    ::testing::internal::CaptureStdout();
    print_usage(nullptr);
    std::string out = ::testing::internal::GetCapturedStdout();
    out.erase(std::remove(out.begin(), out.end(), '\r'), out.end());  // text-mode reread
    EXPECT_EQ(out, "Usage:  CRYPT <string to be encoded>\n");
}

TEST(Clock, FiletimeToTheSeed) {
    // Worked out here, not taken from the code: ticks of 100 ns, and 1970-01-01 is
    // 134,774 days after 1601-01-01 (369 years of 365 days and 89 leap days; 1700, 1800
    // and 1900 were not leap years).
    constexpr std::uint64_t ticks_per_second = 10'000'000;
    constexpr std::uint64_t unix_epoch = std::uint64_t{134'774} * 86'400 * ticks_per_second;
    struct Row {
        std::uint64_t ticks;
        std::uint32_t seed;
    };
    const Row rows[] = {
        {unix_epoch, 0},
        {unix_epoch + ticks_per_second - 1, 0},                           // rounds down
        {unix_epoch + 2'147'483'648 * ticks_per_second, 2'147'483'648U},  // 2038-01-19 03:14:08
        {unix_epoch + 4'294'967'296 * ticks_per_second, 0},               // 2106-02-07 06:28:16
        {unix_epoch + 4'294'967'297 * ticks_per_second - 1, 0},
        {unix_epoch - 1, 0xFFFFFFFF},  // 1969-12-31 23:59:59.9999999 rounds down
        // 30000-01-01 00:00:00, far past the 2^63 nanoseconds that run out in 2262
        {unix_epoch + 884'541'340'800 * ticks_per_second, 4'073'045'120U},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(clock_seed(from_filetime(row.ticks)), row.seed) << row.ticks;
    }
}

#ifdef _WIN32
// The program's clock against the C++ runtime's, which is right today; the runtime's own
// time_t may be 32 bits, the program's clock must not be. Both read the system's clock,
// so the program's second falls between the runtime's two, give or take the tick of the
// coarser one (about 16 ms): a clock shifted by a second is outside.
TEST(ClockSeed, SystemClockAgreesWithTheWindowsClock) {
    using std::chrono::floor;
    using std::chrono::milliseconds;
    using std::chrono::seconds;
    const auto before = std::chrono::system_clock::now();
    const auto ours = clock_now();
    const auto after = std::chrono::system_clock::now();
    static_assert(sizeof(ours.time_since_epoch().count()) == 8);
    EXPECT_GE(ours, floor<seconds>(before - milliseconds{100}));
    EXPECT_LE(ours, floor<seconds>(after + milliseconds{100}));
}

// Wine has code pages 1252 and 932 whatever the locale.
constexpr unsigned utf8 = 65001;  // CP_UTF8

TEST(CodePage, ExactTextsAndRefusals) {
    struct Row {
        const wchar_t* text;
        unsigned code_page;
        std::optional<std::string> bytes;  // nullopt: refused
    };
    const Row rows[] = {
        {L"", 1252, ""},
        {L"abc", 1252, "abc"},
        {L"\u00E9\u20AC\u00A5", 1252, "\xE9\x80\xA5"},  // e-acute, euro, yen
        {L"\u0101", 1252, std::nullopt},                // a-macron: best fit would give a
        {L"\u2212", 1252, std::nullopt},                // minus sign: best fit would give -
        {L"\uFF02", 1252, std::nullopt},                // fullwidth quote: best fit gives "
        {L"\u65E5", 1252, std::nullopt},                // no form at all: default gives ?
        {L"?", 1252, "?"},                              // the default character itself is fine
        // The trail byte of the third character is 0x5C, a backslash on its own.
        {L"\u65E5\u672C\u8868", 932, "\x93\xFA\x96\x7B\x95\x5C"},
        {L"\u0101", 932, std::nullopt},
        {L"\u0101\uFF02", utf8, "\xC4\x81\xEF\xBC\x82"},  // UTF-8 holds every character
        {L"\xD800", utf8, std::nullopt},                  // but not a lone surrogate
    };
    for (const auto& row : rows) {
        const CodePageText text = to_code_page(row.text, row.code_page);
        ASSERT_TRUE(text.bytes);
        const std::optional<std::string> bytes =
            text.exact ? std::optional<std::string>(text.bytes.get()) : std::nullopt;
        EXPECT_EQ(bytes, row.bytes)
            << "code page " << row.code_page << ", " << std::wstring(row.text).size() << " chars";
    }
}

#endif

}  // namespace
}  // namespace strcrypt::cli
