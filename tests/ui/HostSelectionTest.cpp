#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/support/FakePicker.h"
#include "tests/ui/LabWindowFixture.h"
#include "vm/VmEntry.h"

namespace {

using sim::CallKind;

constexpr wchar_t communicationText[] =
    L"Unable to communicate with the selected host. Check the following:\r\n1. The host is "
    L"online.\r\n2. WinRM is enabled on the host (remote hosts only).\r\n3. TCP port 5985 is open "
    L"(remote hosts only).\r\n4. The host is running Hyper-V version 2012 or later.\r\n5. Your "
    L"account has administrative permissions on the host.";

using HostSelection = LabWindow;

TEST_F(HostSelection, ATypedNameIsCleanedUpperCasedShownAndConnected)
{
    EnterHost(L"hv host#01");
    EXPECT_EQ(Text(IDC_HOST_COMBO), L"HVHOST01");
    EXPECT_EQ(dialog->currentHost, L"HVHOST01");
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(ComboHosts(), (std::vector<std::wstring>{L"HVHOST01"}));
    EXPECT_EQ(SendDlgItemMessageW(Window(), IDC_HOST_COMBO, CB_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(IsEnabled(IDC_REFRESH_LIST));
    // No machines: the list stays disabled.
    EXPECT_FALSE(IsEnabled(IDC_VM_LIST));
}

class LocalAliases : public LabWindow, public ::testing::WithParamInterface<const wchar_t*> {};

TEST_P(LocalAliases, ConnectToTheLocalComputerAndShowItsName)
{
    EnterHost(GetParam());
    EXPECT_EQ(Text(IDC_HOST_COMBO), L"BRACKWIN-TEST");
    EXPECT_EQ(ListedVms(), (std::vector<std::wstring>{L"Build Agent", L"Domain Controller"}));
    EXPECT_TRUE(IsEnabled(IDC_VM_LIST));
    EXPECT_TRUE(platform.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Names, LocalAliases,
                         ::testing::Values(L"localhost", L"LocalHost", L"local host", L"."));

TEST_F(HostSelection, TheMachinesAreListedSortedWithTheirEntriesAsItemData)
{
    EnterHost(L"HV-LAB01");
    EXPECT_EQ(ListedVms(), (std::vector<std::wstring>{L"Archive", L"Staging", L"Test Client",
                                                      L"Web Frontend"}));
    const HWND list = Control(IDC_VM_LIST);
    for (LRESULT i = 0; i < 4; ++i) {
        auto* entry = reinterpret_cast<VmEntry*>(SendMessageW(list, LB_GETITEMDATA, i, 0));
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->ElementName, ListedVms()[static_cast<size_t>(i)]);
    }
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR);
}

TEST_F(HostSelection, EnterOnTheCurrentHostDoesNothingButRefreshReconnects)
{
    EnterHost(L"HV-LAB01");
    world.ClearCalls();
    EnterHost(L"hv-lab01");
    EXPECT_TRUE(world.Calls().empty());
    Command(IDC_REFRESH_LIST);
    Pump();
    EXPECT_EQ(Calls(CallKind::QueryInstances), 1);
    EXPECT_EQ(ListedVms().size(), 4u);
}

TEST_F(HostSelection, AnUnreachableHostShowsTheCommunicationBoxAndIsNotRemembered)
{
    EnterHost(L"HV-LAB01");
    EnterHost(L"nowhere");
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text, communicationText);
    EXPECT_EQ(platform.boxes[0].caption, L"Host Selection Error");
    EXPECT_EQ(platform.boxes[0].style, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(ComboHosts(), (std::vector<std::wstring>{L"HV-LAB01"}));
    EXPECT_TRUE(ListedVms().empty());
    EXPECT_FALSE(IsEnabled(IDC_VM_LIST));
    EXPECT_EQ(dialog->currentHost, L"NOWHERE");
    // The same name again is the current host: nothing happens.
    EnterHost(L"NOWHERE");
    EXPECT_EQ(platform.boxes.size(), 1u);
    Command(IDOK);
    Pump();
    std::ifstream file(std::filesystem::path(platform.HostFile()), std::ios::binary);
    const std::string saved((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(saved, "HV-LAB01\r\n");
}

TEST_F(HostSelection, AHostWithoutTheVirtualizationNamespaceIsRefused)
{
    EnterHost(L"HV-OLD");
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].caption, L"Host Selection Error");
}

TEST_F(HostSelection, TheLocalHostWithoutElevationWarnsOnEveryConnection)
{
    platform.elevation = Elevation::NotElevated;
    EnterHost(L"localhost");
    Command(IDC_REFRESH_LIST);
    Pump();
    ASSERT_EQ(platform.boxes.size(), 2u);
    for (const RecordedBox& box : platform.boxes) {
        EXPECT_EQ(box.caption, L"Insufficient Privileges");
        EXPECT_EQ(box.text,
                  L"This application was not started with elevated privileges, so it cannot "
                  L"access virtual machines on the local host.\r\nPlease close the program and "
                  L"start it again using \"Run As Administrator\"");
    }
    EXPECT_EQ(ListedVms().size(), 2u);
    // A remote host is not the local host: no warning.
    EnterHost(L"HV-LAB01");
    EXPECT_EQ(platform.boxes.size(), 2u);
}

TEST_F(HostSelection, DeleteInTheOpenDropDownForgetsTheHighlightedHost)
{
    EnterHost(L"HV-LAB01");
    EnterHost(L"HVHOST01");
    EnterHost(L"HV-LAB01");
    SelectVm(L"Test Client");
    const HWND combo = Control(IDC_HOST_COMBO);
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetComboBoxInfo(combo, &info));
    const LRESULT current = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(L"HV-LAB01"));
    SendMessageW(info.hwndList, LB_SETCURSEL, static_cast<WPARAM>(current), 0);
    PostMessageW(dialog->hostEdit, WM_KEYDOWN, VK_DELETE, 0);
    Pump();
    EXPECT_EQ(ComboHosts(), (std::vector<std::wstring>{L"HVHOST01"}));
    EXPECT_TRUE(ListedVms().empty());
    EXPECT_EQ(Text(IDC_VM_NAME), L"");
    EXPECT_FALSE(IsEnabled(IDC_BASEBOARD_SERIAL));
    EXPECT_EQ(dialog->currentHost, L"HV-LAB01");
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    Command(IDOK);
    Pump();
    std::ifstream file(std::filesystem::path(platform.HostFile()), std::ios::binary);
    const std::string saved((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(saved, "HVHOST01\r\n");
}

TEST_F(HostSelection, TypingEnablesRefreshAndEmptyingDisablesIt)
{
    SetWindowTextW(dialog->hostEdit, L"H");
    Command(IDC_HOST_COMBO, CBN_EDITCHANGE);
    EXPECT_TRUE(IsEnabled(IDC_REFRESH_LIST));
    SetWindowTextW(dialog->hostEdit, L"");
    Command(IDC_HOST_COMBO, CBN_EDITCHANGE);
    EXPECT_FALSE(IsEnabled(IDC_REFRESH_LIST));
}

TEST_F(HostSelection, RemovedCharactersOnlyEmptyTheFieldAndConnectNothing)
{
    EnterHost(L"!!!");
    EXPECT_EQ(Text(IDC_HOST_COMBO), L"");
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_TRUE(world.Calls().empty());
}

TEST_F(HostSelection, APickerThatCannotBeCreatedIsReportedWithoutAWindowsErrorLine)
{
    CurrentPlatform().createInstance = [](REFCLSID, IUnknown*, DWORD, REFIID, void** object) {
        *object = nullptr;
        return E_FAIL;
    };
    Command(IDC_BROWSE);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].caption, L"Host Selection Error");
    EXPECT_EQ(platform.boxes[0].text.rfind(L"An error occurred while selecting a Hyper-V host.\r\n", 0), 0u);
    EXPECT_EQ(platform.boxes[0].text.find(L"Windows error"), std::wstring::npos);
}

}

