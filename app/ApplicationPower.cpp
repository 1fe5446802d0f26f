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
    VmEntry* const vm = CurrentVm();
    if (!vm)
        return;
    bool known = true;
    if (refresh) {
        const CMainDlg::BusyScope busy(*mainDialog);
        known = false;
        const WorkOutcome outcome = RunOnHost(L"Reading the state of " + vm->ElementName, false, [&] {
            vm->session->failure = {};
            known = vm->RefreshState();
        });
        if (outcome == WorkOutcome::Refused)
            return;
        if (!known && tellFailure && outcome == WorkOutcome::Finished)
            ShowError(StateReadFailureText(*vm).c_str(), readStateCaption);
    }
    const std::uint16_t state = known ? vm->EnabledState : static_cast<std::uint16_t>(stateUnknown);
    const wchar_t* name = StateName(state);
    mainDialog->ShowPowerButtons(name ? name : L"", state);
}

bool Application::ForcePowerChange(unsigned short intended)
{
    VmEntry* const vm = CurrentVm();
    if (!vm)
        return false;
    const CMainDlg::BusyScope busy(*mainDialog);
    bool changed = false;
    const std::wstring& name = vm->ElementName;
    const WorkOutcome outcome =
        RunOnHost(intended == stateRunning ? L"Starting " + name : L"Turning " + name + L" off",
                  false, [&] { changed = ChangePowerState(*vm, intended); });
    return outcome == WorkOutcome::Finished && changed;
}

bool Application::ShutDownVm(bool wait)
{
    VmEntry* const vm = CurrentVm();
    if (!vm)
        return false;
    const CMainDlg::BusyScope busy(*mainDialog);
    bool shutDown = false;
    const WorkOutcome outcome = RunOnHost(L"Asking " + vm->ElementName + L" to shut down", false,
                                          [&] { shutDown = GracefulShutdown(*vm, wait); });
    return outcome == WorkOutcome::Finished && shutDown;
}
