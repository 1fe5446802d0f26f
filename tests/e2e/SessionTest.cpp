// Each program as a person uses it, from another process: connect to a host, change a
// machine's setting and see the host's value, turn a machine off and on, close, and find the
// host remembered in the program's host list file. brackwin.exe runs on the simulated hosts
// built as mi.dll and put into System32, where it loads Windows' own from.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "res/resource.h"
#include "tests/e2e/DemoWindow.h"
#include "tests/e2e/ProgramProcess.h"
#include "tests/e2e/SystemMiDll.h"

namespace {

constexpr wchar_t labHost[] = L"HV-LAB01";
constexpr wchar_t forceQuestion[] = L"Are you certain that you wish to force a power state change?";
constexpr wchar_t newAssetTag[] = L"QA-DESK-07-RELABELLED";

struct Program {
    const char* name;
    const wchar_t* fileName;
    const wchar_t* hostListFolder;
    bool needsSystemMiDll;
};

// A program's host list in the roaming application data of this Wine prefix, which the test
// program and the programs it starts share.
std::filesystem::path HostList(const Program& program)
{
    wchar_t folder[MAX_PATH]{};
    if (SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK)
        return {};
    return std::filesystem::path(folder) / L"Orlund" / program.hostListFolder / L"vmhosts.txt";
}

std::string FileContent(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class ProgramSession : public ::testing::TestWithParam<Program> {
protected:
    void SetUp() override
    {
        hostList = HostList(GetParam());
        ASSERT_FALSE(hostList.empty());
        // The list must come from this session alone.
        std::error_code ignored;
        std::filesystem::remove(hostList, ignored);
        ASSERT_TRUE(SystemMiDll::Remove());
        if (GetParam().needsSystemMiDll) {
            systemMiDll.emplace(TestMiDll::Simulated);
            ASSERT_TRUE(systemMiDll->Installed());
        }
        program.emplace(GetParam().fileName);
        ASSERT_TRUE(program->Started());
        window = program->WaitForWindow(L"Brackwin");
        ASSERT_NE(window, nullptr);
        // A fatal start-up box has this caption too.
        ASSERT_NE(GetDlgItem(window, IDC_HOST_COMBO), nullptr);
    }

    // Selects a machine and waits until the form shows it.
    void Load(const DemoWindow& demo, const wchar_t* name)
    {
        ASSERT_TRUE(demo.SelectVm(name)) << "not listed";
        ASSERT_TRUE(ProgramProcess::WaitUntil(
            [&] { return demo.IsIdle() && demo.Text(IDC_VM_NAME) == name; }));
    }

    // Presses a power button and answers Yes to the program's question.
    void ForcePower(const DemoWindow& demo, int button)
    {
        ASSERT_TRUE(demo.IsEnabled(button));
        demo.Click(button);
        const HWND box = demo.WaitForBox();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(ProgramProcess::MessageBoxText(box), forceQuestion);
        DemoWindow::Answer(box, IDYES);
    }

    std::filesystem::path hostList;
    std::optional<SystemMiDll> systemMiDll;
    std::optional<ProgramProcess> program;
    HWND window = nullptr;
};

TEST_P(ProgramSession, ConnectsAppliesPowersOffAndOnAndRemembersTheHost)
{
    const DemoWindow demo(*program, window);

    demo.EnterHost(labHost);
    ASSERT_TRUE(ProgramProcess::WaitUntil([&] { return demo.IsIdle() && demo.VmCount() == 6; }));
    EXPECT_TRUE(demo.ListsHost(labHost));
    EXPECT_TRUE(demo.IsEnabled(IDC_VM_LIST));

    // Settings: the changed asset tag is written through the host's job and read back.
    ASSERT_NO_FATAL_FAILURE(Load(demo, L"Test Client"));
    EXPECT_EQ(demo.Text(IDC_ASSET_TAG), L"QA-DESK-07");
    EXPECT_FALSE(demo.IsEnabled(IDC_APPLY));
    demo.Type(IDC_ASSET_TAG, newAssetTag);
    ASSERT_TRUE(demo.IsEnabled(IDC_APPLY));
    demo.Click(IDC_APPLY);
    ASSERT_TRUE(ProgramProcess::WaitUntil([&] { return demo.IsIdle() && !demo.IsEnabled(IDC_APPLY); }));
    EXPECT_EQ(demo.Text(IDC_ASSET_TAG), newAssetTag);

    // Power: turned off and on again, each confirmed.
    ASSERT_NO_FATAL_FAILURE(Load(demo, L"Web Frontend"));
    EXPECT_EQ(demo.Text(IDC_POWER_STATE), L"Running");
    ASSERT_NO_FATAL_FAILURE(ForcePower(demo, IDC_FORCE_OFF));
    ASSERT_TRUE(demo.WaitForPowerState(L"Off"));
    EXPECT_FALSE(demo.IsEnabled(IDC_FORCE_OFF));
    EXPECT_FALSE(demo.IsEnabled(IDC_SHUTDOWN));
    ASSERT_NO_FATAL_FAILURE(ForcePower(demo, IDC_POWER_ON));
    ASSERT_TRUE(demo.WaitForPowerState(L"Running"));
    EXPECT_FALSE(demo.IsEnabled(IDC_POWER_ON));

    // Loading the changed machine again reads the host's value, not the form's.
    ASSERT_NO_FATAL_FAILURE(Load(demo, L"Test Client"));
    EXPECT_EQ(demo.Text(IDC_ASSET_TAG), newAssetTag);

    demo.Click(IDOK);
    EXPECT_EQ(program->WaitForExit(), 1u);
    EXPECT_EQ(FileContent(hostList), "HV-LAB01\r\n");
}

// HV-LAB03 runs a German Windows: its machines' captions are translated, and both are listed.
TEST_P(ProgramSession, ListsTheMachinesOfAGermanHost)
{
    const DemoWindow demo(*program, window);
    demo.EnterHost(L"HV-LAB03");
    ASSERT_TRUE(ProgramProcess::WaitUntil([&] { return demo.IsIdle() && demo.VmCount() == 2; }));
    ASSERT_NO_FATAL_FAILURE(Load(demo, L"Dateiserver"));
    EXPECT_EQ(demo.Text(IDC_POWER_STATE), L"Running");
    ASSERT_NO_FATAL_FAILURE(Load(demo, L"Testrechner"));
    EXPECT_EQ(demo.Text(IDC_POWER_STATE), L"Off");
    demo.Click(IDOK);
    EXPECT_EQ(program->WaitForExit(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    BothPrograms, ProgramSession,
    ::testing::Values(Program{"Demo", L"brackwin-demo.exe", L"Brackwin Demo", false},
                      Program{"Real", L"brackwin.exe", L"Brackwin", true}),
    [](const ::testing::TestParamInfo<Program>& info) { return info.param.name; });

}
