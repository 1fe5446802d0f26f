// Finds the program's progress window, from any thread or process: the visible window owned by
// the main window that holds the elapsed-time text.
#pragma once

#include <windows.h>

#include "res/resource.h"

inline HWND FindProgressWindow(HWND main)
{
    struct Search {
        HWND main;
        HWND found;
    } search{main, nullptr};
    EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(parameter);
            if (GetWindow(window, GW_OWNER) == s.main && IsWindowVisible(window) &&
                GetDlgItem(window, IDC_PROGRESS_ELAPSED)) {
                s.found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}
