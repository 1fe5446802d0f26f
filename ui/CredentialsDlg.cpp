#include "ui/CredentialsDlg.h"

#include "ui/WindowCentring.h"

CCredentialsDlg::CCredentialsDlg(std::wstring message, HostCredentials& credentials, bool& remember)
    : message_(std::move(message)), credentials_(credentials), remember_(remember)
{
}

bool CCredentialsDlg::ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM,
                                           LRESULT& result)
{
    switch (message) {
    case WM_INITDIALOG:
        CenterWindow(window, GetWindow(window, GW_OWNER));
        SetDlgItemTextW(window, IDC_CRED_MESSAGE, message_.c_str());
        SendDlgItemMessageW(window, IDC_CRED_PASSWORD, EM_LIMITTEXT, SecretText::capacity - 1, 0);
        result = TRUE;
        return true;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK)
            TakeFields();
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            // The password field is emptied on every way out, so its text is not left behind.
            SetDlgItemTextW(window, IDC_CRED_PASSWORD, L"");
            EndDialog(LOWORD(wParam));
            result = 0;
            return true;
        }
        return false;
    default:
        return false;
    }
}

void CCredentialsDlg::TakeFields()
{
    const HWND user = GetDlgItem(IDC_CRED_USER);
    std::wstring name(static_cast<size_t>(GetWindowTextLengthW(user)) + 1, L'\0');
    name.resize(static_cast<size_t>(GetWindowTextW(user, name.data(), static_cast<int>(name.size()))));
    credentials_.userName = std::move(name);
    GetDlgItemTextW(m_hWnd, IDC_CRED_PASSWORD, credentials_.password.Buffer(),
                    static_cast<int>(SecretText::capacity));
    remember_ = IsDlgButtonChecked(m_hWnd, IDC_CRED_REMEMBER) == BST_CHECKED;
}
