#include "ui/SortedFill.h"

#include <algorithm>

namespace {

// The messages of one kind of sorted control.
struct SortedControl {
    UINT getLocale;
    UINT initStorage;
    UINT addString;
    UINT setItemData;
};

constexpr SortedControl listBox{LB_GETLOCALE, LB_INITSTORAGE, LB_ADDSTRING, LB_SETITEMDATA};
constexpr SortedControl comboBox{CB_GETLOCALE, CB_INITSTORAGE, CB_ADDSTRING, CB_SETITEMDATA};

// Suspends a control's drawing for the life of the object, then draws it once.
class SuspendedRedraw {
public:
    explicit SuspendedRedraw(HWND control) : control_(control)
    {
        SendMessageW(control_, WM_SETREDRAW, FALSE, 0);
    }
    ~SuspendedRedraw()
    {
        SendMessageW(control_, WM_SETREDRAW, TRUE, 0);
        RedrawWindow(control_, nullptr, nullptr,
                     RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
    SuspendedRedraw(const SuspendedRedraw&) = delete;
    SuspendedRedraw& operator=(const SuspendedRedraw&) = delete;

private:
    HWND control_;
};

void FillSorted(HWND control, const SortedControl& kind, std::vector<FillEntry>& entries)
{
    // The control sorts by this comparison (its locale, letter case ignored).
    const auto locale = static_cast<LCID>(SendMessageW(control, kind.getLocale, 0, 0));
    std::sort(entries.begin(), entries.end(),
              [locale](const FillEntry& first, const FillEntry& second) {
                  return CompareStringW(locale, NORM_IGNORECASE, first.text, first.length,
                                        second.text, second.length) == CSTR_LESS_THAN;
              });
    size_t bytes = 0;
    for (const FillEntry& entry : entries)
        bytes += (static_cast<size_t>(entry.length) + 1) * sizeof(wchar_t);

    SuspendedRedraw suspended(control);
    SendMessageW(control, kind.initStorage, entries.size(), static_cast<LPARAM>(bytes));
    for (const FillEntry& entry : entries) {
        const LRESULT index = SendMessageW(control, kind.addString, 0,
                                           reinterpret_cast<LPARAM>(entry.text));
        if (index < 0)
            continue;
        if (entry.data)
            SendMessageW(control, kind.setItemData, static_cast<WPARAM>(index), entry.data);
    }
}

}

void FillSortedListBox(HWND list, std::vector<FillEntry> entries)
{
    FillSorted(list, listBox, entries);
}

void FillSortedComboBox(HWND combo, std::vector<FillEntry> entries)
{
    FillSorted(combo, comboBox, entries);
}
