#include "ui/MainDlg.h"

#include <utility>

#include "app/Application.h"
#include "base/Platform.h"
#include "mgmt/HostWait.h"
#include "ui/AboutDlg.h"
#include "ui/CloseQuestion.h"
#include "ui/FlagScope.h"
#include "ui/IdentitiesDlg.h"
#include "ui/WindowCentring.h"

namespace {

constexpr wchar_t unsavedChangesText[] =
    L"The current virtual machine has unsaved changes. Do you wish to discard them?\r\n"
    L"Press Yes to discard changes.\r\n"
    L"Press No to keep changes and continue working with this VM.";
constexpr wchar_t unsavedChangesCaption[] = L"Unsaved changes";

// The settings fields in the order of the valid flags.
constexpr int validatedFields[] = {IDC_BASEBOARD_SERIAL, IDC_BIOS_GUID, IDC_BIOS_SERIAL,
                                   IDC_ASSET_TAG, IDC_CHASSIS_SERIAL};

constexpr int settingsControls[] = {IDC_NUMLOCK,   IDC_BASEBOARD_SERIAL, IDC_BIOS_GUID,
                                    IDC_NEW_GUID,  IDC_BIOS_SERIAL,      IDC_ASSET_TAG,
                                    IDC_CHASSIS_SERIAL, IDC_REFRESH_STATE};

constexpr int formTexts[] = {IDC_VM_NAME,   IDC_VM_ID,     IDC_BASEBOARD_SERIAL, IDC_BIOS_GUID,
                             IDC_BIOS_SERIAL, IDC_ASSET_TAG, IDC_CHASSIS_SERIAL};

// The DPI the window is drawn at: its monitor's where the system tells it (Windows 10 version
// 1607 and later, looked up at run time), otherwise the system's.
UINT WindowDpi(HWND window)
{
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow)
        return getDpiForWindow(window);
    struct WindowDc {
        HWND window;
        HDC dc;
        ~WindowDc() { ReleaseDC(window, dc); }
    } screen{window, GetDC(window)};
    return static_cast<UINT>(GetDeviceCaps(screen.dc, LOGPIXELSY));
}

HICON LoadIconSized(int id, int width, int height)
{
    return static_cast<HICON>(LoadImageW(ProcessModule() ? ProcessModule()->GetResourceInstance()
                                                         : GetModuleHandleW(nullptr),
                                         MAKEINTRESOURCEW(id), IMAGE_ICON, width, height, 0));
}

}

const CMainDlg::CommandRoute CMainDlg::commandMap[] = {
    {IDC_ABOUT, anyCode, RouteKind::Command, &CMainDlg::OnAbout},
    {IDOK, anyCode, RouteKind::Command, &CMainDlg::OnCloseCommand},
    {IDCANCEL, anyCode, RouteKind::Command, &CMainDlg::OnCloseCommand},
    {IDC_BROWSE, anyCode, RouteKind::Command, &CMainDlg::OnBrowse},
    {IDC_REFRESH_LIST, anyCode, RouteKind::Command, &CMainDlg::OnRefreshList},
    {IDC_IDENTITIES, anyCode, RouteKind::Command, &CMainDlg::OnIdentities},
    {IDC_CONNECT_AS, anyCode, RouteKind::Command, &CMainDlg::OnConnectAs},
    {IDC_NEW_GUID, anyCode, RouteKind::Command, &CMainDlg::OnNewGuid},
    {IDC_REFRESH_STATE, anyCode, RouteKind::Command, &CMainDlg::OnRefreshState},
    {IDC_SHUTDOWN, anyCode, RouteKind::Command, &CMainDlg::OnGracefulShutdown},
    {IDC_FORCE_OFF, anyCode, RouteKind::Command, &CMainDlg::OnPowerChange},
    {IDC_POWER_ON, anyCode, RouteKind::Command, &CMainDlg::OnPowerChange},
    {IDC_NUMLOCK, anyCode, RouteKind::Notification, &CMainDlg::OnFieldChange},
    {IDC_APPLY, anyCode, RouteKind::Command, &CMainDlg::OnApply},
    {IDC_RESET, anyCode, RouteKind::Command, &CMainDlg::OnResetOrSelect},
    {IDC_HOST_COMBO, CBN_SELENDOK, RouteKind::Notification, &CMainDlg::OnHostSelEndOk},
    {IDC_HOST_COMBO, CBN_EDITCHANGE, RouteKind::Notification, &CMainDlg::OnHostEditChange},
    {IDC_VM_LIST, LBN_SELCHANGE, RouteKind::Command, &CMainDlg::OnResetOrSelect},
    {IDC_BASEBOARD_SERIAL, EN_CHANGE, RouteKind::Notification, &CMainDlg::OnFieldChange},
    {IDC_BIOS_GUID, EN_CHANGE, RouteKind::Notification, &CMainDlg::OnFieldChange},
    {IDC_BIOS_SERIAL, EN_CHANGE, RouteKind::Notification, &CMainDlg::OnFieldChange},
    {IDC_ASSET_TAG, EN_CHANGE, RouteKind::Notification, &CMainDlg::OnFieldChange},
    {IDC_CHASSIS_SERIAL, EN_CHANGE, RouteKind::Notification, &CMainDlg::OnFieldChange},
};

