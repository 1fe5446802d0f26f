// The main window's host area: reading and cleaning the host name, connecting, the directory
// picker, the Enter and Delete keys of the host field, and the combo box of known hosts.
#include "ui/MainDlg.h"

#include "app/Application.h"
#include "hosts/ComputerPicker.h"
#include "mgmt/ManagementText.h"
#include "ui/HostNameRules.h"

namespace {

constexpr wchar_t hostSelectionCaption[] = L"Host Selection Error";
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

void CMainDlg::ConnectToHost(bool fromList, bool force)
{
    const std::wstring name = ReadHostName(fromList);
    const bool sameHost = !force && EqualIgnoringAsciiCase(name, currentHost);
    if (!sameHost) {
        if (!ConfirmDiscard()) {
            ShowHostName(currentHost);
        } else {
            currentHost = name;
            if (app->OpenHost(name)) {
                AddHostToCombo(name.c_str(), true);
                SetDirty(false);
            } else {
                ShowErrorBox(communicationFailureText, hostSelectionCaption);
            }
        }
    }
    if (!name.empty())
        EnableWindow(GetDlgItem(IDC_REFRESH_LIST), TRUE);
    UpdateListEnabling();
}

void CMainDlg::UpdateListEnabling()
{
    const LRESULT count = SendDlgItemMessageW(m_hWnd, IDC_VM_LIST, LB_GETCOUNT, 0, 0);
    EnableWindow(GetDlgItem(IDC_VM_LIST), count > 0);
}

void CMainDlg::OnHostSelected(WORD)
{
    ConnectToHost(true, false);
}

void CMainDlg::OnRefreshList(WORD)
{
    ConnectToHost(false, true);
}

void CMainDlg::OnHostEditChange(WORD)
{
    UpdateListEnabling();
    EnableWindow(GetDlgItem(IDC_REFRESH_LIST), hostEdit && GetWindowTextLengthW(hostEdit) > 0);
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
    if (message.message != WM_KEYDOWN || !hostEdit || message.hwnd != hostEdit)
        return false;
    if (message.wParam == VK_RETURN) {
        ConnectToHost(false, false);
        return true;
    }
    if (message.wParam == VK_DELETE &&
        SendDlgItemMessageW(m_hWnd, IDC_HOST_COMBO, CB_GETDROPPEDSTATE, 0, 0))
        ForgetHighlightedHost();
    return false;
}

void CMainDlg::ForgetHighlightedHost()
{
    const HWND combo = GetDlgItem(IDC_HOST_COMBO);
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (!GetComboBoxInfo(combo, &info) || !info.hwndList)
        return;
    const LRESULT highlighted = SendMessageW(info.hwndList, LB_GETCURSEL, 0, 0);
    if (highlighted < 0)
        return;
    const std::wstring name = ComboItemText(combo, highlighted);
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    app->ForgetHost(name);
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
}

LRESULT CMainDlg::RemoveHostFromCombo(const std::wstring& name)
{
    const HWND combo = GetDlgItem(IDC_HOST_COMBO);
    const LRESULT index = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(name.c_str()));
    if (index == CB_ERR)
        return -1;
    if (name == currentHost)
        ClearVmList();
    return SendMessageW(combo, CB_DELETESTRING, static_cast<WPARAM>(index), 0);
}
