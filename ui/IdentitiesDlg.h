// The "Virtual Machine Identities" window: every virtual machine of the hosts shown, with its
// firmware identity values and the machines it shares them with, read on the host worker;
// other known hosts added, the hosts read again, the table copied and exported as CSV; new
// identities made, or imported from CSV, as pending changes that are written on Apply Changes.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/DialogImpl.h"
#include "app/HostWorker.h"
#include "res/resource.h"
#include "ui/IdentityTable.h"
#include "vm/IdentityChange.h"

class Application;

inline constexpr wchar_t exportCaption[] = L"Exporting Virtual Machine Identities";
inline constexpr wchar_t applyIdentitiesCaption[] = L"Applying New Identities";

class CIdentitiesDlg final : public CDialogImpl<CIdentitiesDlg> {
public:
    enum { IDD = IDD_IDENTITIES };

    // Opens with the machines of `firstHost` (the main window's connected host).
    CIdentitiesDlg(Application& app, std::wstring firstHost);

    bool ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                              LRESULT& result) override;

    const IdentityTable& Table() const { return table_; }
    // Whether the main window's machine was written: it is to be loaded again.
    bool WroteCurrentVm() const { return wroteCurrentVm_; }
    // Asks for the file to export to; nothing when the user cancels.
    std::function<std::optional<std::wstring>(HWND owner)> chooseExportPath;
    // Asks for the file to import; nothing when the user cancels.
    std::function<std::optional<std::wstring>(HWND owner)> chooseImportPath;

private:
    using CommandHandler = void (CIdentitiesDlg::*)();
    struct CommandRoute {
        WORD id;
        CommandHandler handler;
    };
    static const CommandRoute commandMap[];
    // Posted from WM_INITDIALOG: the first hosts are read once the window shows.
    static constexpr UINT readFirstHostMessage = WM_APP + 1;
    static constexpr WORD sortCommand = 0x7000;

    LRESULT OnInitDialog();
    LRESULT OnNotify(const NMHDR& header);
    void OnReadFirstHost();
    void OnAddKnownHosts();
    void OnRefresh();
    void OnExport();
    void OnClose();

    // Reads the hosts side by side on the host worker and shows what was read.
    void Read(const std::vector<std::wstring>& hosts);
    // Runs host work with this window disabled, and gives it back activation and focus.
    WorkOutcome RunHostWork(std::wstring activity, const std::function<void()>& work);

    // Pending changes (IdentitiesChanges.cpp).
    void OnNewBiosGuids();
    void OnNewSerialNumbers();
    void OnImport();
    void OnApplyChanges();
    void OnDiscardChanges();
    // True when nothing is pending or the user lets the pending changes go (they are dropped).
    bool ConfirmDiscard();
    // Each selected row gets the change `make` gives; false from `make` changes nothing.
    void ChangeSelected(const std::function<bool(IdentityChange&)>& make);
    // Makes the changes pending and shows them, the same machines selected as before; how many
    // machines' pending changes it changed.
    size_t MakePending(const std::vector<std::pair<size_t, IdentityChange>>& changes);
    // Enables the commands that have something to act on.
    void UpdateCommands();

    // The list view (IdentitiesList.cpp): its columns, its rows from the table, their colour,
    // selection and copy.
    void SetUpList();
    void ShowTable();
    // The table's status line, then what the last command did.
    void ShowStatus();
    void OnGetDisplayInfo(NMLVDISPINFOW& info);
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW& draw) const;
    void OnListKey(const NMLVKEYDOWN& key);
    void OnColumnClick(const NMLISTVIEW& view);
    // The list's context menu (Shift+F10, the menu key or a right click) sorts without a mouse
    // on the header: one item per column, each sending the command sortCommand + its position.
    void OnContextMenu(HWND target, LPARAM where);
    void SortByPosition(size_t position);
    std::vector<size_t> SelectedRows() const;

    Application& app_;
    std::wstring firstHost_;
    IdentityTable table_;
    HWND list_ = nullptr;
    // The text handed to the list view for one cell, alive until it asks for the next.
    std::wstring cellText_;
    // What the last command did, after the table's status line.
    std::wstring notice_;
    bool wroteCurrentVm_ = false;
};