CMainDlg::LoopRegistration::LoopRegistration(CMessageLoop& loop, CMessageFilter* filter,
                                             CIdleHandler* idle)
    : loop_(loop), filter_(filter), idle_(idle)
{
    loop_.AddMessageFilter(filter_);
    loop_.AddIdleHandler(idle_);
}

CMainDlg::LoopRegistration::~LoopRegistration()
{
    loop_.RemoveMessageFilter(filter_);
    loop_.RemoveIdleHandler(idle_);
}

CMainDlg::CommandClaim::CommandClaim(CMainDlg& dialog)
    : dialog_(dialog), claimed_(!dialog.commandRunning)
{
    dialog_.commandRunning = true;
}

CMainDlg::CommandClaim::~CommandClaim()
{
    if (!claimed_)
        return;
    dialog_.commandRunning = false;
    // The close comes as the command it was, now that nothing runs.
    if (const WORD id = std::exchange(dialog_.pendingClose, 0); id && dialog_.m_hWnd)
        PostMessageW(dialog_.m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

CMainDlg::BusyScope::BusyScope(CMainDlg& dialog) : dialog_(dialog)
{
    if (dialog_.busyDepth++ == 0)
        dialog_.SetBusy(true);
}

CMainDlg::BusyScope::~BusyScope()
{
    if (--dialog_.busyDepth != 0)
        return;
    dialog_.SetBusy(false);
    if (std::exchange(dialog_.formChangedWhileBusy, false))
        dialog_.RestoreFormFromRecord();
}

CMainDlg::HandlerScope::HandlerScope(CMainDlg& dialog) : dialog_(dialog)
{
    ++dialog_.handlersRunning;
}

CMainDlg::HandlerScope::~HandlerScope()
{
    if (--dialog_.handlersRunning != 0)
        return;
    dialog_.UpdateIdentitiesButton();
    dialog_.RepairFocus();
}

CMainDlg::CMainDlg()
{
    waitCursor.cursor = LoadCursorW(nullptr, IDC_WAIT);
}

CMainDlg::~CMainDlg()
{
    if (waitCursor.inUse)
        SetCursor(waitCursor.previous);
}

bool CMainDlg::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam,
                                    LRESULT& result)
{
    switch (message) {
    case WM_INITDIALOG:
        result = OnInitDialog();
        return true;
    case WM_DESTROY:
        OnDestroy();
        result = 0;
        return true;
    case WM_CTLCOLOREDIT:
        result = OnCtlColorEdit(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        return true;
    case WM_COMMAND: {
        const HandlerScope handler(*this);
        result = 0;
        return RouteCommand(LOWORD(wParam), HIWORD(wParam));
    }
    // WM_QUERYENDSESSION gets the default answer, yes: nothing here refuses a logoff.
    case WM_ENDSESSION:
        OnEndSession(wParam != FALSE);
        result = 0;
        return true;
    case hostChosenMessage: {
        const HandlerScope handler(*this);
        if (const CommandClaim command{*this})
            OnHostChosen();
        result = 0;
        return true;
    }
    default:
        return false;
    }
}

bool CMainDlg::RouteCommand(WORD id, WORD code)
{
    for (const CommandRoute& route : commandMap) {
        if (route.id != id || (route.code != anyCode && route.code != code))
            continue;
        if (route.kind == RouteKind::Notification) {
            (this->*route.handler)(id);
            return true;
        }
        // A command that comes while another runs (a click sent by another program, a choice
        // dispatched while the first one waits) is refused, but for a close, which is kept.
        const CommandClaim command(*this);
        if (command)
            (this->*route.handler)(id);
        else if (id == IDOK || id == IDCANCEL)
            OnCloseDuringCommand(id);
        else if (id == IDC_VM_LIST)
            static_cast<void>(ShowSelectedVmInList());
        return true;
    }
    return false;
}

bool CMainDlg::IsInputWhileBusy(const MSG& message) const
{
    const bool input = (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST) ||
                       (message.message >= WM_MOUSEFIRST && message.message <= WM_MOUSELAST);
    // Windows keeps keys from the children of a disabled window; Wine lets the focused field
    // take them still, which would edit a record while the worker sends it.
    return input && !IsWindowEnabled(m_hWnd) &&
           (message.hwnd == m_hWnd || IsChild(m_hWnd, message.hwnd));
}

BOOL CMainDlg::PreTranslateMessage(MSG* message)
{
    if (IsInputWhileBusy(*message))
        return TRUE;
    const HandlerScope handler(*this);
    if (HandleHostFieldKey(*message))
        return TRUE;
    return IsDialogMessageW(m_hWnd, message);
}

BOOL CMainDlg::OnIdle()
{
    return FALSE;
}

LRESULT CMainDlg::OnInitDialog()
{
    CenterWindow(m_hWnd, nullptr);
    SetIcons();
    validBrush.Reset(CreateSolidBrush(validColour));
    invalidBrush.Reset(CreateSolidBrush(invalidColour));
    if (CAppModule* module = ProcessModule()) {
        if (CMessageLoop* loop = module->GetMessageLoop())
            loopRegistration.emplace(*loop, this, this);
    }
    const HWND combo = GetDlgItem(IDC_HOST_COMBO);
    for (HWND child = GetWindow(combo, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[16]{};
        if (GetClassNameW(child, className, 16) && lstrcmpiW(className, L"Edit") == 0) {
            hostEdit = child;
            break;
        }
    }
    if (app)
        app->FillHostCombo();
    PostMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(combo), TRUE);
    return TRUE;
}

void CMainDlg::SetIcons()
{
    bigIcon.Reset(LoadIconSized(IDI_BRACKWIN, GetSystemMetrics(SM_CXICON),
                                GetSystemMetrics(SM_CYICON)));
    SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon.Get()));
    smallIcon.Reset(LoadIconSized(IDI_BRACKWIN, GetSystemMetrics(SM_CXSMICON),
                                  GetSystemMetrics(SM_CYSMICON)));
    SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.Get()));
    // 24 by 24 pixels at 96 DPI, and as many more as the window's DPI asks.
    const int guidIconSize = MulDiv(24, static_cast<int>(WindowDpi(m_hWnd)), USER_DEFAULT_SCREEN_DPI);
    guidIcon.Reset(LoadIconSized(IDI_NEWGUID, guidIconSize, guidIconSize));
    SendDlgItemMessageW(m_hWnd, IDC_NEW_GUID, BM_SETIMAGE, IMAGE_ICON,
                        reinterpret_cast<LPARAM>(guidIcon.Get()));
}

