// The built program run as a separate process: arguments, output, exit statuses, clock.

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "decipher.h"
#include "run_program.h"
#include "tea.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace strcrypt {
namespace {

using testing::bytes_of;
using testing::run_program;
using testing::RunOptions;
using testing::RunResult;
using testing::Stdout;

const std::string program = STRCRYPT_PROGRAM;

// A command that every run of the program goes through, such as a memory checker: the
// program named by STRCRYPT_TEST_WRAPPER, if set, a path taken whole. It gives the
// program its own path as argv[0].
const char* const wrapper_value = std::getenv("STRCRYPT_TEST_WRAPPER");
const std::string wrapper = wrapper_value != nullptr ? wrapper_value : "";
const bool wrapped = !wrapper.empty();

RunResult run_strcrypt(const std::vector<std::string>& argv, const RunOptions& options = {}) {
    if (!wrapped) return run_program(program, argv, options);
    std::vector<std::string> command = {wrapper, program};
    if (!argv.empty()) command.insert(command.end(), argv.begin() + 1, argv.end());
    return run_program(wrapper, command, options);
}

#ifdef _WIN32
constexpr const char* newline = "\r\n";

// The status that main's return value `status` shows as.
constexpr int shown_status(int status) { return status; }

// The texts of the Windows rows are written for ANSI code page 1252, a Western Windows's,
// which CTest gives Wine. Run by hand under another code page, a test leaves out the rows
// that need 1252 and ends in a skip that says so.
const bool code_page_1252 = GetACP() == 1252;
const std::string needs_1252 = "some rows need ANSI code page 1252 (this system has " +
                               std::to_string(GetACP()) +
                               "): run under CTest, or with LANG=C.UTF-8 under Wine";

// What a user types to give the program `bytes`: the characters that the ANSI code page
// reads them as, in UTF-8 for the runner.
std::string typed(const std::string& bytes) {
    return testing::from_wide(testing::to_wide(bytes, CP_ACP), CP_UTF8);
}

// The system's own words for a Win32 error, as the program reports a failed write.
std::string system_message(DWORD error) {
    char text[512];
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             error, 0, text, sizeof text, nullptr);
    while (n > 0 && (text[n - 1] == '\n' || text[n - 1] == '\r')) --n;
    return {text, n};
}
const std::string closed_reason = system_message(ERROR_INVALID_HANDLE);
const std::string full_reason = system_message(ERROR_DISK_FULL);

// Only Wine gives a Windows program a device that is always full.
const bool has_full_device =
    GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;

// A command line holds at most 32,767 characters with its terminating zero.
const std::string longest_text(32767 - 1 - std::string("strcrypt CRYPT ").size(), 'x');
#else
constexpr const char* newline = "\n";
constexpr int shown_status(int status) { return status & 0xFF; }
const std::string closed_reason = std::strerror(EBADF);
const std::string full_reason = std::strerror(ENOSPC);
std::string typed(const std::string& bytes) { return bytes; }
const bool code_page_1252 = true;  // no code page: the bytes pass as they are
const std::string needs_1252;
const bool has_full_device = true;
const std::string longest_text(131071, 'x');  // one argument: 32 pages less the terminating zero
#endif

std::string usage_line(const std::string& name) {
    return "Usage: " + name + " CRYPT <string to be encoded>" + newline;
}

std::string result_line(std::string_view text) {
    return "endecoded string (len=" + std::to_string(text.size()) + "): " + std::string(text) +
           newline;
}

// The encoded text of a result line, if `out` is exactly one well-formed result line
// whose reported length matches its text: rebuilding the line from the text checks all.
std::optional<std::string> encoded_text_of(const std::string& out) {
    const auto start = out.find("): ");
    const auto end = out.rfind(newline);
    if (start == std::string::npos || end == std::string::npos || end < start + 3) {
        return std::nullopt;
    }
    std::string text = out.substr(start + 3, end - start - 3);
    if (out != result_line(text)) return std::nullopt;
    return text;
}

// The pad seed of the clock second of `t`: whole seconds since 1970, modulo 2^32.
std::uint32_t second_of(std::chrono::system_clock::time_point t) {
    return static_cast<std::uint32_t>(
        std::chrono::floor<std::chrono::seconds>(t.time_since_epoch()).count());
}

