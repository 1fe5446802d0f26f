#include "hosts/HostFileText.h"

#include <windows.h>

#include <algorithm>
#include <limits>

namespace {

enum class Encoding { EightBit, Utf8, Utf16LittleEndian, Utf16BigEndian };

// The encoding a byte-order mark names, with the mark taken off the bytes.
Encoding TakeByteOrderMark(std::string_view& bytes)
{
    const struct {
        std::string_view mark;
        Encoding encoding;
    } marks[] = {
        {"\xEF\xBB\xBF", Encoding::Utf8},
        {"\xFF\xFE", Encoding::Utf16LittleEndian},
        {"\xFE\xFF", Encoding::Utf16BigEndian},
    };
    for (const auto& candidate : marks) {
        if (bytes.starts_with(candidate.mark)) {
            bytes.remove_prefix(candidate.mark.size());
            return candidate.encoding;
        }
    }
    return Encoding::EightBit;
}

bool IsLineEnd(wchar_t character)
{
    return character == L'\r' || character == L'\n';
}

std::wstring DecodeUtf8(std::string_view line)
{
    if (line.empty() || line.size() > static_cast<size_t>(std::numeric_limits<int>::max()))
        return {};
    const int size = static_cast<int>(line.size());
    // Invalid sequences become U+FFFD, which is no host-name character.
    const int length = MultiByteToWideChar(CP_UTF8, 0, line.data(), size, nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring text(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, line.data(), size, text.data(), length);
    return text;
}

std::wstring DecodeEightBit(std::string_view line)
{
    std::wstring text(line.size(), L'\0');
    std::transform(line.begin(), line.end(), text.begin(),
                   [](char byte) { return static_cast<wchar_t>(static_cast<unsigned char>(byte)); });
    return text;
}

// 8-bit and UTF-8 text: the line ends are the bytes CR and LF, which no UTF-8 sequence holds,
// so each line is decoded on its own.
std::vector<std::wstring> ByteLines(std::string_view bytes, bool complete, Encoding encoding)
{
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (size_t index = 0; index <= bytes.size(); ++index) {
        const bool atEnd = index == bytes.size();
        if (!atEnd && !IsLineEnd(static_cast<unsigned char>(bytes[index])))
            continue;
        if (atEnd && !complete)
            break;
        if (index > start) {
            const std::string_view line = bytes.substr(start, index - start);
            lines.push_back(encoding == Encoding::Utf8 ? DecodeUtf8(line) : DecodeEightBit(line));
        }
        start = index + 1;
    }
    return lines;
}

std::vector<std::wstring> Utf16Lines(std::string_view bytes, bool complete, bool bigEndian)
{
    std::vector<std::wstring> lines;
    std::wstring line;
    // An odd last byte is half a character and is dropped.
    for (size_t index = 0; index + 1 < bytes.size(); index += 2) {
        const auto first = static_cast<unsigned char>(bytes[index]);
        const auto second = static_cast<unsigned char>(bytes[index + 1]);
        const auto character = static_cast<wchar_t>(bigEndian ? (first << 8) | second
                                                              : (second << 8) | first);
        if (!IsLineEnd(character)) {
            line.push_back(character);
            continue;
        }
        if (!line.empty())
            lines.push_back(std::move(line));
        line.clear();
    }
    if (complete && !line.empty())
        lines.push_back(std::move(line));
    return lines;
}

bool FitsInEightBits(const std::wstring& name)
{
    return std::all_of(name.begin(), name.end(), [](wchar_t c) { return c <= 0xFF; });
}

}

std::vector<std::wstring> TextLines(std::string_view bytes, bool complete)
{
    const Encoding encoding = TakeByteOrderMark(bytes);
    switch (encoding) {
    case Encoding::Utf16LittleEndian:
        return Utf16Lines(bytes, complete, false);
    case Encoding::Utf16BigEndian:
        return Utf16Lines(bytes, complete, true);
    default:
        return ByteLines(bytes, complete, encoding);
    }
}

std::string EightBitLines(const std::vector<std::wstring>& names)
{
    std::string content;
    for (const std::wstring& name : names) {
        if (name.empty() || !FitsInEightBits(name))
            continue;
        for (const wchar_t c : name)
            content.push_back(static_cast<char>(static_cast<unsigned char>(c)));
        content += "\r\n";
    }
    return content;
}
