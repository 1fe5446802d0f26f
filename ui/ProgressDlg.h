// The small window that shows a long host operation: what is being done, the time it has
// taken, how far the host's job has got, and a "Stop Waiting" button where stopping makes
// sense. Its close box means Stop Waiting.
#pragma once

#include <optional>
#include <string>

#include "app/DialogImpl.h"
#include "mgmt/HostWait.h"
#include "res/resource.h"

class CProgressDlg final : public CDialogImpl<CProgressDlg> {
public:
    enum { IDD = IDD_PROGRESS };

    bool ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                              LRESULT& result) override;

    // Shows the operation as it stands after `elapsedMs`; unchanged texts are not set again.
    void Show(const HostWaitState& state, unsigned elapsedMs);

private:
    void SetText(int id, std::wstring& shown, const std::wstring& text);

    std::wstring activity_;
    std::wstring elapsed_;
    std::optional<bool> stoppable_;
};

// "0:07 elapsed", with ", 40% complete" when the host reports it.
std::wstring ElapsedText(unsigned elapsedMs, std::optional<std::uint16_t> percentComplete);
