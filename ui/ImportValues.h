// The values of an identities file checked as the settings form checks them, each taken into
// the change it gives.
#pragma once

#include <string>
#include <string_view>

#include "ui/IdentityColumns.h"
#include "vm/IdentityChange.h"
#include "vm/VmIdentity.h"

// Whether the texts are the same but for letter case, by the ordinal rule that Windows compares
// names with, whatever the user's language.
bool SameIgnoringCase(std::wstring_view first, std::wstring_view second);

// The value in double quotes for a message, cut short when long.
std::wstring QuotedValue(std::wstring_view value);

// Takes a non-empty value of one of the six value columns into the change, the Num Lock "-"
// leaving it out. False when the machine cannot be given the value, with `fault` saying why as
// the rest of a sentence that starts "line N". Throws std::bad_alloc.
[[nodiscard]] bool TakeValue(IdentityColumn column, std::wstring_view value,
                             const VmIdentity& machine, IdentityChange& change,
                             std::wstring& fault);
