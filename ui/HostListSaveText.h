// The main window's words when the host list cannot be saved.
#pragma once

#include <string>

#include "hosts/HostList.h"

inline constexpr wchar_t hostListSaveCaption[] = L"Saving Host List";

// What the user is told about a save that did not happen: that the changes are not saved, why,
// the file (when its folder is known) and the system's words for the Windows error.
std::wstring HostListSaveFailureText(const SaveResult& result, const std::wstring& filePath);
