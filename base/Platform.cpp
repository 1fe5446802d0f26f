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

DWORD SystemPromptForCredentials(CREDUI_INFOW* info, DWORD authError, ULONG* authPackage,
                                 const void* inBuffer, ULONG inSize, void** outBuffer,
                                 ULONG* outSize, BOOL* save, DWORD flags)
{
    return CredUIPromptForWindowsCredentialsW(info, authError, authPackage, inBuffer, inSize,
                                              outBuffer, outSize, save, flags);
}

BOOL SystemUnpackCredentials(DWORD flags, void* buffer, DWORD size, wchar_t* user, DWORD* userSize,
                             wchar_t* domain, DWORD* domainSize, wchar_t* password,
                             DWORD* passwordSize)
{
    return CredUnPackAuthenticationBufferW(flags, buffer, size, user, userSize, domain, domainSize,
                                           password, passwordSize);
}

BOOL SystemCredWrite(CREDENTIALW* credential, DWORD flags)
{
    return CredWriteW(credential, flags);
}

BOOL SystemCredRead(const wchar_t* target, DWORD type, DWORD flags, CREDENTIALW** credential)
{
    return CredReadW(target, type, flags, credential);
}

BOOL SystemCredDelete(const wchar_t* target, DWORD type, DWORD flags)
{
    return CredDeleteW(target, type, flags);
}

void SystemCredFree(void* buffer)
{
    CredFree(buffer);
}

constexpr Platform systemPlatform{
    SystemMessageBox,   SystemSleep,      SystemTickCount,      SystemElevation,
    SystemComputerName, SystemFolderPath, SystemCreateInstance, SystemRegisterClipboardFormat,
    SystemPromptForCredentials, SystemUnpackCredentials, SystemCredWrite, SystemCredRead,
    SystemCredDelete, SystemCredFree,
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
