#include "ui/IdentityTable.h"

#include <windows.h>

#include <algorithm>
#include <numeric>
#include <unordered_map>

#include "hosts/HostNameKey.h"
#include "mgmt/ManagementText.h"
#include "ui/IdentityResults.h"
#include "vm/SharedValues.h"

namespace {

// The titles of the shared values, in the columns' order.
std::wstring SharedTitles(unsigned values)
{
    struct Title {
        unsigned bit;
        IdentityColumn column;
    };
    static constexpr Title titles[] = {
        {sharedBiosGuid, IdentityColumn::BiosGuid},
        {sharedBiosSerialNumber, IdentityColumn::BiosSerialNumber},
        {sharedBaseBoardSerialNumber, IdentityColumn::BaseBoardSerialNumber},
        {sharedChassisSerialNumber, IdentityColumn::ChassisSerialNumber},
        {sharedChassisAssetTag, IdentityColumn::ChassisAssetTag},
    };
    std::wstring text;
    for (const Title& title : titles) {
        if (!(values & title.bit))
            continue;
        if (!text.empty())
            text += L", ";
        text += ColumnTitle(title.column);
    }
    return text;
}

std::wstring Counted(size_t count, const wchar_t* one, const wchar_t* many)
{
    return std::to_wstring(count) + L" " + (count == 1 ? one : many);
}

// The text values a change may give, with the column that shows each.
struct TextField {
    IdentityColumn column;
    std::optional<std::wstring> IdentityChange::*change;
    std::wstring VmIdentity::*value;
};
constexpr TextField textFields[] = {
    {IdentityColumn::BiosGuid, &IdentityChange::biosGuid, &VmIdentity::biosGuid},
    {IdentityColumn::BiosSerialNumber, &IdentityChange::biosSerialNumber, &VmIdentity::biosSerialNumber},
    {IdentityColumn::BaseBoardSerialNumber, &IdentityChange::baseBoardSerialNumber,
     &VmIdentity::baseBoardSerialNumber},
    {IdentityColumn::ChassisSerialNumber, &IdentityChange::chassisSerialNumber,
     &VmIdentity::chassisSerialNumber},
    {IdentityColumn::ChassisAssetTag, &IdentityChange::chassisAssetTag, &VmIdentity::chassisAssetTag},
};

bool SameValue(IdentityColumn column, const std::wstring& first, const std::wstring& second)
{
    return column == IdentityColumn::BiosGuid ? GuidKey(first) == GuidKey(second) : first == second;
}

// `change` put over `pending`, each value equal to the held one dropped instead.
void Merge(const VmIdentity& held, const IdentityChange& change, IdentityChange& pending)
{
    for (const TextField& field : textFields) {
        const std::optional<std::wstring>& value = change.*field.change;
        if (!value)
            continue;
        if (SameValue(field.column, *value, held.*field.value))
            (pending.*field.change).reset();
        else
            pending.*field.change = *value;
    }
    if (change.numLock && held.generation != 2) {
        if (held.numLock == change.numLock)
            pending.numLock.reset();
        else
            pending.numLock = change.numLock;
    }
}

VmIdentity Planned(const VmIdentity& held, const IdentityChange& pending)
{
    VmIdentity planned = held;
    for (const TextField& field : textFields)
        if (const std::optional<std::wstring>& value = pending.*field.change)
            planned.*field.value = *value;
    if (pending.numLock)
        planned.numLock = pending.numLock;
    return planned;
}

bool HasChanges(const IdentityChange& change)
{
    return change.numLock || ChangesLockedValues(change);
}

// "BIOS GUID: {old} → {new}; ..." in the columns' order; "(empty)" for an empty value.
std::wstring PendingText(const VmIdentity& held, const VmIdentity& planned, const IdentityChange& pending)
{
    const auto shown = [](std::wstring text) { return text.empty() ? L"(empty)" : text; };
    std::wstring text;
    const auto add = [&](IdentityColumn column) {
        if (!text.empty())
            text += L"; ";
        text += std::wstring(ColumnTitle(column)) + L": " + shown(ColumnText(held, column)) +
                L" \u2192 " + shown(ColumnText(planned, column));
    };
    for (const TextField& field : textFields)
        if (pending.*field.change)
            add(field.column);
    if (pending.numLock)
        add(IdentityColumn::NumLock);
    return text;
}

// What the host holds after a save: the values read back, else those sent.
void StoreSaved(const IdentityWrite& write, VmIdentity& held)
{
    const std::optional<VmSettings>& settings = write.held ? write.held : write.sent;
    if (!settings)
        return;
    held.biosGuid = settings->BiosGuid();
    held.biosSerialNumber = settings->BiosSerialNumber();
    held.baseBoardSerialNumber = settings->BaseBoardSerialNumber();
    held.chassisSerialNumber = settings->ChassisSerialNumber();
    held.chassisAssetTag = settings->ChassisAssetTag();
    held.numLock = settings->BiosNumLock();
}

}

