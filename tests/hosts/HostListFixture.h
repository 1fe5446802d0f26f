// A HostList test's own application-data folder: a fresh temporary folder handed out through
// the platform's folder lookup, removed with everything in it afterwards. The previous
// platform bindings come back after each test.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "base/Platform.h"
#include "hosts/HostList.h"

class HostListTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The folder the lookup reports, and the data folder and file under it.
    std::wstring AppData() const { return root + L"\\AppData"; }
    std::wstring DataFolder() const { return AppData() + L"\\Orlund\\Brackwin\\"; }
    std::wstring FilePath() const { return DataFolder() + L"vmhosts.txt"; }

    void WriteHostFile(std::string_view bytes) const;
    std::string ReadHostFile() const;
    // The names in the data folder, to see that no temporary file is left behind.
    std::vector<std::wstring> DataFolderEntries() const;

    // Every entry, by one pass of Next from the start.
    static std::vector<std::wstring> AllNames(HostList& list);

public:
    // What the fake folder lookup answers, and how often it was asked.
    static std::wstring folderAnswer;
    static HRESULT folderResult;
    static int folderCalls;

private:
    Platform saved_{};
    std::wstring root;
};

// Writes or reads a whole file as bytes.
void WriteBytes(const std::wstring& path, std::string_view bytes);
std::string ReadBytes(const std::wstring& path);
