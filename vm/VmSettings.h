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

    explicit VmSettings(std::wstring instanceId = L"");

    bool BiosNumLock() const { return biosNumLock; }
    const std::wstring& InstanceId() const { return instanceId; }
    const std::wstring& BaseBoardSerialNumber() const { return baseBoardSerialNumber; }
    const std::wstring& BiosSerialNumber() const { return biosSerialNumber; }
    const std::wstring& ChassisAssetTag() const { return chassisAssetTag; }
    const std::wstring& ChassisSerialNumber() const { return chassisSerialNumber; }
    const std::wstring& BiosGuid() const { return biosGuid; }

    void SetBiosNumLock(bool on) { biosNumLock = on; }
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
                   std::wstring assetTag, std::wstring chassisSerial);

private:
    bool biosNumLock = false;
    std::wstring instanceId;
    std::wstring baseBoardSerialNumber;
    std::wstring biosSerialNumber;
    std::wstring chassisAssetTag;
    std::wstring chassisSerialNumber;
    std::wstring biosGuid;
};

// The 38-character braced upper-case form of the first 32 hexadecimal digits in the text,
// skipping every other character; nothing when the text holds fewer than 32 digits.
std::optional<std::wstring> NormalizeGuid(std::wstring_view text);
