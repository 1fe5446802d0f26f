#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "mgmt/ValueForms.h"

namespace {

struct UnsignedCase {
    const wchar_t* text;
    std::uint64_t maximum;
    std::optional<std::uint64_t> expected;
};

TEST(ValueForms, UnsignedTextIsDecimalDigitsWithinTheType)
{
    const UnsignedCase cases[] = {
        {L"2", 0xFFFF, 2},
        {L"0", 0xFFFF, 0},
        {L"32768", 0xFFFF, 32768},
        {L"65535", 0xFFFF, 65535},
        {L"65536", 0xFFFF, std::nullopt},
        {L"4096", 0xFFFFFFFF, 4096},
        {L"4294967295", 0xFFFFFFFF, 4294967295u},
        {L"4294967296", 0xFFFFFFFF, std::nullopt},
        {L"99999999999999999999999", 0xFFFFFFFF, std::nullopt},
        {L"", 0xFFFF, std::nullopt},
        {L"-1", 0xFFFF, std::nullopt},
        {L"+2", 0xFFFF, std::nullopt},
        {L" 2", 0xFFFF, std::nullopt},
        {L"2 ", 0xFFFF, std::nullopt},
        {L"0x10", 0xFFFF, std::nullopt},
        {L"Running", 0xFFFF, std::nullopt},
    };
    for (const UnsignedCase& c : cases)
        EXPECT_EQ(ParseCimUnsigned(c.text, c.maximum), c.expected) << c.text;
}

TEST(ValueForms, BooleanTextIsTrueOrFalseInAnyCase)
{
    EXPECT_EQ(ParseCimBoolean(L"true"), true);
    EXPECT_EQ(ParseCimBoolean(L"TRUE"), true);
    EXPECT_EQ(ParseCimBoolean(L"False"), false);
    for (const wchar_t* text : {L"", L"1", L"0", L"yes", L"truee", L" true", L"tru"})
        EXPECT_EQ(ParseCimBoolean(text), std::nullopt);
}

TEST(ValueForms, DatetimeTextGivesEveryFieldOfTheTimestamp)
{
    const auto east = ParseCimDatetime(L"20240311064217.123456+060");
    ASSERT_TRUE(east);
    EXPECT_EQ(east->year, 2024u);
    EXPECT_EQ(east->month, 3u);
    EXPECT_EQ(east->day, 11u);
    EXPECT_EQ(east->hour, 6u);
    EXPECT_EQ(east->minute, 42u);
    EXPECT_EQ(east->second, 17u);
    EXPECT_EQ(east->microseconds, 123456u);
    EXPECT_EQ(east->utc, 60);

    const auto west = ParseCimDatetime(L"19991231235959.000001-480");
    ASSERT_TRUE(west);
    EXPECT_EQ(west->year, 1999u);
    EXPECT_EQ(west->microseconds, 1u);
    EXPECT_EQ(west->utc, -480);
}

TEST(ValueForms, TextThatIsNoTimestampGivesNothing)
{
    for (const wchar_t* text : {
             L"",
             L"00000001123045.000000:000", // an interval
             L"2024031106421*.******+060", // wildcards
             L"20240311064217.123456+60",  // short offset
             L"20240311064217.123456+0600",
             L"20240311064217,123456+060",
             L"20241311064217.123456+060", // month 13
             L"20240300064217.123456+060", // day 0
             L"20240311244217.123456+060", // hour 24
             L"20240311066017.123456+060", // minute 60
             L"2024-03-11T06:42:17+01:00",
         })
        EXPECT_FALSE(ParseCimDatetime(text)) << text;
}

}
