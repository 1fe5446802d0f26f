#include "vm/VmSettings.h"

namespace {

bool StoreLimited(std::wstring& field, std::wstring_view text)
{
    if (text.size() > VmSettings::textLimit)
        return false;
    field.assign(text);
    return true;
}

// The digit's upper-case form, or 0 for anything that is not a hexadecimal digit.
wchar_t HexDigit(wchar_t c)
{
    if ((c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F'))
        return c;
    if (c >= L'a' && c <= L'f')
        return static_cast<wchar_t>(c - L'a' + L'A');
    return 0;
}

}

VmSettings::VmSettings(std::wstring instanceId) : instanceId(std::move(instanceId)) {}

void VmSettings::SetBiosNumLock(bool on)
{
    if (HasNumLockSetting())
        biosNumLock = on;
}

bool VmSettings::SetBaseBoardSerialNumber(std::wstring_view text)
{
    return StoreLimited(baseBoardSerialNumber, text);
}

bool VmSettings::SetBiosSerialNumber(std::wstring_view text)
{
    return StoreLimited(biosSerialNumber, text);
}

bool VmSettings::SetChassisAssetTag(std::wstring_view text)
{
    return StoreLimited(chassisAssetTag, text);
}

bool VmSettings::SetChassisSerialNumber(std::wstring_view text)
{
    return StoreLimited(chassisSerialNumber, text);
}

bool VmSettings::SetBiosGuid(std::wstring_view text)
{
    std::optional<std::wstring> normalised = NormalizeGuid(text);
    if (!normalised)
        return false;
    biosGuid = std::move(*normalised);
    return true;
}

void VmSettings::StoreRead(bool numLock, std::wstring baseBoard, std::wstring guid,
                           std::wstring biosSerial, std::wstring assetTag,
                           std::wstring chassisSerial, std::wstring subType)
{
    biosNumLock = numLock;
    baseBoardSerialNumber = std::move(baseBoard);
    biosGuid = std::move(guid);
    biosSerialNumber = std::move(biosSerial);
    chassisAssetTag = std::move(assetTag);
    chassisSerialNumber = std::move(chassisSerial);
    virtualSystemSubType = std::move(subType);
}

std::optional<std::wstring> NormalizeGuid(std::wstring_view text)
{
    if (text.size() < 32)
        return std::nullopt;
    std::wstring result(VmSettings::guidLength, L'\0');
    size_t input = 0;
    for (size_t position = 0; position < result.size(); ++position) {
        if (position == 0) {
            result[position] = L'{';
        } else if (position == 37) {
            result[position] = L'}';
        } else if (position == 9 || position == 14 || position == 19 || position == 24) {
            result[position] = L'-';
        } else {
            wchar_t digit = 0;
            while (input < text.size() && !(digit = HexDigit(text[input])))
                ++input;
            if (!digit)
                return std::nullopt;
            result[position] = digit;
            ++input;
        }
    }
    return result;
}
