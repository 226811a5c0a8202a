#include "decode_utf8.h"
#include "hex.h"

#include <gtest/gtest.h>

namespace
{
struct Utf8Case
{
    const char* label;
    std::string bytes;
    size_t maxBytes;
    std::string expected; // as UTF-8
};

std::ostream& operator<<(std::ostream& os, const Utf8Case& c)
{
    return os << c.label;
}

class DecodeUtf8 : public testing::TestWithParam<Utf8Case>
{
};

TEST_P(DecodeUtf8, KeepsWellFormedTextAndReplacesTheRest)
{
    const Utf8Case& c = GetParam();
    EXPECT_EQ(decodeUtf8(c.bytes.data(), c.maxBytes).toStdString(), c.expected);
}

const std::string replacement = "\xEF\xBF\xBD";

INSTANTIATE_TEST_SUITE_P(
    Cases, DecodeUtf8,
    testing::Values(
        Utf8Case{"ascii", "C:\\a.wav", 8, "C:\\a.wav"},
        Utf8Case{"multibyte",
                 "Gr\xC3\xB6\xC3\x9F"
                 "e \xE6\xB3\xA2 \xF0\x9F\x8E\xB5",
                 16,
                 "Gr\xC3\xB6\xC3\x9F"
                 "e \xE6\xB3\xA2 \xF0\x9F\x8E\xB5"},
        Utf8Case{"stops_at_nul", std::string("ab\0cd", 5), 5, "ab"},
        Utf8Case{"stops_at_max_bytes", "abcdef", 3, "abc"},
        Utf8Case{"sequence_cut_by_max_bytes", "a\xE2\x82\xAC", 3, "a" + replacement + replacement},
        Utf8Case{"overlong_nul", "a\xC0\x80z", 4, "a" + replacement + replacement + "z"},
        Utf8Case{"overlong_three_bytes", "\xE0\x80\x80", 3,
                 replacement + replacement + replacement},
        Utf8Case{"surrogate", "\xED\xA0\x80", 3, replacement + replacement + replacement},
        Utf8Case{"past_u10ffff", "\xF4\x90\x80\x80", 4,
                 replacement + replacement + replacement + replacement},
        Utf8Case{"lone_continuation", "x\x80y", 3, "x" + replacement + "y"},
        Utf8Case{"lead_without_continuation", "\xD2!", 2, replacement + "!"},
        Utf8Case{"never_valid_bytes", "\xFE\xFF\xC1\xBF", 4,
                 replacement + replacement + replacement + replacement}),
    [](const auto& row) { return std::string(row.param.label); });
} // namespace