// Runs the program with `args` after its name, as typed, and checks that it printed
// exactly the encoding of the bytes `input` under `key` for a clock second of the run.
// Every check is fatal: call it in ASSERT_NO_FATAL_FAILURE, so that a failed run stops
// the test. The run is left in `result`, if given, for further checks.
void expect_encodes(const std::vector<std::string>& args, const std::string& input,
                    const TeaKey& key = crypt_key, const RunOptions& options = {},
                    RunResult* result = nullptr) {
    std::vector<std::string> argv = {"strcrypt"};
    argv.insert(argv.end(), args.begin(), args.end());
    const auto before = std::chrono::system_clock::now();
    RunResult local;
    RunResult& run = result != nullptr ? *result : local;
    run = run_strcrypt(argv, options);
    const auto after = std::chrono::system_clock::now();

    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(run.err, "");
    const auto encoded = encoded_text_of(run.out);
    ASSERT_TRUE(encoded) << run.out.substr(0, 200);
    std::string fault = "no second in the run";
    for (std::uint32_t s = second_of(before); s != second_of(after) + 1 && !fault.empty(); ++s) {
        fault = testing::check_encoding(bytes_of(input), s, *encoded, key);
    }
    ASSERT_EQ(fault, "") << "args: " << args.size();
}

TEST(Program, UsageAndStatusForMissingOrWrongKeyword) {
    struct Row {
        std::vector<std::string> argv;
        int status;
        std::string out;
    };
    std::vector<Row> rows = {
#ifndef _WIN32
        {{}, -1, usage_line("")},  // no argument vector at all
#endif
        {{"./strcrypt"}, -1, usage_line("./strcrypt")},
        {{"/opt/bin/strcrypt", "CRYP"}, -2, usage_line("/opt/bin/strcrypt")},
        {{"strcrypt", ""}, -2, usage_line("strcrypt")},
        {{"strcrypt", "", "text"}, -2, usage_line("strcrypt")},
        {{"strcrypt", "ENCRYPT", "text"}, -2, usage_line("strcrypt")},
        {{"strcrypt", "CRYP T", "text"}, -2, usage_line("strcrypt")},
        {{"strcrypt", "\xC3\x87RYPT", "text"}, -2, usage_line("strcrypt")},  // only A-Z fold
        {{"strcrypt", "CRYP\xC3\x94", "text"},
         -2,
         usage_line("strcrypt")},  // CRYP and O-circumflex
        // Fullwidth letters: no code page but UTF-8 holds them, and they are not A-Z.
        {{"strcrypt", "\xEF\xBC\xA3\xEF\xBC\xB2\xEF\xBC\xB9\xEF\xBC\xB0\xEF\xBC\xB4", "x"},
         -2,
         usage_line("strcrypt")},
        {{"100%s", "x"}, -2, usage_line("100%s")},
        // Not A-Z, though each has the low byte of a letter of CRYPT: U+0143 U+0152 U+0159
        // U+0150 U+0154, which a keyword check on bytes cut from UTF-16 would take.
        {{"strcrypt", "\xC5\x83\xC5\x92\xC5\x99\xC5\x90\xC5\x94", "x"}, -2, usage_line("strcrypt")},
        // The keyword is checked first: a text that Windows could not take changes nothing.
        {{"strcrypt", "ENCRYPT", "\xC4\x81"}, -2, usage_line("strcrypt")},
    };
#ifdef _WIN32
    // The name is only shown: a-macron, which code page 1252 lacks, shows as a.
    if (code_page_1252) rows.push_back({{"strcrypt\xC4\x81"}, -1, usage_line("strcrypta")});
#endif
    for (const auto& row : rows) {
        if (wrapped && row.argv.empty()) continue;  // a wrapper always gives a name
        const RunResult run = run_strcrypt(row.argv);
        EXPECT_EQ(run.status, shown_status(row.status)) << row.out;
        EXPECT_EQ(run.out, wrapped ? usage_line(program) : row.out);
        EXPECT_EQ(run.err, "");  // usage cases never write to standard error
    }
    if (!code_page_1252) GTEST_SKIP() << needs_1252;
}

TEST(Program, AcceptsTheKeywordInAnyCaseAndAsAPrefix) {
    // Past the first five, characters that code page 1252 lacks count no more than others.
    for (const char* keyword : {"CRYPT", "crypt", "Crypt", "cRyPt", "CRYPTOGRAM", "crypt2",
                                "CRYPT\xC4\x81", "crypt\xE6\x97\xA5\xE6\x9C\xAC"}) {
        ASSERT_NO_FATAL_FAILURE(expect_encodes({keyword, "abc"}, "abc")) << keyword;
    }
}

TEST(Program, EncodesTheEmptyTextWhenNoneOrAnEmptyOneIsGiven) {
    ASSERT_NO_FATAL_FAILURE(expect_encodes({"CRYPT"}, ""));
    ASSERT_NO_FATAL_FAILURE(expect_encodes({"CRYPT", ""}, ""));
}

