#include <gtest/gtest.h>

#include <vector>

#include "res/resource.h"
#include "tests/ui/LabWindowFixture.h"

namespace {

struct FocusCase {
    const char* name;
    const wchar_t* vm;
    bool edit;           // an unsaved edit first, so that Apply and Reset are enabled
    int button;          // pressed with the keyboard focus on it
    std::vector<int> answers;
    bool focusDropped;   // the focus leaves the disabled window while the command waits
    int focusAfter;      // the next enabled control in tab order, or the button itself
};

// Windows takes the focus from the controls of a window it disables; Wine leaves it. A wait in
// busy mode drops it here as Windows would.
void (*worldSleep)(DWORD) = nullptr;

void SleepDroppingTheFocus(DWORD milliseconds)
{
    SetFocus(nullptr);
    worldSleep(milliseconds);
}

class FocusAfterACommand : public LabWindow, public ::testing::WithParamInterface<FocusCase> {};

TEST_P(FocusAfterACommand, LandsOnAnEnabledControl)
{
    const FocusCase& c = GetParam();
    LoadLabVm(c.vm);
    if (c.edit)
        Type(IDC_ASSET_TAG, L"ASSET-0042");
    SendMessageW(Window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(c.button)), TRUE);
    ASSERT_EQ(GetFocus(), Control(c.button));
    platform.answers.assign(c.answers.begin(), c.answers.end());
    worldSleep = CurrentPlatform().sleep;
    if (c.focusDropped)
        CurrentPlatform().sleep = SleepDroppingTheFocus;

    SendMessageW(Control(c.button), BM_CLICK, 0, 0);
    Pump();
    CurrentPlatform().sleep = worldSleep;

    EXPECT_EQ(GetFocus(), Control(c.focusAfter)) << GetDlgCtrlID(GetFocus());
    EXPECT_TRUE(IsEnabled(c.focusAfter));
}

// Tab order after the settings group: Refresh State, Power On, Graceful Shutdown, Force Power
// Off, Apply Changes, Reset Fields, Close Program.
INSTANTIATE_TEST_SUITE_P(
    Commands, FocusAfterACommand,
    ::testing::Values(
        FocusCase{"Apply", L"Test Client", true, IDC_APPLY, {}, false, IDOK},
        FocusCase{"ApplyFocusDropped", L"Test Client", true, IDC_APPLY, {}, true, IDOK},
        FocusCase{"Reset", L"Test Client", true, IDC_RESET, {IDYES}, false, IDOK},
        FocusCase{"PowerOn", L"Test Client", false, IDC_POWER_ON, {IDYES}, false, IDC_SHUTDOWN},
        FocusCase{"ForceOff", L"Web Frontend", false, IDC_FORCE_OFF, {IDYES}, false, IDOK},
        FocusCase{"ForceOffWithEdits", L"Web Frontend", true, IDC_FORCE_OFF, {IDYES}, false, IDC_APPLY},
        FocusCase{"ShutdownWaiting", L"Web Frontend", false, IDC_SHUTDOWN, {IDYES}, false, IDOK},
        FocusCase{"ShutdownWaitingFocusDropped", L"Web Frontend", false, IDC_SHUTDOWN, {IDYES}, true, IDOK},
        FocusCase{"ShutdownNotWaiting", L"Web Frontend", false, IDC_SHUTDOWN, {IDNO}, false, IDC_SHUTDOWN}),
    [](const ::testing::TestParamInfo<FocusCase>& info) { return info.param.name; });

TEST_F(LabWindow, ARefreshedStateMovesTheFocusOffTheButtonItDisables)
{
    LoadLabVm(L"Web Frontend");
    SendMessageW(Window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(IDC_FORCE_OFF)), TRUE);
    LabVm(L"Web Frontend").enabledState = sim::state::Off;  // turned off elsewhere
    // Alt+S sends the command and leaves the focus where it is.
    Command(IDC_REFRESH_STATE);
    EXPECT_FALSE(IsEnabled(IDC_FORCE_OFF));
    EXPECT_EQ(GetFocus(), Control(IDOK));
}

TEST_F(LabWindow, AConnectionGivesTheFocusBackToTheHostField)
{
    EnterHost(L"HV-LAB01");
    EXPECT_EQ(GetFocus(), dialog->hostEdit);
}

}
