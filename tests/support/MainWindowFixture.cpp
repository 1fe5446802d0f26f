#include "tests/support/MainWindowFixture.h"

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
