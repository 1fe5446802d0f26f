// The few platform calls that tests answer and observe: message boxes, time, elevation, the
// computer name, the application-data folder, the creation of COM objects and the
// registration of clipboard formats. Production binds each to the real call; a test replaces
// the members it needs and restores them afterwards.
// This header depends on nothing else of ours, so every layer may use it.
#pragma once

#include <windows.h>
#include <unknwn.h>

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
};

// The process's bindings; tests change members through this reference.
Platform& CurrentPlatform();

// The production bindings, for restoring after a test.
const Platform& SystemPlatform();
