// The main window's settings form: showing a loaded machine, selecting another one, the
// field colours as edits are stored, validating before Apply, and the new-GUID button.
#include "ui/MainDlg.h"

#include "app/Application.h"
#include "vm/PowerState.h"
#include "vm/VmEntry.h"

namespace {

constexpr wchar_t invalidInputCaption[] = L"Invalid Input";

}

void CMainDlg::ShowLoadedVm(const VmEntry& vm)
{
    const VmSettings& settings = vm.settings;
    SetDlgItemTextW(m_hWnd, IDC_VM_NAME, vm.ElementName.c_str());
    SetDlgItemTextW(m_hWnd, IDC_VM_ID, vm.Name.c_str());
    const bool numLock = settings.BiosNumLock();
    // Copies: while the fields are enabled each text set is stored back into the record.
    const std::wstring guid = settings.BiosGuid();
    const std::wstring baseBoard = settings.BaseBoardSerialNumber();
    const std::wstring biosSerial = settings.BiosSerialNumber();
    const std::wstring assetTag = settings.ChassisAssetTag();
    const std::wstring chassisSerial = settings.ChassisSerialNumber();
    SetDlgItemTextW(m_hWnd, IDC_BIOS_GUID, guid.c_str());
    SetDlgItemTextW(m_hWnd, IDC_BASEBOARD_SERIAL, baseBoard.c_str());
    SetDlgItemTextW(m_hWnd, IDC_BIOS_SERIAL, biosSerial.c_str());
    SetDlgItemTextW(m_hWnd, IDC_ASSET_TAG, assetTag.c_str());
    SetDlgItemTextW(m_hWnd, IDC_CHASSIS_SERIAL, chassisSerial.c_str());
    CheckDlgButton(m_hWnd, IDC_NUMLOCK, numLock ? BST_CHECKED : BST_UNCHECKED);
    // The colours follow the values shown: a field still red from an earlier edit must not
    // stay red for a valid value, and a value beyond its limit (set by another tool) is red.
    const auto fits = [](const std::wstring& text) {
        return text.size() <= VmSettings::textLimit ? 1 : 0;
    };
    valid = {fits(baseBoard), NormalizeGuid(guid) ? 1 : 0, fits(biosSerial), fits(assetTag),
             fits(chassisSerial)};
    app->ShowPowerState(false);
    EnableSettingsControls(true);
    // A generation 2 machine's box shows its value as read but cannot change it.
    EnableControl(IDC_NUMLOCK, settings.HasNumLockSetting());
}

void CMainDlg::ShowLoadFailure(const wchar_t* text)
{
    SetDlgItemTextW(m_hWnd, IDC_VM_NAME, text);
    EnableSettingsControls(false);
    // The power buttons still describe the machine shown before; pressing one would act on a
    // machine the user cannot see.
    ShowPowerButtons(L"", stateUnknown);
}

void CMainDlg::OnResetOrSelect(WORD)
{
    SelectVmFromList();
}

void CMainDlg::SelectVmFromList()
{
    const HWND list = GetDlgItem(IDC_VM_LIST);
    const LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    if (selectedVm && count > 0 && dirty && !ConfirmDiscard() && ShowSelectedVmInList())
        return;
    if (selected < 0)
        return;
    auto* vm = reinterpret_cast<VmEntry*>(
        SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(selected), 0));
    if (app->LoadVmIntoForm(vm))
        selectedVm = vm;
    SetDirty(false);
}

bool CMainDlg::ShowSelectedVmInList()
{
    const HWND list = GetDlgItem(IDC_VM_LIST);
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT index = 0; selectedVm && index < count; ++index) {
        if (SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(index), 0) ==
            reinterpret_cast<LRESULT>(selectedVm)) {
            SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
            return true;
        }
    }
    return false;
}

void CMainDlg::OnFieldChange(WORD id)
{
    const HWND control = GetDlgItem(id);
    if (!IsWindowEnabled(control) || suppressChange)
        return;
    // The record is the worker's while host work runs: the change is not stored, and the form
    // shows the record again when the work is over.
    if (app->HostWorkRunning()) {
        formChangedWhileBusy = true;
        return;
    }
    switch (id) {
    case IDC_NUMLOCK:
        app->StoreBiosNumLock();
        break;
    case IDC_BASEBOARD_SERIAL:
        valid[0] = app->StoreBaseBoardSerialNumber();
        break;
    case IDC_BIOS_GUID:
        valid[1] = app->StoreBiosGuid();
        break;
    case IDC_BIOS_SERIAL:
        valid[2] = app->StoreBiosSerialNumber();
        break;
    case IDC_ASSET_TAG:
        valid[3] = app->StoreChassisAssetTag();
        break;
    case IDC_CHASSIS_SERIAL:
        valid[4] = app->StoreChassisSerialNumber();
        break;
    default:
        return;
    }
    InvalidateRect(control, nullptr, TRUE);
    SetDirty(true);
}

void CMainDlg::RestoreFormFromRecord()
{
    VmEntry* const vm = app->CurrentVm();
    if (!vm || !IsWindowEnabled(GetDlgItem(IDC_BIOS_GUID)))
        return;
    const bool wasDirty = dirty != 0;
    ShowLoadedVm(*vm);
    SetDirty(wasDirty);
}

void CMainDlg::OnApply(WORD)
{
    const struct {
        bool (Application::*store)();
        const wchar_t* message;
        int field;
    } checks[] = {
        {&Application::StoreBaseBoardSerialNumber,
         L"Baseboard serial number has too many characters", IDC_BASEBOARD_SERIAL},
        {&Application::StoreBiosGuid, L"BIOS GUID does not contain 32 hexadecimal characters",
         IDC_BIOS_GUID},
        {&Application::StoreBiosSerialNumber, L"BIOS serial number has too many characters",
         IDC_BIOS_SERIAL},
        {&Application::StoreChassisAssetTag, L"Chassis asset number has too many characters",
         IDC_ASSET_TAG},
        {&Application::StoreChassisSerialNumber, L"Chassis serial number has too many characters",
         IDC_CHASSIS_SERIAL},
    };
    for (const auto& check : checks) {
        if (!(app->*check.store)()) {
            ShowErrorBox(check.message, invalidInputCaption);
            SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(check.field)),
                         TRUE);
            return;
        }
    }
    app->ApplyChanges();
}

void CMainDlg::OnNewGuid(WORD)
{
    SetDlgItemTextW(m_hWnd, IDC_BIOS_GUID, Application::NewGuidText().c_str());
}
