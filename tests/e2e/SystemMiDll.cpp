#include "tests/e2e/SystemMiDll.h"

#include <windows.h>

#include "tests/e2e/ProgramProcess.h"

SystemMiDll::SystemMiDll(TestMiDll build)
{
    installed_ = CopyFileW(BuiltPath(build).c_str(), SystemPath().c_str(), FALSE) != FALSE;
}

SystemMiDll::~SystemMiDll()
{
    Remove();
}

std::wstring SystemMiDll::BuiltPath(TestMiDll build)
{
    // The test programs are in <build>\bin, the builds of mi.dll in <build>\test-dlls.
    return ProgramProcess::ProgramFolder() + L"..\\test-dlls\\" +
           (build == TestMiDll::Simulated ? L"simulated" : L"entryless") + L"\\mi.dll";
}

std::wstring SystemMiDll::SystemPath()
{
    wchar_t folder[MAX_PATH]{};
    GetSystemDirectoryW(folder, MAX_PATH);
    return std::wstring(folder) + L"\\mi.dll";
}

bool SystemMiDll::Remove()
{
    return DeleteFileW(SystemPath().c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
}
