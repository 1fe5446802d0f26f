#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"
#include "tests/ui/LabWindowFixture.h"
#include "vm/VmEntry.h"

namespace {

using SettingsForm = LabWindow;

TEST_F(SettingsForm, SelectingAMachineLoadsItCleanAndEnabled)
{
    LoadLabVm(L"Test Client");
    const sim::Vm& vm = LabVm(L"Test Client");
    EXPECT_EQ(Text(IDC_VM_NAME), L"Test Client");
    EXPECT_EQ(Text(IDC_VM_ID), vm.guid);
    EXPECT_EQ(Text(IDC_BIOS_GUID), vm.settings.biosGuid);
    EXPECT_EQ(Text(IDC_BASEBOARD_SERIAL), vm.settings.baseBoardSerialNumber);
    EXPECT_EQ(Text(IDC_ASSET_TAG), vm.settings.chassisAssetTag);
    EXPECT_EQ(Text(IDC_POWER_STATE), L"Off");
    for (int id : {IDC_NUMLOCK, IDC_BASEBOARD_SERIAL, IDC_BIOS_GUID, IDC_NEW_GUID, IDC_BIOS_SERIAL,
                   IDC_ASSET_TAG, IDC_CHASSIS_SERIAL, IDC_REFRESH_STATE})
        EXPECT_TRUE(IsEnabled(id)) << id;
    EXPECT_FALSE(IsEnabled(IDC_APPLY));
    EXPECT_FALSE(IsEnabled(IDC_RESET));
    EXPECT_NE(application->CurrentVm(), nullptr);
    EXPECT_EQ(dialog->selectedVm, application->CurrentVm());
}

TEST_F(SettingsForm, AThirtyThirdCharacterTurnsTheFieldRedAndBackGreen)
{
    LoadLabVm(L"Test Client");
    Type(IDC_ASSET_TAG, std::wstring(33, L'A').c_str());
    EXPECT_FALSE(ShowsValid(IDC_ASSET_TAG));
    EXPECT_TRUE(IsEnabled(IDC_APPLY));
    EXPECT_NE(application->CurrentVm()->settings.ChassisAssetTag(), std::wstring(33, L'A'));
    Type(IDC_ASSET_TAG, std::wstring(32, L'A').c_str());
    EXPECT_TRUE(ShowsValid(IDC_ASSET_TAG));
    EXPECT_EQ(application->CurrentVm()->settings.ChassisAssetTag(), std::wstring(32, L'A'));
}

struct InvalidField {
    int field;
    const wchar_t* value;
    const wchar_t* message;
};

class ApplyChecks : public LabWindow, public ::testing::WithParamInterface<InvalidField> {};

TEST_P(ApplyChecks, StopAtTheFirstInvalidFieldWithItsMessageAndFocus)
{
    const InvalidField& c = GetParam();
    LoadLabVm(L"Test Client");
    Type(IDC_CHASSIS_SERIAL, std::wstring(40, L'9').c_str());  // also invalid, but checked last
    Type(c.field, c.value);
    world.ClearCalls();
    Command(IDC_APPLY);
    Pump();
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text, c.message);
    EXPECT_EQ(platform.boxes[0].caption, L"Invalid Input");
    EXPECT_EQ(platform.boxes[0].style, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(GetFocus(), Control(c.field));
    EXPECT_EQ(Calls(sim::CallKind::Invoke), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, ApplyChecks,
    ::testing::Values(
        InvalidField{IDC_BASEBOARD_SERIAL, L"123456789012345678901234567890123",
                     L"Baseboard serial number has too many characters"},
        InvalidField{IDC_BIOS_GUID, L"{0123456-89ab-cdef-0123-456789abcdef}",
                     L"BIOS GUID does not contain 32 hexadecimal characters"},
        InvalidField{IDC_BIOS_SERIAL, L"123456789012345678901234567890123",
                     L"BIOS serial number has too many characters"},
        InvalidField{IDC_ASSET_TAG, L"123456789012345678901234567890123",
                     L"Chassis asset number has too many characters"},
        InvalidField{IDC_CHASSIS_SERIAL, L"123456789012345678901234567890123",
                     L"Chassis serial number has too many characters"}));

TEST_F(SettingsForm, ApplyWritesTheRecordAndReadsItBack)
{
    LoadLabVm(L"Test Client");
    Type(IDC_ASSET_TAG, L"ASSET-0042 & <co>");
    Type(IDC_BIOS_GUID, L"0123456789abcdef0123456789abcdef");
    Command(IDC_APPLY);
    Pump();
    EXPECT_TRUE(platform.boxes.empty());
    const sim::Vm& vm = LabVm(L"Test Client");
    EXPECT_EQ(vm.settings.chassisAssetTag, L"ASSET-0042 & <co>");
    EXPECT_EQ(vm.settings.biosGuid, L"{01234567-89AB-CDEF-0123-456789ABCDEF}");
    EXPECT_EQ(Text(IDC_BIOS_GUID), L"{01234567-89AB-CDEF-0123-456789ABCDEF}");
    EXPECT_EQ(Text(IDC_ASSET_TAG), L"ASSET-0042 & <co>");
    EXPECT_FALSE(IsEnabled(IDC_APPLY));
    EXPECT_FALSE(IsEnabled(IDC_RESET));
    EXPECT_TRUE(IsWindowEnabled(Window()));
}

TEST_F(SettingsForm, ARunningMachinesGuidIsRefusedInTheHostsWords)
{
    LoadLabVm(L"Web Frontend");
    const std::wstring before = LabVm(L"Web Frontend").settings.biosGuid;
    Command(IDC_NEW_GUID);
    Pump();
    EXPECT_EQ(Text(IDC_BIOS_GUID).size(), 36u);
    EXPECT_TRUE(IsEnabled(IDC_APPLY));
    Command(IDC_APPLY);
    Pump();
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].caption, L"Saving Virtual Machine Settings Changes");
    // The simulated host's words for a running machine, passed on unchanged.
    EXPECT_EQ(platform.boxes[0].text,
              L"'Web Frontend' failed to modify settings. The BIOS GUID, the serial numbers and the "
              L"asset tag cannot be changed while the virtual machine is running, saved or paused. "
              L"Turn the virtual machine off and try again. (Virtual machine ID "
                  + LabVm(L"Web Frontend").guid + L")");
    EXPECT_EQ(LabVm(L"Web Frontend").settings.biosGuid, before);
    // The edits stay for another try.
    EXPECT_TRUE(IsEnabled(IDC_APPLY));
}

