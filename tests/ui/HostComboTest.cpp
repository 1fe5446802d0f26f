#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/support/MainWindowFixture.h"

namespace {

std::string ReadFile(const std::wstring& path)
{
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// A host list file written before the window opens.
class SavedHosts : public MainWindowFixture {
protected:
    SavedHosts()
    {
        std::filesystem::create_directories(std::filesystem::path(platform.HostFile()).parent_path());
        std::ofstream file(std::filesystem::path(platform.HostFile()), std::ios::binary);
        file << "hv-lab02\r\nHV-LAB01\nhv-lab01\r\r\n\r\nbad name!\n";
    }
};

TEST_F(SavedHosts, FillTheComboSortedOnceEachIgnoringCaseWithNothingSelected)
{
    EXPECT_EQ(ComboHosts(), (std::vector<std::wstring>{L"badname", L"HV-LAB01", L"hv-lab02"}));
    EXPECT_EQ(SendDlgItemMessageW(Window(), IDC_HOST_COMBO, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(Text(IDC_HOST_COMBO), L"");
}

TEST_F(SavedHosts, AreWrittenBackCleanedOnceEachWithANewHost)
{
    world.AddHost(L"HV-LAB03");
    EnterHost(L"hv-lab03");
    Command(IDOK);
    EXPECT_EQ(Pump(), 1);
    EXPECT_EQ(ReadFile(platform.HostFile()), "hv-lab02\r\nHV-LAB01\r\nbadname\r\nHV-LAB03\r\n");
}

TEST_F(SavedHosts, StayUnwrittenWhenTheUserKeepsTheWindowOpen)
{
    const std::string before = ReadFile(platform.HostFile());
    dialog->SetDirty(true);
    platform.answers = {IDNO};
    Command(IDCANCEL);
    EXPECT_EQ(Pump(), std::nullopt);
    EXPECT_EQ(ReadFile(platform.HostFile()), before);
}

}
