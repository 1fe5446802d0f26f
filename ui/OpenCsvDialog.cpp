#include "ui/OpenCsvDialog.h"

#include "ui/CsvFileDialog.h"

std::optional<std::wstring> ChooseCsvToOpen(HWND owner)
{
    return ChooseCsvFile(owner, GetOpenFileNameW,
                         OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_EXPLORER, L"");
}
