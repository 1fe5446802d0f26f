// Writes a machine's settings record back to its host through the host's management service.
#pragma once

#include <string>

#include "mgmt/ManagementSession.h"
#include "vm/VmEntry.h"

inline constexpr wchar_t saveSettingsCaption[] = L"Saving Virtual Machine Settings Changes";

// Calls ModifySystemSettings with the whole record and follows the host's job. True when the
// host reported success; the host's refusals are shown here, earlier failures are silent.
[[nodiscard]] bool ApplySettings(ManagementSession& session, VmEntry& entry);

// The record as the embedded settings instance text: InstanceID and the six settings.
MI_Result SerializeSettings(const VmEntry& entry, std::wstring& text);
