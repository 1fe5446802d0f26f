// Fills a sorted list box or combo box with many strings at once. Each insertion into a sorted
// control searches for its place, moves the items after it, and (with drawing on) repaints the
// control; strings given in the control's own order, with storage reserved and drawing
// suspended, each land at the end, so the fill takes time in proportion to its length.
#pragma once

#include <windows.h>

#include <vector>

struct FillEntry {
    const wchar_t* text; // NUL-terminated
    int length;
    LPARAM data; // item data; 0 sets none
};

// Adds the entries to a list box with LBS_SORT.
void FillSortedListBox(HWND list, std::vector<FillEntry> entries);
// Adds the entries to a combo box with CBS_SORT.
void FillSortedComboBox(HWND combo, std::vector<FillEntry> entries);
