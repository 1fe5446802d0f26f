#include "tests/e2e/ProgramProcess.h"

#include <vector>

namespace {

constexpr DWORD patience = 20000;

struct WindowSearch {
    DWORD processId;
    std::function<bool(HWND)> matches;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter)
{
    auto& search = *reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search.processId && IsWindowVisible(window) && search.matches(window)) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

// The process's first visible top-level window that matches, or null once the process ended
// or 20 s have passed.
HWND WaitForTopLevel(HANDLE process, DWORD processId, std::function<bool(HWND)> matches)
{
    const ULONGLONG start = GetTickCount64();
    while (GetTickCount64() - start < patience) {
        WindowSearch search{processId, matches, nullptr};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        if (WaitForSingleObject(process, 50) == WAIT_OBJECT_0)
            return nullptr;
    }
    return nullptr;
}

}

ProgramProcess::ProgramProcess(const wchar_t* fileName, const wchar_t* arguments)
{
    const std::wstring path = ProgramFolder() + fileName;
    Start(path, L"\"" + path + L"\" " + arguments, nullptr);
}

ProgramProcess::ProgramProcess(const std::wstring& path, const std::wstring& currentDirectory)
{
    Start(path, L"\"" + path + L"\"", currentDirectory.c_str());
}

void ProgramProcess::Start(const std::wstring& path, std::wstring commandLine,
                           const wchar_t* currentDirectory)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        currentDirectory, &startup, &info))
        return;
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    processId_ = info.dwProcessId;
}

ProgramProcess::~ProgramProcess()
{
    if (!process_)
        return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT)
        TerminateProcess(process_, 99);
    CloseHandle(process_);
}

HWND ProgramProcess::WaitForWindow(const wchar_t* caption) const
{
    return WaitForTopLevel(process_, processId_, [caption](HWND window) {
        wchar_t text[128]{};
        GetWindowTextW(window, text, 128);
        return lstrcmpW(text, caption) == 0;
    });
}

HWND ProgramProcess::WaitForOwnedBox(HWND owner) const
{
    return WaitForTopLevel(process_, processId_, [owner](HWND window) {
        wchar_t className[16]{};
        GetClassNameW(window, className, 16);
        return GetWindow(window, GW_OWNER) == owner && lstrcmpW(className, L"#32770") == 0;
    });
}

DWORD ProgramProcess::WaitForExit()
{
    if (WaitForSingleObject(process_, patience) != WAIT_OBJECT_0) {
        TerminateProcess(process_, 99);
        return STILL_ACTIVE;
    }
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_, &code);
    return code;
}

std::wstring ProgramProcess::ProgramFolder()
{
    std::vector<wchar_t> path(MAX_PATH * 4);
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    std::wstring folder(path.data(), length);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

std::wstring ProgramProcess::MessageBoxText(HWND box)
{
    wchar_t text[1024]{};
    GetDlgItemTextW(box, 0xFFFF, text, 1024);
    return text;
}

std::wstring ProgramProcess::WindowText(HWND window)
{
    wchar_t text[1024]{};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_NORMAL,
                        20000, &copied);
    return text;
}

bool ProgramProcess::WaitUntil(const std::function<bool()>& condition)
{
    const ULONGLONG start = GetTickCount64();
    while (GetTickCount64() - start < patience) {
        if (condition())
            return true;
        Sleep(50);
    }
    return condition();
}
