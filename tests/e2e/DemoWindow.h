// The demo program's main window, driven from another process as a person would: through its
// controls' messages only. Commands that start long work are posted; readings wait while the
// window's thread is busy.
#pragma once

#include <windows.h>

#include <string>

#include "tests/e2e/ProgramProcess.h"

class DemoWindow {
public:
    DemoWindow(const ProgramProcess& program, HWND window) : program_(program), window_(window) {}

    HWND Handle() const { return window_; }
    HWND Control(int id) const { return GetDlgItem(window_, id); }
    bool IsEnabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
    // Busy mode disables the whole window.
    bool IsIdle() const { return IsWindowEnabled(window_) != FALSE; }

    std::wstring Text(int id) const;
    // Types into a field: WM_SETTEXT raises the same change notification as typing.
    void Type(int id, const std::wstring& text) const;
    void Click(int id) const;

    // Types the host name into the host field and presses Enter.
    void EnterHost(const wchar_t* name) const;
    bool ListsHost(const wchar_t* name) const;
    int VmCount() const;
    // Selects the machine's list entry and notifies the window as a click would; false when
    // the list does not hold it.
    bool SelectVm(const wchar_t* name) const;

    // The message box the window shows next, or null when none appears within 20 s.
    HWND WaitForBox() const { return program_.WaitForOwnedBox(window_); }
    static void Answer(HWND box, int button);

    // Presses Refresh State until the state shown is the one expected; false after 20 s.
    bool WaitForPowerState(const wchar_t* expected) const;

private:
    HWND HostEdit() const;

    const ProgramProcess& program_;
    HWND window_;
};
