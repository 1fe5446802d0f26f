// The about box: the logo, the product name and version, and credit lines.
#pragma once

#include "app/DialogImpl.h"
#include "res/resource.h"

class CAboutDlg final : public CDialogImpl<CAboutDlg> {
public:
    enum { IDD = IDD_ABOUTBOX };

    bool ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                              LRESULT& result) override;
};
