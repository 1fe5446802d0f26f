// What the identities window shows, without the window: the machines of every host read, in
// the order the user sorted them, which of them share a value with which others, the line of
// each host that could not be read, the status line and the text copied from the table.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "mgmt/HostFailure.h"
#include "ui/IdentityColumns.h"
#include "vm/VmIdentity.h"

class IdentityTable {
public:
    // The host's machines replace what was shown of it (a new host comes last).
    void ShowHost(const std::wstring& host, std::vector<VmIdentity> machines);
    // The host could not be read: its rows give way to one line of words.
    void ShowFailure(const std::wstring& host, const HostFailure& failure);
    // Whether the host is shown, read or not (letter case ignored).
    bool Shows(const std::wstring& host) const;
    // Every host shown, in the order they were first shown.
    std::vector<std::wstring> HostNames() const;

    // Rows by position, in the order shown.
    size_t RowCount() const { return order_.size(); }
    const VmIdentity& Row(size_t position) const { return *rows_[order_[position]]; }
    std::wstring Text(size_t position, IdentityColumn column) const;
    // Whether the row shares a value with another machine.
    bool IsShared(size_t position) const { return !shared_[order_[position]].empty(); }
    std::vector<const VmIdentity*> RowsInOrder() const;

    // Sorts by the column; the same column again reverses the order.
    void SortBy(IdentityColumn column);

    // "N virtual machines on H hosts; D share an identity value with another."
    std::wstring StatusLine() const;
    // "HOST: words" for each host that could not be read, in host order.
    std::vector<std::wstring> FailureLines() const;
    // The rows at the positions, tab-separated under the column titles, each line ending in
    // CR LF; tabs and line breaks inside a value become spaces.
    std::wstring CopyText(const std::vector<size_t>& positions) const;

private:
    struct ShownHost {
        std::wstring name;
        std::vector<VmIdentity> machines;
        std::optional<std::wstring> failureLine;
    };

    ShownHost& Entry(const std::wstring& host);
    // After a host changed: the rows, their shared values and the order again.
    void Rebuild();
    void Sort();

    std::vector<ShownHost> hosts_;
    std::vector<const VmIdentity*> rows_; // in host order, then the host's order
    std::vector<std::wstring> shared_;    // Shared With of each row
    std::vector<size_t> order_;           // the row shown at each position
    std::optional<IdentityColumn> sortColumn_;
    bool descending_ = false;
    size_t readHosts_ = 0;
};
