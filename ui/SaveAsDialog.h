// The common Save As dialog for the exported identities.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

// The path the user chose, or nothing when the dialog was cancelled or could not be shown.
std::optional<std::wstring> ChooseCsvPath(HWND owner);