namespace {

TEST_F(HostSelection, APickedComputerIsShownCleanedAndConnected)
{
    world.AddHost(L"HV-LAB03.EXAMPLE.COM");
    PickerScript script;
    script.selection.names = {std::wstring(L"hv-lab03.example.com")};
    FakePickerScope picker(script);
    Command(IDC_BROWSE);
    Pump();
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(Text(IDC_HOST_COMBO), L"HV-LAB03.EXAMPLE.COM");
    EXPECT_EQ(dialog->currentHost, L"HV-LAB03.EXAMPLE.COM");
    EXPECT_EQ(ComboHosts(), (std::vector<std::wstring>{L"HV-LAB03.EXAMPLE.COM"}));
    EXPECT_EQ(picker.Live(), 0);
}

TEST_F(HostSelection, ACancelledPickerChangesNothing)
{
    PickerScript script;
    script.invoke = S_FALSE;
    FakePickerScope picker(script);
    Command(IDC_BROWSE);
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_TRUE(world.Calls().empty());
    EXPECT_EQ(Text(IDC_HOST_COMBO), L"");
}

TEST_F(HostSelection, APickerFailureWithAWindowsErrorEndsWithTheSystemsText)
{
    PickerScript script;
    script.initialize = HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED);
    FakePickerScope picker(script);
    Command(IDC_BROWSE);
    ASSERT_EQ(platform.boxes.size(), 1u);
    // The system's own words for the code, read here as the system gives them.
    wchar_t words[1024] = {};
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, ERROR_ACCESS_DENIED,
                                        MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), words, 1024, nullptr);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(platform.boxes[0].text,
              L"An error occurred while selecting a Hyper-V host.\r\nA Windows error occurred while "
              L"initializing the Active Directory browsing dialog.\r\nWindows error: "
                  + std::wstring(words, length));
    EXPECT_EQ(platform.boxes[0].caption, L"Host Selection Error");
}

}
