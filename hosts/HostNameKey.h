// The key under which a host name is known: the same for every spelling of the name that
// differs only in letter case.
#pragma once

#include <string>
#include <string_view>

// The name in upper case by the invariant culture's rule, so that the key does not depend on
// the user's language. Throws std::bad_alloc when memory runs out.
std::wstring HostNameKey(std::wstring_view name);

// Whether the names name the same host: equal but for letter case, by the ordinal rule.
bool SameHostName(std::wstring_view first, std::wstring_view second);
