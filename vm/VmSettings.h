// The six firmware settings of one virtual machine and the InstanceID of its settings on the
// host, held within the host's limits (counts in UTF-16 code units).
#pragma once

#include <optional>
#include <string>
#include <string_view>

class VmSettings {
public:
    static constexpr size_t textLimit = 32;
    static constexpr size_t guidLength = 38;
    // The VirtualSystemSubType of generation 2 machines, whose firmware has no Num Lock setting.
    static constexpr wchar_t generation2SubType[] = L"Microsoft:Hyper-V:SubType:2";

    explicit VmSettings(std::wstring instanceId = L"");

    bool BiosNumLock() const { return biosNumLock; }
    // False for a generation 2 machine: its Num Lock value stays as read and is written back
    // unchanged, since what its host does with a changed one is undocumented. A generation 1
    // machine and an unknown subtype have the setting.
    bool HasNumLockSetting() const { return virtualSystemSubType != generation2SubType; }
    const std::wstring& InstanceId() const { return instanceId; }
    const std::wstring& BaseBoardSerialNumber() const { return baseBoardSerialNumber; }
    const std::wstring& BiosSerialNumber() const { return biosSerialNumber; }
    const std::wstring& ChassisAssetTag() const { return chassisAssetTag; }
    const std::wstring& ChassisSerialNumber() const { return chassisSerialNumber; }
    const std::wstring& BiosGuid() const { return biosGuid; }

    // Ignored where the machine has no Num Lock setting.
    void SetBiosNumLock(bool on);
    // Each text setter stores 0 to 32 characters unchanged and rejects longer text.
    [[nodiscard]] bool SetBaseBoardSerialNumber(std::wstring_view text);
    [[nodiscard]] bool SetBiosSerialNumber(std::wstring_view text);
    [[nodiscard]] bool SetChassisAssetTag(std::wstring_view text);
    [[nodiscard]] bool SetChassisSerialNumber(std::wstring_view text);
    // Stores the normalised braced upper-case form; rejects what NormalizeGuid rejects.
    [[nodiscard]] bool SetBiosGuid(std::wstring_view text);

    // Replaces every setting with values read from the host, stored as they come: a value
    // beyond a limit is kept whole, and the setters refuse it until it is edited to fit.
    void StoreRead(bool numLock, std::wstring baseBoard, std::wstring guid, std::wstring biosSerial,
                   std::wstring assetTag, std::wstring chassisSerial, std::wstring subType);

private:
    bool biosNumLock = false;
    std::wstring instanceId;
    std::wstring baseBoardSerialNumber;
    std::wstring biosSerialNumber;
    std::wstring chassisAssetTag;
    std::wstring chassisSerialNumber;
    std::wstring biosGuid;
    std::wstring virtualSystemSubType;
};

// The 38-character braced upper-case form of the first 32 hexadecimal digits in the text,
// skipping every other character; nothing when the text holds fewer than 32 digits.
std::optional<std::wstring> NormalizeGuid(std::wstring_view text);
