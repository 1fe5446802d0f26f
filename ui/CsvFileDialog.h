// The common Open or Save As dialog for a CSV file.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <optional>
#include <string>
#include <string_view>

using FileDialogFunction = BOOL(WINAPI*)(OPENFILENAMEW*);

// Shows the dialog through `show` (GetOpenFileNameW or GetSaveFileNameW) with the flags, the
// CSV filter and the name offered first; the path chosen, or nothing when the dialog was
// cancelled or could not be shown.
std::optional<std::wstring> ChooseCsvFile(HWND owner, FileDialogFunction show, DWORD flags,
                                          std::wstring_view offeredName);
