#include <gtest/gtest.h>

#include <ios>
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

std::wstring Range(wchar_t first, wchar_t last)
{
    std::wstring characters;
    for (wchar_t c = first; c <= last; ++c)
        characters.push_back(c);
    return characters;
}

// The file holds code points 0 to 255; which of them a host name keeps is decided, not left to
// the C runtime's tables. Every block of the range with what it keeps, written out.
TEST(Sanitize, EveryEightBitCharacterIsKeptOrRemovedAsListed)
{
    const struct {
        wchar_t first;
        wchar_t last;
        std::wstring kept;
    } blocks[] = {
        {0x00, 0x1F, L""},
        {0x20, 0x2F, L"-."},
        {0x30, 0x39, L"0123456789"},
        {0x3A, 0x40, L""},
        {0x41, 0x5A, L"ABCDEFGHIJKLMNOPQRSTUVWXYZ"},
        {0x5B, 0x60, L"_"},
        {0x61, 0x7A, L"abcdefghijklmnopqrstuvwxyz"},
        {0x7B, 0x7F, L"|"},
        {0x80, 0x9F, L""},
        {0xA0, 0xBF, L"\u00aa\u00b5\u00ba"},
        {0xC0, 0xD6, L"\u00c0\u00c1\u00c2\u00c3\u00c4\u00c5\u00c6\u00c7\u00c8\u00c9\u00ca\u00cb"
                     L"\u00cc\u00cd\u00ce\u00cf\u00d0\u00d1\u00d2\u00d3\u00d4\u00d5\u00d6"},
        {0xD7, 0xD7, L""},
        {0xD8, 0xF6, L"\u00d8\u00d9\u00da\u00db\u00dc\u00dd\u00de\u00df\u00e0\u00e1\u00e2\u00e3"
                     L"\u00e4\u00e5\u00e6\u00e7\u00e8\u00e9\u00ea\u00eb\u00ec\u00ed\u00ee\u00ef"
                     L"\u00f0\u00f1\u00f2\u00f3\u00f4\u00f5\u00f6"},
        {0xF7, 0xF7, L""},
        {0xF8, 0xFF, L"\u00f8\u00f9\u00fa\u00fb\u00fc\u00fd\u00fe\u00ff"},
    };
    wchar_t next = 0;
    for (const auto& block : blocks) {
        ASSERT_EQ(block.first, next) << "blocks must cover the range without gaps";
        EXPECT_EQ(Sanitized(Range(block.first, block.last)), block.kept)
            << std::hex << static_cast<int>(block.first);
        next = static_cast<wchar_t>(block.last + 1);
    }
    EXPECT_EQ(next, 0x100);
}

}