TEST_F(SettingsForm, NoToTheUnsavedChangesQuestionPutsTheSelectionBack)
{
    LoadLabVm(L"Test Client");
    Type(IDC_BIOS_SERIAL, L"EDITED");
    platform.answers = {IDNO};
    SelectVm(L"Archive");
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].caption, L"Unsaved changes");
    const HWND list = Control(IDC_VM_LIST);
    const LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
    EXPECT_EQ(reinterpret_cast<VmEntry*>(SendMessageW(list, LB_GETITEMDATA, selected, 0)),
              dialog->selectedVm);
    EXPECT_EQ(Text(IDC_VM_NAME), L"Test Client");
    EXPECT_EQ(Text(IDC_BIOS_SERIAL), L"EDITED");
    EXPECT_TRUE(IsEnabled(IDC_APPLY));

    platform.answers = {IDYES};
    SelectVm(L"Archive");
    EXPECT_EQ(Text(IDC_VM_NAME), L"Archive");
    EXPECT_FALSE(IsEnabled(IDC_APPLY));
}

TEST_F(SettingsForm, ResetAnsweredYesReloadsTheMachineFromTheHost)
{
    LoadLabVm(L"Test Client");
    const std::wstring original = Text(IDC_BASEBOARD_SERIAL);
    Type(IDC_BASEBOARD_SERIAL, L"CHANGED");
    platform.answers = {IDYES};
    Command(IDC_RESET);
    Pump();
    EXPECT_EQ(Text(IDC_BASEBOARD_SERIAL), original);
    EXPECT_EQ(application->CurrentVm()->settings.BaseBoardSerialNumber(), original);
    EXPECT_FALSE(IsEnabled(IDC_APPLY));
    EXPECT_FALSE(IsEnabled(IDC_RESET));
}

TEST_F(SettingsForm, TheNumLockCheckBoxAloneEnablesApply)
{
    LoadLabVm(L"Test Client");
    const bool before = application->CurrentVm()->settings.BiosNumLock();
    SendMessageW(Control(IDC_NUMLOCK), BM_CLICK, 0, 0);
    Pump();
    EXPECT_TRUE(IsEnabled(IDC_APPLY));
    EXPECT_NE(application->CurrentVm()->settings.BiosNumLock(), before);
}

TEST_F(SettingsForm, AFailedLoadShowsTheErrorAndDisablesTheFormAndPowerButtons)
{
    LoadLabVm(L"Web Frontend");
    EXPECT_TRUE(IsEnabled(IDC_FORCE_OFF));
    world.FailCall(sim::CallKind::GetInstance, 1, MI_RESULT_NOT_FOUND);
    SelectVm(L"Archive");
    EXPECT_EQ(Text(IDC_VM_NAME), L"<Error loading virtual machine>");
    for (int id : {IDC_BASEBOARD_SERIAL, IDC_REFRESH_STATE, IDC_POWER_ON, IDC_SHUTDOWN,
                   IDC_FORCE_OFF})
        EXPECT_FALSE(IsEnabled(id)) << id;
    EXPECT_EQ(dialog->selectedVm->ElementName, L"Web Frontend");
}

TEST_F(SettingsForm, ANewGuidIsThirtySixLowerCaseCharactersAndStoredBraced)
{
    LoadLabVm(L"Test Client");
    Command(IDC_NEW_GUID);
    Pump();
    const std::wstring typed = Text(IDC_BIOS_GUID);
    ASSERT_EQ(typed.size(), 36u);
    for (wchar_t c : typed)
        EXPECT_TRUE((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || c == L'-');
    const std::wstring stored = application->CurrentVm()->settings.BiosGuid();
    ASSERT_EQ(stored.size(), 38u);
    EXPECT_EQ(stored.front(), L'{');
    EXPECT_TRUE(ShowsValid(IDC_BIOS_GUID));
}

}
