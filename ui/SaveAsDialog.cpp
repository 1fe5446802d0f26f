#include "ui/SaveAsDialog.h"

#include <commdlg.h>

#include <vector>

std::optional<std::wstring> ChooseCsvPath(HWND owner)
{
    // Room for a long path; the dialog offers the default name in it.
    std::vector<wchar_t> path(32768, L'\0');
    const std::wstring defaultName = L"vm-identities.csv";
    defaultName.copy(path.data(), defaultName.size());
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    // Two terminated strings per filter, the list ending in an empty one.
    dialog.lpstrFilter = L"CSV files (*.csv)\0*.csv\0";
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrDefExt = L"csv";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_EXPLORER;
    if (!GetSaveFileNameW(&dialog))
        return std::nullopt;
    return std::wstring(path.data());
}
