// The Application's power operations on the machine loaded into the form.
#include "app/Application.h"

#include "res/resource.h"
#include "ui/MainDlg.h"
#include "vm/FailureWording.h"
#include "vm/PowerControl.h"
#include "vm/PowerState.h"
#include "vm/VmEntry.h"

void Application::ShowPowerState(bool refresh, bool tellFailure)
{
    if (!currentVm)
        return;
    currentVm->session->failure = {};
    bool known = true;
    if (refresh)
        RunOnHost(L"Reading the state of " + currentVm->ElementName, false,
                  [&] { known = currentVm->RefreshState(); });
    if (!known && tellFailure)
        ShowError(StateReadFailureText(*currentVm).c_str(), readStateCaption);
    const std::uint16_t state =
        known ? currentVm->EnabledState : static_cast<std::uint16_t>(stateUnknown);
    const wchar_t* name = known ? StateName(state) : StateName(stateUnknown);
    mainDialog->ShowPowerButtons(name ? name : L"", state);
}

bool Application::ForcePowerChange(unsigned short intended)
{
    if (!currentVm)
        return false;
    mainDialog->SetBusy(true);
    bool changed = false;
    const std::wstring& name = currentVm->ElementName;
    RunOnHost(intended == stateRunning ? L"Starting " + name : L"Turning " + name + L" off", false,
              [&] { changed = ChangePowerState(*currentVm, intended); });
    mainDialog->SetBusy(false);
    return changed;
}

bool Application::ShutDownVm(bool wait)
{
    if (!currentVm)
        return false;
    mainDialog->SetBusy(true);
    bool shutDown = false;
    RunOnHost(L"Asking " + currentVm->ElementName + L" to shut down", false,
              [&] { shutDown = GracefulShutdown(*currentVm, wait); });
    mainDialog->SetBusy(false);
    return shutDown;
}
