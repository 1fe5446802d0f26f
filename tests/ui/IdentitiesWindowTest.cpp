#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "mgmt/ManagementSession.h"
#include "tests/support/IdentitiesWindowFixture.h"

// The identities window on the demo's hosts, driven with real messages: what it shows of one
// host and of the known hosts, the rows it marks, sorting, and the exported file.
namespace {

using sim::CallKind;

constexpr wchar_t clonesOfTemplate[] =
    L"Kiosk Template on HV-LAB04 (BIOS GUID, BIOS Serial Number, Baseboard Serial Number, Chassis "
    L"Serial Number); Kiosk 01 on HV-LAB04 (BIOS GUID, BIOS Serial Number, Baseboard Serial Number, "
    L"Chassis Serial Number)";

TEST_F(IdentitiesWindow, OpensWithTheConnectedHostsMachinesAndMarksThoseThatShareValues)
{
    EXPECT_FALSE(IsEnabled(IDC_IDENTITIES));
    Open();
    ASSERT_EQ(Rows(), 4);
    EXPECT_EQ(Cell(2, Column(L"Name")), L"Kiosk 02");
    EXPECT_EQ(Cell(2, Column(L"State")), L"Running");
    EXPECT_EQ(Cell(2, Column(L"Generation")), L"2");
    EXPECT_EQ(Cell(2, Column(L"Num Lock")), L"-");
    EXPECT_EQ(Cell(2, Column(L"Shared With")), clonesOfTemplate);
    // Kiosk 03's checkpoint still holds the template's values; the row shows its live ones.
    EXPECT_EQ(Cell(3, Column(L"BIOS GUID")), L"{D7E6F5A4-B3C2-4D1E-8F09-1A2B3C4D5E6F}");
    EXPECT_EQ(Cell(3, Column(L"Shared With")), L"");
    EXPECT_EQ(WindowText(IDC_IDENTITY_STATUS),
              L"4 virtual machines on 1 host; 3 share an identity value with another.");
    EXPECT_EQ(WindowText(IDC_IDENTITY_FAILURES), L"");
    EXPECT_EQ(RowBackground(0), CMainDlg::invalidColour);
    EXPECT_NE(RowBackground(3), CMainDlg::invalidColour);
    EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(IdentitiesWindow, AddKnownHostsShowsDuplicatesAcrossHostsAndALineForEachHostThatFails)
{
    Open();
    Click(IDC_ADD_KNOWN_HOSTS);
    ASSERT_EQ(Rows(), 10);
    EXPECT_EQ(Cell(3, Column(L"Shared With")),
              L"Staging on HV-LAB01 (BIOS Serial Number, Baseboard Serial Number, Chassis Serial Number)");
    EXPECT_EQ(Cell(8, Column(L"Name")), L"Staging");
    EXPECT_EQ(Cell(8, Column(L"Shared With")),
              L"Kiosk 03 on HV-LAB04 (BIOS Serial Number, Baseboard Serial Number, Chassis Serial Number)");
    EXPECT_EQ(RowBackground(3), CMainDlg::invalidColour);
    EXPECT_EQ(WindowText(IDC_IDENTITY_STATUS),
              L"10 virtual machines on 2 hosts; 5 share an identity value with another.");
    const std::wstring failures = WindowText(IDC_IDENTITY_FAILURES);
    EXPECT_NE(failures.find(L"HV-OLD: The specified management interface namespace does not exist."),
              std::wstring::npos) << std::string(failures.begin(), failures.end());
    EXPECT_NE(failures.find(L"HV-NOWHERE: The management interface encountered an unspecified error."),
              std::wstring::npos)
        << std::string(failures.begin(), failures.end());
    EXPECT_TRUE(platform.boxes.empty());
    // The host that was read joins the sessions; those that failed do not.
    int lab01 = 0;
    for (const auto& session : application->Sessions()) {
        lab01 += session->hostName == L"HV-LAB01" ? 1 : 0;
        EXPECT_NE(session->hostName, L"HV-OLD");
    }
    EXPECT_EQ(lab01, 1);
    // Every known host is shown now: nothing more is read.
    world.ClearCalls();
    Click(IDC_ADD_KNOWN_HOSTS);
    EXPECT_TRUE(world.Calls().empty());
}

TEST_F(IdentitiesWindow, AHostWhoseSettingsQueryIsRefusedGivesWayToItsLine)
{
    Open();
    // HV-LAB01's third query: its identity, its machines, then their settings.
    world.FailCall(CallKind::QueryInstances, 3, MI_RESULT_ACCESS_DENIED, L"HV-LAB01");
    Click(IDC_ADD_KNOWN_HOSTS);
    EXPECT_EQ(Rows(), 4);
    const std::wstring failures = WindowText(IDC_IDENTITY_FAILURES);
    EXPECT_NE(failures.find(L"HV-LAB01: Acess to the management interface object is denied."),
              std::wstring::npos) << std::string(failures.begin(), failures.end());
    EXPECT_EQ(WindowText(IDC_IDENTITY_STATUS),
              L"4 virtual machines on 1 host; 3 share an identity value with another.");
    // Read again, the host shows its machines in place of its line.
    Click(IDC_IDENTITY_REFRESH);
    EXPECT_EQ(Rows(), 10);
    EXPECT_EQ(WindowText(IDC_IDENTITY_FAILURES).find(L"HV-LAB01"), std::wstring::npos);
}

TEST_F(IdentitiesWindow, AHeaderClickSortsAndASecondOneReverses)
{
    Open();
    const HWND header = ListView_GetHeader(List());
    RECT item{};
    Header_GetItemRect(header, Column(L"Name"), &item);
    const LPARAM middle = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    const std::wstring ascending[] = {L"Kiosk 01", L"Kiosk 02", L"Kiosk 03", L"Kiosk Template"};
    for (bool reversed : {false, true}) {
        SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, middle);
        SendMessageW(header, WM_LBUTTONUP, 0, middle);
        Pump();
        for (int row = 0; row < 4; ++row)
            EXPECT_EQ(Cell(row, Column(L"Name")), ascending[reversed ? 3 - row : row]);
    }
}

TEST_F(IdentitiesWindow, TheListsContextMenuSortsWithoutAMouse)
{
    Open();
    // Shift+F10 on the list: the menu opens at the list with no point; the keys waiting in the
    // queue walk it down to its second item, "Sort by Name", and choose it.
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN})
        PostMessageW(List(), WM_KEYDOWN, key, 0);
    SendMessageW(identities->m_hWnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List()), -1);
    Pump();
    const std::wstring ascending[] = {L"Kiosk 01", L"Kiosk 02", L"Kiosk 03", L"Kiosk Template"};
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(Cell(row, Column(L"Name")), ascending[row]);
}

