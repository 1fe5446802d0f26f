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
