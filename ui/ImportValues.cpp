#include "ui/ImportValues.h"

#include <windows.h>

#include <algorithm>
#include <optional>

#include "vm/MachineQuery.h"
#include "vm/VmSettings.h"

namespace {

// Longer values are shown by their start in messages.
constexpr size_t shownLength = 40;

bool IsHexDigit(wchar_t c)
{
    return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F') || (c >= L'a' && c <= L'f');
}

// 32 hexadecimal digits, alone or hyphenated 8-4-4-4-12, either form with or without braces.
bool IsGuidForm(std::wstring_view text)
{
    if (text.size() >= 2 && text.front() == L'{' && text.back() == L'}')
        text = text.substr(1, text.size() - 2);
    if (text.size() == 32)
        return std::all_of(text.begin(), text.end(), IsHexDigit);
    // The hyphenated form is the one a machine's own VM ID takes.
    return IsMachineIdentifier(text);
}

// Why a value is no GUID: the digits themselves, or only where its braces and hyphens stand.
std::wstring GuidFault(std::wstring_view value)
{
    const auto digits = std::count_if(value.begin(), value.end(), IsHexDigit);
    const bool onlyMarks = std::all_of(value.begin(), value.end(), [](wchar_t c) {
        return IsHexDigit(c) || c == L'{' || c == L'}' || c == L'-';
    });
    const std::wstring given = L"gives the BIOS GUID " + QuotedValue(value);
    if (digits == 32 && onlyMarks)
        return given + L", whose braces or hyphens are not where a GUID has them "
                       L"({XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}).";
    return given + L", which is not 32 hexadecimal digits.";
}

std::optional<bool> NumLockWord(std::wstring_view value)
{
    static constexpr struct {
        std::wstring_view word;
        bool on;
    } words[] = {{L"Yes", true}, {L"No", false}, {L"True", true},
                 {L"False", false}, {L"1", true}, {L"0", false}};
    for (const auto& candidate : words)
        if (SameIgnoringCase(value, candidate.word))
            return candidate.on;
    return std::nullopt;
}

std::optional<std::wstring> IdentityChange::* TextMember(IdentityColumn column)
{
    switch (column) {
    case IdentityColumn::BiosSerialNumber: return &IdentityChange::biosSerialNumber;
    case IdentityColumn::BaseBoardSerialNumber: return &IdentityChange::baseBoardSerialNumber;
    case IdentityColumn::ChassisSerialNumber: return &IdentityChange::chassisSerialNumber;
    case IdentityColumn::ChassisAssetTag: return &IdentityChange::chassisAssetTag;
    default: return nullptr;
    }
}

bool TakeNumLock(std::wstring_view value, const VmIdentity& machine, IdentityChange& change,
                 std::wstring& fault)
{
    // The export's text for a machine without the setting.
    if (value == L"-")
        return true;
    const std::optional<bool> on = NumLockWord(value);
    if (!on) {
        fault = L"gives the Num Lock " + QuotedValue(value) +
                L", which is not Yes, No, True, False, 1, 0 or -.";
        return false;
    }
    if (machine.generation == 2) {
        fault = L"gives the Num Lock " + QuotedValue(value) + L" for " +
                QuotedValue(machine.name) + L" on " + machine.host +
                L", a generation 2 virtual machine, whose firmware has no Num Lock setting.";
        return false;
    }
    change.numLock = *on;
    return true;
}

}

bool SameIgnoringCase(std::wstring_view first, std::wstring_view second)
{
    if (first.size() != second.size())
        return false;
    if (first.empty())
        return true;
    return CompareStringOrdinal(first.data(), static_cast<int>(first.size()), second.data(),
                                static_cast<int>(second.size()), TRUE) == CSTR_EQUAL;
}

std::wstring QuotedValue(std::wstring_view value)
{
    if (value.size() <= shownLength)
        return L"\"" + std::wstring(value) + L"\"";
    size_t length = shownLength;
    // Never half of a character beyond U+FFFF.
    if (IS_HIGH_SURROGATE(value[length - 1]))
        --length;
    return L"\"" + std::wstring(value.substr(0, length)) + L"...\"";
}

bool TakeValue(IdentityColumn column, std::wstring_view value, const VmIdentity& machine,
               IdentityChange& change, std::wstring& fault)
{
    if (column == IdentityColumn::NumLock)
        return TakeNumLock(value, machine, change, fault);
    if (column == IdentityColumn::BiosGuid) {
        if (!IsGuidForm(value)) {
            fault = GuidFault(value);
            return false;
        }
        change.biosGuid = NormalizeGuid(value);
        return true;
    }
    const auto member = TextMember(column);
    if (!member)
        return true;
    if (value.size() > VmSettings::textLimit) {
        fault = std::wstring(L"gives the ") + ColumnTitle(column) + L" " + QuotedValue(value) +
                L" of " + std::to_wstring(value.size()) + L" characters, more than the " +
                std::to_wstring(VmSettings::textLimit) + L" it may hold.";
        return false;
    }
    change.*member = std::wstring(value);
    return true;
}
