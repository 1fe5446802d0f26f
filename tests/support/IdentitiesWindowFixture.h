// The identities window over the main window on the demo's hosts, driven with real messages.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <iterator>
#include <cstring>
#include <memory>
#include <optional>
#include <utility>
#include <string>

#include "tests/support/MainWindowFixture.h"
#include "ui/IdentitiesDlg.h"

class IdentitiesWindow : public MainWindowFixture {
protected:
    IdentitiesWindow()
    {
        sim::FurnishDemoWorld(world);
        WriteHostFile("HV-LAB04\r\nHV-LAB01\r\nHV-OLD\r\nHV-NOWHERE\r\n");
    }

    void TearDown() override
    {
        if (identities && identities->m_hWnd)
            DestroyWindow(identities->m_hWnd);
        identities.reset();
        MainWindowFixture::TearDown();
    }

    // Connects the main window to HV-LAB04 and opens the window over it.
    void Open()
    {
        EnterHost(L"HV-LAB04");
        ASSERT_TRUE(IsEnabled(IDC_IDENTITIES));
        identities = std::make_unique<CIdentitiesDlg>(*application, dialog->currentHost);
        ASSERT_NE(identities->Create(Window()), nullptr);
        Pump();
    }

    HWND List() const { return GetDlgItem(identities->m_hWnd, IDC_IDENTITY_LIST); }
    int Rows() const { return ListView_GetItemCount(List()); }
    std::wstring Cell(int row, int column) const
    {
        std::wstring text(4096, L'\0');
        ListView_GetItemText(List(), row, column, text.data(), static_cast<int>(text.size()));
        text.resize(wcslen(text.c_str()));
        return text;
    }
    std::wstring WindowText(int id) const
    {
        std::wstring text(4096, L'\0');
        text.resize(static_cast<size_t>(GetDlgItemTextW(identities->m_hWnd, id, text.data(), 4096)));
        return text;
    }
    void Click(int id)
    {
        SendMessageW(identities->m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(identities->m_hWnd, id)));
        Pump();
    }
    // The background the list draws the cell on.
    COLORREF CellBackground(int row, int column) const
    {
        NMLVCUSTOMDRAW draw{};
        draw.nmcd.hdr.hwndFrom = List();
        draw.nmcd.hdr.idFrom = IDC_IDENTITY_LIST;
        draw.nmcd.hdr.code = NM_CUSTOMDRAW;
        draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT | CDDS_SUBITEM;
        draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
        draw.iSubItem = column;
        draw.clrTextBk = CLR_DEFAULT;
        SendMessageW(identities->m_hWnd, WM_NOTIFY, IDC_IDENTITY_LIST, reinterpret_cast<LPARAM>(&draw));
        return draw.clrTextBk;
    }
    COLORREF RowBackground(int row) const { return CellBackground(row, Column(L"Name")); }
    // The row of the machine of that name.
    int RowOf(const wchar_t* name) const
    {
        for (int row = 0; row < Rows(); ++row)
            if (Cell(row, Column(L"Name")) == name)
                return row;
        return -1;
    }
    int Column(const wchar_t* title) const
    {
        for (size_t i = 0; i < std::size(shownColumns); ++i)
            if (std::wstring(ColumnTitle(shownColumns[i])) == title)
                return static_cast<int>(i);
        return -1;
    }

    std::unique_ptr<CIdentitiesDlg> identities;
};