void CMainDlg::OnDestroy()
{
    loopRegistration.reset();
}

const int* CMainDlg::ValidFlagFor(int controlId) const
{
    for (size_t i = 0; i < valid.size(); ++i) {
        if (validatedFields[i] == controlId)
            return &valid[i];
    }
    return nullptr;
}

LRESULT CMainDlg::OnCtlColorEdit(HDC deviceContext, HWND control)
{
    const int* flag = ValidFlagFor(GetDlgCtrlID(control));
    if (!flag)
        return 0;
    SetBkMode(deviceContext, TRANSPARENT);
    SetBkColor(deviceContext, *flag ? validColour : invalidColour);
    return reinterpret_cast<LRESULT>(*flag ? validBrush.Get() : invalidBrush.Get());
}

void CMainDlg::OnAbout(WORD)
{
    CAboutDlg about;
    about.DoModal(GetActiveWindow());
}

void CMainDlg::OnCloseCommand(WORD id)
{
    if (!ConfirmDiscard())
        return;
    if (app)
        app->SaveHosts();
    DestroyWindow();
    PostQuitMessage(id);
}

void CMainDlg::OnIdentities(WORD)
{
    if (!app)
        return;
    CIdentitiesDlg identities(*app, currentHost);
    identities.DoModal(m_hWnd);
    // The form's machine was given new values: the form shows what it holds now, unless the
    // user keeps edits made before.
    if (identities.WroteCurrentVm() && app->CurrentVm() && ConfirmDiscard()) {
        app->LoadVmIntoForm(app->CurrentVm());
        SetDirty(false);
    }
}

void CMainDlg::UpdateIdentitiesButton()
{
    const bool connected = app && !currentHost.empty() && app->FindSession(currentHost.c_str());
    const HWND button = GetDlgItem(IDC_IDENTITIES);
    if ((IsWindowEnabled(button) != FALSE) != connected)
        EnableControl(IDC_IDENTITIES, connected);
}

void CMainDlg::OnEndSession(bool ending)
{
    // The process may end at any moment once this returns: the host list is saved as at close.
    // It can come while host work runs; the list is the window thread's, so it is whole.
    if (ending && app)
        app->SaveHosts();
}

