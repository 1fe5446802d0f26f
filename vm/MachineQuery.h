// How the host's virtual machines are told from its own computer system: by their Name, a GUID,
// and a query that leaves the host's instance out by its name rather than by its translated
// Caption.
#pragma once

#include <string>
#include <string_view>

class ManagementSession;

// A virtual machine's Name: its GUID, 8-4-4-4-12 hexadecimal digits.
bool IsMachineIdentifier(std::wstring_view name);

// SELECT `properties` FROM Msvm_ComputerSystem, without the host's own instance when the host
// named itself at connection in a form that needs no quoting.
std::wstring ComputerSystemQuery(const ManagementSession& session, std::wstring_view properties);
