// The few platform calls that tests answer and observe: message boxes, time, elevation, the
// computer name, the application-data folder, the creation of COM objects and the
// registration of clipboard formats, the Windows credential prompt and Credential Manager. Production binds each to the real call; a test replaces
// the members it needs and restores them afterwards.
// This header depends on nothing else of ours, so every layer may use it.
#pragma once

#include <windows.h>
#include <unknwn.h>
#include <wincred.h>

enum class Elevation { Unknown, NotElevated, Elevated };

struct Platform {
    int (*messageBox)(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style);
    void (*sleep)(DWORD milliseconds);
    DWORD (*tickCount)();
    // Whether this process runs elevated; Unknown when the token cannot be opened or read.
    Elevation (*queryElevation)();
    BOOL (*getComputerNameEx)(COMPUTER_NAME_FORMAT format, wchar_t* buffer, DWORD* size);
    HRESULT (*getFolderPath)(HWND owner, int folder, HANDLE token, DWORD flags, wchar_t* path);
    HRESULT (*createInstance)(REFCLSID classId, IUnknown* outer, DWORD context, REFIID interfaceId,
                              void** object);
    // RegisterClipboardFormatW: a test makes the registration of a clipboard format fail.
    UINT (*registerClipboardFormat)(const wchar_t* name);
    // CredUIPromptForWindowsCredentialsW and CredUnPackAuthenticationBufferW: the prompt hands
    // out a buffer from CoTaskMemAlloc that only the unpacking reads.
    DWORD (*promptForCredentials)(CREDUI_INFOW* info, DWORD authError, ULONG* authPackage,
                                  const void* inBuffer, ULONG inSize, void** outBuffer,
                                  ULONG* outSize, BOOL* save, DWORD flags);
    BOOL (*unpackCredentials)(DWORD flags, void* buffer, DWORD size, wchar_t* user,
                              DWORD* userSize, wchar_t* domain, DWORD* domainSize,
                              wchar_t* password, DWORD* passwordSize);
    // CredWriteW, CredReadW, CredDeleteW and CredFree of Credential Manager.
    BOOL (*credWrite)(CREDENTIALW* credential, DWORD flags);
    BOOL (*credRead)(const wchar_t* target, DWORD type, DWORD flags, CREDENTIALW** credential);
    BOOL (*credDelete)(const wchar_t* target, DWORD type, DWORD flags);
    void (*credFree)(void* buffer);
};

// The process's bindings; tests change members through this reference.
Platform& CurrentPlatform();

// The production bindings, for restoring after a test.
const Platform& SystemPlatform();
