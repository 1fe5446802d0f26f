#include <gtest/gtest.h>

#include <string>

#include "hosts/HostList.h"

namespace {

struct SanitizeCase {
    const char* what;
    std::wstring input;
    std::wstring expected;
};

std::wstring Sanitized(std::wstring name)
{
    EXPECT_TRUE(HostList::Sanitize(name));
    return name;
}

TEST(Sanitize, KeepsWordCharactersBarFullStopHyphenAndUnderscore)
{
    const SanitizeCase cases[] = {
        {"plain", L"hv-lab01.example_x", L"hv-lab01.example_x"},
        {"vertical bar", L"a|b", L"a|b"},
        {"blanks, tab, CR", L" hv\t01\r", L"hv01"},
        {"other punctuation", L"!\"#$%&'()*+,/:;<=>?@[\\]^`{}~", L""},
        {"NUL inside", std::wstring(L"ho\0st", 5), L"host"},
        {"control characters", L"\x01h\x1f\x7fv", L"hv"},
        {"letter case stays", L"Host-A", L"Host-A"},
        {"Latin-1 letters", L"\u00c0\u00e9\u00df\u00ff", L"\u00c0\u00e9\u00df\u00ff"},
        {"Latin-1 signs", L"a\u00a0\u00a9\u00b0\u00d7\u00f7\u00bfb", L"ab"},
        {"superscripts and fractions are not digits", L"1\u00b2\u00b3\u00b9\u00bc", L"1"},
        {"ordinal indicators and micro sign are letters", L"\u00aa\u00b5\u00ba", L"\u00aa\u00b5\u00ba"},
        {"C1 controls", L"a\u0080\u0085\u009fb", L"ab"},
        {"Cyrillic and Greek letters", L"\u0416\u0443\u043a-\u03b1\u03b2", L"\u0416\u0443\u043a-\u03b1\u03b2"},
        {"dash and quotes above Latin-1", L"a\u2014\u201cb\u201d", L"ab"},
        {"a character outside the basic plane", L"a\U0001D400b", L"ab"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Sanitized(c.input), c.expected) << c.what;
}

// The file holds code points 0 to 255; which of them a host name keeps is decided, not left to
// the C runtime's tables: the Unicode letters and decimal digits, the underscore, "|", "." and "-".
TEST(Sanitize, EightBitRangeKeepsExactlyLettersDigitsAndTheFourSigns)
{
    std::wstring expected;
    for (wchar_t c = 0; c <= 0xFF; ++c) {
        const bool kept = (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z')
            || (c >= L'a' && c <= L'z') || c == L'_' || c == L'|' || c == L'.' || c == L'-'
            || c == 0xAA || c == 0xB5 || c == 0xBA || (c >= 0xC0 && c != 0xD7 && c != 0xF7);
        if (kept)
            expected.push_back(c);
    }
    std::wstring all;
    for (wchar_t c = 0; c <= 0xFF; ++c)
        all.push_back(c);
    EXPECT_EQ(Sanitized(all), expected);
}

}
