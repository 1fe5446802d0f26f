#include "base/Platform.h"

#include "base/Unique.h"

#include <objbase.h>
#include <shlobj.h>

namespace {

int SystemMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style)
{
    return MessageBoxW(owner, text, caption, style);
}

void SystemSleep(DWORD milliseconds)
{
    Sleep(milliseconds);
}

DWORD SystemTickCount()
{
    return GetTickCount();
}

Elevation SystemElevation()
{
    UniqueHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Put()))
        return Elevation::Unknown;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (!GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof(elevation), &size))
        return Elevation::Unknown;
    return elevation.TokenIsElevated ? Elevation::Elevated : Elevation::NotElevated;
}

BOOL SystemComputerName(COMPUTER_NAME_FORMAT format, wchar_t* buffer, DWORD* size)
{
    return GetComputerNameExW(format, buffer, size);
}

HRESULT SystemFolderPath(HWND owner, int folder, HANDLE token, DWORD flags, wchar_t* path)
{
    return SHGetFolderPathW(owner, folder, token, flags, path);
}

HRESULT SystemCreateInstance(REFCLSID classId, IUnknown* outer, DWORD context, REFIID interfaceId,
                             void** object)
{
    return CoCreateInstance(classId, outer, context, interfaceId, object);
}

UINT SystemRegisterClipboardFormat(const wchar_t* name)
{
    return RegisterClipboardFormatW(name);
}

constexpr Platform systemPlatform{
    SystemMessageBox,   SystemSleep,      SystemTickCount,      SystemElevation,
    SystemComputerName, SystemFolderPath, SystemCreateInstance, SystemRegisterClipboardFormat,
};

Platform currentPlatform = systemPlatform;

}

Platform& CurrentPlatform()
{
    return currentPlatform;
}

const Platform& SystemPlatform()
{
    return systemPlatform;
}
