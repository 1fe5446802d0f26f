// What the identities window shows, without the window: the machines of every host read, in
// the order the user sorted them, with the changes pending for them, which of them share a
// value with which others (as the values will be once the changes are written), the line of
// each host that could not be read, the status line and the text copied from the table.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "mgmt/HostFailure.h"
#include "ui/IdentityColumns.h"
#include "vm/IdentityChange.h"
#include "vm/IdentityWriting.h"
#include "vm/VmIdentity.h"

// A machine with pending changes, for writing them.
struct PendingMachine {
    std::wstring host;
    std::wstring vmId;
    std::wstring name;
    IdentityChange change;
};

class IdentityTable {
public:
    // The host's machines replace what was shown of it, pending changes and results included
    // (a new host comes last).
    void ShowHost(const std::wstring& host, std::vector<VmIdentity> machines);
    // The host could not be read: its rows give way to one line of words.
    void ShowFailure(const std::wstring& host, const HostFailure& failure);
    // Whether the host is shown, read or not (letter case ignored).
    bool Shows(const std::wstring& host) const;
    // Every host shown, in the order they were first shown.
    std::vector<std::wstring> HostNames() const;

    // Rows by position, in the order shown, with their pending changes on top.
    size_t RowCount() const { return order_.size(); }
    const VmIdentity& Row(size_t position) const { return Shown(position).planned; }
    std::wstring Text(size_t position, IdentityColumn column) const;
    // Whether the row shares a value with another machine.
    bool IsShared(size_t position) const { return !shared_[order_[position]].empty(); }
    // Whether the cell holds a value that is still to be written.
    bool IsPending(size_t position, IdentityColumn column) const;
    // The positions the rows (as Row gave them) are shown at now; rows no longer shown have none.
    std::vector<size_t> PositionsOf(const std::vector<const VmIdentity*>& rows) const;
    // The machines in the order shown, with the values their hosts hold.
    std::vector<const VmIdentity*> RowsInOrder() const;

    // Puts changes on the rows at the positions, over those already pending: a value equal to
    // what the host holds is no longer pending, and a value absent from a change stays as it
    // was. Generation 2 machines have no Num Lock setting: their Num Lock is never pending.
    // How many machines' pending changes are now other than before.
    size_t MakePending(const std::vector<std::pair<size_t, IdentityChange>>& changes);
    void DiscardPending();
    // How many machines have changes pending.
    size_t PendingCount() const { return pendingCount_; }
    // The machines with pending changes, in the order shown.
    std::vector<PendingMachine> PendingInOrder() const;
    // The outcome of each write in its machine's Result column. Saved machines hold the values
    // read back and lose their pending changes; the others keep them.
    void ShowResults(const std::vector<IdentityWrite>& writes);

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
    struct Machine {
        VmIdentity held;    // as its host holds it
        VmIdentity planned; // with the pending changes on top
        IdentityChange pending;
        std::wstring result;
    };
    struct ShownHost {
        std::wstring name;
        std::vector<Machine> machines;
        std::optional<std::wstring> failureLine;
    };

    ShownHost& Entry(const std::wstring& host);
    const Machine& Shown(size_t position) const { return *rows_[order_[position]]; }
    // After a host changed: the rows, their shared values and the order again.
    void Rebuild();
    void Sort();
    std::wstring RowText(size_t row, IdentityColumn column) const;

    std::vector<ShownHost> hosts_;
    std::vector<Machine*> rows_;          // in host order, then the host's order
    std::vector<std::wstring> shared_;    // Shared With of each row
    std::vector<size_t> order_;           // the row shown at each position
    std::optional<IdentityColumn> sortColumn_;
    bool descending_ = false;
    size_t readHosts_ = 0;
    size_t pendingCount_ = 0;
};
