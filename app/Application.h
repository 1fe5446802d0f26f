// The one long-lived object of the program: it owns the management client, the window
// framework, the main window object, the local computer's name, and the hosts and sessions of
// the run, and is the hub every window operation goes through.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/AppModule.h"
#include "app/HostWorker.h"
#include "app/MessageLoop.h"
#include "base/ErrorReporter.h"
#include "base/ThreadCheck.h"
#include "mgmt/MiClient.h"

class CMainDlg;
class HostList;
struct HostCredentials;
struct HostFailure;
class ManagementSession;
class VmEntry;

class Application : public ErrorReporter {
public:
    explicit Application(HINSTANCE instance);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // -1 after a fatal start-up failure (already reported), otherwise the module's result.
    int Init();
    // Creates and shows the main window and runs the loop; the exit code.
    int Run(const wchar_t* commandLine, int showCommand);
    // Releases everything in a fixed order; safe after any failure of Init.
    void Shutdown();

    // The local computer's name in upper case.
    const std::wstring& ComputerName() const { return computerName; }
    // An error box, or an information box, owned by the main window; from the host worker,
    // shown on the window's thread before the worker goes on.
    void ShowError(const wchar_t* text, const wchar_t* caption) override;
    void ShowNotice(const wchar_t* text, const wchar_t* caption) override;
    // Runs host work on the worker while the window stays alive (see HostWorker::Run). Work
    // that ended in an exception is told of here, once; the caller treats it as not done.
    [[nodiscard]] WorkOutcome RunOnHost(std::wstring activity, bool stoppable,
                                        const std::function<void()>& work);

    // The registered session for the host (letter case ignored), or a new one that connected
    // and verified; null when the host cannot be used or the name is empty. New hosts join the
    // host list. From the worker, the registry and the list are reached on the window's thread.
    // Given an account, a new session connects as it, and takes the place of a registered one
    // once it has connected; the failure of a new session that did not connect goes to
    // `refusal` when given.
    ManagementSession* SessionForHost(const wchar_t* hostName,
                                      const HostCredentials* credentials = nullptr,
                                      HostFailure* refusal = nullptr);
    // Registers a session that was connected and verified off the window's thread, and adds its
    // host to the host list; a session already registered for the host is kept instead. On the
    // window's thread only.
    ManagementSession* AdoptSession(std::unique_ptr<ManagementSession> session);

    // Host selection: connects (in busy mode), lists the host's machines into the window and
    // warns about missing elevation on the local host. True when a session was obtained;
    // `told` is set when the user has already heard why there is none.
    // A host that refuses the account asks the user for another (Cancel ends quietly, with
    // `told` set); `askFirst` asks before the first attempt. Remembered accounts are used
    // without asking, and accounts the user asks to remember are stored once they connected.
    bool OpenHost(const std::wstring& hostName, bool& told, bool askFirst = false);
    // Puts the saved hosts into the host combo box.
    void FillHostCombo();
    // Removes a host from the host list and the combo box; asks whether to forget the
    // account stored for it too.
    void ForgetHost(const std::wstring& hostName);
    // Saves the host list: this run's changes applied to the file as it is now. Tells the user
    // when the file is left as it was.
    void SaveHosts();

    // Settings form: loads a machine (or empties the form for null); true when it shows it.
    bool LoadVmIntoForm(VmEntry* vm);
    // Writes the current machine's settings to its host and reads them back.
    void ApplyChanges();
    // Each stores its field's text into the current machine's record; false when rejected.
    void StoreBiosNumLock();
    bool StoreBaseBoardSerialNumber();
    bool StoreBiosGuid();
    bool StoreBiosSerialNumber();
    bool StoreChassisAssetTag();
    bool StoreChassisSerialNumber();
    // A new random GUID as 36 lower-case characters with hyphens.
    static std::wstring NewGuidText();

    // Power: the state text and power buttons, read afresh (in busy mode) when `refresh`; a
    // read that fails shows "Unknown", and an error box when `tellFailure`.
    void ShowPowerState(bool refresh, bool tellFailure = false);
    // Turns the current machine on (intended 2) or off (intended 3), in busy mode.
    bool ForcePowerChange(unsigned short intended);
    // Asks the current machine's guest to shut down, in busy mode.
    bool ShutDownVm(bool wait);

    // Registers the loop and creates and shows the main window: the first half of Run.
    [[nodiscard]] bool OpenMainWindow(int showCommand);
    CMainDlg* MainDialog() { return mainDialog.get(); }
    MI_Application* ManagementApplication() { return &miApplication; }
    MI_Serializer* Serializer() { return &serializer; }
    HostList* Hosts() { return hostList.get(); }
    const std::vector<std::unique_ptr<ManagementSession>>& Sessions() const { return sessions; }
    CMessageLoop& MessageLoop() { return messageLoop; }
    HostWorker* Worker() { return hostWorker.get(); }
    // True while host work runs on the worker.
    bool HostWorkRunning() const;

    // The machine the form and the power commands act on. The window's thread alone reads and
    // changes it; host work is handed the machine it acts on.
    VmEntry* CurrentVm() const;
    void SetCurrentVm(VmEntry* vm);
    // Reports a touch of what the window's thread owns (the inventory the window lists, the
    // form's machine) from the worker, or from the window's thread while host work runs.
    void CheckWindowOwns(const char* what) const;
    // The session registered for the host (letter case ignored), or null; window thread.
    ManagementSession* FindSession(const wchar_t* hostName) const;

private:
    bool ReadComputerName();
    // LoadVmIntoForm; `justSaved` words a failure as a read-back after a save.
    bool LoadIntoForm(VmEntry* vm, bool justSaved);
    // Registers a new verified session and its host; window thread.
    ManagementSession* RegisterSession(std::unique_ptr<ManagementSession> session);
    // Puts a new verified session in the place of the registered one, which moves to
    // `replaced` for the caller to close; window thread. Nothing may refer to the old one's
    // machines any more.
    ManagementSession* ReplaceSession(ManagementSession& old, std::unique_ptr<ManagementSession> session,
                                      std::unique_ptr<ManagementSession>& replaced);
    // One connection attempt into the window, in busy mode: OpenHost without the asking.
    bool ConnectAndList(const std::wstring& hostName, const HostCredentials* credentials,
                        HostFailure& refusal, bool& told);
    // True for the names of the local computer, which is reached as the logged-on user.
    bool IsLocalName(const std::wstring& hostName) const;
    // Closes the sessions on the worker, in list order, while its apartment lives.
    void CloseSessions();

    HINSTANCE instance;
    MI_Application miApplication{};
    MI_Serializer serializer{};
    bool serializerOpen = false;
    CAppModule module;
    CMessageLoop messageLoop;
    std::unique_ptr<CMainDlg> mainDialog;
    std::unique_ptr<HostWorker> hostWorker;
    std::wstring computerName;
    // Window's thread only: the worker adds hosts through it.
    std::unique_ptr<HostList> hostList;
    // The registry is changed on the window's thread only; each session is used by one thread
    // at a time: by the worker while host work runs, by the window's thread otherwise.
    std::vector<std::unique_ptr<ManagementSession>> sessions;
    VmEntry* currentVm = nullptr;
    OwningThread windowThread;
};
