// The identities window's list view: a virtual list whose rows the table supplies, shared rows
// drawn light red, sorting by a header click or the context menu, Ctrl+A and Ctrl+C.
#include "ui/IdentitiesDlg.h"

#include <windowsx.h>

#include "ui/ClipboardText.h"
#include "ui/MainDlg.h"

namespace {

// Column widths in dialog units, in the order of the shown columns.
constexpr int columnWidths[] = {50, 70, 45, 40, 140, 125, 125, 125, 70, 40, 300, 300, 200};
static_assert(std::size(columnWidths) == std::size(shownColumns));

bool ControlHeld()
{
    return (GetKeyState(VK_CONTROL) & 0x8000) != 0;
}

}

void CIdentitiesDlg::SetUpList()
{
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP);
    for (size_t i = 0; i < std::size(shownColumns); ++i) {
        RECT width{0, 0, columnWidths[i], 0};
        MapDialogRect(m_hWnd, &width);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<wchar_t*>(ColumnTitle(shownColumns[i]));
        column.cx = width.right;
        column.iSubItem = static_cast<int>(i);
        ListView_InsertColumn(list_, static_cast<int>(i), &column);
    }
}

void CIdentitiesDlg::ShowTable()
{
    // The rows at each position change with every read or sort: a selection would name others.
    ListView_SetItemState(list_, -1, 0, LVIS_SELECTED);
    ListView_SetItemCountEx(list_, static_cast<int>(table_.RowCount()), 0);
    InvalidateRect(list_, nullptr, TRUE);
    ShowStatus();
    std::wstring failures;
    for (const std::wstring& line : table_.FailureLines())
        failures += (failures.empty() ? L"" : L"\r\n") + line;
    SetDlgItemTextW(m_hWnd, IDC_IDENTITY_FAILURES, failures.c_str());
    UpdateCommands();
}

void CIdentitiesDlg::ShowStatus()
{
    const std::wstring status = notice_.empty() ? table_.StatusLine() : table_.StatusLine() + L" " + notice_;
    SetDlgItemTextW(m_hWnd, IDC_IDENTITY_STATUS, status.c_str());
}

LRESULT CIdentitiesDlg::OnNotify(const NMHDR& header)
{
    if (header.hwndFrom != list_)
        return 0;
    switch (header.code) {
    case LVN_GETDISPINFOW:
        OnGetDisplayInfo(*reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header)));
        return 0;
    case NM_CUSTOMDRAW:
        return OnCustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(&header)));
    case LVN_KEYDOWN:
        OnListKey(*reinterpret_cast<const NMLVKEYDOWN*>(&header));
        return 0;
    case LVN_COLUMNCLICK:
        OnColumnClick(*reinterpret_cast<const NMLISTVIEW*>(&header));
        return 0;
    case LVN_ITEMCHANGED:
    case LVN_ODSTATECHANGED:
        UpdateCommands();
        return 0;
    default:
        return 0;
    }
}

void CIdentitiesDlg::OnGetDisplayInfo(NMLVDISPINFOW& info)
{
    LVITEMW& item = info.item;
    const auto row = static_cast<size_t>(item.iItem);
    const auto column = static_cast<size_t>(item.iSubItem);
    if (!(item.mask & LVIF_TEXT) || row >= table_.RowCount() || column >= std::size(shownColumns))
        return;
    // The list view may show the program's own text instead of copying it into its buffer,
    // which would cut a long value.
    cellText_ = table_.Text(row, shownColumns[column]);
    item.pszText = cellText_.data();
}

LRESULT CIdentitiesDlg::OnCustomDraw(NMLVCUSTOMDRAW& draw) const
{
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT)
        return CDRF_NOTIFYITEMDRAW;
    if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT)
        return CDRF_NOTIFYSUBITEMDRAW;
    if (draw.nmcd.dwDrawStage != (CDDS_ITEMPREPAINT | CDDS_SUBITEM))
        return CDRF_DODEFAULT;
    const auto row = static_cast<size_t>(draw.nmcd.dwItemSpec);
    const auto column = static_cast<size_t>(draw.iSubItem);
    if (row >= table_.RowCount() || column >= std::size(shownColumns))
        return CDRF_DODEFAULT;
    // The form's colours: a value still to be written as an edited valid field, a machine
    // that shares a value as a refused one; other cells as the list draws them, which the
    // colours of the cell before would otherwise carry over to.
    const bool pending = table_.IsPending(row, shownColumns[column]);
    if (pending || table_.IsShared(row)) {
        draw.clrTextBk = pending ? CMainDlg::validColour : CMainDlg::invalidColour;
        draw.clrText = GetSysColor(COLOR_WINDOWTEXT);
    } else {
        draw.clrTextBk = CLR_DEFAULT;
        draw.clrText = CLR_DEFAULT;
    }
    return CDRF_NEWFONT;
}

void CIdentitiesDlg::OnListKey(const NMLVKEYDOWN& key)
{
    if (!ControlHeld())
        return;
    // The item-state macro is a block of its own: braces keep the branches apart.
    if (key.wVKey == 'A') {
        ListView_SetItemState(list_, -1, LVIS_SELECTED, LVIS_SELECTED);
    } else if (key.wVKey == 'C' && !PutTextOnClipboard(m_hWnd, table_.CopyText(SelectedRows()))) {
        MessageBeep(MB_ICONWARNING);
    }
}

void CIdentitiesDlg::OnColumnClick(const NMLISTVIEW& view)
{
    SortByPosition(static_cast<size_t>(view.iSubItem));
}

void CIdentitiesDlg::SortByPosition(size_t position)
{
    if (position >= std::size(shownColumns))
        return;
    table_.SortBy(shownColumns[position]);
    ShowTable();
}

void CIdentitiesDlg::OnContextMenu(HWND target, LPARAM where)
{
    if (target != list_)
        return;
    const UniqueMenu menu(CreatePopupMenu());
    if (!menu.Get())
        return;
    for (size_t i = 0; i < std::size(shownColumns); ++i) {
        const std::wstring item = std::wstring(L"Sort by ") + ColumnTitle(shownColumns[i]);
        AppendMenuW(menu.Get(), MF_STRING, sortCommand + i, item.c_str());
    }
    POINT at{GET_X_LPARAM(where), GET_Y_LPARAM(where)};
    // From the keyboard the menu comes with no point: it opens at the list's corner.
    if (where == -1) {
        at = {0, 0};
        ClientToScreen(list_, &at);
    }
    TrackPopupMenu(menu.Get(), TPM_LEFTALIGN | TPM_TOPALIGN, at.x, at.y, 0, m_hWnd, nullptr);
}

std::vector<size_t> CIdentitiesDlg::SelectedRows() const
{
    std::vector<size_t> rows;
    for (int item = ListView_GetNextItem(list_, -1, LVNI_SELECTED); item >= 0;
         item = ListView_GetNextItem(list_, item, LVNI_SELECTED))
        rows.push_back(static_cast<size_t>(item));
    return rows;
}
