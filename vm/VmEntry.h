// One virtual machine of a host's inventory: its identity, the power state and management
// instances last read for it, and its settings record.
#pragma once

#include <cstdint>
#include <string>

#include "mgmt/ManagementSession.h"
#include "mgmt/MiOwners.h"
#include "vm/VmSettings.h"

class VmEntry {
public:
    static constexpr size_t nameLimit = 36;
    static constexpr size_t elementNameLimit = 100;

    VmEntry(ErrorReporter* owner, MI_Application* miApplication, std::wstring name,
            std::wstring elementName, ManagementSession* session);

    // Reads the machine's computer-system instance anew and caches EnabledState. False leaves
    // the entry as it was and notes the session's failure, as every read below does.
    [[nodiscard]] bool RefreshState();
    // Reads only EnabledState anew, for polling: one query of one property. False leaves the
    // entry as it was.
    [[nodiscard]] bool ReadPowerState();
    // Reads the six settings and the machine's VirtualSystemSubType from the host. False leaves
    // the record as it was.
    [[nodiscard]] bool ReadSettings();
    // RefreshState, then ReadSettings.
    [[nodiscard]] bool LoadSettings();

    ErrorReporter* owner;
    MI_Application* miApplication;
    UniqueInstance computerSystemInstance;
    UniqueInstance settingsInstance;
    ManagementSession* session;
    std::wstring ElementName;
    std::wstring Name;
    // Unknown (0) until the first successful read, and when the state cannot be read.
    std::uint16_t EnabledState = 0;
    VmSettings settings;
};

// Rebuilds the session's inventory from the host's virtual machines, in the host's order.
// True when every machine the host delivered was read; otherwise the inventory holds those
// that were, and the session's failure tells why.
[[nodiscard]] bool ListVirtualMachines(ManagementSession& session);
