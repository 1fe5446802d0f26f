// The identities table as a CSV file: UTF-8 with a byte-order mark so that spreadsheet programs
// read names right, CR LF line ends, RFC 4180 quoting, and values that a spreadsheet would run
// as a formula written with a leading apostrophe (see CsvProtection).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "vm/VmIdentity.h"

// The file's bytes: the header line, then one line per machine in the given order.
std::string IdentityCsv(const std::vector<const VmIdentity*>& machines);

// Makes the file hold the machines, through a temporary file and a replace: 0, or the Windows
// error with an existing file left as it was.
[[nodiscard]] DWORD WriteIdentityCsv(const std::wstring& path,
                                     const std::vector<const VmIdentity*>& machines);
