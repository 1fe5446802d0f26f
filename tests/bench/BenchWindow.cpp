#include "tests/bench/BenchWindow.h"

#include "ui/MainDlg.h"

BenchWindow::BenchWindow()
    : application_(std::make_unique<Application>(GetModuleHandleW(nullptr)))
{
}

BenchWindow::~BenchWindow()
{
    if (CMainDlg* dialog = application_->MainDialog(); dialog && dialog->m_hWnd)
        DestroyWindow(dialog->m_hWnd);
    Pump();
    application_->Shutdown();
}

bool BenchWindow::Open()
{
    if (application_->Init() == -1 || !application_->OpenMainWindow(SW_SHOWNORMAL))
        return false;
    initialised_ = true;
    Pump();
    return true;
}

void BenchWindow::Pump()
{
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message != WM_QUIT && initialised_)
            application_->MessageLoop().ProcessMessage(message);
    }
}

void BenchWindow::EnterHost(const wchar_t* name)
{
    const HWND field = application_->MainDialog()->hostEdit;
    SetWindowTextW(field, name);
    PostMessageW(field, WM_KEYDOWN, VK_RETURN, 0);
    Pump();
}

LRESULT BenchWindow::ItemCount(int id, UINT countMessage) const
{
    return SendDlgItemMessageW(application_->MainDialog()->m_hWnd, id, countMessage, 0, 0);
}

void AddMachines(sim::Host& host, int count)
{
    for (int index = 0; index < count; ++index) {
        sim::VmConfig vm;
        vm.name = L"VM " + std::to_wstring(index);
        host.AddVm(std::move(vm));
    }
}
