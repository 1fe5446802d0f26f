#include "ui/IdentitiesDlg.h"

#include <algorithm>
#include <utility>

#include "app/Application.h"
#include "base/Platform.h"
#include "hosts/HostList.h"
#include "hosts/HostNameKey.h"
#include "mgmt/ManagementSession.h"
#include "mgmt/ManagementText.h"
#include "ui/IdentityCsv.h"
#include "ui/OpenCsvDialog.h"
#include "ui/SaveAsDialog.h"
#include "ui/WindowCentring.h"
#include "vm/IdentityReading.h"

namespace {

std::wstring ReadingActivity(const std::vector<std::wstring>& hosts)
{
    if (hosts.size() == 1)
        return L"Reading the identities of " + hosts.front();
    return L"Reading the identities of " + std::to_wstring(hosts.size()) + L" hosts";
}

}

const CIdentitiesDlg::CommandRoute CIdentitiesDlg::commandMap[] = {
    {IDC_ADD_KNOWN_HOSTS, &CIdentitiesDlg::OnAddKnownHosts},
    {IDC_IDENTITY_REFRESH, &CIdentitiesDlg::OnRefresh},
    {IDC_IDENTITY_EXPORT, &CIdentitiesDlg::OnExport},
    {IDC_IDENTITY_IMPORT, &CIdentitiesDlg::OnImport},
    {IDC_NEW_BIOS_GUIDS, &CIdentitiesDlg::OnNewBiosGuids},
    {IDC_NEW_SERIAL_NUMBERS, &CIdentitiesDlg::OnNewSerialNumbers},
    {IDC_APPLY_IDENTITIES, &CIdentitiesDlg::OnApplyChanges},
    {IDC_DISCARD_IDENTITIES, &CIdentitiesDlg::OnDiscardChanges},
    {IDCANCEL, &CIdentitiesDlg::OnClose},
};

CIdentitiesDlg::CIdentitiesDlg(Application& app, std::wstring firstHost)
    : chooseExportPath(ChooseCsvPath), chooseImportPath(ChooseCsvToOpen), app_(app), firstHost_(std::move(firstHost))
{
    // The list view's window class, registered before the template's controls are made.
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
}

bool CIdentitiesDlg::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam,
                                          LRESULT& result)
{
    switch (message) {
    case WM_INITDIALOG:
        result = OnInitDialog();
        return true;
    case readFirstHostMessage:
        OnReadFirstHost();
        result = 0;
        return true;
    case WM_NOTIFY:
        result = OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        return true;
    case WM_CONTEXTMENU:
        OnContextMenu(reinterpret_cast<HWND>(wParam), lParam);
        result = 0;
        return true;
    case WM_COMMAND:
        // A busy window takes no clicks, not even those another program sends.
        if (!IsWindowEnabled(m_hWnd) || HIWORD(wParam) != BN_CLICKED)
            return false;
        if (const size_t id = LOWORD(wParam); id >= sortCommand && id < sortCommand + std::size(shownColumns)) {
            SortByPosition(id - sortCommand);
            result = 0;
            return true;
        }
        for (const CommandRoute& route : commandMap) {
            if (route.id == LOWORD(wParam)) {
                (this->*route.handler)();
                result = 0;
                return true;
            }
        }
        return false;
    default:
        return false;
    }
}

LRESULT CIdentitiesDlg::OnInitDialog()
{
    CenterWindow(m_hWnd, GetWindow(m_hWnd, GW_OWNER));
    list_ = GetDlgItem(IDC_IDENTITY_LIST);
    SetUpList();
    ShowTable();
    PostMessageW(m_hWnd, readFirstHostMessage, 0, 0);
    SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list_), TRUE);
    return FALSE;
}

void CIdentitiesDlg::OnReadFirstHost()
{
    if (!firstHost_.empty())
        Read({firstHost_});
}

void CIdentitiesDlg::OnAddKnownHosts()
{
    HostList* hosts = app_.Hosts();
    if (!hosts || app_.HostWorkRunning() || !ConfirmDiscard())
        return;
    std::vector<std::wstring> unshown;
    std::wstring_view name;
    bool more = false;
    while (hosts->Next(name, more)) {
        const std::wstring host(name);
        const bool listed = table_.Shows(host) ||
                            std::any_of(unshown.begin(), unshown.end(),
                                        [&](const std::wstring& other) { return SameHostName(other, host); });
        if (!listed)
            unshown.push_back(host);
        if (!more)
            break;
    }
    Read(unshown);
}

void CIdentitiesDlg::OnRefresh()
{
    if (!app_.HostWorkRunning() && ConfirmDiscard())
        Read(table_.HostNames());
}

void CIdentitiesDlg::Read(const std::vector<std::wstring>& hosts)
{
    // One host operation at a time: a read asked for while one runs does nothing.
    if (hosts.empty() || app_.HostWorkRunning())
        return;
    // Sessions not yet registered are made here and connected by the read; each is used by
    // one thread at a time.
    std::vector<HostRead> reads;
    for (const std::wstring& host : hosts) {
        HostRead read;
        read.hostName = host;
        read.registered = app_.FindSession(host.c_str());
        if (!read.registered)
            read.opened = std::make_unique<ManagementSession>(host.c_str(), app_.ManagementApplication(),
                                                              app_.Serializer(), &app_);
        reads.push_back(std::move(read));
    }
    const WorkOutcome outcome = RunHostWork(ReadingActivity(hosts), [&reads] { ReadHosts(reads); });
    // A host cut off by Stop Waiting keeps what was shown of it; work that failed (and was
    // told of) shows nothing new.
    for (HostRead& read : reads) {
        if (outcome != WorkOutcome::Finished)
            break;
        if (read.outcome == HostRead::Outcome::Read) {
            // A session that read its host is verified: root/virtualization/v2 answered.
            if (read.opened)
                app_.AdoptSession(std::move(read.opened));
            table_.ShowHost(read.hostName, std::move(read.machines));
        } else if (read.outcome == HostRead::Outcome::Failed) {
            table_.ShowFailure(read.hostName, read.failure);
        }
    }
    notice_.clear();
    ShowTable();
}

WorkOutcome CIdentitiesDlg::RunHostWork(std::wstring activity, const std::function<void()>& work)
{
    const HWND focus = GetFocus();
    EnableWindow(m_hWnd, FALSE);
    const WorkOutcome outcome = app_.RunOnHost(std::move(activity), true, work);
    EnableWindow(m_hWnd, TRUE);
    // The progress window hands activation to the main window, which this window disables.
    SetActiveWindow(m_hWnd);
    if (focus && IsChild(m_hWnd, focus) && IsWindowEnabled(focus))
        SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(focus), TRUE);
    return outcome;
}

void CIdentitiesDlg::OnExport()
{
    const std::optional<std::wstring> path = chooseExportPath(m_hWnd);
    if (!path)
        return;
    const DWORD error = WriteIdentityCsv(*path, table_.RowsInOrder());
    if (error == ERROR_SUCCESS)
        return;
    const std::wstring text = L"The identities could not be exported to " + *path +
                              L"; an existing file was left as it was.\r\nWindows error: " +
                              SystemErrorText(error);
    CurrentPlatform().messageBox(m_hWnd, text.c_str(), exportCaption, MB_ICONERROR);
}

void CIdentitiesDlg::OnClose()
{
    if (ConfirmDiscard())
        EndDialog(IDCANCEL);
}
