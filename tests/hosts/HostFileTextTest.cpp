#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hosts/HostFileText.h"

namespace {

using Lines = std::vector<std::wstring>;

struct TextCase {
    const char* what;
    std::string bytes;
    bool complete;
    Lines expected;
};

TEST(HostFileText, EachEncodingAndLineEndReadsTheSameNames)
{
    const TextCase cases[] = {
        {"8-bit, LF", "alpha\nbeta\n", true, {L"alpha", L"beta"}},
        {"8-bit, CR LF", "alpha\r\nbeta\r\n", true, {L"alpha", L"beta"}},
        {"8-bit, CR CR LF", "alpha\r\r\nbeta\r\r\n", true, {L"alpha", L"beta"}},
        {"8-bit, lone CR", "alpha\rbeta\rgamma\r", true, {L"alpha", L"beta", L"gamma"}},
        {"8-bit, no last line end", "alpha\r\nbeta", true, {L"alpha", L"beta"}},
        {"8-bit, Latin-1 byte", "s\xE9rveur\r\n", true, {L"s\u00e9rveur"}},
        {"8-bit, NUL is a character", std::string("h\0v\r\n", 5), true, {std::wstring(L"h\0v", 3)}},
        {"8-bit, FE alone is no mark", "\xFE" "a\r\n", true, {L"\u00fe" L"a"}},
        {"UTF-8 mark skipped", "\xEF\xBB\xBFhv01\r\nhv02\r\n", true, {L"hv01", L"hv02"}},
        {"UTF-8 after its mark", "\xEF\xBB\xBFs\xC3\xA9rveur\rx\r", true, {L"s\u00e9rveur", L"x"}},
        {"UTF-16LE as PowerShell 5 writes",
         std::string("\xFF\xFEh\0v\0" "0\0" "1\0\r\0\n\0l\0a\0b\0\r\0\n\0", 24), true,
         {L"hv01", L"lab"}},
        {"UTF-16BE", std::string("\xFE\xFF\0h\0v\0\r\0l\0a\0b", 14), true, {L"hv", L"lab"}},
        {"UTF-16LE, lone CR", std::string("\xFF\xFE" "a\0\r\0b\0\r\0", 10), true, {L"a", L"b"}},
        {"UTF-16LE beyond Latin-1", std::string("\xFF\xFE\x16\x04u\0k\0", 8), true, {L"\u0416uk"}},
        {"UTF-16LE, odd last byte", std::string("\xFF\xFE" "a\0b\0x", 7), true, {L"ab"}},
        {"UTF-16LE, mark alone", "\xFF\xFE", true, {}},
        {"cut short, 8-bit", "alpha\r\nbet", false, {L"alpha"}},
        {"cut short after a line end", "alpha\r\n", false, {L"alpha"}},
        {"cut short, UTF-16LE", std::string("\xFF\xFE" "a\0\n\0b\0", 8), false, {L"a"}},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(TextLines(c.bytes, c.complete), c.expected) << c.what;
}

TEST(HostFileText, WritesEightBitLinesAndLeavesOutWhatItCannotHold)
{
    EXPECT_EQ(EightBitLines({L"hv01", L"s\u00e9rveur", L"\u0416uk01", L"", L"z-9"}),
              "hv01\r\ns\xe9rveur\r\nz-9\r\n");
    EXPECT_EQ(EightBitLines({}), "");
}

}
