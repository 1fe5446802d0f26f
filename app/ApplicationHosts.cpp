// The Application's host operations: the session registry, connecting a host into the window,
// and the host list's upkeep.
#include "app/Application.h"

#include <functional>
#include <string_view>
#include <vector>

#include "app/HostWorker.h"
#include "base/HostCredentials.h"
#include "base/Platform.h"
#include "hosts/CredentialStore.h"
#include "hosts/HostList.h"
#include "hosts/HostNameKey.h"
#include "mgmt/HostWait.h"
#include "mgmt/ManagementSession.h"
#include "mgmt/ManagementText.h"
#include "ui/CredentialPrompt.h"
#include "ui/HostListSaveText.h"
#include "ui/MainDlg.h"
#include "vm/FailureWording.h"
#include "vm/VmEntry.h"

namespace {

constexpr wchar_t notElevatedText[] =
    L"This application was not started with elevated privileges, so it cannot access virtual "
    L"machines on the local host.\r\nPlease close the program and start it again using \"Run As "
    L"Administrator\"";
constexpr wchar_t notElevatedCaption[] = L"Insufficient Privileges";
constexpr wchar_t localAccountText[] =
    L"The local computer is always reached as the user who is logged on: it cannot be "
    L"connected to as another user.";
constexpr wchar_t notStoredText[] =
    L"The connection was made, but Windows Credential Manager did not store the credentials. "
    L"You will be asked for them again next time.";
constexpr wchar_t forgetAccountCaption[] = L"Forget Host";

}

ManagementSession* Application::FindSession(const wchar_t* hostName) const
{
    for (const auto& session : sessions) {
        if (SameHostName(session->hostName, hostName))
            return session.get();
    }
    return nullptr;
}

ManagementSession* Application::RegisterSession(std::unique_ptr<ManagementSession> session)
{
    windowThread.Check("the session registry");
    sessions.push_back(std::move(session));
    if (hostList)
        hostList->Add(sessions.back()->hostName);
    return sessions.back().get();
}

ManagementSession* Application::SessionForHost(const wchar_t* hostName,
                                               const HostCredentials* credentials,
                                               HostFailure* refusal)
{
    // An empty name names no host: the client would take it for the local computer.
    if (!hostName || !*hostName)
        return nullptr;
    const auto onWindowThread = [this](const std::function<void()>& call) {
        if (hostWorker)
            hostWorker->OnWindowThread(call);
        else
            call();
    };
    ManagementSession* match = nullptr;
    onWindowThread([&] { match = FindSession(hostName); });
    // An account is given for a connection of its own: a session open as another account is
    // replaced once the new one has connected, and kept when it does not.
    if (match && !credentials)
        return match;
    auto session = std::make_unique<ManagementSession>(hostName, &miApplication, &serializer, this);
    if (!session->Connect(credentials) || !session->VerifyVirtualizationNamespace()) {
        if (refusal)
            *refusal = session->failure;
        return nullptr;
    }
    ManagementSession* registered = nullptr;
    std::unique_ptr<ManagementSession> replaced;
    // The host joins the list in one step on the window's thread: a save there (at logoff,
    // while this runs) sees the list with the host or without it, never half-changed.
    onWindowThread([&] {
        match = FindSession(hostName);
        registered = match ? ReplaceSession(*match, std::move(session), replaced)
                           : RegisterSession(std::move(session));
    });
    // The session replaced closes here, on the thread that used it.
    replaced.reset();
    return registered;
}

ManagementSession* Application::ReplaceSession(ManagementSession& old, std::unique_ptr<ManagementSession> session,
                                               std::unique_ptr<ManagementSession>& replaced)
{
    windowThread.Check("the session registry");
    for (std::unique_ptr<ManagementSession>& registered : sessions) {
        if (registered.get() == &old) {
            replaced = std::move(registered);
            registered = std::move(session);
            return registered.get();
        }
    }
    return RegisterSession(std::move(session));
}

void Application::FillHostCombo()
{
    if (!hostList || !mainDialog || !hostList->Load())
        return;
    // The views stay valid: the list does not change while the combo is filled.
    std::vector<std::wstring_view> names;
    std::wstring_view name;
    bool more = false;
    while (hostList->Next(name, more)) {
        names.push_back(name);
        if (!more)
            break;
    }
    mainDialog->AddHostsToCombo(names);
}

