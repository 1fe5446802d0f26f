// Starts the built programs as their own processes under Wine and drives them from outside,
// as a person would: find the window, read it, press its buttons, read the exit code.
#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"
#include "tests/e2e/ProgramProcess.h"

namespace {

constexpr wchar_t managementFailureText[] =
    L"Unable to initialize the Windows Management Interface. This is one of those system problems "
    L"that should never happen, so the application will exit to avoid causing damage.";

TEST(RealProgram, WithoutMiDllShowsTheFatalBoxAndExitsWithMinusOne)
{
    ProgramProcess program(L"brackwin.exe");
    ASSERT_TRUE(program.Started());
    const HWND box = program.WaitForWindow(L"Brackwin");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ProgramProcess::MessageBoxText(box), managementFailureText);
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
    // A message box's static text is 0xFFFF; the main dialog would have the host combo.
    EXPECT_EQ(GetDlgItem(box, IDC_HOST_COMBO), nullptr);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(program.WaitForExit(), static_cast<DWORD>(-1));
}

struct CloseCase {
    const char* name;
    UINT message;
    WPARAM wParam;
    DWORD exitCode;
};

class DemoProgram : public ::testing::TestWithParam<CloseCase> {};

TEST_P(DemoProgram, ClosesWithTheCodeOfHowItWasClosed)
{
    const CloseCase& c = GetParam();
    ProgramProcess program(L"brackwin-demo.exe", L"--ignored arguments");
    ASSERT_TRUE(program.Started());
    const HWND window = program.WaitForWindow(L"Brackwin");
    ASSERT_NE(window, nullptr);
    EXPECT_NE(GetDlgItem(window, IDC_HOST_COMBO), nullptr);
    PostMessageW(window, c.message, c.wParam, 0);
    EXPECT_EQ(program.WaitForExit(), c.exitCode);
}

INSTANTIATE_TEST_SUITE_P(
    Closing, DemoProgram,
    ::testing::Values(CloseCase{"CloseProgram", WM_COMMAND, IDOK, 1},
                      CloseCase{"Escape", WM_COMMAND, IDCANCEL, 2},
                      CloseCase{"CloseBox", WM_SYSCOMMAND, SC_CLOSE, 2}),
    [](const ::testing::TestParamInfo<CloseCase>& info) { return info.param.name; });

}