IdentityTable::ShownHost& IdentityTable::Entry(const std::wstring& host)
{
    for (ShownHost& shown : hosts_)
        if (SameHostName(shown.name, host))
            return shown;
    hosts_.push_back({host, {}, std::nullopt});
    return hosts_.back();
}

void IdentityTable::ShowHost(const std::wstring& host, std::vector<VmIdentity> machines)
{
    ShownHost& shown = Entry(host);
    shown.machines.clear();
    shown.machines.reserve(machines.size());
    for (VmIdentity& machine : machines) {
        VmIdentity planned = machine;
        shown.machines.push_back({std::move(machine), std::move(planned), {}, {}});
    }
    shown.failureLine.reset();
    Rebuild();
}

void IdentityTable::ShowFailure(const std::wstring& host, const HostFailure& failure)
{
    ShownHost& shown = Entry(host);
    shown.machines.clear();
    shown.failureLine = shown.name + L": " + FailureOnOneLine(failure);
    Rebuild();
}

bool IdentityTable::Shows(const std::wstring& host) const
{
    return std::any_of(hosts_.begin(), hosts_.end(),
                       [&](const ShownHost& shown) { return SameHostName(shown.name, host); });
}

std::vector<std::wstring> IdentityTable::HostNames() const
{
    std::vector<std::wstring> names;
    for (const ShownHost& shown : hosts_)
        names.push_back(shown.name);
    return names;
}

void IdentityTable::Rebuild()
{
    rows_.clear();
    readHosts_ = 0;
    pendingCount_ = 0;
    std::vector<const VmIdentity*> planned;
    for (ShownHost& shown : hosts_) {
        if (shown.failureLine)
            continue;
        ++readHosts_;
        for (Machine& machine : shown.machines) {
            rows_.push_back(&machine);
            planned.push_back(&machine.planned);
            if (HasChanges(machine.pending))
                ++pendingCount_;
        }
    }
    const std::vector<std::vector<SharedMatch>> matches = FindSharedValues(planned);
    shared_.assign(rows_.size(), std::wstring());
    for (size_t row = 0; row < rows_.size(); ++row) {
        std::wstring& text = shared_[row];
        for (const SharedMatch& match : matches[row]) {
            if (!text.empty())
                text += L"; ";
            const VmIdentity& other = rows_[match.other]->planned;
            text += other.name + L" on " + other.host + L" (" + SharedTitles(match.values) + L")";
        }
    }
    order_.resize(rows_.size());
    std::iota(order_.begin(), order_.end(), size_t{0});
    Sort();
}

std::wstring IdentityTable::Text(size_t position, IdentityColumn column) const
{
    return RowText(order_[position], column);
}

std::wstring IdentityTable::RowText(size_t row, IdentityColumn column) const
{
    const Machine& machine = *rows_[row];
    switch (column) {
    case IdentityColumn::SharedWith: return shared_[row];
    case IdentityColumn::Pending: return PendingText(machine.held, machine.planned, machine.pending);
    case IdentityColumn::Result: return machine.result;
    default: return ColumnText(machine.planned, column);
    }
}

bool IdentityTable::IsPending(size_t position, IdentityColumn column) const
{
    const IdentityChange& pending = Shown(position).pending;
    if (column == IdentityColumn::NumLock)
        return pending.numLock.has_value();
    return std::any_of(std::begin(textFields), std::end(textFields), [&](const TextField& field) {
        return field.column == column && (pending.*field.change).has_value();
    });
}

std::vector<size_t> IdentityTable::PositionsOf(const std::vector<const VmIdentity*>& rows) const
{
    std::unordered_map<const VmIdentity*, size_t> positions;
    for (size_t position = 0; position < order_.size(); ++position)
        positions.emplace(&rows_[order_[position]]->planned, position);
    std::vector<size_t> found;
    for (const VmIdentity* row : rows)
        if (const auto at = positions.find(row); at != positions.end())
            found.push_back(at->second);
    return found;
}

