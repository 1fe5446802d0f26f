#include "tests/e2e/DemoWindow.h"

#include "res/resource.h"

namespace {

// A window busy with a host's job answers only when the job is done.
constexpr UINT answerTimeout = 20000;

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, answerTimeout, &result))
        return -1;
    return static_cast<LRESULT>(result);
}

}

std::wstring DemoWindow::Text(int id) const
{
    return ProgramProcess::WindowText(Control(id));
}

void DemoWindow::Type(int id, const std::wstring& text) const
{
    Send(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void DemoWindow::Click(int id) const
{
    PostMessageW(Control(id), BM_CLICK, 0, 0);
}

HWND DemoWindow::HostEdit() const
{
    return FindWindowExW(Control(IDC_HOST_COMBO), nullptr, L"Edit", nullptr);
}

void DemoWindow::EnterHost(const wchar_t* name) const
{
    const HWND edit = HostEdit();
    Send(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name));
    // Enter is seen by the program's message loop, so it must arrive through the queue.
    PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
}

bool DemoWindow::ListsHost(const wchar_t* name) const
{
    return Send(Control(IDC_HOST_COMBO), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                reinterpret_cast<LPARAM>(name)) >= 0;
}

int DemoWindow::VmCount() const
{
    return static_cast<int>(Send(Control(IDC_VM_LIST), LB_GETCOUNT, 0, 0));
}

bool DemoWindow::SelectVm(const wchar_t* name) const
{
    const HWND list = Control(IDC_VM_LIST);
    const LRESULT index = Send(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                               reinterpret_cast<LPARAM>(name));
    if (index < 0)
        return false;
    Send(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    // LB_SETCURSEL does not notify; a click would.
    PostMessageW(window_, WM_COMMAND, MAKEWPARAM(IDC_VM_LIST, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    return true;
}

void DemoWindow::Answer(HWND box, int button)
{
    // The answer may start long work on the program's thread: post it.
    PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
}

bool DemoWindow::WaitForPowerState(const wchar_t* expected) const
{
    return ProgramProcess::WaitUntil([this, expected] {
        if (!IsIdle())
            return false;
        if (Text(IDC_POWER_STATE) == expected)
            return true;
        Click(IDC_REFRESH_STATE);
        return false;
    });
}
