#include "tests/hosts/HostListFixture.h"

#include <windows.h>
#include <shlobj.h>

#include <filesystem>
#include <fstream>
#include <iterator>

std::wstring HostListTest::folderAnswer;
HRESULT HostListTest::folderResult = S_OK;
int HostListTest::folderCalls = 0;

namespace {

HRESULT FakeFolderPath(HWND owner, int folder, HANDLE token, DWORD flags, wchar_t* path)
{
    ++HostListTest::folderCalls;
    EXPECT_EQ(owner, nullptr);
    EXPECT_EQ(folder, CSIDL_APPDATA);
    EXPECT_EQ(token, nullptr);
    EXPECT_EQ(flags, static_cast<DWORD>(SHGFP_TYPE_CURRENT));
    if (HostListTest::folderResult == S_OK) {
        const std::wstring& answer = HostListTest::folderAnswer;
        EXPECT_LT(answer.size(), static_cast<size_t>(MAX_PATH));
        answer.copy(path, MAX_PATH - 1);
        path[answer.size()] = L'\0';
    }
    return HostListTest::folderResult;
}

int uniqueFolder = 0;

}

void HostListTest::SetUp()
{
    saved_ = CurrentPlatform();
    wchar_t temp[MAX_PATH] = {};
    ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
    root = std::wstring(temp) + L"brackwin-hosts-" + std::to_wstring(GetCurrentProcessId()) + L"-"
        + std::to_wstring(++uniqueFolder);
    std::filesystem::remove_all(root);
    ASSERT_TRUE(std::filesystem::create_directories(AppData()));
    folderAnswer = AppData();
    folderResult = S_OK;
    folderCalls = 0;
    CurrentPlatform().getFolderPath = FakeFolderPath;
}

void HostListTest::TearDown()
{
    CurrentPlatform() = saved_;
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

void HostListTest::WriteHostFile(std::string_view bytes) const
{
    std::filesystem::create_directories(DataFolder());
    WriteBytes(FilePath(), bytes);
}

std::string HostListTest::ReadHostFile() const
{
    return ReadBytes(FilePath());
}

std::vector<std::wstring> HostListTest::DataFolderEntries() const
{
    std::vector<std::wstring> entries;
    for (const auto& entry : std::filesystem::directory_iterator(DataFolder()))
        entries.push_back(entry.path().filename().wstring());
    return entries;
}

std::vector<std::wstring> HostListTest::AllNames(HostList& list)
{
    std::vector<std::wstring> names;
    std::wstring_view name;
    bool more = true;
    while (more && list.Next(name, more))
        names.emplace_back(name);
    return names;
}

void WriteBytes(const std::wstring& path, std::string_view bytes)
{
    std::ofstream file(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(file.good());
}

std::string ReadBytes(const std::wstring& path)
{
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}
