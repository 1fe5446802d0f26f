// The directory-service object picker, restricted to computer objects, one at most.
#pragma once

#include <windows.h>

#include <string>

#include "hosts/PickerResult.h"

// Shows the modal picker owned by parent. Ok with the chosen computer's name in name when one
// was chosen; Ok with name untouched when the user cancelled or the choice carries no name;
// otherwise the failing step, with windowsError set to the Win32 code where the failure is
// one (it is set to 0 on entry).
[[nodiscard]] PickerResult PickComputer(HWND parent, std::wstring& name, DWORD& windowsError);
