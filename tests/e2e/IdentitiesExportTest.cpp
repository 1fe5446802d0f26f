// The demo as an administrator uses it for cloned machines, from another process: HV-LAB04's
// kiosks in the identities window, the clones counted, and the table exported through the
// Save As dialog into a CSV file.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "res/resource.h"
#include "tests/e2e/DemoWindow.h"
#include "tests/e2e/ProgramProcess.h"

namespace {

// The file name field of the Save As dialog: the Explorer style's combo box, or the older
// style's edit field.
constexpr int fileNameCombo = 1148;
constexpr int fileNameEdit = 1152;

int Rows(HWND identities)
{
    DWORD_PTR rows = 0;
    if (!SendMessageTimeoutW(GetDlgItem(identities, IDC_IDENTITY_LIST), LVM_GETITEMCOUNT, 0, 0,
                             SMTO_NORMAL, 20000, &rows))
        return -1;
    return static_cast<int>(rows);
}

std::string FileContent(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(DemoIdentities, ShowsTheKiosksClonesAndExportsThemAsCsv)
{
    const std::filesystem::path exported =
        std::filesystem::temp_directory_path() / L"brackwin-e2e-identities.csv";
    std::error_code ignored;
    std::filesystem::remove(exported, ignored);

    ProgramProcess program(L"brackwin-demo.exe");
    ASSERT_TRUE(program.Started());
    const HWND window = program.WaitForWindow(L"Brackwin");
    ASSERT_NE(window, nullptr);
    const DemoWindow demo(program, window);
    demo.EnterHost(L"HV-LAB04");
    ASSERT_TRUE(ProgramProcess::WaitUntil([&] { return demo.IsIdle() && demo.VmCount() == 4; }));

    PostMessageW(demo.Control(IDC_IDENTITIES), BM_CLICK, 0, 0);
    const HWND identities = program.WaitForWindow(L"Virtual Machine Identities");
    ASSERT_NE(identities, nullptr);
    ASSERT_TRUE(ProgramProcess::WaitUntil(
        [&] { return IsWindowEnabled(identities) && Rows(identities) == 4; }));
    // The template and two clones share their GUID and serials; Kiosk 03 was renumbered.
    EXPECT_EQ(ProgramProcess::WindowText(GetDlgItem(identities, IDC_IDENTITY_STATUS)),
              L"4 virtual machines on 1 host; 3 share an identity value with another.");

    PostMessageW(GetDlgItem(identities, IDC_IDENTITY_EXPORT), BM_CLICK, 0, 0);
    const HWND saveAs = program.WaitForOwnedBox(identities);
    ASSERT_NE(saveAs, nullptr);
    HWND name = GetDlgItem(saveAs, fileNameCombo);
    if (!name)
        name = GetDlgItem(saveAs, fileNameEdit);
    ASSERT_NE(name, nullptr);
    const std::wstring path = exported.wstring();
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageW(saveAs, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(ProgramProcess::WaitUntil([&] {
        return IsWindowEnabled(identities) && std::filesystem::exists(exported);
    }));

    const std::string bytes = FileContent(exported);
    EXPECT_EQ(bytes.rfind("\xEF\xBB\xBFHost,Name,VM ID,State,Generation,BIOS GUID,BIOS Serial Number,"
                          "Baseboard Serial Number,Chassis Serial Number,Chassis Asset Tag,Num Lock\r\n",
                          0),
              0u);
    EXPECT_NE(bytes.find("HV-LAB04,Kiosk 01,A4C6E802-1B3D-4E5F-8071-92A3B4C5D6E7,Off,2,"
                         "{8E2C4A10-6B3D-4F58-9C71-2A4B6D8E0F13},6602-3319-8847-1125-9930-4471-08,"
                         "6602-3319-8847-1125-9930-4471-08,6602-3319-8847-1125-9930-4471-08,"
                         "KIOSK-TEMPLATE,'-\r\n"),
              std::string::npos)
        << bytes;
    EXPECT_NE(bytes.find("HV-LAB04,Kiosk 03,0F1E2D3C-4B5A-4697-8877-665544332211,Off,2,"),
              std::string::npos);
    std::filesystem::remove(exported, ignored);

    PostMessageW(identities, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ASSERT_TRUE(ProgramProcess::WaitUntil([&] { return !IsWindow(identities) && demo.IsIdle(); }));
    demo.Click(IDOK);
    EXPECT_EQ(program.WaitForExit(), 1u);
}

}
