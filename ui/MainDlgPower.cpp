// The main window's power group: the state shown, and the confirmations before a power
// command is sent.
#include "ui/MainDlg.h"

#include "app/Application.h"
#include "base/Platform.h"
#include "vm/PowerState.h"

namespace {

constexpr wchar_t forceQuestion[] = L"Are you certain that you wish to force a power state change?";
constexpr wchar_t forceCaption[] = L"Change VM Power State";
constexpr wchar_t shutdownQuestion[] =
    L"Do you wish to wait for shutdown completion?\r\n\r\n"
    L"Select \"Yes\" to wait. Brackwin shows its progress, and you can stop waiting at any "
    L"time. It will give up after 5 minutes.\r\n\r\n"
    L"Select \"No\" to initiate shut down and immediately return. Use \"Refresh State\" to check "
    L"the VM's power state.\r\n\r\n"
    L"Select \"Cancel\" to leave the virtual machine running.";
constexpr wchar_t shutdownCaption[] = L"Initiate graceful shutdown";

}

void CMainDlg::ShowPowerButtons(const wchar_t* text, unsigned short state)
{
    SetDlgItemTextW(m_hWnd, IDC_POWER_STATE, text);
    const bool startable = state == stateOff || state == stateSaved || state == statePaused;
    const bool running = state == stateRunning;
    EnableControl(IDC_POWER_ON, startable);
    EnableControl(IDC_FORCE_OFF, running);
    EnableControl(IDC_SHUTDOWN, running);
}

void CMainDlg::OnRefreshState(WORD)
{
    app->ShowPowerState(true, true);
}

void CMainDlg::OnPowerChange(WORD id)
{
    if (CurrentPlatform().messageBox(m_hWnd, forceQuestion, forceCaption,
                                     MB_ICONWARNING | MB_YESNO) != IDYES)
        return;
    // The button pressed says which way the user meant; the state read decides whether that
    // request still makes sense.
    // A command that failed has told the user why; the state read after it is told of only
    // when the command itself went through, so that one failure makes one box.
    const bool changed = app->ForcePowerChange(id == IDC_POWER_ON ? stateRunning : stateOff);
    app->ShowPowerState(true, changed);
}

void CMainDlg::OnGracefulShutdown(WORD)
{
    const int answer = CurrentPlatform().messageBox(m_hWnd, shutdownQuestion, shutdownCaption,
                                                    MB_ICONQUESTION | MB_YESNOCANCEL);
    if (answer != IDYES && answer != IDNO)
        return;
    const bool shutDown = app->ShutDownVm(answer == IDYES);
    app->ShowPowerState(true, shutDown);
}
