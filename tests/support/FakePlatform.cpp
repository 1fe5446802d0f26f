#include "tests/support/FakePlatform.h"

#include "base/HostFolder.h"
#include "tests/support/ProgressWindowSearch.h"

#include <filesystem>
#include <system_error>

namespace {

FakePlatform* current = nullptr;

int RecordBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style)
{
    FakePlatform& fake = *FakePlatform::Current();
    fake.boxes.push_back({owner, text ? text : L"", caption ? caption : L"", style,
                          owner && FindProgressWindow(owner) != nullptr});
    if (fake.answers.empty())
        return IDOK;
    const int answer = fake.answers.front();
    fake.answers.pop_front();
    return answer;
}

BOOL FakeComputerName(COMPUTER_NAME_FORMAT, wchar_t* buffer, DWORD* size)
{
    const FakePlatform& fake = *FakePlatform::Current();
    if (fake.failComputerName) {
        *size = 0;
        SetLastError(ERROR_INVALID_FUNCTION);
        return FALSE;
    }
    const std::wstring& name = fake.computerName;
    if (!buffer || *size <= name.size()) {
        *size = static_cast<DWORD>(name.size() + 1);
        SetLastError(ERROR_MORE_DATA);
        return FALSE;
    }
    name.copy(buffer, name.size());
    buffer[name.size()] = L'\0';
    *size = static_cast<DWORD>(name.size());
    return TRUE;
}

Elevation FakeElevation()
{
    return FakePlatform::Current()->elevation;
}

HRESULT FakeFolderPath(HWND, int, HANDLE, DWORD, wchar_t* path)
{
    const std::wstring& folder = FakePlatform::Current()->appData;
    if (folder.size() >= MAX_PATH)
        return E_FAIL;
    folder.copy(path, folder.size());
    path[folder.size()] = L'\0';
    return S_OK;
}

std::wstring MakeTemporaryFolder()
{
    static unsigned counter = 0;
    std::error_code error;
    const auto base = std::filesystem::temp_directory_path(error);
    const auto folder = base / (L"brackwin-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                std::to_wstring(++counter));
    std::filesystem::create_directories(folder, error);
    return folder.wstring();
}

}

FakePlatform::FakePlatform() : saved_(CurrentPlatform())
{
    current = this;
    appData = MakeTemporaryFolder();
    Platform& platform = CurrentPlatform();
    platform.getFolderPath = FakeFolderPath;
    platform.queryElevation = FakeElevation;
    platform.messageBox = RecordBox;
    platform.getComputerNameEx = FakeComputerName;
}

FakePlatform::~FakePlatform()
{
    CurrentPlatform() = saved_;
    current = nullptr;
    std::error_code error;
    std::filesystem::remove_all(appData, error);
}

std::wstring FakePlatform::HostFile() const
{
    return appData + HostListFolder() + L"vmhosts.txt";
}

FakePlatform* FakePlatform::Current()
{
    return current;
}
