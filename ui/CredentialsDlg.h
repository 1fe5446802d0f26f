// Brackwin's own credential prompt, with the fields of the system's: the user name, the
// password shown as dots and the remember box. Used where the system prompt cannot be shown.
#pragma once

#include <string>

#include "app/DialogImpl.h"
#include "base/HostCredentials.h"
#include "res/resource.h"

class CCredentialsDlg final : public CDialogImpl<CCredentialsDlg> {
public:
    enum { IDD = IDD_CREDENTIALS };

    // The message shown above the fields; the answer goes into the referenced places on OK.
    CCredentialsDlg(std::wstring message, HostCredentials& credentials, bool& remember);

    bool ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                              LRESULT& result) override;

private:
    // Reads the fields into the answer and wipes the password field.
    void TakeFields();

    std::wstring message_;
    HostCredentials& credentials_;
    bool& remember_;
};
