// The main window's host area: reading and cleaning the host name, connecting, the directory
// picker, the keys and choices of the host field, the combo box of known hosts and the list of
// the host's machines.
#include "ui/MainDlg.h"

#include <utility>

#include "app/Application.h"
#include "hosts/ComputerPicker.h"
#include "hosts/HostNameKey.h"
#include "mgmt/HostWait.h"
#include "mgmt/ManagementSession.h"
#include "mgmt/ManagementText.h"
#include "ui/FlagScope.h"
#include "ui/HostNameRules.h"
#include "ui/SortedFill.h"
#include "vm/VmEntry.h"

namespace {

constexpr wchar_t communicationFailureText[] =
    L"Unable to communicate with the selected host. Check the following:\r\n"
    L"1. The host is online.\r\n"
    L"2. WinRM is enabled on the host (remote hosts only).\r\n"
    L"3. TCP port 5985 is open (remote hosts only).\r\n"
    L"4. The host is running Hyper-V version 2012 or later.\r\n"
    L"5. Your account has administrative permissions on the host.";
constexpr wchar_t pickerFailureIntro[] = L"An error occurred while selecting a Hyper-V host.\r\n";

bool EqualIgnoringAsciiCase(const std::wstring& first, const std::wstring& second)
{
    if (first.size() != second.size())
        return false;
    for (size_t i = 0; i < first.size(); ++i) {
        wchar_t a = first[i];
        wchar_t b = second[i];
        if (a >= L'a' && a <= L'z')
            a = static_cast<wchar_t>(a - L'a' + L'A');
        if (b >= L'a' && b <= L'z')
            b = static_cast<wchar_t>(b - L'a' + L'A');
        if (a != b)
            return false;
    }
    return true;
}

std::wstring ComboItemText(HWND combo, LRESULT index)
{
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length <= 0)
        return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

}

std::wstring CMainDlg::ReadHostName(bool fromList)
{
    if (fromList) {
        const HWND combo = GetDlgItem(IDC_HOST_COMBO);
        const LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
        return index < 0 ? std::wstring() : ComboItemText(combo, index);
    }
    if (!hostEdit || GetWindowTextLengthW(hostEdit) == 0)
        return {};
    std::wstring typed(static_cast<size_t>(GetWindowTextLengthW(hostEdit)) + 1, L'\0');
    typed.resize(static_cast<size_t>(GetWindowTextW(hostEdit, typed.data(),
                                                    static_cast<int>(typed.size()))));
    const std::wstring cleaned = CleanTypedHostName(std::move(typed), app->ComputerName());
    // The user sees the name that will be used.
    SetWindowTextW(hostEdit, cleaned.c_str());
    return cleaned;
}

bool CMainDlg::ShowHostName(const std::wstring& name)
{
    if (!hostEdit)
        return false;
    std::wstring shown = name;
    for (wchar_t& c : shown) {
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
    }
    return SetWindowTextW(hostEdit, shown.c_str()) != FALSE;
}

void CMainDlg::ConnectToHost(bool fromList, bool force, bool askFirst)
{
    const std::wstring name = ReadHostName(fromList);
    // No name is no host to connect to as another user.
    const bool sameHost =
        (!force && EqualIgnoringAsciiCase(name, currentHost)) || (askFirst && name.empty());
    if (!sameHost) {
        if (!ConfirmDiscard()) {
            ShowCurrentHost();
        } else {
            currentHost = name;
            bool told = false;
            if (app->OpenHost(name, told, askFirst)) {
                AddHostToCombo(name.c_str(), true);
                SetDirty(false);
            } else if (!told) {
                // A connection the user stopped waiting for is not a failure to tell of.
                ShowErrorBox(communicationFailureText, hostSelectionCaption);
            }
        }
    }
    if (!name.empty())
        EnableControl(IDC_REFRESH_LIST, true);
    UpdateListEnabling();
}

void CMainDlg::ShowCurrentHost()
{
    // Selecting writes the item's text into the field, so the field is set afterwards.
    const HWND combo = GetDlgItem(IDC_HOST_COMBO);
    const LRESULT index = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(currentHost.c_str()));
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ShowHostName(currentHost);
}

void CMainDlg::UpdateListEnabling()
{
    const LRESULT count = SendDlgItemMessageW(m_hWnd, IDC_VM_LIST, LB_GETCOUNT, 0, 0);
    EnableControl(IDC_VM_LIST, count > 0);
}

void CMainDlg::OnHostSelEndOk(WORD)
{
    // The combo box reports the end of a selection also for each arrow key in the closed
    // field, which only moves through the names. A choice in the open list connects, once the
    // combo box has closed the list and written the name into the field.
    const bool listOpen = SendDlgItemMessageW(m_hWnd, IDC_HOST_COMBO, CB_GETDROPPEDSTATE, 0, 0);
    if (listOpen && !closingHostList)
        PostMessageW(m_hWnd, hostChosenMessage, 0, 0);
}

void CMainDlg::OnHostChosen()
{
    // Nothing chosen (the list closed with no item selected) is no host to connect to.
    if (SendDlgItemMessageW(m_hWnd, IDC_HOST_COMBO, CB_GETCURSEL, 0, 0) >= 0)
        ConnectToHost(true, false);
}