void Application::SaveHosts()
{
    if (!hostList)
        return;
    // A save that fails leaves the file as it was; the user learns that this run's changes
    // are not in it.
    const SaveResult result = hostList->Save();
    if (result.outcome != SaveOutcome::Saved)
        ShowError(HostListSaveFailureText(result, hostList->FilePath()).c_str(), hostListSaveCaption);
}

bool Application::IsLocalName(const std::wstring& hostName) const
{
    return SameHostName(hostName, computerName);
}

bool Application::OpenHost(const std::wstring& hostName, bool& told, bool askFirst)
{
    told = false;
    CMainDlg& window = *mainDialog;
    if (askFirst && IsLocalName(hostName)) {
        window.ShowErrorBox(localAccountText, hostSelectionCaption);
        told = true;
        return false;
    }
    // Each account lives only for the attempts made with it; its password is wiped with it.
    auto credentials = std::make_unique<HostCredentials>();
    bool haveCredentials = false;
    bool remember = false;
    std::wstring words;
    if (!askFirst && !FindSession(hostName.c_str()))
        haveCredentials = ReadHostCredentials(hostName, *credentials);
    for (bool ask = askFirst;; ask = true) {
        if (ask) {
            credentials = std::make_unique<HostCredentials>();
            if (!AskForCredentials(window.m_hWnd, hostName, words, *credentials, remember)) {
                told = true;
                return false;
            }
            haveCredentials = true;
        }
        HostFailure refusal;
        if (ConnectAndList(hostName, haveCredentials ? credentials.get() : nullptr, refusal, told)) {
            if (ask && remember && !StoreHostCredentials(hostName, *credentials))
                ShowNotice(notStoredText, hostSelectionCaption);
            return true;
        }
        // Only a refused account is asked about again, and never for the local computer.
        if (told || refusal.result != MI_RESULT_ACCESS_DENIED || IsLocalName(hostName))
            return false;
        words = haveCredentials ? FailureDetails(refusal) : std::wstring();
    }
}

bool Application::ConnectAndList(const std::wstring& hostName, const HostCredentials* credentials,
                                 HostFailure& refusal, bool& told)
{
    told = false;
    CMainDlg& window = *mainDialog;
    const CMainDlg::BusyScope busy(window);
    // The list's items refer to the inventory that the listing rebuilds.
    window.ClearVmList();
    ManagementSession* session = nullptr;
    bool complete = false;
    // The whole attempt can be stopped: the host may not answer for the client's timeout.
    const WorkOutcome outcome = RunOnHost(L"Connecting to " + hostName, true, [&] {
        session = SessionForHost(hostName.c_str(), credentials, &refusal);
        if (!session)
            return;
        session->failure = {};
        static_cast<void>(session->Connect());
        complete = ListVirtualMachines(*session);
    });
    const bool stopped = hostwait::StopRequested();
    told = outcome == WorkOutcome::Failed || stopped;
    if (outcome != WorkOutcome::Finished || !session)
        return session != nullptr;
    // What could be read is listed; a list that is not whole says so, once: as a failure, or
    // as the consequence of the user's stop.
    window.FillVmList(*session);
    if (!complete && stopped)
        ShowNotice(StoppedListingText(*session, session->vmEntries.size()).c_str(),
                   hostSelectionCaption);
    else if (!complete)
        window.ShowErrorBox(ListingFailureText(*session, session->vmEntries.size()).c_str(),
                            hostSelectionCaption);
    if (session->isLocal && CurrentPlatform().queryElevation() == Elevation::NotElevated)
        window.ShowErrorBox(notElevatedText, notElevatedCaption);
    return true;
}

void Application::ForgetHost(const std::wstring& hostName)
{
    if (hostName.empty())
        return;
    if (hostList)
        hostList->Remove(hostName);
    if (mainDialog)
        mainDialog->RemoveHostFromCombo(hostName);
    if (!mainDialog || !HasHostCredentials(hostName))
        return;
    const std::wstring question = L"Credentials for " + hostName +
                                  L" are stored in Windows Credential Manager. Do you want to "
                                  L"forget them too?";
    if (CurrentPlatform().messageBox(mainDialog->m_hWnd, question.c_str(), forgetAccountCaption,
                                     MB_ICONWARNING | MB_YESNO) == IDYES)
        static_cast<void>(ForgetHostCredentials(hostName));
}
