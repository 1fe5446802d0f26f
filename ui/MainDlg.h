// The main window: a modeless dialog from template 129 whose message map routes every control
// to its handler, with the enabling rules, validity colours, busy mode and closing rules.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/DialogImpl.h"
#include "app/MessageLoop.h"
#include "base/Unique.h"
#include "res/resource.h"

class Application;
class ManagementSession;
class VmEntry;

// The caption of every failure to connect to a host or to list its machines.
inline constexpr wchar_t hostSelectionCaption[] = L"Host Selection Error";

class CMainDlg final : public CDialogImpl<CMainDlg>, public CMessageFilter, public CIdleHandler {
public:
    enum { IDD = IDD_MAINDLG };

    CMainDlg();
    ~CMainDlg() override;

    bool ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                              LRESULT& result) override;
    BOOL PreTranslateMessage(MSG* message) override;
    BOOL OnIdle() override;

    // Disables the whole window and shows the wait cursor, or undoes both. Not counted.
    void SetBusy(bool busy);
    // Busy mode for the scope's lifetime, counted: the outermost scope leaves it, on every
    // path.
    class BusyScope {
    public:
        explicit BusyScope(CMainDlg& dialog);
        ~BusyScope();
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        CMainDlg& dialog_;
    };
    // True while a command that may talk to a host runs, from its first step to its last box.
    bool CommandRunning() const { return commandRunning; }
    // Records unsaved changes and enables Apply and Reset to match.
    void SetDirty(bool dirty);
    // Enables or disables the settings fields, the new-GUID button and Refresh State.
    void EnableSettingsControls(bool enable);
    // Empties the settings form and the power group and forgets the loaded machine.
    void ClearForm();
    // Empties the machine list, then the form.
    void ClearVmList();
    // A copy of a control's text.
    std::wstring ReadControlText(int id) const;
    // True when there are no unsaved changes or the user agrees to discard them.
    bool ConfirmDiscard();
    // Adds the host unless the combo holds it in any letter case; selects it when asked.
    void AddHostToCombo(const wchar_t* name, bool select);
    // Adds the saved hosts (one spelling each) to the empty combo in one pass.
    void AddHostsToCombo(const std::vector<std::wstring_view>& names);
    // Fills the machine list with the session's inventory, each entry's item data its VmEntry.
    void FillVmList(const ManagementSession& session);
    // Removes the host from the combo (and empties the list when it is the current host); the
    // deletion's result, or -1 when the combo does not hold it.
    LRESULT RemoveHostFromCombo(const std::wstring& name);
    // Shows the name upper-cased in the host field.
    bool ShowHostName(const std::wstring& name);

    // Fills the form from a machine just loaded and enables it.
    void ShowLoadedVm(const VmEntry& vm);
    // Marks a failed load and disables the form and the power buttons.
    void ShowLoadFailure(const wchar_t* text);
    // The state text and the power buttons for a state.
    void ShowPowerButtons(const wchar_t* text, unsigned short state);
    // An error box owned by the main window.
    void ShowErrorBox(const wchar_t* text, const wchar_t* caption);

    Application* app = nullptr;
    std::wstring currentHost;
    VmEntry* selectedVm = nullptr;
    HWND hostEdit = nullptr;

    static constexpr COLORREF invalidColour = RGB(255, 205, 205);
    static constexpr COLORREF validColour = RGB(205, 255, 205);

