// Reads the identities of every virtual machine of a host with two queries, whatever the number
// of machines: the computer systems, then the live settings of all of them, joined on the
// machine's GUID. Hosts are read side by side, a few at a time.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "mgmt/HostFailure.h"
#include "mgmt/ManagementSession.h"
#include "vm/VmIdentity.h"

// The query for the live settings of every machine: checkpoints have settings of their own,
// of another VirtualSystemType.
inline constexpr wchar_t liveSettingsQuery[] =
    L"SELECT InstanceID, VirtualSystemIdentifier, VirtualSystemSubType, BIOSNumLock, "
    L"BaseBoardSerialNumber, BIOSGUID, BIOSSerialNumber, ChassisAssetTag, ChassisSerialNumber "
    L"FROM Msvm_VirtualSystemSettingData "
    L"WHERE VirtualSystemType = 'Microsoft:Hyper-V:System:Realized'";

// How many hosts are read at once.
inline constexpr unsigned hostsReadSideBySide = 4;

// The machines of the session's host in the host's order. False with the failure when a query
// or a value could not be read; `machines` then holds nothing. The session's own state (its
// inventory, its noted failure) is left alone.
[[nodiscard]] bool ReadIdentities(ManagementSession& session, std::vector<VmIdentity>& machines,
                                  HostFailure& failure);

// One host to read: through its registered session, or through one opened for the read.
struct HostRead {
    enum class Outcome { NotRead, Read, Failed };

    std::wstring hostName;
    ManagementSession* registered = nullptr;
    // Made (not connected) by the caller when no session is registered; connected by the read.
    std::unique_ptr<ManagementSession> opened;
    Outcome outcome = Outcome::NotRead;
    std::vector<VmIdentity> machines;
    HostFailure failure;
};

// Reads every host, up to hostsReadSideBySide at once, each session on one thread only.
// Once the user stops waiting, hosts not yet begun are not read and a read that was cut off
// stays NotRead.
void ReadHosts(std::vector<HostRead>& reads);
