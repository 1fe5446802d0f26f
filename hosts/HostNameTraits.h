// Regular-expression traits for host names. "\w" means the letters and digits of any script and
// the underscore. The C runtime's wide-character tables disagree between runtimes on the
// Latin-1 range (measured under Wine's msvcrt: superscript digits count as digits, the ordinal
// indicators and the micro sign are not letters), so that range, the whole range the host file
// can hold, is decided here by the Unicode categories; above it the runtime's classification
// of letters and digits stands.
#pragma once

#include <regex>

class HostNameTraits : public std::regex_traits<wchar_t> {
public:
    HostNameTraits();

    // Hides the base member: std::basic_regex calls the traits it is given, not a virtual.
    bool isctype(wchar_t character, char_class_type type) const;

private:
    char_class_type word_;
};

using HostNameRegex = std::basic_regex<wchar_t, HostNameTraits>;
