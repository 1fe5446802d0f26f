// Which virtual machines share an identity value with which others: the BIOS GUID compared as
// a GUID (letter case and braces ignored), the serial numbers and the asset tag exactly. Empty
// values never match, and a machine's values are only compared with other machines' values of
// the same kind, so that its serials, which Hyper-V copies into one another, are no duplicate.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "vm/VmIdentity.h"

// The five compared values, as bits.
enum SharedValue : unsigned {
    sharedBiosGuid = 1u << 0,
    sharedBiosSerialNumber = 1u << 1,
    sharedBaseBoardSerialNumber = 1u << 2,
    sharedChassisSerialNumber = 1u << 3,
    sharedChassisAssetTag = 1u << 4,
};

struct SharedMatch {
    size_t other;   // index of the other machine
    unsigned values; // SharedValue bits
};

// The GUID without braces, in upper case: the same GUID however it is written.
std::wstring GuidKey(const std::wstring& guid);

// For each machine, the others it shares values with, in the order of `machines`.
std::vector<std::vector<SharedMatch>> FindSharedValues(const std::vector<const VmIdentity*>& machines);
