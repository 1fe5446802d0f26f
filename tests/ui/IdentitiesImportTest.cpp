#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/IdentitiesWindowFixture.h"
#include "ui/IdentityImport.h"

// Import in the identities window: the exported file read back, an edited one, a protected
// value and a bad file, each through the window's own button.
namespace {

class IdentitiesImport : public IdentitiesWindow {
protected:
    void SetUp() override
    {
        IdentitiesWindow::SetUp();
        path = platform.appData + L"\\vm-identities.csv";
        Open();
        identities->chooseExportPath = [this](HWND) { return std::optional<std::wstring>(path); };
        identities->chooseImportPath = [this](HWND) { return std::optional<std::wstring>(path); };
    }
    std::string Exported()
    {
        Click(IDC_IDENTITY_EXPORT);
        std::ifstream file(std::filesystem::path(path), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    }
    void Write(const std::string& bytes) const
    {
        std::ofstream(std::filesystem::path(path), std::ios::binary | std::ios::trunc) << bytes;
    }
    std::wstring PendingOf(const wchar_t* name) const
    {
        for (int row = 0; row < Rows(); ++row)
            if (Cell(row, Column(L"Name")) == name)
                return Cell(row, Column(L"Pending"));
        return L"(no such row)";
    }
    static void Replace(std::string& text, const std::string& from, const std::string& to)
    {
        const size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
    }

    std::wstring path;
};

TEST_F(IdentitiesImport, TheExportedFileReadBackChangesNothing)
{
    Write(Exported());
    Click(IDC_IDENTITY_IMPORT);
    EXPECT_TRUE(platform.boxes.empty());
    for (const wchar_t* name : {L"Kiosk Template", L"Kiosk 01", L"Kiosk 02", L"Kiosk 03"})
        EXPECT_EQ(PendingOf(name), L"") << name;
    EXPECT_EQ(WindowText(IDC_IDENTITY_STATUS), L"4 virtual machines on 1 host; 3 share an identity value "
                                                L"with another. The file vm-identities.csv changes 0 "
                                                L"virtual machines.");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(identities->m_hWnd, IDC_APPLY_IDENTITIES)));
}

TEST_F(IdentitiesImport, AnEditedFileMakesExactlyItsEditsPendingAndTakesOffTheApostrophe)
{
    std::string bytes = Exported();
    // Kiosk 01 gets its own asset tag, protected as the export protects a formula; Kiosk 03 a
    // new baseboard serial.
    Replace(bytes, "A4C6E802-1B3D-4E5F-8071-92A3B4C5D6E7,Off,2,{8E2C4A10-6B3D-4F58-9C71-2A4B6D8E0F13},"
                   "6602-3319-8847-1125-9930-4471-08,6602-3319-8847-1125-9930-4471-08,"
                   "6602-3319-8847-1125-9930-4471-08,KIOSK-TEMPLATE",
            "A4C6E802-1B3D-4E5F-8071-92A3B4C5D6E7,Off,2,{8E2C4A10-6B3D-4F58-9C71-2A4B6D8E0F13},"
            "6602-3319-8847-1125-9930-4471-08,6602-3319-8847-1125-9930-4471-08,"
            "6602-3319-8847-1125-9930-4471-08,'=KIOSK-01");
    Replace(bytes, "7736-4402-1158-8847-2290-5513-05,7736-4402-1158-8847-2290-5513-05,",
            "7736-4402-1158-8847-2290-5513-05,BB-0003,");
    Write(bytes);
    Click(IDC_IDENTITY_IMPORT);
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(PendingOf(L"Kiosk 01"), L"Chassis Asset Tag: KIOSK-TEMPLATE \u2192 =KIOSK-01");
    EXPECT_EQ(PendingOf(L"Kiosk 03"),
              L"Baseboard Serial Number: 7736-4402-1158-8847-2290-5513-05 \u2192 BB-0003");
    EXPECT_EQ(PendingOf(L"Kiosk Template"), L"");
    EXPECT_EQ(PendingOf(L"Kiosk 02"), L"");
    const std::wstring status = WindowText(IDC_IDENTITY_STATUS);
    EXPECT_NE(status.find(L"2 have changes not yet written. The file vm-identities.csv changes 2 virtual "
                          L"machines."),
              std::wstring::npos)
        << std::string(status.begin(), status.end());
}

TEST_F(IdentitiesImport, ABadFileChangesNothingAndItsBoxNamesTheLine)
{
    // Changes made before stay as they were.
    ListView_SetItemState(List(), 0, LVIS_SELECTED, LVIS_SELECTED);
    Click(IDC_NEW_BIOS_GUIDS);
    const std::wstring before = Cell(0, Column(L"Pending"));
    ASSERT_NE(before, L"");
    std::string bytes = Exported();
    Replace(bytes, "KIOSK-03", "KIOSK-03,extra");
    Write(bytes);
    Click(IDC_IDENTITY_IMPORT);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].caption, importCaption);
    EXPECT_EQ(platform.boxes[0].owner, identities->m_hWnd);
    EXPECT_EQ(platform.boxes[0].style, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(platform.boxes[0].text, L"The file " + path + L" was not imported: line 5 has 12 fields where "
                                      L"the header has 11. Nothing was changed.");
    EXPECT_EQ(Cell(0, Column(L"Pending")), before);
    for (int row = 1; row < Rows(); ++row)
        EXPECT_EQ(Cell(row, Column(L"Pending")), L"") << row;
}

// A running machine takes a new Num Lock setting alone, as its host does; with an asset tag
// beside it, the machine is skipped and its changes stay pending.
TEST_F(IdentitiesImport, ARunningMachineTakesNumLockAloneAndIsSkippedForMore)
{
    struct Case {
        const char* file;
        const wchar_t* result;
        bool numLockHeld;
    };
    const Case cases[] = {
        {"Host,Name,Num Lock\r\nHV-LAB01,Legacy App,Yes\r\n", L"Saved", true},
        {"Host,Name,Num Lock,Chassis Asset Tag\r\nHV-LAB01,Legacy App,Yes,LEGACY-NT-02\r\n",
         L"Skipped: the virtual machine is not off", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        Click(IDC_ADD_KNOWN_HOSTS);
        Write(c.file);
        Click(IDC_IDENTITY_IMPORT);
        ASSERT_NE(PendingOf(L"Legacy App"), L"");
        platform.answers = {IDYES};
        Click(IDC_APPLY_IDENTITIES);
        const int row = RowOf(L"Legacy App");
        EXPECT_EQ(Cell(row, Column(L"Result")), c.result);
        sim::Vm& legacy = *world.FindHost(L"HV-LAB01")->FindVm(L"Legacy App");
        EXPECT_EQ(legacy.settings.biosNumLock, c.numLockHeld);
        EXPECT_EQ(legacy.settings.chassisAssetTag, L"LEGACY-NT-01");
        EXPECT_EQ(PendingOf(L"Legacy App").empty(), c.numLockHeld);
        TearDown();
        legacy.settings.biosNumLock = false;
        SetUp();
    }
}

}
