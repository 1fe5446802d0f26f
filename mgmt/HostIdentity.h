// What identifies a computer across sessions: its name and the moment it last booted. Used to
// recognise the local computer when it is reached by name.
#pragma once

#include <optional>
#include <string>

#include "mgmt/MiTypes.h"

struct MI_Session;

struct HostIdentity {
    bool valid = false;
    std::optional<std::wstring> computerName;
    MI_Timestamp lastBoot{};
    // The failure the host answered the read with; access denied means the caller's account
    // is not let in.
    MI_Result failure = MI_RESULT_OK;
};

// Reads Win32_OperatingSystem's CSName and LastBootUpTime through the session; invalid when
// the session has no table or the host does not answer.
HostIdentity ReadHostIdentity(MI_Session& session);

// Equal when both are valid, both names are present and equal exactly, and the boot times
// are equal field by field.
bool SameHost(const HostIdentity* first, const HostIdentity* second);
