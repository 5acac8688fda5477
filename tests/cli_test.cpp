// The exact conversion of a UTF-16 argument to a code page (Windows only). Wine has
// code pages 1252 and 932 whatever the locale.

#include "cli.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace strcrypt::cli {
namespace {

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
        EXPECT_EQ(to_code_page(row.text, row.code_page), row.bytes)
            << "code page " << row.code_page << ", " << std::wstring(row.text).size() << " chars";
    }
}

}  // namespace
}  // namespace strcrypt::cli
