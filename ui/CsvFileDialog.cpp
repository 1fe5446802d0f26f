#include "ui/CsvFileDialog.h"

#include <algorithm>
#include <vector>

std::optional<std::wstring> ChooseCsvFile(HWND owner, FileDialogFunction show, DWORD flags,
                                          std::wstring_view offeredName)
{
    // Room for a long path; the dialog offers the name in it.
    std::vector<wchar_t> path(32768, L'\0');
    offeredName.copy(path.data(), std::min(offeredName.size(), path.size() - 1));
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    // Two terminated strings per filter, the list ending in an empty one.
    dialog.lpstrFilter = L"CSV files (*.csv)\0*.csv\0";
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrDefExt = L"csv";
    dialog.Flags = flags;
    if (!show(&dialog))
        return std::nullopt;
    return std::wstring(path.data());
}