void CMainDlg::OnCloseDuringCommand(WORD id)
{
    if (pendingClose)
        return;
    // Where the operation can be stopped, the user chooses between waiting and closing now;
    // otherwise the program closes as soon as the operation is over.
    const HostWaitState state = hostwait::Current();
    if (app && app->HostWorkRunning() && state.stoppable) {
        if (CurrentPlatform().messageBox(m_hWnd, StopAndCloseQuestion(state.activity).c_str(),
                                         L"Brackwin", MB_ICONWARNING | MB_YESNO) != IDYES)
            return;
        hostwait::RequestStop();
    }
    pendingClose = id;
}

void CMainDlg::SetBusy(bool busy)
{
    if (busy && IsWindowEnabled(m_hWnd)) {
        // Disabling the window takes the focus from its control; it is given back afterwards.
        const HWND focus = GetFocus();
        if (focus && IsChild(m_hWnd, focus))
            focusLostFrom = focus;
    }
    EnableWindow(m_hWnd, busy ? FALSE : TRUE);
    if (busy && !waitCursor.inUse) {
        waitCursor.previous = SetCursor(waitCursor.cursor);
        waitCursor.inUse = true;
    } else if (!busy && waitCursor.inUse) {
        SetCursor(waitCursor.previous);
        waitCursor.inUse = false;
    }
}

void CMainDlg::EnableControl(int id, bool enable)
{
    const HWND control = GetDlgItem(id);
    // The system takes the focus from a control it disables and gives it to no other. The
    // focus moves on once the handler is done, so that it can land on a control the handler
    // enables after this one.
    if (!enable && GetFocus() == control)
        focusLostFrom = control;
    EnableWindow(control, enable ? TRUE : FALSE);
}

void CMainDlg::RepairFocus()
{
    const HWND last = std::exchange(focusLostFrom, nullptr);
    // An inactive window's focus is kept by the dialog manager until it is activated.
    if (!last || !IsWindow(last) || !IsWindowEnabled(m_hWnd) || GetActiveWindow() != m_hWnd)
        return;
    // The host field is the combo box's child; tab order is among the dialog's own children.
    HWND control = last;
    while (GetParent(control) && GetParent(control) != m_hWnd)
        control = GetParent(control);
    // The dialog itself holds the focus when it was activated while busy: no control has it.
    const HWND focus = GetFocus();
    if (focus && focus != m_hWnd && (focus != last || IsWindowEnabled(last)))
        return;
    const bool canTakeIt = IsWindowEnabled(control) && IsWindowVisible(control);
    const HWND target = canTakeIt ? control : GetNextDlgTabItem(m_hWnd, control, FALSE);
    if (target)
        SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
}

void CMainDlg::SetDirty(bool isDirty)
{
    dirty = isDirty ? 1 : 0;
    EnableControl(IDC_APPLY, isDirty);
    EnableControl(IDC_RESET, isDirty);
}

void CMainDlg::EnableSettingsControls(bool enable)
{
    FlagScope suppress(suppressChange);
    for (int id : settingsControls)
        EnableControl(id, enable);
}

void CMainDlg::ClearForm()
{
    FlagScope suppress(suppressChange);
    for (int id : formTexts)
        SetDlgItemTextW(m_hWnd, id, L"");
    CheckDlgButton(m_hWnd, IDC_NUMLOCK, BST_UNCHECKED);
    EnableSettingsControls(false);
    SetDirty(false);
    selectedVm = nullptr;
    SetDlgItemTextW(m_hWnd, IDC_POWER_STATE, L"");
    for (int id : {IDC_POWER_ON, IDC_SHUTDOWN, IDC_FORCE_OFF})
        EnableControl(id, false);
    if (app)
        app->SetCurrentVm(nullptr);
}

void CMainDlg::ClearVmList()
{
    SendDlgItemMessageW(m_hWnd, IDC_VM_LIST, LB_RESETCONTENT, 0, 0);
    ClearForm();
}

std::wstring CMainDlg::ReadControlText(int id) const
{
    const HWND control = GetDlgItem(id);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    const int copied = GetWindowTextW(control, text.data(), static_cast<int>(text.size()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

bool CMainDlg::ConfirmDiscard()
{
    if (!dirty)
        return true;
    return CurrentPlatform().messageBox(m_hWnd, unsavedChangesText, unsavedChangesCaption,
                                        MB_ICONWARNING | MB_YESNO) != IDNO;
}

void CMainDlg::AddHostToCombo(const wchar_t* name, bool select)
{
    const HWND combo = GetDlgItem(IDC_HOST_COMBO);
    auto index = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                              reinterpret_cast<LPARAM>(name));
    if (index == CB_ERR)
        index = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    if (select && index >= 0)
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void CMainDlg::ShowErrorBox(const wchar_t* text, const wchar_t* caption)
{
    CurrentPlatform().messageBox(m_hWnd, text, caption, MB_ICONERROR);
}
