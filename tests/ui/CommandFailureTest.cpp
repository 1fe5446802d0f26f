// Every command that fails on the host tells the user why, once, in a box owned by the main
// window under the command's caption; what did not fail stays silent.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/ui/LabWindowFixture.h"

namespace {

using sim::CallKind;

class CommandFailure : public LabWindow {
protected:
    void ExpectOneError(const std::wstring& text, const wchar_t* caption) const
    {
        ASSERT_EQ(platform.boxes.size(), 1u);
        EXPECT_EQ(platform.boxes[0].owner, Window());
        EXPECT_EQ(platform.boxes[0].text, text);
        EXPECT_EQ(platform.boxes[0].caption, caption);
        EXPECT_EQ(platform.boxes[0].style, static_cast<UINT>(MB_ICONERROR));
    }
};

constexpr wchar_t hostCaption[] = L"Host Selection Error";
constexpr wchar_t loadCaption[] = L"Loading Virtual Machine Settings";

TEST_F(CommandFailure, ARefusedListingIsToldAndTheListStaysEmpty)
{
    world.FailCall(CallKind::QueryInstances, 1, MI_RESULT_ACCESS_DENIED, L"Msvm_ComputerSystem");
    EnterHost(L"HV-LAB01");
    ExpectOneError(L"The virtual machines of HV-LAB01 could not be listed.\r\n\r\nAcess to the "
                   L"management interface object is denied.\r\nDetails: Access denied",
                   hostCaption);
    EXPECT_TRUE(ListedVms().empty());
    // The host itself answered: it is connected and remembered.
    EXPECT_EQ(ComboHosts(), std::vector<std::wstring>{L"HV-LAB01"});
}

TEST_F(CommandFailure, AListingCutShortShowsWhatWasReadAndSaysItIsIncomplete)
{
    EnterHost(L"HV-LAB01");
    world.FindHost(L"HV-LAB01")->StopAnsweringAfter(1);
    Command(IDC_REFRESH_LIST);
    ExpectOneError(L"The list of virtual machines of HV-LAB01 is incomplete: only 1 virtual "
                   L"machine could be read.\r\n\r\nThe management interface encountered an "
                   L"unspecified error.\r\nDetails: The WinRM client cannot complete the "
                   L"operation within the time specified. Check if the machine name is valid and "
                   L"is reachable over the network and firewall exception for Windows Remote "
                   L"Management service is enabled.",
                   hostCaption);
    EXPECT_EQ(ListedVms(), std::vector<std::wstring>{L"Web Frontend"});
}

TEST_F(CommandFailure, RefreshingAHostThatStoppedAnsweringIsTold)
{
    EnterHost(L"HV-LAB01");
    ASSERT_EQ(ListedVms().size(), 4u);
    world.FindHost(L"HV-LAB01")->StopAnsweringAfter(0);
    Command(IDC_REFRESH_LIST);
    ExpectOneError(L"The virtual machines of HV-LAB01 could not be listed.\r\n\r\nThe management "
                   L"interface encountered an unspecified error.\r\nDetails: The WinRM client "
                   L"cannot complete the operation within the time specified. Check if the "
                   L"machine name is valid and is reachable over the network and firewall "
                   L"exception for Windows Remote Management service is enabled.",
                   hostCaption);
    EXPECT_TRUE(ListedVms().empty());
}

TEST_F(CommandFailure, AMachineThatCannotBeLoadedSaysWhy)
{
    EnterHost(L"HV-LAB01");
    world.FailCall(CallKind::GetInstance, 1, MI_RESULT_NOT_FOUND, L"Msvm_VirtualSystemSettingData");
    SelectVm(L"Test Client");
    ExpectOneError(L"The settings of Test Client could not be read from HV-LAB01.\r\n\r\nThe "
                   L"requested management interface object does not exist.\r\nDetails: Not found",
                   loadCaption);
    EXPECT_EQ(Text(IDC_VM_NAME), L"<Error loading virtual machine>");
    EXPECT_FALSE(IsEnabled(IDC_BIOS_SERIAL));
}

// A setting the host holds but could not give would be shown empty, and written back empty by
// the next Apply: the load fails instead.
TEST_F(CommandFailure, ASettingThatCannotBeReadFailsTheLoadInsteadOfShowingItEmpty)
{
    EnterHost(L"HV-LAB01");
    world.FailCall(CallKind::GetElement, 1, MI_RESULT_FAILED, L"BIOSSerialNumber");
    SelectVm(L"Test Client");
    ExpectOneError(L"The settings of Test Client could not be read from HV-LAB01.\r\n\r\nThe "
                   L"management interface encountered an unspecified error.",
                   loadCaption);
    EXPECT_EQ(Text(IDC_VM_NAME), L"<Error loading virtual machine>");
    EXPECT_EQ(Text(IDC_BIOS_SERIAL), L"");
}

TEST_F(CommandFailure, SettingsSavedButNotReadBackSaySo)
{
    LoadLabVm(L"Test Client");
    SendMessageW(Control(IDC_NUMLOCK), BM_CLICK, 0, 0);
    // The save reads no settings instance: the first read is the read-back's.
    world.FailCall(CallKind::GetInstance, 1, MI_RESULT_FAILED, L"Msvm_VirtualSystemSettingData");
    Command(IDC_APPLY);
    Pump();
    ExpectOneError(L"The settings of Test Client were saved, but could not be read back from "
                   L"HV-LAB01.\r\n\r\nThe management interface encountered an unspecified "
                   L"error.\r\nDetails: Generic failure",
                   loadCaption);
    EXPECT_TRUE(LabVm(L"Test Client").settings.biosNumLock);
}

TEST_F(CommandFailure, AStateThatCannotBeRefreshedShowsUnknownAndSaysWhy)
{
    LoadLabVm(L"Web Frontend");
    world.FailCall(CallKind::GetInstance, 1, MI_RESULT_FAILED, L"Msvm_ComputerSystem");
    Command(IDC_REFRESH_STATE);
    ExpectOneError(L"The power state of Web Frontend could not be read from HV-LAB01.\r\n\r\nThe "
                   L"management interface encountered an unspecified error.\r\nDetails: Generic "
                   L"failure",
                   L"Error Reading VM State");
    EXPECT_EQ(Text(IDC_POWER_STATE), L"Unknown");
}

// A command that failed says so once: the state read after it, failing as well, adds no box.
TEST_F(CommandFailure, AHostThatStopsAnsweringDuringAPowerCommandMakesOneBox)
{
    LoadLabVm(L"Web Frontend");
    world.FindHost(L"HV-LAB01")->StopAnsweringAfter(0);
    platform.answers = {IDYES};
    Command(IDC_FORCE_OFF);
    ASSERT_EQ(platform.boxes.size(), 2u);
    EXPECT_EQ(platform.boxes[1].caption, L"Error Changing VM State");
    EXPECT_EQ(platform.boxes[1].text,
              L"The power state of Web Frontend could not be read from HV-LAB01, so nothing was "
              L"sent.\r\n\r\nThe management interface encountered an unspecified "
              L"error.\r\nDetails: The WinRM client cannot complete the operation within the "
              L"time specified. Check if the machine name is valid and is reachable over the "
              L"network and firewall exception for Windows Remote Management service is enabled.");
    EXPECT_EQ(Text(IDC_POWER_STATE), L"Unknown");
}

TEST_F(CommandFailure, AMachineStartedElsewhereIsNotTurnedOffByPowerOn)
{
    LoadLabVm(L"Test Client");
    LabVm(L"Test Client").enabledState = sim::state::Running;
    platform.answers = {IDYES};
    Command(IDC_POWER_ON);
    ASSERT_EQ(platform.boxes.size(), 2u);
    EXPECT_EQ(platform.boxes[1].text, L"Test Client is running already, so nothing was sent.");
    EXPECT_EQ(platform.boxes[1].caption, L"Error Changing VM State");
    EXPECT_EQ(LabVm(L"Test Client").enabledState, sim::state::Running);
    EXPECT_EQ(Text(IDC_POWER_STATE), L"Running");
}

// The whole session, with nothing failing, shows no error box.
TEST_F(CommandFailure, NothingIsToldWhereNothingFailed)
{
    LoadLabVm(L"Web Frontend");
    SendMessageW(Control(IDC_NUMLOCK), BM_CLICK, 0, 0);
    Command(IDC_APPLY);
    Command(IDC_REFRESH_STATE);
    platform.answers = {IDYES, IDYES, IDYES};
    Command(IDC_FORCE_OFF);
    Command(IDC_POWER_ON);
    Command(IDC_SHUTDOWN);
    Command(IDC_REFRESH_LIST);
    Pump();
    for (const RecordedBox& box : platform.boxes)
        EXPECT_NE(box.style & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR))
            << std::string(box.caption.begin(), box.caption.end());
    EXPECT_EQ(platform.boxes.size(), 3u);
    EXPECT_EQ(LabVm(L"Web Frontend").enabledState, sim::state::Off);
}

}
