// The built program run as a separate process: arguments, output, exit statuses, clock.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "decipher.h"
#include "encoder.h"
#include "run_program.h"

namespace strcrypt {
namespace {

using testing::bytes_of;
using testing::run_program;
using testing::RunOptions;
using testing::RunResult;
using testing::Stdout;

const std::string program = STRCRYPT_PROGRAM;
const std::string faketime_library = STRCRYPT_FAKETIME_LIBRARY;

std::string usage_line(const std::string& name) {
    return "Usage: " + name + " CRYPT <string to be encoded>\n";
}

std::string result_line(std::string_view text) {
    return "endecoded string (len=" + std::to_string(text.size()) + "): " + std::string(text) + "\n";
}

// The encoded text of a result line, if `out` is exactly one well-formed result line
// whose reported length matches its text.
std::optional<std::string> encoded_text_of(const std::string& out) {
    const std::string prefix = "endecoded string (len=";
    if (out.rfind(prefix, 0) != 0 || out.empty() || out.back() != '\n') return std::nullopt;
    const auto close = out.find("): ", prefix.size());
    if (close == std::string::npos) return std::nullopt;
    std::string text = out.substr(close + 3, out.size() - close - 4);
    if (out != result_line(text)) return std::nullopt;
    return text;
}

// Runs the program with `args` after its name and checks that it encoded `input` in
// a clock second between the run's start and end.
void expect_encodes(const std::vector<std::string>& args, std::string_view input) {
    std::vector<std::string> argv = {"strcrypt"};
    argv.insert(argv.end(), args.begin(), args.end());
    const auto before = std::chrono::system_clock::now();
    const RunResult run = run_program(program, argv);
    const auto after = std::chrono::system_clock::now();

    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const auto text = encoded_text_of(run.out);
    ASSERT_TRUE(text) << run.out.substr(0, 200);
    std::string fault = "no second in the run";
    for (std::uint32_t s = clock_seed(before); s != clock_seed(after) + 1 && !fault.empty(); ++s) {
        fault = testing::check_encoding(bytes_of(input), s, *text);
    }
    EXPECT_EQ(fault, "") << "args: " << args.size();
}

TEST(Program, UsageAndStatusForMissingOrWrongKeyword) {
    struct Row {
        std::vector<std::string> argv;
        int status;
        std::string out;
    };
    const Row rows[] = {
        {{}, 255, usage_line("")},  // no argument vector at all
        {{"./strcrypt"}, 255, usage_line("./strcrypt")},
        {{"/opt/bin/strcrypt", "CRYP"}, 254, usage_line("/opt/bin/strcrypt")},
        {{"strcrypt", ""}, 254, usage_line("strcrypt")},
        {{"strcrypt", "", "text"}, 254, usage_line("strcrypt")},
        {{"strcrypt", "ENCRYPT", "text"}, 254, usage_line("strcrypt")},
        {{"strcrypt", "CRYP T", "text"}, 254, usage_line("strcrypt")},
        {{"strcrypt", "\xC3\x87RYPT", "text"}, 254, usage_line("strcrypt")},  // only A-Z fold
        {{"strcrypt", "CRYP\xD4", "text"}, 254, usage_line("strcrypt")},
        {{"100%s", "x"}, 254, usage_line("100%s")},
    };
    for (const auto& row : rows) {
        const RunResult run = run_program(program, row.argv);
        EXPECT_EQ(run.status, row.status) << row.out;
        EXPECT_EQ(run.out, row.out);
        EXPECT_EQ(run.err, "");  // usage cases never write to standard error
    }
}

TEST(Program, AcceptsTheKeywordInAnyCaseAndAsAPrefix) {
    for (const char* keyword : {"CRYPT", "crypt", "Crypt", "cRyPt", "CRYPTOGRAM", "crypt2"}) {
        expect_encodes({keyword, "abc"}, "abc");
    }
}

TEST(Program, EncodesTheEmptyTextWhenNoneOrAnEmptyOneIsGiven) {
    expect_encodes({"CRYPT"}, "");
    expect_encodes({"CRYPT", ""}, "");
}

TEST(Program, IgnoresArgumentsAfterTheText) { expect_encodes({"CRYPT", "abc", "def", "ghi"}, "abc"); }

TEST(Program, PassesEveryNonZeroByteThrough) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    expect_encodes({"CRYPT", all}, all);
    expect_encodes({"CRYPT", "with spaces, \"quotes\" and 'more'"}, "with spaces, \"quotes\" and 'more'");
}

TEST(Program, EncodesTheLongestArgumentLinuxPasses) {
    const std::string longest(131071, 'x');  // 32 pages less the terminating zero
    expect_encodes({"CRYPT", longest}, longest);
}

TEST(Program, ResultLineIsExactForTheClockSecond) {
    if (faketime_library.empty()) GTEST_SKIP() << "libfaketime not found";
    struct Row {
        const char* instant;  // UTC
        std::uint32_t seed;
    };
    const Row rows[] = {
        {"2001-09-09 01:46:40", 1'000'000'000},
        {"2038-01-19 03:14:07", 2'147'483'647},
        {"2038-01-19 03:14:08", 2'147'483'648U},  // a signed 32-bit time_t has run out
        {"2106-02-07 06:28:15", 4'294'967'295U},
        {"2106-02-07 06:28:16", 0},               // 2^32 seconds: the seed wraps
        {"2110-01-01 00:00:00", 123'010'304},
    };
    for (const auto& row : rows) {
        RunOptions frozen;
        frozen.env = {"LD_PRELOAD=" + faketime_library, std::string("FAKETIME=") + row.instant, "TZ=UTC"};
        const RunResult first = run_program(program, {"strcrypt", "CRYPT", "hello world"}, frozen);
        const RunResult second = run_program(program, {"strcrypt", "CRYPT", "hello world"}, frozen);
        const auto expected = crypt_encode_seeded(bytes_of("hello world"), row.seed);
        EXPECT_EQ(first.status, 0);
        EXPECT_EQ(first.out, result_line(expected.view())) << row.instant;
        EXPECT_EQ(second.out, first.out) << "same second, same text";
    }
}

TEST(Program, FailsWithMinus4WhenTheResultCannotBeWritten) {
    for (const Stdout out : {Stdout::full_device, Stdout::closed}) {
        RunOptions options;
        options.out = out;
        const RunResult run = run_program(program, {"strcrypt", "CRYPT", "abc"}, options);
        EXPECT_EQ(run.status, 252);
        EXPECT_EQ(run.err.rfind("strcrypt: cannot write the result: ", 0), 0U) << run.err;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line";
    }
}

}  // namespace
}  // namespace strcrypt
