// The identity values one virtual machine is to be given, before they are written: each value
// absent is left as the machine holds it. Texts hold at most 32 characters; a BIOS GUID is in
// its braced upper-case form.
#pragma once

#include <optional>
#include <string>

struct IdentityChange {
    std::optional<bool> numLock;
    std::optional<std::wstring> biosGuid;
    std::optional<std::wstring> biosSerialNumber;
    std::optional<std::wstring> baseBoardSerialNumber;
    std::optional<std::wstring> chassisSerialNumber;
    std::optional<std::wstring> chassisAssetTag;

    bool operator==(const IdentityChange&) const = default;
};
