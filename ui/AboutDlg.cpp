#include "ui/AboutDlg.h"

#include "ui/WindowCentring.h"

bool CAboutDlg::ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM,
                                     LRESULT& result)
{
    switch (message) {
    case WM_INITDIALOG:
        CenterWindow(window, GetWindow(window, GW_OWNER));
        result = TRUE;
        return true;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(LOWORD(wParam));
            result = 0;
            return true;
        }
        return false;
    default:
        return false;
    }
}
