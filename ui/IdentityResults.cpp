#include "ui/IdentityResults.h"

#include "ui/IdentityColumns.h"

namespace {

// The values the host holds that differ from those sent, as "Title "value"" joined by "; ".
std::wstring Differences(const VmSettings& sent, const VmSettings& held, int generation)
{
    const struct {
        IdentityColumn column;
        const std::wstring& (VmSettings::*value)() const;
    } texts[] = {
        {IdentityColumn::BiosGuid, &VmSettings::BiosGuid},
        {IdentityColumn::BiosSerialNumber, &VmSettings::BiosSerialNumber},
        {IdentityColumn::BaseBoardSerialNumber, &VmSettings::BaseBoardSerialNumber},
        {IdentityColumn::ChassisSerialNumber, &VmSettings::ChassisSerialNumber},
        {IdentityColumn::ChassisAssetTag, &VmSettings::ChassisAssetTag},
    };
    std::wstring text;
    const auto add = [&](IdentityColumn column, const std::wstring& value) {
        if (!text.empty())
            text += L"; ";
        text += std::wstring(ColumnTitle(column)) + L" \"" + value + L"\"";
    };
    for (const auto& field : texts)
        if ((sent.*field.value)() != (held.*field.value)())
            add(field.column, (held.*field.value)());
    if (generation != 2 && sent.BiosNumLock() != held.BiosNumLock())
        add(IdentityColumn::NumLock, held.BiosNumLock() ? L"Yes" : L"No");
    return text;
}

}

std::wstring WriteResultText(const IdentityWrite& write, int generation)
{
    switch (write.outcome) {
    case IdentityWrite::Outcome::NotWritten:
        return L"Not written: Brackwin stopped before this virtual machine";
    case IdentityWrite::Outcome::Saved: {
        if (!write.held)
            return L"Saved, but " + write.words;
        const std::wstring differences = write.sent ? Differences(*write.sent, *write.held, generation)
                                                    : std::wstring();
        return differences.empty() ? L"Saved" : L"Saved, but the host now holds " + differences;
    }
    case IdentityWrite::Outcome::Skipped:
        return L"Skipped: the virtual machine is not off";
    case IdentityWrite::Outcome::Refused:
        return L"Refused by the host: " + write.words;
    case IdentityWrite::Outcome::NotSaved:
        return L"Not saved: " + write.words;
    }
    return {};
}

std::wstring ApplySummary(const std::vector<IdentityWrite>& writes)
{
    const struct {
        IdentityWrite::Outcome outcome;
        const wchar_t* word;
    } parts[] = {
        {IdentityWrite::Outcome::Saved, L"saved"},
        {IdentityWrite::Outcome::Skipped, L"skipped"},
        {IdentityWrite::Outcome::Refused, L"refused"},
        {IdentityWrite::Outcome::NotSaved, L"not saved"},
        {IdentityWrite::Outcome::NotWritten, L"not written"},
    };
    std::wstring text;
    for (const auto& part : parts) {
        size_t count = 0;
        for (const IdentityWrite& write : writes)
            count += write.outcome == part.outcome ? 1 : 0;
        if (count == 0)
            continue;
        if (!text.empty())
            text += L", ";
        text += std::to_wstring(count) + L" " + part.word;
    }
    return text + L".";
}
