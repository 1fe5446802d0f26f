#include "tests/support/MainWindowFixture.h"

#include "res/resource.h"

void MainWindowFixture::SetUp()
{
    application = std::make_unique<Application>(GetModuleHandleW(nullptr));
    ASSERT_NE(application->Init(), -1);
    ASSERT_TRUE(application->OpenMainWindow(SW_SHOWNORMAL));
    dialog = application->MainDialog();
    Pump();
}

void MainWindowFixture::TearDown()
{
    if (dialog && dialog->m_hWnd)
        DestroyWindow(dialog->m_hWnd);
    Pump();
    if (application)
        application->Shutdown();
    application.reset();
    EXPECT_EQ(world.Live(), sim::LiveCounts{});
    for (const std::wstring& misuse : world.Misuses())
        ADD_FAILURE() << "client misuse: " << std::string(misuse.begin(), misuse.end());
}

HWND MainWindowFixture::Window() const
{
    return dialog->m_hWnd;
}

HWND MainWindowFixture::Control(int id) const
{
    return GetDlgItem(Window(), id);
}

bool MainWindowFixture::IsEnabled(int id) const
{
    return IsWindowEnabled(Control(id)) != FALSE;
}

std::wstring MainWindowFixture::Text(int id) const
{
    return dialog->ReadControlText(id);
}

std::optional<int> MainWindowFixture::Pump()
{
    std::optional<int> quitCode;
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quitCode = static_cast<int>(message.wParam);
            continue;
        }
        application->MessageLoop().ProcessMessage(message);
    }
    return quitCode;
}

void MainWindowFixture::Command(int id, int code)
{
    SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(Control(id)));
}

void MainWindowFixture::Type(int id, const wchar_t* text)
{
    SetDlgItemTextW(Window(), id, text);
    Pump();
}

void MainWindowFixture::EnterHost(const wchar_t* text)
{
    SetWindowTextW(dialog->hostEdit, text);
    PostMessageW(dialog->hostEdit, WM_KEYDOWN, VK_RETURN, 0);
    Pump();
}

void MainWindowFixture::SelectVm(const wchar_t* name)
{
    const HWND list = Control(IDC_VM_LIST);
    const LRESULT index = SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(name));
    ASSERT_GE(index, 0);
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    Command(IDC_VM_LIST, LBN_SELCHANGE);
    Pump();
}

namespace {

std::vector<std::wstring> Items(HWND control, UINT countMessage, UINT lengthMessage,
                                UINT textMessage)
{
    std::vector<std::wstring> items;
    const LRESULT count = SendMessageW(control, countMessage, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring text(static_cast<size_t>(SendMessageW(control, lengthMessage, i, 0)) + 1,
                          L'\0');
        const LRESULT length =
            SendMessageW(control, textMessage, i, reinterpret_cast<LPARAM>(text.data()));
        text.resize(length > 0 ? static_cast<size_t>(length) : 0);
        items.push_back(text);
    }
    return items;
}

}

std::vector<std::wstring> MainWindowFixture::ListedVms() const
{
    return Items(Control(IDC_VM_LIST), LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
}

std::vector<std::wstring> MainWindowFixture::ComboHosts() const
{
    return Items(Control(IDC_HOST_COMBO), CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

bool MainWindowFixture::ShowsValid(int id) const
{
    const HDC dc = GetDC(Window());
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(
        Window(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(Control(id))));
    ReleaseDC(Window(), dc);
    LOGBRUSH logBrush{};
    GetObjectW(brush, sizeof(logBrush), &logBrush);
    return logBrush.lbColor == CMainDlg::validColour;
}