TEST(Program, IgnoresArgumentsAfterTheText) {
    ASSERT_NO_FATAL_FAILURE(expect_encodes({"CRYPT", "abc", "def", "ghi"}, "abc"));
}

TEST(Program, PassesEveryNonZeroByteThrough) {
    ASSERT_NO_FATAL_FAILURE(expect_encodes({"CRYPT", "with spaces, \"quotes\" and 'more'"},
                                           "with spaces, \"quotes\" and 'more'"));
    if (!code_page_1252) GTEST_SKIP() << needs_1252;
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    ASSERT_NO_FATAL_FAILURE(expect_encodes({"CRYPT", typed(all)}, all));
}

#ifdef _WIN32
TEST(Program, EncodesTheCodePageBytesOfATypedText) {
    if (!code_page_1252) GTEST_SKIP() << needs_1252;
    ASSERT_NO_FATAL_FAILURE(expect_encodes({"CRYPT", "\xC3\xA9\xE2\x82\xAC\xC2\xA5"},
                                           "\xE9\x80\xA5"));  // e-acute, euro, yen in 1252
}
#endif

TEST(Program, EncodesTheLongestTextTheSystemPasses) {
    ASSERT_NO_FATAL_FAILURE(expect_encodes({"CRYPT", longest_text}, longest_text));
    // A non-blocking pipe, as a parent may leave it, fills up: the program waits for room.
    ASSERT_NO_FATAL_FAILURE(expect_encodes({"CRYPT", longest_text}, longest_text, crypt_key,
                                           {.out = Stdout::nonblocking_pipe}));
#ifdef _WIN32
    // Older consoles refuse single writes much over 64 KiB: the line goes in pieces, which
    // a message-mode pipe keeps apart.
    RunResult run;
    ASSERT_NO_FATAL_FAILURE(expect_encodes({"CRYPT", longest_text}, longest_text, crypt_key,
                                           {.out = Stdout::message_pipe}, &run));
    EXPECT_GT(run.writes.size(), 1U);
    for (const std::size_t size : run.writes) EXPECT_LE(size, 32U * 1024);
#endif
}

// Run by the CTest test of the same name, which reads the key that the build was given
// from where the user put it and passes it here as four comma-separated words.
TEST(Key, ProgramCarriesTheGivenKey) {
    const char* given = std::getenv("STRCRYPT_GIVEN_KEY");
    if (given == nullptr) {
        GTEST_SKIP() << "run by CTest's Key.ProgramCarriesTheGivenKey, which reads the "
                        "build's key and passes it in STRCRYPT_GIVEN_KEY";
    }
    TeaKey key{};
    std::istringstream words(given);
    for (auto& word : key) {
        std::string text;
        ASSERT_TRUE(std::getline(words, text, ','));
        word = static_cast<std::uint32_t>(std::stoul(text, nullptr, 16));
    }
    ASSERT_NO_FATAL_FAILURE(
        expect_encodes({"CRYPT", "the key it was given"}, "the key it was given", key));
}

#ifdef _WIN32
// Under Wine, CTest preloads a library (frozen_clock.cpp) into the whole Wine session, this
// runner and every program it starts, that reads the wall clock from the file named by
// STRCRYPT_FROZEN_CLOCK at every call. A row writes its instant there; "+0" lets it run.
class FrozenClock {
  public:
    explicit FrozenClock(const char* file) : file_(std::string("Z:") + file) { set("+0"); }
    ~FrozenClock() { set("+0"); }
    FrozenClock(const FrozenClock&) = delete;
    FrozenClock& operator=(const FrozenClock&) = delete;
    void set(const char* instant) const {
        std::ofstream out(file_, std::ios::trunc);
        out << instant << '\n';
        testing::check(static_cast<bool>(out.flush()), "writing the frozen clock's file");
    }

  private:
    std::string file_;
};
#else
// The environment that preloads `library` into the program. LD_PRELOAD splits at spaces,
// so it names the library alone, and the folder goes in the search path, which does not.
std::vector<std::string> preload(const std::string& library) {
    const auto slash = library.rfind('/');
    return {"LD_PRELOAD=" + library.substr(slash + 1),
            "LD_LIBRARY_PATH=" + library.substr(0, slash)};
}

const std::string faketime_library = STRCRYPT_FAKETIME_LIBRARY;
#endif

