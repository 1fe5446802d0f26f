// Writes pending identity changes to many virtual machines, one after another on the host
// worker: each machine's live settings are read fresh, the changes put on top and all six
// values sent in one ModifySystemSettings whose job is followed, then read back. Each host's
// management service and its machines' states are read once, when its first machine is
// written. Stop Waiting stops before the next machine, never during one.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "mgmt/ManagementSession.h"
#include "vm/IdentityChange.h"
#include "vm/VmSettings.h"

struct IdentityWrite {
    enum class Outcome { NotWritten, Saved, Skipped, Refused, NotSaved };

    ManagementSession* session = nullptr; // the machine's host, used by this thread alone
    std::wstring host;                    // its name as the table shows it
    std::wstring vmId;
    std::wstring name;
    IdentityChange change;

    Outcome outcome = Outcome::NotWritten;
    // On one line: the host's words when it refused, why when not saved, and why the values
    // could not be read back after a save.
    std::wstring words;
    // Saved: the values sent, and those the host holds now when they could be read back.
    std::optional<VmSettings> sent;
    std::optional<VmSettings> held;
};

// Whether the change touches a value that a host refuses to change while the machine is not off:
// the BIOS GUID, a serial number or the asset tag.
bool ChangesLockedValues(const IdentityChange& change);

// Writes the machines in order; those not reached when the user stopped stay NotWritten.
void WriteIdentities(std::vector<IdentityWrite>& writes, MI_Application* application);
