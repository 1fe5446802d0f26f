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
    int focusAfter;      // the next enabled control in tab order, or the button itself
};

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

    SendMessageW(Control(c.button), BM_CLICK, 0, 0);
    Pump();

    EXPECT_EQ(GetFocus(), Control(c.focusAfter));
    EXPECT_TRUE(IsEnabled(c.focusAfter));
}

// Tab order after the settings group: Refresh State, Power On, Graceful Shutdown, Force Power
// Off, Apply Changes, Reset Fields, Close Program.
INSTANTIATE_TEST_SUITE_P(
    Commands, FocusAfterACommand,
    ::testing::Values(
        FocusCase{"Apply", L"Test Client", true, IDC_APPLY, {}, IDOK},
        FocusCase{"Reset", L"Test Client", true, IDC_RESET, {IDYES}, IDOK},
        FocusCase{"PowerOn", L"Test Client", false, IDC_POWER_ON, {IDYES}, IDC_SHUTDOWN},
        FocusCase{"ForceOff", L"Web Frontend", false, IDC_FORCE_OFF, {IDYES}, IDOK},
        FocusCase{"ForceOffWithEdits", L"Web Frontend", true, IDC_FORCE_OFF, {IDYES}, IDC_APPLY},
        FocusCase{"ShutdownWaiting", L"Web Frontend", false, IDC_SHUTDOWN, {IDYES}, IDOK},
        FocusCase{"ShutdownNotWaiting", L"Web Frontend", false, IDC_SHUTDOWN, {IDNO}, IDC_SHUTDOWN}),
    [](const ::testing::TestParamInfo<FocusCase>& info) { return info.param.name; });

TEST_F(LabWindow, AConnectionGivesTheFocusBackToTheHostField)
{
    EnterHost(L"HV-LAB01");
    EXPECT_EQ(GetFocus(), dialog->hostEdit);
}

}