TEST(Program, ResultLineIsExactForTheClockSecond) {
#ifdef _WIN32
    const char* const file = std::getenv("STRCRYPT_FROZEN_CLOCK");
    if (file == nullptr) GTEST_SKIP() << "CTest runs this test under Wine with its clock frozen";
    const FrozenClock clock(file);
    // The freeze must reach Wine's clock, as this runner reads it: 10^9 s after 1970.
    clock.set("2001-09-09 01:46:40");
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ASSERT_EQ((std::uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime,
              126'444'736'000'000'000ULL)
        << "the preloaded library does not freeze Wine's clock";
#else
    if (faketime_library.empty())
        GTEST_SKIP() << "libfaketime not found or not usable in this build";
#endif
    struct Row {
        const char* instant;  // UTC
        std::uint32_t seed;
    };
    const Row rows[] = {
        {"2001-09-09 01:46:40", 1'000'000'000},
        {"2038-01-19 03:14:07", 2'147'483'647},
        {"2038-01-19 03:14:08", 2'147'483'648U},  // a signed 32-bit time_t has run out
        {"2106-02-07 06:28:15", 4'294'967'295U},
        {"2106-02-07 06:28:16", 0},  // 2^32 seconds: the seed wraps
        {"2110-01-01 00:00:00", 123'010'304},
        {"2262-04-12 00:00:00", 633'438'208},  // past 2^63 nanoseconds since 1970
        {"2300-01-01 00:00:00", 1'823'857'408},
        {"9999-12-31 23:59:59", 4'294'197'631U},
    };
    for (const auto& row : rows) {
        RunOptions frozen;
#ifdef _WIN32
        clock.set(row.instant);
#else
        frozen.env = preload(faketime_library);
        frozen.env.insert(frozen.env.end(), {std::string("FAKETIME=") + row.instant, "TZ=UTC"});
#endif
        const RunResult first = run_strcrypt({"strcrypt", "CRYPT", "hello world"}, frozen);
        const RunResult second = run_strcrypt({"strcrypt", "CRYPT", "hello world"}, frozen);
        EXPECT_EQ(first.status, 0);
        // The whole line, and its text exactly the encoding for the row's seed.
        const auto encoded = encoded_text_of(first.out);
        ASSERT_TRUE(encoded) << row.instant << ": " << first.out;
        EXPECT_EQ(testing::check_encoding(bytes_of("hello world"), row.seed, *encoded), "")
            << row.instant;
        EXPECT_EQ(second.out, first.out) << "same second, same text";
    }
}

#ifndef _WIN32
// Under a limit on its address space the program either cannot start, which the loader
// says, or encodes, or reports the lack of memory: it never aborts.
TEST(Program, TightAddressSpaceNeverAborts) {
#ifdef STRCRYPT_SANITIZED
    GTEST_SKIP() << "a sanitizer reserves far more address space than any limit here";
#endif
    if (wrapped) GTEST_SKIP() << "a memory checker needs far more address space";
    constexpr std::size_t step = std::size_t{16} * 1024;
    for (std::size_t limit = std::size_t{1} << 20; limit <= std::size_t{64} << 20; limit += step) {
        const RunResult run =
            run_strcrypt({"strcrypt", "CRYPT", longest_text}, {.address_space = limit});
        ASSERT_EQ(run.signal, 0) << limit << " bytes: " << run.err;
        // The loader's own failures (status 127, in its own words) come and go with where
        // it happens to place things; the program never exits with 127.
        if (run.status == 127 && run.err.rfind("strcrypt: ", 0) != 0) continue;
        if (run.status == 0) {
            ASSERT_TRUE(encoded_text_of(run.out)) << limit << " bytes";
            return;
        }
        const std::string line = run.status == 253 ? "cannot encode the text: not enough memory"
                                                   : "cannot write the result: not enough memory";
        ASSERT_TRUE(run.status == 253 || run.status == 252) << limit << " bytes: " << run.err;
        ASSERT_EQ(run.err, "strcrypt: " + line + newline) << limit << " bytes";
        ASSERT_EQ(run.out, "") << limit << " bytes";
    }
    FAIL() << "the program did not run in 64 MiB of address space";
}

#endif

// The program's surroundings failing, and texts it must refuse. Each row states what the
// program must do; it never reports success for a line that was lost or a text it changed.
TEST(Program, FailuresAroundTheResultLine) {
    const std::string& long_text = longest_text;  // on Linux its line is more than a pipe holds
    const std::string short_text =
        "abc";  // fits any buffer: only a checked last write sees it fail
    const auto write_failed = [](const std::string& why) {
        return "strcrypt: cannot write the result: " + why + newline;
    };
    struct Row {
        const char* what;
        std::string text;
        RunOptions options;
        int status;              // as main returns it; ignored when `signal` is set
        int signal;              // the signal that must end the program, if any
        std::string error_line;  // the one line on standard error
    };
    std::vector<Row> rows = {
        {"standard output closed",
         long_text,
         {.out = Stdout::closed},
         -4,
         0,
         write_failed(closed_reason)},
        {"standard output closed, short line",
         short_text,
         {.out = Stdout::closed},
         -4,
         0,
         write_failed(closed_reason)},
    };
    if (has_full_device) {
        rows.push_back({"standard output a full device",
                        long_text,
                        {.out = Stdout::full_device},
                        -4,
                        0,
                        write_failed(full_reason)});
        rows.push_back({"standard output a full device, short line",
                        short_text,
                        {.out = Stdout::full_device},
                        -4,
                        0,
                        write_failed(full_reason)});
    }
#ifdef _WIN32
    const std::string not_representable =
        "strcrypt: cannot encode the text: it has characters that the system's code page "
        "cannot represent" +
        std::string(newline);
    rows.insert(rows.end(), {
                                {"the reader has gone",
                                 long_text,
                                 {.read_limit = 0},
                                 -4,
                                 0,
                                 write_failed("Broken pipe")},
                                {"the reader has gone, short line",
                                 short_text,
                                 {.read_limit = 0},
                                 -4,
                                 0,
                                 write_failed("Broken pipe")},
                                // Windows reports this one as ERROR_PIPE_NOT_CONNECTED.
                                {"the reader has disconnected its named pipe",
                                 short_text,
                                 {.out = Stdout::disconnected_pipe},
                                 -4,
                                 0,
                                 write_failed("Broken pipe")},
                            });
    if (code_page_1252) {
        rows.insert(rows.end(),
                    {
                        {"a-macron, which code page 1252 has only by best fit",
                         "\xC4\x81",
                         {},
                         -5,
                         0,
                         not_representable},
                        {"a CJK character, which code page 1252 lacks",
                         "\xE6\x97\xA5",
                         {},
                         -5,
                         0,
                         not_representable},
                        // Best fit makes it a quote, which would also change how the line splits.
                        {"a fullwidth quote", "a\xEF\xBC\x82 b", {}, -5, 0, not_representable},
                    });
    }
#else
    const std::string text_64k(65536, 'x');   // the shim lets its record through, not its text
    const std::string text_49k(49140, 'x');   // ... its encoding through, not its result line
    rows.insert(rows.end(), {
                                {"the reader closes the pipe after one byte",
                                 long_text,
                                 {.read_limit = 1},
                                 0,
                                 SIGPIPE,
                                 ""},
                                {"the same with SIGPIPE ignored",
                                 long_text,
                                 {.read_limit = 1, .ignore_sigpipe = true},
                                 -4,
                                 0,
                                 write_failed("Broken pipe")},
                            });
    // A memory checker replaces malloc itself, so the shim cannot get under it.
    // Each once with one large allocation refused, and once with memory that stays
    // exhausted after it, so that even the report of the fault finds none.
    const std::string malloc_shim = STRCRYPT_MALLOC_SHIM;
    for (const bool sticky : {false, true}) {
        if (malloc_shim.empty() || wrapped) break;
        std::vector<std::string> env = preload(malloc_shim);
        if (sticky) env.emplace_back("FAIL_LARGE_MALLOC_STICKY=1");
        rows.push_back(
            {sticky ? "no memory for the encoding's text, nor after"
                    : "no memory for the encoding's text",
             text_64k,
             {.env = env},
             -3,
             0,
             "strcrypt: cannot encode the text: not enough memory" + std::string(newline)});
        rows.push_back(
            {sticky ? "no memory for the result line, nor after" : "no memory for the result line",
             text_49k,
             {.env = env},
             -4,
             0,
             write_failed("not enough memory")});
    }
#endif
    for (const auto& row : rows) {
        const RunResult run = run_strcrypt({"strcrypt", "CRYPT", row.text}, row.options);
        EXPECT_EQ(run.signal, row.signal) << row.what;
        if (row.signal != 0) continue;
        EXPECT_EQ(run.status, shown_status(row.status)) << row.what;
        if (row.options.read_limit == SIZE_MAX) {
            EXPECT_EQ(run.out, "") << row.what;  // nothing on standard output
        }
        EXPECT_EQ(run.err, row.error_line) << row.what;
    }
    if (!code_page_1252) GTEST_SKIP() << needs_1252;
}

}  // namespace
}  // namespace strcrypt