void CMainDlg::ShowHostList(bool show)
{
    FlagScope closing(closingHostList);
    SendDlgItemMessageW(m_hWnd, IDC_HOST_COMBO, CB_SHOWDROPDOWN, show ? TRUE : FALSE, 0);
}

void CMainDlg::OnRefreshList(WORD)
{
    ConnectToHost(false, true);
}

void CMainDlg::OnConnectAs(WORD)
{
    ConnectToHost(false, true, true);
}

void CMainDlg::OnHostEditChange(WORD)
{
    UpdateListEnabling();
    EnableControl(IDC_REFRESH_LIST, hostEdit && GetWindowTextLengthW(hostEdit) > 0);
}

void CMainDlg::OnBrowse(WORD)
{
    std::wstring name;
    DWORD windowsError = 0;
    const PickerResult code = PickComputer(m_hWnd, name, windowsError);
    if (code != PickerResult::Ok) {
        std::wstring message = pickerFailureIntro;
        message += PickerResultText(code);
        if (windowsError != 0)
            message += L"\r\nWindows error: " + SystemErrorText(windowsError);
        ShowErrorBox(message.c_str(), hostSelectionCaption);
        return;
    }
    if (!name.empty() && ShowHostName(name))
        ConnectToHost(false, false);
}

bool CMainDlg::HandleHostFieldKey(const MSG& message)
{
    const bool keyDown = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
    if (!keyDown || !hostEdit || message.hwnd != hostEdit)
        return false;
    const bool listOpen = SendDlgItemMessageW(m_hWnd, IDC_HOST_COMBO, CB_GETDROPPEDSTATE, 0, 0);
    // F4 and Alt+Up or Alt+Down close the open list on the name it shows: that is a choice,
    // as a click is (the combo box itself would report them as cancelled).
    const bool altArrow = message.message == WM_SYSKEYDOWN &&
                          (message.wParam == VK_UP || message.wParam == VK_DOWN);
    const bool f4 = message.message == WM_KEYDOWN && message.wParam == VK_F4;
    if (listOpen && (altArrow || f4)) {
        ShowHostList(false);
        PostMessageW(m_hWnd, hostChosenMessage, 0, 0);
        return true;
    }
    if (message.message != WM_KEYDOWN)
        return false;
    const bool enter = message.wParam == VK_RETURN;
    const bool forget = message.wParam == VK_DELETE && listOpen;
    if (!enter && !forget)
        return false;
    // Both start a command of their own: while another runs, the key is taken and does nothing.
    const CommandClaim command(*this);
    if (!command)
        return true;
    if (forget)
        return ForgetHighlightedHost();
    // Enter connects to the name in the field; the open list closes without a choice.
    // Shift+Enter connects as another user: it asks for the account first, also for the
    // host that is connected now.
    if (listOpen)
        ShowHostList(false);
    const bool connectAs = GetKeyState(VK_SHIFT) < 0;
    ConnectToHost(false, connectAs, connectAs);
    return true;
}

bool CMainDlg::ForgetHighlightedHost()
{
    const HWND combo = GetDlgItem(IDC_HOST_COMBO);
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (!GetComboBoxInfo(combo, &info) || !info.hwndList)
        return false;
    const LRESULT highlighted = SendMessageW(info.hwndList, LB_GETCURSEL, 0, 0);
    if (highlighted < 0)
        return false;
    const std::wstring name = ComboItemText(combo, highlighted);
    ShowHostList(false);
    // Forgetting the current host empties the form: unsaved edits are asked about first.
    if (!SameHostName(name, currentHost) || ConfirmDiscard())
        app->ForgetHost(name);
    ShowHostList(true);
    return true;
}

LRESULT CMainDlg::RemoveHostFromCombo(const std::wstring& name)
{
    const HWND combo = GetDlgItem(IDC_HOST_COMBO);
    const LRESULT index = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(name.c_str()));
    if (index == CB_ERR)
        return -1;
    if (SameHostName(name, currentHost))
        ClearVmList();
    return SendMessageW(combo, CB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void CMainDlg::AddHostsToCombo(const std::vector<std::wstring_view>& names)
{
    std::vector<FillEntry> entries;
    entries.reserve(names.size());
    for (const std::wstring_view name : names)
        entries.push_back({name.data(), static_cast<int>(name.size()), 0});
    FillSortedComboBox(GetDlgItem(IDC_HOST_COMBO), std::move(entries));
}

void CMainDlg::FillVmList(const ManagementSession& session)
{
    app->CheckWindowOwns("the inventory");
    std::vector<FillEntry> entries;
    entries.reserve(session.vmEntries.size());
    for (const VmEntryPtr& entry : session.vmEntries) {
        entries.push_back({entry->ElementName.c_str(), static_cast<int>(entry->ElementName.size()),
                           reinterpret_cast<LPARAM>(entry.get())});
    }
    FillSortedListBox(GetDlgItem(IDC_VM_LIST), std::move(entries));
}
