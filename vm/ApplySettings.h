// Writes a machine's settings record back to its host through the host's management service.
#pragma once

#include <cstdint>
#include <string>

#include "mgmt/HostFailure.h"
#include "mgmt/ManagementSession.h"
#include "mgmt/MiOwners.h"
#include "vm/VmEntry.h"

inline constexpr wchar_t saveSettingsCaption[] = L"Saving Virtual Machine Settings Changes";

// Calls ModifySystemSettings with the whole record and follows the host's job. True when the
// host reported success; the host's refusals are shown here, earlier failures are silent.
[[nodiscard]] bool ApplySettings(ManagementSession& session, VmEntry& entry);

// The record as the embedded settings instance text: InstanceID and the six settings.
MI_Result SerializeSettings(const VmEntry& entry, std::wstring& text);

// The host's Msvm_VirtualSystemManagementService, through `query`, which the caller keeps
// open (with `service`) for as long as it writes. False with `why` ending the sentence "...
// were not saved: " and the failure.
[[nodiscard]] bool FindManagementService(ManagementSession& session, UniqueOperation& query,
                                         UniqueInstance& service, std::wstring& why,
                                         HostFailure& failure);

// What became of one ModifySystemSettings call.
struct SettingsWrite {
    enum class Outcome {
        Saved,
        // The host refused the settings in its method's answer: `text` holds its words.
        Refused,
        // The host's job failed: `text` holds the job's words (or why it could not be followed).
        JobFailed,
        // The user stopped waiting for the job; the host carries on with it.
        Stopped,
        // The request could not be made: `failure` tells why.
        NotPrepared,
        // The host's answer could not be read, so the change may or may not have been made.
        Unanswered,
    };
    Outcome outcome = Outcome::Saved;
    std::wstring text;
    HostFailure failure;
};

// Sends the record to the service and follows the host's job; shows nothing.
SettingsWrite WriteSettings(ManagementSession& session, const VmEntry& entry,
                            const MI_Instance* service);
