#include "ui/IdentityTable.h"

#include <windows.h>

#include <algorithm>
#include <numeric>

#include "mgmt/ManagementText.h"
#include "vm/SharedValues.h"

namespace {

bool SameHostName(const std::wstring& first, const std::wstring& second)
{
    return CompareStringOrdinal(first.c_str(), static_cast<int>(first.size()), second.c_str(),
                                static_cast<int>(second.size()), TRUE) == CSTR_EQUAL;
}

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

// A value on one line of tab-separated text: each tab, line break (CR LF, CR or LF) a space.
std::wstring OnOneLine(const std::wstring& text)
{
    std::wstring line;
    line.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')
            continue;
        line += c == L'\t' || c == L'\r' || c == L'\n' ? L' ' : c;
    }
    return line;
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
    shown.machines = std::move(machines);
    shown.failureLine.reset();
    Rebuild();
}

void IdentityTable::ShowFailure(const std::wstring& host, const HostFailure& failure)
{
    ShownHost& shown = Entry(host);
    shown.machines.clear();
    std::wstring line = shown.name + L": " + ResultText(failure.result);
    if (!failure.message.empty())
        line += L" Details: " + OnOneLine(failure.message);
    shown.failureLine = std::move(line);
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
    for (const ShownHost& shown : hosts_) {
        if (shown.failureLine)
            continue;
        ++readHosts_;
        for (const VmIdentity& machine : shown.machines)
            rows_.push_back(&machine);
    }
    const std::vector<std::vector<SharedMatch>> matches = FindSharedValues(rows_);
    shared_.assign(rows_.size(), std::wstring());
    for (size_t row = 0; row < rows_.size(); ++row) {
        std::wstring& text = shared_[row];
        for (const SharedMatch& match : matches[row]) {
            if (!text.empty())
                text += L"; ";
            const VmIdentity& other = *rows_[match.other];
            text += other.name + L" on " + other.host + L" (" + SharedTitles(match.values) + L")";
        }
    }
    order_.resize(rows_.size());
    std::iota(order_.begin(), order_.end(), size_t{0});
    Sort();
}

std::wstring IdentityTable::Text(size_t position, IdentityColumn column) const
{
    const size_t row = order_[position];
    return column == IdentityColumn::SharedWith ? shared_[row] : ColumnText(*rows_[row], column);
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
        keys[row] = column == IdentityColumn::SharedWith ? shared_[row] : ColumnText(*rows_[row], column);
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
        rows.push_back(rows_[row]);
    return rows;
}

std::wstring IdentityTable::StatusLine() const
{
    const auto sharing = static_cast<size_t>(
        std::count_if(shared_.begin(), shared_.end(), [](const std::wstring& text) { return !text.empty(); }));
    return Counted(rows_.size(), L"virtual machine", L"virtual machines") + L" on " +
           Counted(readHosts_, L"host", L"hosts") + L"; " + std::to_wstring(sharing) +
           (sharing == 1 ? L" shares" : L" share") + L" an identity value with another.";
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
