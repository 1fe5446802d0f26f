// An identities file read back into changes for the machines shown: the CSV file the export
// writes, or one edited from it, checked whole before anything changes.
//
// The header names the columns by their titles, in any order and letter case. "VM ID", or
// "Host" and "Name", identify each line's machine; of the six value columns any may be given;
// State, Generation and Shared With are ignored. Each value is checked as the settings form
// checks it, after the export's protecting apostrophe is taken off. An empty value, and the
// Num Lock "-" the export writes for a generation 2 machine, leave the machine's value as it
// is; every other value is included even when it equals the machine's current one, so that
// the caller can drop those and the file's word stands over an edit not yet applied. A BIOS
// GUID is included in its braced upper-case form, so that comparing it is exact. A line that
// gives no value yields no change.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ui/ImportFailure.h"
#include "vm/IdentityChange.h"
#include "vm/VmIdentity.h"

inline constexpr wchar_t importCaption[] = L"Importing Virtual Machine Identities";

// The largest file that is read: the export writes about 250 bytes a machine.
inline constexpr size_t largestImportFile = 10 * 1024 * 1024;

struct ImportedChange {
    size_t row;  // index into the machines
    IdentityChange change;
};

// Parses the file's bytes against the machines shown. On failure `changes` is left empty
// and `failure` names the first line at fault; a record spanning lines is named by the line it
// starts on, a character that is not text or breaks the quoting by the line it is on.
[[nodiscard]] bool ParseIdentityImport(std::string_view bytes,
                                       const std::vector<const VmIdentity*>& machines,
                                       std::vector<ImportedChange>& changes,
                                       ImportFailure& failure);

// Reads the file and parses it; a file over the largest size is refused before it is read.
[[nodiscard]] bool ImportIdentityFile(const std::wstring& path,
                                      const std::vector<const VmIdentity*>& machines,
                                      std::vector<ImportedChange>& changes,
                                      ImportFailure& failure);

// The message box text for a failure: the file, what is wrong, and that nothing was changed.
std::wstring ImportFailureText(const std::wstring& path, const ImportFailure& failure);
