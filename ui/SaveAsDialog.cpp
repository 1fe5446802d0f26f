#include "ui/SaveAsDialog.h"

#include "ui/CsvFileDialog.h"

std::optional<std::wstring> ChooseCsvPath(HWND owner)
{
    return ChooseCsvFile(owner, GetSaveFileNameW,
                         OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_EXPLORER,
                         L"vm-identities.csv");
}