size_t IdentityTable::MakePending(const std::vector<std::pair<size_t, IdentityChange>>& changes)
{
    // The positions name rows until the order is made again.
    std::vector<std::pair<Machine*, const IdentityChange*>> targets;
    targets.reserve(changes.size());
    for (const auto& [position, change] : changes)
        if (position < order_.size())
            targets.emplace_back(rows_[order_[position]], &change);
    size_t changed = 0;
    for (const auto& [machine, change] : targets) {
        const IdentityChange before = machine->pending;
        Merge(machine->held, *change, machine->pending);
        machine->planned = Planned(machine->held, machine->pending);
        changed += machine->pending == before ? 0 : 1;
    }
    Rebuild();
    return changed;
}

void IdentityTable::DiscardPending()
{
    for (Machine* machine : rows_) {
        machine->pending = {};
        machine->planned = machine->held;
    }
    Rebuild();
}

std::vector<PendingMachine> IdentityTable::PendingInOrder() const
{
    std::vector<PendingMachine> machines;
    for (size_t row : order_) {
        const Machine& machine = *rows_[row];
        if (HasChanges(machine.pending))
            machines.push_back({machine.held.host, machine.held.vmId, machine.held.name, machine.pending});
    }
    return machines;
}

void IdentityTable::ShowResults(const std::vector<IdentityWrite>& writes)
{
    // A machine is its host's VM ID: copies of a VM on other hosts keep the ID.
    const auto key = [](const std::wstring& host, const std::wstring& vmId) { return HostNameKey(host) + L"\n" + vmId; };
    std::unordered_map<std::wstring, Machine*> machines;
    for (Machine* machine : rows_)
        machines.emplace(key(machine->held.host, machine->held.vmId), machine);
    for (const IdentityWrite& write : writes) {
        const auto found = machines.find(key(write.host, write.vmId));
        if (found == machines.end())
            continue;
        Machine& machine = *found->second;
        machine.result = WriteResultText(write, machine.held.generation);
        if (write.outcome == IdentityWrite::Outcome::Saved) {
            StoreSaved(write, machine.held);
            machine.pending = {};
        }
        machine.planned = Planned(machine.held, machine.pending);
    }
    Rebuild();
}

void IdentityTable::SortBy(IdentityColumn column)
{
    descending_ = sortColumn_ == column && !descending_;
    sortColumn_ = column;
    // Each sort starts from the reading order, so that equal texts keep it.
    std::iota(order_.begin(), order_.end(), size_t{0});
    Sort();
}

void IdentityTable::Sort()
{
    if (!sortColumn_)
        return;
    const IdentityColumn column = *sortColumn_;
    std::vector<std::wstring> keys(rows_.size());
    for (size_t row = 0; row < rows_.size(); ++row)
        keys[row] = RowText(row, column);
    const auto compare = [&](size_t first, size_t second) {
        const int order = CompareStringOrdinal(keys[first].c_str(), static_cast<int>(keys[first].size()),
                                               keys[second].c_str(), static_cast<int>(keys[second].size()),
                                               TRUE);
        return descending_ ? order == CSTR_GREATER_THAN : order == CSTR_LESS_THAN;
    };
    std::stable_sort(order_.begin(), order_.end(), compare);
}

std::vector<const VmIdentity*> IdentityTable::RowsInOrder() const
{
    std::vector<const VmIdentity*> rows;
    rows.reserve(order_.size());
    for (size_t row : order_)
        rows.push_back(&rows_[row]->held);
    return rows;
}

std::wstring IdentityTable::StatusLine() const
{
    const auto sharing = static_cast<size_t>(
        std::count_if(shared_.begin(), shared_.end(), [](const std::wstring& text) { return !text.empty(); }));
    std::wstring line = Counted(rows_.size(), L"virtual machine", L"virtual machines") + L" on " +
                        Counted(readHosts_, L"host", L"hosts") + L"; " + std::to_wstring(sharing) +
                        (sharing == 1 ? L" shares" : L" share") + L" an identity value with another.";
    if (pendingCount_ > 0)
        line += L" " + std::to_wstring(pendingCount_) + (pendingCount_ == 1 ? L" has" : L" have") +
                L" changes not yet written.";
    return line;
}

std::vector<std::wstring> IdentityTable::FailureLines() const
{
    std::vector<std::wstring> lines;
    for (const ShownHost& shown : hosts_)
        if (shown.failureLine)
            lines.push_back(*shown.failureLine);
    return lines;
}

std::wstring IdentityTable::CopyText(const std::vector<size_t>& positions) const
{
    std::wstring text = TitleLine(shownColumns, L'\t') + L"\r\n";
    for (size_t position : positions) {
        if (position >= order_.size())
            continue;
        for (IdentityColumn column : shownColumns) {
            if (column != shownColumns[0])
                text += L'\t';
            text += OnOneLine(Text(position, column));
        }
        text += L"\r\n";
    }
    return text;
}
