// The columns of the identities table, their titles and each machine's text in them, as the
// window, the copied text and the exported file show them.
#pragma once

#include <span>
#include <string>

#include "vm/VmIdentity.h"

enum class IdentityColumn {
    Host,
    Name,
    VmId,
    State,
    Generation,
    BiosGuid,
    BiosSerialNumber,
    BaseBoardSerialNumber,
    ChassisSerialNumber,
    ChassisAssetTag,
    NumLock,
    SharedWith,
    Pending,
    Result,
};

// The window's columns, in their order (the VM ID is only exported).
inline constexpr IdentityColumn shownColumns[] = {
    IdentityColumn::Host,          IdentityColumn::Name,
    IdentityColumn::State,         IdentityColumn::Generation,
    IdentityColumn::BiosGuid,      IdentityColumn::BiosSerialNumber,
    IdentityColumn::BaseBoardSerialNumber, IdentityColumn::ChassisSerialNumber,
    IdentityColumn::ChassisAssetTag, IdentityColumn::NumLock,
    IdentityColumn::SharedWith,    IdentityColumn::Pending,
    IdentityColumn::Result,
};

// The exported file's columns, in their order.
inline constexpr IdentityColumn exportedColumns[] = {
    IdentityColumn::Host,          IdentityColumn::Name,
    IdentityColumn::VmId,          IdentityColumn::State,
    IdentityColumn::Generation,    IdentityColumn::BiosGuid,
    IdentityColumn::BiosSerialNumber, IdentityColumn::BaseBoardSerialNumber,
    IdentityColumn::ChassisSerialNumber, IdentityColumn::ChassisAssetTag,
    IdentityColumn::NumLock,
};

const wchar_t* ColumnTitle(IdentityColumn column);

// The machine's text in a column; Shared With, Pending and Result are the table's, and give
// nothing here.
std::wstring ColumnText(const VmIdentity& machine, IdentityColumn column);

// The columns' titles joined by the separator, without a line end.
std::wstring TitleLine(std::span<const IdentityColumn> columns, wchar_t separator);
