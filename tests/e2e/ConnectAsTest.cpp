// The demo reaching a workgroup host as a person does, from another process: the host refuses
// the logged-on user, Brackwin asks for an account (its own dialog, since Wine has no system
// credential prompt), and the host's machine is listed once the demo account is given.
#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"
#include "tests/e2e/DemoWindow.h"
#include "tests/e2e/ProgramProcess.h"

namespace {

void SetText(HWND control, const wchar_t* text)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 20000,
                        &result);
}

TEST(DemoConnectAs, AWorkgroupHostIsReachedWithTheAccountGivenInTheDialog)
{
    ProgramProcess program(L"brackwin-demo.exe");
    ASSERT_TRUE(program.Started());
    const HWND window = program.WaitForWindow(L"Brackwin");
    ASSERT_NE(window, nullptr);
    const DemoWindow demo(program, window);
    demo.EnterHost(L"HV-EDGE01");

    const HWND ask = program.WaitForOwnedBox(window);
    ASSERT_NE(ask, nullptr);
    EXPECT_EQ(ProgramProcess::WindowText(ask), L"Connect As");
    EXPECT_EQ(ProgramProcess::WindowText(GetDlgItem(ask, IDC_CRED_MESSAGE)), L"Enter credentials to connect to HV-EDGE01.");
    SetText(GetDlgItem(ask, IDC_CRED_USER), L"HV-EDGE01\\Administrator");
    SetText(GetDlgItem(ask, IDC_CRED_PASSWORD), L"Demo-Pa55word");
    PostMessageW(ask, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);

    ASSERT_TRUE(ProgramProcess::WaitUntil([&] { return demo.IsIdle() && demo.VmCount() == 1; }));
    EXPECT_TRUE(demo.SelectVm(L"Edge Gateway"));
    ASSERT_TRUE(ProgramProcess::WaitUntil(
        [&] { return demo.IsIdle() && demo.Text(IDC_VM_NAME) == L"Edge Gateway"; }));
    EXPECT_EQ(demo.Text(IDC_POWER_STATE), L"Running");
    demo.Click(IDOK);
    EXPECT_EQ(program.WaitForExit(), 1u);
}

}
