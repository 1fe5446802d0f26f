// One virtual machine's identity as the identities window shows it: where it runs, what it is
// called, its state and generation, and its six firmware values, held as the window's own copy.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct VmIdentity {
    std::wstring host;
    std::wstring name;  // ElementName, whole
    std::wstring vmId;  // Name: the machine's GUID
    std::uint16_t enabledState = 0;
    // 1 or 2 from VirtualSystemSubType; 0 when unknown.
    int generation = 0;
    // Absent when the machine's settings were not among those the host delivered.
    std::optional<bool> numLock;
    std::wstring biosGuid;
    std::wstring biosSerialNumber;
    std::wstring baseBoardSerialNumber;
    std::wstring chassisSerialNumber;
    std::wstring chassisAssetTag;
};
