// The Application's settings-form operations: loading a machine into the form, storing edits
// into its record, applying them, and making a new BIOS GUID.
#include "app/Application.h"

#include <rpc.h>

#include "mgmt/ManagementSession.h"
#include "res/resource.h"
#include "ui/MainDlg.h"
#include "vm/ApplySettings.h"
#include "vm/FailureWording.h"
#include "vm/VmEntry.h"

namespace {

constexpr wchar_t loadFailedText[] = L"<Error loading virtual machine>";

}

bool Application::LoadVmIntoForm(VmEntry* vm)
{
    return LoadIntoForm(vm, false);
}

bool Application::LoadIntoForm(VmEntry* vm, bool justSaved)
{
    CMainDlg& window = *mainDialog;
    const CMainDlg::BusyScope busy(window);
    if (!vm) {
        window.ClearForm();
        window.EnableSettingsControls(false);
        SetCurrentVm(nullptr);
        return true;
    }
    bool loaded = false;
    const WorkOutcome outcome = RunOnHost(L"Loading " + vm->ElementName, false, [&] {
        vm->session->failure = {};
        loaded = vm->LoadSettings();
    });
    if (outcome == WorkOutcome::Refused)
        return false;
    SetCurrentVm(vm);
    if (outcome == WorkOutcome::Finished && loaded) {
        window.ShowLoadedVm(*vm);
        return true;
    }
    // A record that was not read whole is never shown, so Apply cannot write it.
    window.ShowLoadFailure(loadFailedText);
    if (outcome == WorkOutcome::Finished)
        ShowError(LoadFailureText(*vm, justSaved).c_str(), loadSettingsCaption);
    return false;
}

void Application::ApplyChanges()
{
    VmEntry* const vm = CurrentVm();
    if (!vm)
        return;
    CMainDlg& window = *mainDialog;
    const CMainDlg::BusyScope busy(window);
    bool applied = false;
    const WorkOutcome outcome = RunOnHost(L"Applying settings to " + vm->ElementName, false,
                                          [&] { applied = ApplySettings(*vm->session, *vm); });
    if (outcome == WorkOutcome::Finished && applied) {
        LoadIntoForm(vm, true);
        window.SetDirty(false);
    }
}

void Application::StoreBiosNumLock()
{
    if (VmEntry* vm = CurrentVm())
        vm->settings.SetBiosNumLock(IsDlgButtonChecked(mainDialog->m_hWnd, IDC_NUMLOCK) == BST_CHECKED);
}

bool Application::StoreBaseBoardSerialNumber()
{
    VmEntry* const vm = CurrentVm();
    return vm && vm->settings.SetBaseBoardSerialNumber(mainDialog->ReadControlText(IDC_BASEBOARD_SERIAL));
}

bool Application::StoreBiosGuid()
{
    VmEntry* const vm = CurrentVm();
    return vm && vm->settings.SetBiosGuid(mainDialog->ReadControlText(IDC_BIOS_GUID));
}

bool Application::StoreBiosSerialNumber()
{
    VmEntry* const vm = CurrentVm();
    return vm && vm->settings.SetBiosSerialNumber(mainDialog->ReadControlText(IDC_BIOS_SERIAL));
}

bool Application::StoreChassisAssetTag()
{
    VmEntry* const vm = CurrentVm();
    return vm && vm->settings.SetChassisAssetTag(mainDialog->ReadControlText(IDC_ASSET_TAG));
}

bool Application::StoreChassisSerialNumber()
{
    VmEntry* const vm = CurrentVm();
    return vm && vm->settings.SetChassisSerialNumber(mainDialog->ReadControlText(IDC_CHASSIS_SERIAL));
}

std::wstring Application::NewGuidText()
{
    UUID uuid{};
    if (UuidCreate(&uuid) != RPC_S_OK)
        return {};
    RPC_WSTR text = nullptr;
    if (UuidToStringW(&uuid, &text) != RPC_S_OK || !text)
        return {};
    std::wstring result(reinterpret_cast<const wchar_t*>(text));
    RpcStringFreeW(&text);
    if (result.size() > 36)
        result.resize(36);
    return result;
}
