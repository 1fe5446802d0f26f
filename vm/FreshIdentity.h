// New identity values of the forms Hyper-V gives a new virtual machine.
#pragma once

#include <optional>
#include <string>

// A serial number as Hyper-V makes one: 26 random decimal digits in six groups of four and one
// of two, "dddd-dddd-dddd-dddd-dddd-dddd-dd" (32 characters). Nothing when the system gives no
// random bytes.
std::optional<std::wstring> NewSerialNumber();
