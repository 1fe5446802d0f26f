// The common Open dialog for an identities file to import.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

// The path of the existing file the user chose, or nothing when the dialog was cancelled or
// could not be shown.
std::optional<std::wstring> ChooseCsvToOpen(HWND owner);
