// The text forms in which a client may deliver numbers, booleans and datetimes when it has no
// type information for them (over WinRM with default run-time type information): CIM's
// decimal, "true" / "false" and yyyymmddHHMMSS.mmmmmm+UUU. Text that is not in the form gives
// nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "mgmt/MiTypes.h"

// Decimal digits only, with a value of at most `maximum`.
std::optional<std::uint64_t> ParseCimUnsigned(std::wstring_view text, std::uint64_t maximum);

// "true" or "false" in any letter case.
std::optional<bool> ParseCimBoolean(std::wstring_view text);

// A CIM timestamp: date, time, microseconds and the offset from UTC in minutes. Intervals and
// wildcards are not timestamps.
std::optional<MI_Timestamp> ParseCimDatetime(std::wstring_view text);
