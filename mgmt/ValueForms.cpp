#include "mgmt/ValueForms.h"

namespace {

bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

// The number written by text[first, first + count), all digits.
std::optional<MI_Uint32> Digits(std::wstring_view text, size_t first, size_t count)
{
    MI_Uint32 value = 0;
    for (size_t i = first; i < first + count; ++i) {
        if (!IsDigit(text[i]))
            return std::nullopt;
        value = value * 10 + static_cast<MI_Uint32>(text[i] - L'0');
    }
    return value;
}

wchar_t Lower(wchar_t c)
{
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool SameLetters(std::wstring_view text, std::wstring_view lowerCase)
{
    if (text.size() != lowerCase.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (Lower(text[i]) != lowerCase[i])
            return false;
    return true;
}

}

std::optional<std::uint64_t> ParseCimUnsigned(std::wstring_view text, std::uint64_t maximum)
{
    if (text.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (const wchar_t c : text) {
        if (!IsDigit(c))
            return std::nullopt;
        const auto digit = static_cast<std::uint64_t>(c - L'0');
        if (value > (maximum - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

std::optional<bool> ParseCimBoolean(std::wstring_view text)
{
    if (SameLetters(text, L"true"))
        return true;
    if (SameLetters(text, L"false"))
        return false;
    return std::nullopt;
}

std::optional<MI_Timestamp> ParseCimDatetime(std::wstring_view text)
{
    // yyyymmddHHMMSS.mmmmmm+UUU: 25 characters; an interval has ':' where the sign stands.
    if (text.size() != 25 || text[14] != L'.' || (text[21] != L'+' && text[21] != L'-'))
        return std::nullopt;
    const auto year = Digits(text, 0, 4);
    const auto month = Digits(text, 4, 2);
    const auto day = Digits(text, 6, 2);
    const auto hour = Digits(text, 8, 2);
    const auto minute = Digits(text, 10, 2);
    const auto second = Digits(text, 12, 2);
    const auto microseconds = Digits(text, 15, 6);
    const auto offset = Digits(text, 22, 3);
    if (!year || !month || !day || !hour || !minute || !second || !microseconds || !offset)
        return std::nullopt;
    if (*month < 1 || *month > 12 || *day < 1 || *day > 31 || *hour > 23 || *minute > 59 ||
        *second > 60)
        return std::nullopt;
    MI_Timestamp timestamp{};
    timestamp.year = *year;
    timestamp.month = *month;
    timestamp.day = *day;
    timestamp.hour = *hour;
    timestamp.minute = *minute;
    timestamp.second = *second;
    timestamp.microseconds = *microseconds;
    timestamp.utc = static_cast<MI_Sint32>(*offset) * (text[21] == L'-' ? -1 : 1);
    return timestamp;
}
