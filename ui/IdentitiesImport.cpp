// The identities window's Import: a CSV file, checked whole, read into pending changes.
#include "ui/IdentitiesDlg.h"

#include "base/Platform.h"
#include "ui/IdentityImport.h"

void CIdentitiesDlg::OnImport()
{
    if (table_.RowCount() == 0)
        return;
    const std::optional<std::wstring> path = chooseImportPath(m_hWnd);
    if (!path)
        return;
    std::vector<ImportedChange> imported;
    ImportFailure failure;
    // The rows are matched in the order shown, so that a row's index is its position.
    if (!ImportIdentityFile(*path, table_.RowsInOrder(), imported, failure)) {
        CurrentPlatform().messageBox(m_hWnd, ImportFailureText(*path, failure).c_str(), importCaption,
                                     MB_ICONERROR);
        return;
    }
    std::vector<std::pair<size_t, IdentityChange>> changes;
    changes.reserve(imported.size());
    for (ImportedChange& change : imported)
        changes.emplace_back(change.row, std::move(change.change));
    const size_t changed = MakePending(changes);
    const size_t slash = path->find_last_of(L"\\/");
    notice_ = L"The file " + path->substr(slash == std::wstring::npos ? 0 : slash + 1) + L" changes " +
              std::to_wstring(changed) + (changed == 1 ? L" virtual machine." : L" virtual machines.");
    ShowStatus();
}
