#include "ui/CsvDecoding.h"

#include <cstdio>
#include <optional>

namespace {

// No text file holds U+0000; one that does is binary or UTF-16 read without its mark.
constexpr char32_t nul = 0;

bool IsHighSurrogate(char32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char32_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void AppendCodePoint(std::wstring& text, char32_t point)
{
    if (point < 0x10000) {
        text.push_back(static_cast<wchar_t>(point));
        return;
    }
    point -= 0x10000;
    text.push_back(static_cast<wchar_t>(0xD800 + (point >> 10)));
    text.push_back(static_cast<wchar_t>(0xDC00 + (point & 0x3FF)));
}

// The code point of the UTF-8 sequence at `index`, which moves past it; nothing when the bytes
// there are no well-formed sequence: a stray continuation byte, a sequence cut short, an
// overlong form, a surrogate or a value beyond U+10FFFF.
std::optional<char32_t> NextUtf8(std::string_view bytes, size_t& index)
{
    const auto lead = static_cast<unsigned char>(bytes[index]);
    if (lead < 0x80) {
        ++index;
        return lead;
    }
    size_t length = 0;
    char32_t point = 0;
    char32_t smallest = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        point = lead & 0x1F;
        smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        point = lead & 0x0F;
        smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        point = lead & 0x07;
        smallest = 0x10000;
    } else {
        return std::nullopt;
    }
    if (bytes.size() - index < length)
        return std::nullopt;
    for (size_t offset = 1; offset < length; ++offset) {
        const auto next = static_cast<unsigned char>(bytes[index + offset]);
        if ((next & 0xC0) != 0x80)
            return std::nullopt;
        point = (point << 6) | (next & 0x3F);
    }
    if (point < smallest || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF))
        return std::nullopt;
    index += length;
    return point;
}

std::wstring HexUnit(unsigned value, int digits)
{
    wchar_t text[8] = {};
    swprintf(text, 8, L"0x%0*X", digits, value);
    return text;
}

bool Fail(const std::wstring& text, std::wstring message, ImportFailure& failure)
{
    failure.line = CountLineEnds(text) + 1;
    failure.text = std::move(message);
    failure.error = ERROR_SUCCESS;
    return false;
}

bool FailOnNul(const std::wstring& text, ImportFailure& failure)
{
    return Fail(text, L"holds a NUL character, which is not text.", failure);
}

bool DecodeUtf8(std::string_view bytes, std::wstring& text, ImportFailure& failure)
{
    text.reserve(bytes.size());
    size_t index = 0;
    while (index < bytes.size()) {
        const std::optional<char32_t> point = NextUtf8(bytes, index);
        if (!point)
            return Fail(text,
                        L"holds the byte " + HexUnit(static_cast<unsigned char>(bytes[index]), 2) +
                            L", which is not UTF-8 text; the file must be saved as UTF-8 or "
                            L"UTF-16.",
                        failure);
        if (*point == nul)
            return FailOnNul(text, failure);
        AppendCodePoint(text, *point);
    }
    return true;
}

bool DecodeUtf16(std::string_view bytes, bool bigEndian, std::wstring& text,
                 ImportFailure& failure)
{
    text.reserve(bytes.size() / 2);
    const auto unitAt = [bytes, bigEndian](size_t index) {
        const auto first = static_cast<unsigned char>(bytes[index]);
        const auto second = static_cast<unsigned char>(bytes[index + 1]);
        return static_cast<char32_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    };
    for (size_t index = 0; index + 1 < bytes.size(); index += 2) {
        const char32_t unit = unitAt(index);
        if (unit == nul)
            return FailOnNul(text, failure);
        if (IsLowSurrogate(unit) ||
            (IsHighSurrogate(unit) &&
             (index + 3 >= bytes.size() || !IsLowSurrogate(unitAt(index + 2)))))
            return Fail(text,
                        L"holds half of a UTF-16 surrogate pair (" + HexUnit(unit, 4) +
                            L") without the other half.",
                        failure);
        text.push_back(static_cast<wchar_t>(unit));
        if (IsHighSurrogate(unit)) {
            index += 2;
            text.push_back(static_cast<wchar_t>(unitAt(index)));
        }
    }
    if (bytes.size() % 2 != 0)
        return Fail(text, L"ends in half a UTF-16 character.", failure);
    return true;
}

}

bool DecodeCsvText(std::string_view bytes, std::wstring& text, ImportFailure& failure)
{
    text.clear();
    if (bytes.starts_with("\xFF\xFE"))
        return DecodeUtf16(bytes.substr(2), false, text, failure);
    if (bytes.starts_with("\xFE\xFF"))
        return DecodeUtf16(bytes.substr(2), true, text, failure);
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    return DecodeUtf8(bytes, text, failure);
}

size_t CountLineEnds(std::wstring_view text)
{
    size_t count = 0;
    for (size_t index = 0; index < text.size(); ++index) {
        if (text[index] == L'\n' || (text[index] == L'\r' && (index + 1 == text.size() ||
                                                              text[index + 1] != L'\n')))
            ++count;
    }
    return count;
}