TEST_F(IdentitiesWindow, ExportWritesTheTableInItsOrderAndAFailedWriteLeavesTheOldFile)
{
    Open();
    const std::wstring path = platform.appData + L"\\vm-identities.csv";
    identities->chooseExportPath = [&path](HWND) { return std::optional<std::wstring>(path); };
    Click(IDC_IDENTITY_EXPORT);
    std::ifstream written(std::filesystem::path(path), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(written)), std::istreambuf_iterator<char>());
    written.close();
    const std::string header =
        "\xEF\xBB\xBFHost,Name,VM ID,State,Generation,BIOS GUID,BIOS Serial Number,Baseboard Serial "
        "Number,Chassis Serial Number,Chassis Asset Tag,Num Lock\r\n";
    EXPECT_EQ(bytes.substr(0, header.size()), header);
    EXPECT_NE(bytes.find("HV-LAB04,Kiosk 03,0F1E2D3C-4B5A-4697-8877-665544332211,Off,2,"
                         "{D7E6F5A4-B3C2-4D1E-8F09-1A2B3C4D5E6F},7736-4402-1158-8847-2290-5513-05,"
                         "7736-4402-1158-8847-2290-5513-05,7736-4402-1158-8847-2290-5513-05,KIOSK-03,'-\r\n"),
              std::string::npos);
    EXPECT_TRUE(platform.boxes.empty());

    // A file the user made read-only is not replaced; the user is told once, in the system's words.
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    Click(IDC_ADD_KNOWN_HOSTS);
    Click(IDC_IDENTITY_EXPORT);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].caption, exportCaption);
    EXPECT_EQ(platform.boxes[0].owner, identities->m_hWnd);
    EXPECT_EQ(platform.boxes[0].style, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(platform.boxes[0].text.find(L"The identities could not be exported to " + path +
                                          L"; an existing file was left as it was.\r\nWindows error: "),
              0u);
    std::ifstream kept(std::filesystem::path(path), std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(kept)), std::istreambuf_iterator<char>()), bytes);
    kept.close();
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}
