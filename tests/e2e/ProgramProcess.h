// One of the built programs, started from the test program's folder as its own process.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

class ProgramProcess {
public:
    // A program of the test program's folder, started there.
    explicit ProgramProcess(const wchar_t* fileName, const wchar_t* arguments = L"");
    // The program at path, started in currentDirectory.
    ProgramProcess(const std::wstring& path, const std::wstring& currentDirectory);
    ~ProgramProcess();
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    bool Started() const { return process_ != nullptr; }
    // The process's first visible top-level window with this caption, or null after 20 s.
    HWND WaitForWindow(const wchar_t* caption) const;
    // The process's visible dialog-class window (a message box) owned by owner, or null
    // after 20 s.
    HWND WaitForOwnedBox(HWND owner) const;
    // The exit code, or STILL_ACTIVE when it did not end within 20 s (it is then ended).
    DWORD WaitForExit();

    // The test program's folder, with a trailing backslash: the built programs are there.
    static std::wstring ProgramFolder();
    static std::wstring MessageBoxText(HWND box);
    // Any window's text, read across processes: WM_GETTEXT, since GetWindowText reads only
    // captions there.
    static std::wstring WindowText(HWND window);
    // Asks condition every 50 ms until it holds (true) or 20 s have passed (false).
    static bool WaitUntil(const std::function<bool()>& condition);

private:
    void Start(const std::wstring& path, std::wstring commandLine, const wchar_t* currentDirectory);

    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
};
