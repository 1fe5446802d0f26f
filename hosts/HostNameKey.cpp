#include "hosts/HostNameKey.h"

#include <windows.h>

#include <limits>

std::wstring HostNameKey(std::wstring_view name)
{
    std::wstring key(name);
    if (key.empty() || key.size() > static_cast<size_t>(std::numeric_limits<int>::max()))
        return key;
    // Upper-casing maps one character to one character, so the key keeps the name's length.
    const int length = static_cast<int>(key.size());
    if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, key.data(), length, key.data(),
                      length, nullptr, nullptr, 0) != length)
        return std::wstring(name);
    return key;
}

bool SameHostName(std::wstring_view first, std::wstring_view second)
{
    if (first.size() != second.size() || first.size() > static_cast<size_t>(std::numeric_limits<int>::max()))
        return false;
    return first.empty() || CompareStringOrdinal(first.data(), static_cast<int>(first.size()), second.data(),
                                                 static_cast<int>(second.size()), TRUE) == CSTR_EQUAL;
}
