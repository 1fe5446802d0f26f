#include "ui/ProgressDlg.h"

bool CProgressDlg::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM,
                                        LRESULT& result)
{
    switch (message) {
    case WM_INITDIALOG:
        result = TRUE;
        return true;
    case WM_COMMAND:
        // The button, Esc and the close box all come as IDCANCEL.
        if (LOWORD(wParam) == IDCANCEL)
            hostwait::RequestStop();
        result = 0;
        return true;
    default:
        return false;
    }
}

void CProgressDlg::SetText(int id, std::wstring& shown, const std::wstring& text)
{
    if (shown == text)
        return;
    shown = text;
    SetDlgItemTextW(m_hWnd, id, text.c_str());
}

void CProgressDlg::Show(const HostWaitState& state, unsigned elapsedMs)
{
    SetText(IDC_PROGRESS_ACTIVITY, activity_, state.activity);
    SetText(IDC_PROGRESS_ELAPSED, elapsed_, ElapsedText(elapsedMs, state.percentComplete));
    if (stoppable_ != state.stoppable) {
        stoppable_ = state.stoppable;
        EnableWindow(GetDlgItem(IDCANCEL), state.stoppable ? TRUE : FALSE);
        const HMENU menu = GetSystemMenu(m_hWnd, FALSE);
        if (menu)
            EnableMenuItem(menu, SC_CLOSE, MF_BYCOMMAND | (state.stoppable ? MF_ENABLED : MF_GRAYED));
    }
}

std::wstring ElapsedText(unsigned elapsedMs, std::optional<std::uint16_t> percentComplete)
{
    const unsigned seconds = elapsedMs / 1000;
    std::wstring text = std::to_wstring(seconds / 60) + L":";
    if (seconds % 60 < 10)
        text += L"0";
    text += std::to_wstring(seconds % 60) + L" elapsed";
    if (percentComplete)
        text += L", " + std::to_wstring(*percentComplete) + L"% complete";
    return text;
}
