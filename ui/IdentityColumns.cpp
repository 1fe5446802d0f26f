#include "ui/IdentityColumns.h"

#include "vm/PowerState.h"

const wchar_t* ColumnTitle(IdentityColumn column)
{
    switch (column) {
    case IdentityColumn::Host: return L"Host";
    case IdentityColumn::Name: return L"Name";
    case IdentityColumn::VmId: return L"VM ID";
    case IdentityColumn::State: return L"State";
    case IdentityColumn::Generation: return L"Generation";
    case IdentityColumn::BiosGuid: return L"BIOS GUID";
    case IdentityColumn::BiosSerialNumber: return L"BIOS Serial Number";
    case IdentityColumn::BaseBoardSerialNumber: return L"Baseboard Serial Number";
    case IdentityColumn::ChassisSerialNumber: return L"Chassis Serial Number";
    case IdentityColumn::ChassisAssetTag: return L"Chassis Asset Tag";
    case IdentityColumn::NumLock: return L"Num Lock";
    case IdentityColumn::SharedWith: return L"Shared With";
    case IdentityColumn::Pending: return L"Pending";
    case IdentityColumn::Result: return L"Result";
    }
    return L"";
}

std::wstring ColumnText(const VmIdentity& machine, IdentityColumn column)
{
    switch (column) {
    case IdentityColumn::Host: return machine.host;
    case IdentityColumn::Name: return machine.name;
    case IdentityColumn::VmId: return machine.vmId;
    case IdentityColumn::State: {
        const wchar_t* name = StateName(machine.enabledState);
        return name ? name : L"";
    }
    case IdentityColumn::Generation:
        return machine.generation == 1 || machine.generation == 2 ? std::to_wstring(machine.generation)
                                                                  : L"";
    case IdentityColumn::BiosGuid: return machine.biosGuid;
    case IdentityColumn::BiosSerialNumber: return machine.biosSerialNumber;
    case IdentityColumn::BaseBoardSerialNumber: return machine.baseBoardSerialNumber;
    case IdentityColumn::ChassisSerialNumber: return machine.chassisSerialNumber;
    case IdentityColumn::ChassisAssetTag: return machine.chassisAssetTag;
    case IdentityColumn::NumLock:
        // Generation 2 firmware has no Num Lock setting.
        if (machine.generation == 2)
            return L"-";
        if (!machine.numLock)
            return L"";
        return *machine.numLock ? L"Yes" : L"No";
    case IdentityColumn::SharedWith:
    case IdentityColumn::Pending:
    case IdentityColumn::Result:
        return L"";
    }
    return L"";
}

std::wstring TitleLine(std::span<const IdentityColumn> columns, wchar_t separator)
{
    std::wstring line;
    for (IdentityColumn column : columns) {
        if (!line.empty())
            line += separator;
        line += ColumnTitle(column);
    }
    return line;
}
