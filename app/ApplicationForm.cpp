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
    window.SetBusy(true);
    bool loaded = true;
    if (!vm) {
        window.ClearForm();
        window.EnableSettingsControls(false);
        currentVm = nullptr;
    } else {
        currentVm = vm;
        vm->session->failure = {};
        RunOnHost(L"Loading " + vm->ElementName, false, [&] { loaded = vm->LoadSettings(); });
        if (loaded) {
            window.ShowLoadedVm(*vm);
        } else {
            window.ShowLoadFailure(loadFailedText);
            ShowError(LoadFailureText(*vm, justSaved).c_str(), loadSettingsCaption);
        }
    }
    window.SetBusy(false);
    return loaded;
}

void Application::ApplyChanges()
{
    if (!currentVm)
        return;
    CMainDlg& window = *mainDialog;
    window.SetBusy(true);
    bool applied = false;
    RunOnHost(L"Applying settings to " + currentVm->ElementName, false,
              [&] { applied = ApplySettings(*currentVm->session, *currentVm); });
    if (applied) {
        LoadIntoForm(currentVm, true);
        window.SetDirty(false);
    }
    window.SetBusy(false);
}

void Application::StoreBiosNumLock()
{
    if (currentVm)
        currentVm->settings.SetBiosNumLock(IsDlgButtonChecked(mainDialog->m_hWnd, IDC_NUMLOCK) ==
                                           BST_CHECKED);
}

bool Application::StoreBaseBoardSerialNumber()
{
    return currentVm &&
           currentVm->settings.SetBaseBoardSerialNumber(mainDialog->ReadControlText(IDC_BASEBOARD_SERIAL));
}

bool Application::StoreBiosGuid()
{
    return currentVm && currentVm->settings.SetBiosGuid(mainDialog->ReadControlText(IDC_BIOS_GUID));
}

bool Application::StoreBiosSerialNumber()
{
    return currentVm &&
           currentVm->settings.SetBiosSerialNumber(mainDialog->ReadControlText(IDC_BIOS_SERIAL));
}

bool Application::StoreChassisAssetTag()
{
    return currentVm &&
           currentVm->settings.SetChassisAssetTag(mainDialog->ReadControlText(IDC_ASSET_TAG));
}

bool Application::StoreChassisSerialNumber()
{
    return currentVm &&
           currentVm->settings.SetChassisSerialNumber(mainDialog->ReadControlText(IDC_CHASSIS_SERIAL));
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
