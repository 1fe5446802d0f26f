// Finds the program's progress window, from any thread or process: the visible window owned by
// the main window that holds the elapsed-time text.
#pragma once

#include <windows.h>

#include "res/resource.h"

// The visible window owned by `owner` that holds the control.
inline HWND FindOwnedWindowHolding(HWND owner, int controlId)
{
    struct Search {
        HWND owner;
        int controlId;
        HWND found;
    } search{owner, controlId, nullptr};
    EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(parameter);
            if (GetWindow(window, GW_OWNER) == s.owner && IsWindowVisible(window) &&
                GetDlgItem(window, s.controlId)) {
                s.found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline HWND FindProgressWindow(HWND main)
{
    return FindOwnedWindowHolding(main, IDC_PROGRESS_ELAPSED);
}
