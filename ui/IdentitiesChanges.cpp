// The identities window's pending changes: new BIOS GUIDs and serial numbers for the selected
// machines, dropping them, the question before they are lost, and writing them to the hosts.
#include "ui/IdentitiesDlg.h"

#include <algorithm>

#include "app/Application.h"
#include "base/Platform.h"
#include "hosts/HostNameKey.h"
#include "mgmt/ManagementSession.h"
#include "ui/IdentityResults.h"
#include "vm/FreshIdentity.h"
#include "vm/IdentityWriting.h"
#include "vm/VmEntry.h"

namespace {

constexpr wchar_t unsavedCaption[] = L"Unsaved changes";

std::wstring Counted(size_t count, const wchar_t* one, const wchar_t* many)
{
    return std::to_wstring(count) + L" " + (count == 1 ? one : many);
}

size_t HostCount(const std::vector<PendingMachine>& machines)
{
    std::vector<const std::wstring*> hosts;
    for (const PendingMachine& machine : machines) {
        const bool counted = std::any_of(hosts.begin(), hosts.end(), [&](const std::wstring* host) {
            return SameHostName(*host, machine.host);
        });
        if (!counted)
            hosts.push_back(&machine.host);
    }
    return hosts.size();
}

}

void CIdentitiesDlg::OnNewBiosGuids()
{
    ChangeSelected([](IdentityChange& change) {
        change.biosGuid = NormalizeGuid(Application::NewGuidText());
        return change.biosGuid.has_value();
    });
}

void CIdentitiesDlg::OnNewSerialNumbers()
{
    // Hyper-V gives a new machine one serial number for its BIOS, baseboard and chassis.
    ChangeSelected([](IdentityChange& change) {
        const std::optional<std::wstring> serial = NewSerialNumber();
        if (!serial)
            return false;
        change.biosSerialNumber = serial;
        change.baseBoardSerialNumber = serial;
        change.chassisSerialNumber = serial;
        return true;
    });
}

void CIdentitiesDlg::ChangeSelected(const std::function<bool(IdentityChange&)>& make)
{
    std::vector<std::pair<size_t, IdentityChange>> changes;
    for (size_t position : SelectedRows()) {
        IdentityChange change;
        if (!make(change)) {
            CurrentPlatform().messageBox(m_hWnd, L"Windows gave no random values: nothing was changed.",
                                         applyIdentitiesCaption, MB_ICONERROR);
            return;
        }
        changes.emplace_back(position, std::move(change));
    }
    notice_.clear();
    MakePending(changes);
}

size_t CIdentitiesDlg::MakePending(const std::vector<std::pair<size_t, IdentityChange>>& changes)
{
    std::vector<const VmIdentity*> selected;
    for (size_t position : SelectedRows())
        selected.push_back(&table_.Row(position));
    const size_t changed = table_.MakePending(changes);
    ShowTable();
    for (size_t position : table_.PositionsOf(selected))
        ListView_SetItemState(list_, static_cast<int>(position), LVIS_SELECTED, LVIS_SELECTED);
    return changed;
}

void CIdentitiesDlg::OnDiscardChanges()
{
    table_.DiscardPending();
    notice_.clear();
    ShowTable();
}

bool CIdentitiesDlg::ConfirmDiscard()
{
    const size_t pending = table_.PendingCount();
    if (pending == 0)
        return true;
    const std::wstring text = Counted(pending, L"virtual machine has", L"virtual machines have") +
                              L" changes that were not written. Do you wish to discard them?\r\n"
                              L"Press Yes to discard changes.\r\n"
                              L"Press No to keep changes and continue working with them.";
    if (CurrentPlatform().messageBox(m_hWnd, text.c_str(), unsavedCaption, MB_ICONWARNING | MB_YESNO) != IDYES)
        return false;
    table_.DiscardPending();
    ShowTable();
    return true;
}

void CIdentitiesDlg::OnApplyChanges()
{
    const std::vector<PendingMachine> pending = table_.PendingInOrder();
    if (pending.empty() || app_.HostWorkRunning())
        return;
    const std::wstring question = L"Write new identities to " +
                                  Counted(pending.size(), L"virtual machine", L"virtual machines") +
                                  L" on " + Counted(HostCount(pending), L"host", L"hosts") + L"?";
    if (CurrentPlatform().messageBox(m_hWnd, question.c_str(), applyIdentitiesCaption,
                                     MB_ICONWARNING | MB_YESNO) != IDYES)
        return;
    std::vector<IdentityWrite> writes;
    writes.reserve(pending.size());
    for (const PendingMachine& machine : pending) {
        IdentityWrite write;
        write.session = app_.FindSession(machine.host.c_str());
        write.host = machine.host;
        write.vmId = machine.vmId;
        write.name = machine.name;
        write.change = machine.change;
        writes.push_back(std::move(write));
    }
    const WorkOutcome outcome = RunHostWork(L"Applying new identities", [&] {
        WriteIdentities(writes, app_.ManagementApplication());
    });
    if (outcome == WorkOutcome::Refused)
        return;
    // What was written is shown even when the work ended early.
    const VmEntry* current = app_.CurrentVm();
    for (const IdentityWrite& write : writes)
        if (current && write.outcome == IdentityWrite::Outcome::Saved && write.session == current->session &&
            write.vmId == current->Name)
            wroteCurrentVm_ = true;
    table_.ShowResults(writes);
    notice_ = ApplySummary(writes);
    ShowTable();
}

void CIdentitiesDlg::UpdateCommands()
{
    const bool selected = ListView_GetSelectedCount(list_) > 0;
    const bool pending = table_.PendingCount() > 0;
    const struct {
        int id;
        bool enable;
    } commands[] = {
        {IDC_NEW_BIOS_GUIDS, selected},
        {IDC_NEW_SERIAL_NUMBERS, selected},
        {IDC_IDENTITY_IMPORT, table_.RowCount() > 0},
        {IDC_APPLY_IDENTITIES, pending},
        {IDC_DISCARD_IDENTITIES, pending},
    };
    for (const auto& command : commands) {
        const HWND control = GetDlgItem(command.id);
        if ((IsWindowEnabled(control) != FALSE) == command.enable)
            continue;
        // A button that loses its use while it has the focus hands the focus to the list.
        if (!command.enable && GetFocus() == control)
            SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list_), TRUE);
        EnableWindow(control, command.enable ? TRUE : FALSE);
    }
}