private:
    using CommandHandler = void (CMainDlg::*)(WORD id);
    // A command runs alone and is refused while another runs; a notification (a field's text
    // changed) is always handled, and its handler decides.
    enum class RouteKind { Command, Notification };
    struct CommandRoute {
        WORD id;
        int code;  // a notification code, or anyCode
        RouteKind kind;
        CommandHandler handler;
    };
    static constexpr int anyCode = -1;
    static const CommandRoute commandMap[];
    // Posted when a host was chosen in the open list, so that the connection starts once the
    // combo box has finished its own handling of the choice.
    static constexpr UINT hostChosenMessage = WM_APP + 1;

    // Registers the window with its thread's loop for as long as the registration lives.
    class LoopRegistration {
    public:
        LoopRegistration(CMessageLoop& loop, CMessageFilter* filter, CIdleHandler* idle);
        ~LoopRegistration();
        LoopRegistration(const LoopRegistration&) = delete;
        LoopRegistration& operator=(const LoopRegistration&) = delete;

    private:
        CMessageLoop& loop_;
        CMessageFilter* filter_;
        CIdleHandler* idle_;
    };

    // One command at a time: an entry that may start host work claims the window's one
    // command for its whole handling; while the claim is held every other entry is refused
    // and changes nothing. A close asked for meanwhile is carried out once the claim ends.
    class CommandClaim {
    public:
        explicit CommandClaim(CMainDlg& dialog);
        ~CommandClaim();
        CommandClaim(const CommandClaim&) = delete;
        CommandClaim& operator=(const CommandClaim&) = delete;
        explicit operator bool() const { return claimed_; }

    private:
        CMainDlg& dialog_;
        bool claimed_;
    };

    // Marks a handler running; when the outermost one is done, the focus is repaired.
    class HandlerScope {
    public:
        explicit HandlerScope(CMainDlg& dialog);
        ~HandlerScope();
        HandlerScope(const HandlerScope&) = delete;
        HandlerScope& operator=(const HandlerScope&) = delete;

    private:
        CMainDlg& dialog_;
    };

    LRESULT OnInitDialog();
    void OnDestroy();
    LRESULT OnCtlColorEdit(HDC deviceContext, HWND control);
    bool RouteCommand(WORD id, WORD code);

    void OnAbout(WORD id);
    void OnCloseCommand(WORD id);
    void OnBrowse(WORD id);
    void OnRefreshList(WORD id);
    // Connects to the host in the field as another user, asking for the account first.
    void OnConnectAs(WORD id);
    void OnNewGuid(WORD id);
    void OnRefreshState(WORD id);
    void OnGracefulShutdown(WORD id);
    void OnPowerChange(WORD id);
    void OnFieldChange(WORD id);
    void OnApply(WORD id);
    void OnResetOrSelect(WORD id);
    void OnHostSelEndOk(WORD id);
    void OnHostChosen();
    void OnHostEditChange(WORD id);
    void OnEndSession(bool ending);
    // A close that comes while a command runs: remembered, after asking to stop waiting where
    // the operation can be stopped.
    void OnCloseDuringCommand(WORD id);
    void OnIdentities(WORD id);
    // "&Identities..." is enabled while the current host has a session.
    void UpdateIdentitiesButton();
    bool HandleHostFieldKey(const MSG& message);
    // True for input meant for the busy window, which it does not take.
    bool IsInputWhileBusy(const MSG& message) const;
    // Shows the record again in a form whose fields were changed while host work ran, when
    // the changes could not be stored.
    void RestoreFormFromRecord();

    std::wstring ReadHostName(bool fromList);
    // askFirst asks for the account to connect as before the first attempt.
    void ConnectToHost(bool fromList, bool force, bool askFirst = false);
    void ShowCurrentHost();
    bool ForgetHighlightedHost();
    void ShowHostList(bool show);
    void SelectVmFromList();
    // Selects the loaded machine's entry again; false when the list does not hold it.
    bool ShowSelectedVmInList();
    void UpdateListEnabling();

    // Enables or disables a control, noting when the control that has the focus is disabled.
    void EnableControl(int id, bool enable);
    // Once a handler has run: when the focus was lost (its control disabled, or the whole
    // window in busy mode), it goes back to that control if it can take it, else to the next
    // enabled control in tab order.
    void RepairFocus();

    void SetIcons();
    const int* ValidFlagFor(int controlId) const;

    struct WaitCursor {
        HCURSOR cursor = nullptr;
        HCURSOR previous = nullptr;
        bool inUse = false;
    } waitCursor;
    bool suppressChange = false;
    bool commandRunning = false;
    bool formChangedWhileBusy = false;
    int busyDepth = 0;
    // The close (IDOK or IDCANCEL) asked for while a command ran; 0 when none.
    WORD pendingClose = 0;
    // Set while the program itself closes the open host list: that is no choice of a host.
    bool closingHostList = false;
    // The control that last had the focus when a handler disabled it or began busy mode.
    HWND focusLostFrom = nullptr;
    int handlersRunning = 0;
    int dirty = 0;
    std::array<int, 5> valid{1, 1, 1, 1, 1};
    UniqueBrush invalidBrush;
    UniqueBrush validBrush;
    UniqueIcon bigIcon;
    UniqueIcon smallIcon;
    UniqueIcon guidIcon;
    std::optional<LoopRegistration> loopRegistration;
};
