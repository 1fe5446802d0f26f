#include "hosts/HostNameTraits.h"

namespace {

constexpr wchar_t wordClassName[] = L"w";

// Letters (Unicode categories L*) and decimal digits (Nd) of the first 256 code points, and
// the underscore. C1 controls, signs, the superscript digits and the fractions (category No)
// are not word characters.
bool IsLatin1WordCharacter(wchar_t character) noexcept
{
    if (character < 0x80) {
        return (character >= L'0' && character <= L'9') || (character >= L'A' && character <= L'Z')
            || (character >= L'a' && character <= L'z') || character == L'_';
    }
    if (character == 0xAA || character == 0xB5 || character == 0xBA)
        return true;
    return character >= 0xC0 && character != 0xD7 && character != 0xF7;
}

}

HostNameTraits::HostNameTraits()
    : word_(lookup_classname(wordClassName, wordClassName + 1))
{
}

bool HostNameTraits::isctype(wchar_t character, char_class_type type) const
{
    if (type == word_ && character <= 0xFF)
        return IsLatin1WordCharacter(character);
    return std::regex_traits<wchar_t>::isctype(character, type);
}
