// Starts the built programs as their own processes under Wine and drives them from outside,
// as a person would: find the window, read it, press its buttons, read the exit code.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "res/resource.h"
#include "tests/e2e/ProgramProcess.h"
#include "tests/e2e/SystemMiDll.h"

namespace {

constexpr wchar_t managementFailureText[] =
    L"Unable to initialize the Windows Management Interface. This is one of those system problems "
    L"that should never happen, so the application will exit to avoid causing damage.";

// Where an mi.dll lies when brackwin.exe starts. None is in System32 unless the case puts
// one there.
enum class MiDllPlace { Nowhere, EntrylessInSystem32, BesideProgramAndInCurrentFolder };

struct FatalCase {
    const char* name;
    MiDllPlace place;
};

class RealProgramStart : public ::testing::TestWithParam<FatalCase> {
protected:
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    // A new empty folder for this test, removed after it.
    std::filesystem::path MakeFolder()
    {
        wchar_t temp[MAX_PATH]{};
        GetTempPathW(MAX_PATH, temp);
        folder = std::filesystem::path(temp) /
                 (L"brackwin-planted-" + std::to_wstring(GetCurrentProcessId()));
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
        std::filesystem::create_directories(folder / L"program");
        std::filesystem::create_directories(folder / L"current");
        return folder;
    }

    std::filesystem::path folder;
};

// Without a usable mi.dll in System32 the program stops with the fatal box, also when a
// working one (the simulated hosts, which brackwin.exe uses from System32 in the session
// tests) lies beside it and in its current folder: those are never loaded.
TEST_P(RealProgramStart, WithoutAUsableSystemMiDllShowsTheFatalBoxAndExitsWithMinusOne)
{
    ASSERT_TRUE(SystemMiDll::Remove());
    std::optional<SystemMiDll> entryless;
    std::optional<ProgramProcess> program;
    switch (GetParam().place) {
    case MiDllPlace::Nowhere:
        program.emplace(L"brackwin.exe");
        break;
    case MiDllPlace::EntrylessInSystem32:
        entryless.emplace(TestMiDll::Entryless);
        ASSERT_TRUE(entryless->Installed());
        program.emplace(L"brackwin.exe");
        break;
    case MiDllPlace::BesideProgramAndInCurrentFolder: {
        const std::filesystem::path root = MakeFolder();
        const std::filesystem::path working = SystemMiDll::BuiltPath(TestMiDll::Simulated);
        std::filesystem::copy_file(ProgramProcess::ProgramFolder() + L"brackwin.exe",
                                   root / L"program" / L"brackwin.exe");
        std::filesystem::copy_file(working, root / L"program" / L"mi.dll");
        std::filesystem::copy_file(working, root / L"current" / L"mi.dll");
        program.emplace((root / L"program" / L"brackwin.exe").wstring(),
                        (root / L"current").wstring());
        break;
    }
    }
    ASSERT_TRUE(program->Started());
    const HWND box = program->WaitForWindow(L"Brackwin");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ProgramProcess::MessageBoxText(box), managementFailureText);
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
    // A message box's static text is 0xFFFF; the main dialog would have the host combo.
    EXPECT_EQ(GetDlgItem(box, IDC_HOST_COMBO), nullptr);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(program->WaitForExit(), static_cast<DWORD>(-1));
}

INSTANTIATE_TEST_SUITE_P(
    MiDll, RealProgramStart,
    ::testing::Values(FatalCase{"NoneInSystem32", MiDllPlace::Nowhere},
                      FatalCase{"WithoutEntryPointInSystem32", MiDllPlace::EntrylessInSystem32},
                      FatalCase{"OnlyBesideProgramAndInCurrentFolder",
                                MiDllPlace::BesideProgramAndInCurrentFolder}),
    [](const ::testing::TestParamInfo<FatalCase>& info) { return info.param.name; });

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
