#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"
#include "tests/ui/LabWindowFixture.h"
#include "vm/VmEntry.h"

namespace {

using sim::CallKind;

struct StateRow {
    MI_Uint16 state;
    const wchar_t* text;
    bool powerOn;
    bool shutdown;
    bool forceOff;
};

class PowerButtons : public LabWindow, public ::testing::WithParamInterface<StateRow> {};

TEST_P(PowerButtons, FollowTheStateRead)
{
    const StateRow& row = GetParam();
    LoadLabVm(L"Test Client");
    LabVm(L"Test Client").enabledState = row.state;
    Command(IDC_REFRESH_STATE);
    EXPECT_EQ(Text(IDC_POWER_STATE), row.text);
    EXPECT_EQ(IsEnabled(IDC_POWER_ON), row.powerOn);
    EXPECT_EQ(IsEnabled(IDC_SHUTDOWN), row.shutdown);
    EXPECT_EQ(IsEnabled(IDC_FORCE_OFF), row.forceOff);
}

INSTANTIATE_TEST_SUITE_P(
    States, PowerButtons,
    ::testing::Values(StateRow{2, L"Running", false, true, true},
                      StateRow{3, L"Off", true, false, false},
                      StateRow{6, L"Saved", true, false, false},
                      StateRow{9, L"Paused", true, false, false},
                      StateRow{0, L"Unknown", false, false, false},
                      StateRow{1, L"In Transition", false, false, false},
                      StateRow{11, L"In Transition", false, false, false},
                      StateRow{4, L"", false, false, false},
                      StateRow{32773, L"", false, false, false}));

using PowerCommands = LabWindow;

TEST_F(PowerCommands, AStateThatCannotBeReadShowsUnknown)
{
    LoadLabVm(L"Web Frontend");
    world.FailCall(CallKind::GetInstance, 1, MI_RESULT_FAILED);
    Command(IDC_REFRESH_STATE);
    EXPECT_EQ(Text(IDC_POWER_STATE), L"Unknown");
    EXPECT_FALSE(IsEnabled(IDC_FORCE_OFF));
    EXPECT_TRUE(IsEnabled(IDC_REFRESH_STATE));
}

TEST_F(PowerCommands, PowerOnConfirmedStartsASavedMachine)
{
    LoadLabVm(L"Archive");
    platform.answers = {IDYES};
    Command(IDC_POWER_ON);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text, L"Are you certain that you wish to force a power state change?");
    EXPECT_EQ(platform.boxes[0].caption, L"Change VM Power State");
    EXPECT_EQ(platform.boxes[0].style, static_cast<UINT>(MB_ICONWARNING | MB_YESNO));
    EXPECT_EQ(LabVm(L"Archive").enabledState, sim::state::Running);
    EXPECT_EQ(Text(IDC_POWER_STATE), L"Running");
    EXPECT_TRUE(IsEnabled(IDC_FORCE_OFF));
}

TEST_F(PowerCommands, NoToTheForceQuestionChangesAndReadsNothing)
{
    LoadLabVm(L"Web Frontend");
    platform.answers = {IDNO};
    world.ClearCalls();
    Command(IDC_FORCE_OFF);
    EXPECT_TRUE(world.Calls().empty());
    EXPECT_EQ(LabVm(L"Web Frontend").enabledState, sim::state::Running);
}

TEST_F(PowerCommands, PowerOnPressedOnAStaleDisplayNeverTurnsARunningMachineOff)
{
    LoadLabVm(L"Test Client");
    ASSERT_TRUE(IsEnabled(IDC_POWER_ON));
    LabVm(L"Test Client").enabledState = sim::state::Running;  // started elsewhere meanwhile
    platform.answers = {IDYES};
    world.ClearCalls();
    Command(IDC_POWER_ON);
    EXPECT_EQ(Calls(CallKind::Invoke), 0);
    EXPECT_EQ(LabVm(L"Test Client").enabledState, sim::state::Running);
    EXPECT_EQ(Text(IDC_POWER_STATE), L"Running");
    EXPECT_FALSE(IsEnabled(IDC_POWER_ON));
}

TEST_F(PowerCommands, CancelToTheShutdownQuestionReadsNothing)
{
    LoadLabVm(L"Web Frontend");
    platform.answers = {IDCANCEL};
    world.ClearCalls();
    Command(IDC_SHUTDOWN);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].caption, L"Initiate graceful shutdown");
    EXPECT_EQ(platform.boxes[0].style, static_cast<UINT>(MB_ICONQUESTION | MB_YESNOCANCEL));
    EXPECT_TRUE(world.Calls().empty());
}

TEST_F(PowerCommands, ShutdownWithoutWaitingShowsTheStateRightAfterTheRequest)
{
    LoadLabVm(L"Web Frontend");
    platform.answers = {IDNO};
    Command(IDC_SHUTDOWN);
    EXPECT_EQ(Text(IDC_POWER_STATE), L"Running");
    EXPECT_EQ(platform.boxes.size(), 1u);
}

TEST_F(PowerCommands, ShutdownWaitingEndsWithTheMachineOff)
{
    LoadLabVm(L"Web Frontend");
    platform.answers = {IDYES};
    Command(IDC_SHUTDOWN);
    EXPECT_EQ(LabVm(L"Web Frontend").enabledState, sim::state::Off);
    EXPECT_EQ(Text(IDC_POWER_STATE), L"Off");
    EXPECT_TRUE(IsEnabled(IDC_POWER_ON));
    EXPECT_TRUE(IsWindowEnabled(Window()));
}

}
