#include "app/Application.h"

#include <limits>
#include <utility>

#include "app/FatalErrors.h"
#include "app/WorkFailureText.h"
#include "base/HostFolder.h"
#include "base/Platform.h"
#include "hosts/HostList.h"
#include "mgmt/ManagementSession.h"
#include "ui/MainDlg.h"

namespace {

void ShowFatal(const wchar_t* text, const wchar_t* caption, UINT style)
{
    CurrentPlatform().messageBox(nullptr, text, caption, style);
}

// Upper-cases a to z only: the program never changes the C runtime's locale.
void UpperCaseAscii(std::wstring& text)
{
    for (wchar_t& c : text) {
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
    }
}

}

Application::Application(HINSTANCE instance) : instance(instance)
{
    SetProcessModule(&module);
}

Application::~Application()
{
    SetProcessModule(nullptr);
}

bool Application::ReadComputerName()
{
    const Platform& platform = CurrentPlatform();
    DWORD needed = 0;
    platform.getComputerNameEx(ComputerNamePhysicalDnsHostname, nullptr, &needed);
    if (needed == 0 || needed >= std::numeric_limits<DWORD>::max() - 1)
        return false;
    std::wstring name(needed + 1, L'\0');
    DWORD length = needed + 1;
    if (!platform.getComputerNameEx(ComputerNamePhysicalDnsHostname, name.data(), &length) ||
        length == 0 || length > needed)
        return false;
    name.resize(length);
    UpperCaseAscii(name);
    computerName = std::move(name);
    return true;
}

int Application::Init()
{
    if (!ReadComputerName()) {
        ShowFatal(computerNameFailureText, computerNameFailureCaption, MB_OK);
        return -1;
    }
    hostList = std::make_unique<HostList>(HostListFolder());
    if (MI_Application_InitializeV1(0, nullptr, nullptr, &miApplication) != MI_RESULT_OK) {
        ShowFatal(managementFailureText, programCaption, MB_ICONERROR);
        return -1;
    }
    if (MI_Application_NewSerializer(&miApplication, 0, const_cast<MI_Char*>(L"MI_XML"),
                                     &serializer) != MI_RESULT_OK) {
        ShowFatal(serializerFailureText, programCaption, MB_ICONERROR);
        return -1;
    }
    serializerOpen = true;
    mainDialog = std::make_unique<CMainDlg>();
    return static_cast<int>(module.Init(instance));
}

bool Application::OpenMainWindow(int showCommand)
{
    module.AddMessageLoop(&messageLoop);
    hostWorker = std::make_unique<HostWorker>(messageLoop);
    mainDialog->app = this;
    const HWND window = mainDialog->Create(nullptr);
    if (!window) {
        module.RemoveMessageLoop();
        return false;
    }
    ShowWindow(window, showCommand);
    return true;
}

int Application::Run(const wchar_t*, int showCommand)
{
    if (!OpenMainWindow(showCommand))
        return 0;
    const int exitCode = messageLoop.Run();
    module.RemoveMessageLoop();
    return exitCode;
}

void Application::Shutdown()
{
    hostList.reset();
    mainDialog.reset();
    // The sessions were opened on the worker's apartment: they are closed there, and only
    // then does the worker end, before the client it called is closed.
    CloseSessions();
    hostWorker.reset();
    if (serializerOpen) {
        MI_Serializer_Close(&serializer);
        serializerOpen = false;
    }
    if (miApplication.ft) {
        MI_Application_Close(&miApplication);
        miApplication = {};
    }
    module.Term();
    computerName.clear();
}

void Application::CloseSessions()
{
    const auto close = [this] {
        // In list order: each session closes its own client session.
        for (auto& session : sessions)
            session.reset();
    };
    if (!hostWorker || hostWorker->Run(nullptr, {}, false, close) != WorkOutcome::Finished)
        close();
    sessions.clear();
}

void Application::ShowError(const wchar_t* text, const wchar_t* caption)
{
    if (hostWorker && hostWorker->OnWorker()) {
        hostWorker->OnWindowThread([&] { ShowError(text, caption); });
        return;
    }
    if (!mainDialog)
        return;
    // A box about the operation is not to stand in front of its progress window.
    if (hostWorker)
        hostWorker->HideProgress();
    mainDialog->ShowErrorBox(text, caption);
}

void Application::ShowNotice(const wchar_t* text, const wchar_t* caption)
{
    if (hostWorker && hostWorker->OnWorker()) {
        hostWorker->OnWindowThread([&] { ShowNotice(text, caption); });
        return;
    }
    if (!mainDialog)
        return;
    if (hostWorker)
        hostWorker->HideProgress();
    CurrentPlatform().messageBox(mainDialog->m_hWnd, text, caption, MB_ICONINFORMATION);
}

WorkOutcome Application::RunOnHost(std::wstring activity, bool stoppable,
                                   const std::function<void()>& work)
{
    const std::wstring told = activity;
    WorkOutcome outcome = WorkOutcome::Finished;
    if (hostWorker) {
        outcome = hostWorker->Run(mainDialog ? mainDialog->m_hWnd : nullptr, std::move(activity),
                                  stoppable, work);
    } else {
        try {
            work();
        } catch (...) {
            outcome = WorkOutcome::Failed;
        }
    }
    if (outcome == WorkOutcome::Failed)
        ShowError(WorkFailureText(told).c_str(), programCaption);
    return outcome;
}

bool Application::HostWorkRunning() const
{
    return hostWorker && hostWorker->Running();
}

VmEntry* Application::CurrentVm() const
{
    CheckWindowOwns("the current virtual machine");
    return currentVm;
}

void Application::SetCurrentVm(VmEntry* vm)
{
    CheckWindowOwns("the current virtual machine");
    currentVm = vm;
}

void Application::CheckWindowOwns(const char* what) const
{
    if (!windowThread.IsCurrent() || (HostWorkRunning() && !hostWorker->InWorkerCall()))
        ReportWrongThread(what);
}
