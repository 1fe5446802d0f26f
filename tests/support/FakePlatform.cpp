#include "tests/support/FakePlatform.h"

namespace {

FakePlatform* current = nullptr;

int RecordBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style)
{
    FakePlatform& fake = *FakePlatform::Current();
    fake.boxes.push_back({owner, text ? text : L"", caption ? caption : L"", style});
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

}

FakePlatform::FakePlatform() : saved_(CurrentPlatform())
{
    current = this;
    Platform& platform = CurrentPlatform();
    platform.messageBox = RecordBox;
    platform.getComputerNameEx = FakeComputerName;
}

FakePlatform::~FakePlatform()
{
    CurrentPlatform() = saved_;
    current = nullptr;
}

FakePlatform* FakePlatform::Current()
{
    return current;
}
