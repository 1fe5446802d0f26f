// Connecting as another user: the prompt on access denied and before the first attempt, the
// remembered account, and where the password never goes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/SecretText.h"
#include "res/resource.h"
#include "tests/ui/LabWindowFixture.h"

namespace {

using sim::CallKind;

constexpr wchar_t edgeUser[] = L"HV-EDGE01\\Administrator";
constexpr wchar_t edgePassword[] = L"Demo-Pa55word";
constexpr wchar_t promptText[] = L"Enter credentials to connect to HV-EDGE01.";
constexpr wchar_t edgeTarget[] = L"Brackwin:HV-EDGE01";
constexpr wchar_t localAccountText[] =
    L"The local computer is always reached as the user who is logged on: it cannot be "
    L"connected to as another user.";

class ConnectAs : public LabWindow {
protected:
    ConnectAs()
    {
        sim::Host& edge = world.AddHost(L"HV-EDGE01");
        edge.account = sim::Host::Account{edgeUser, edgePassword};
        sim::VmConfig gateway;
        gateway.name = L"Edge Gateway";
        gateway.state = sim::state::Running;
        edge.AddVm(gateway);
    }

    // Shift+Enter in the host field, with the name typed there.
    void ConnectAsTyped(const wchar_t* name)
    {
        Type(IDC_HOST_COMBO, name);
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = 0x80;
        SetKeyboardState(keys);
        PressHostFieldKey(VK_RETURN);
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
    }

    // The sessions opened to HV-EDGE01, each by the account it was opened as (empty: none).
    std::vector<std::wstring> EdgeSessions() const
    {
        std::vector<std::wstring> accounts;
        for (const sim::CallRecord& call : world.Calls())
            if (call.kind == CallKind::NewSession && call.host == L"HV-EDGE01")
                accounts.push_back(call.user);
        return accounts;
    }

    int EdgeCalls(CallKind kind) const
    {
        int count = 0;
        for (const sim::CallRecord& call : world.Calls())
            count += call.kind == kind && call.host == L"HV-EDGE01" ? 1 : 0;
        return count;
    }

    static ScriptedPrompt Account(const wchar_t* password, bool save = false)
    {
        return {NO_ERROR, edgeUser, password, save};
    }
};

TEST_F(ConnectAs, AccessDeniedAsksAndTheRightAccountListsTheMachine)
{
    credentials.answers = {Account(edgePassword)};
    EnterHost(L"HV-EDGE01");
    ASSERT_EQ(credentials.prompts.size(), 1u);
    EXPECT_EQ(credentials.prompts[0].message, promptText);
    EXPECT_EQ(credentials.prompts[0].owner, Window());
    EXPECT_EQ(credentials.prompts[0].authError, 0u);
    EXPECT_EQ(credentials.prompts[0].flags, DWORD{CREDUIWIN_GENERIC | CREDUIWIN_CHECKBOX});
    EXPECT_EQ(ListedVms(), std::vector<std::wstring>{L"Edge Gateway"});
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(EdgeSessions(), (std::vector<std::wstring>{L"", edgeUser}));
    EXPECT_EQ(ComboHosts(), std::vector<std::wstring>{L"HV-EDGE01"});
    // Not asked to remember: nothing stored.
    EXPECT_TRUE(credentials.writes.empty());
}

TEST_F(ConnectAs, AWrongPasswordAsksAgainWithTheHostsWordsAndSendsNothingElse)
{
    credentials.answers = {Account(L"wrong-password")};
    EnterHost(L"HV-EDGE01");
    ASSERT_EQ(credentials.prompts.size(), 2u);
    const std::wstring again = credentials.prompts[1].message;
    EXPECT_EQ(again.rfind(std::wstring(promptText) + L"\r\n", 0), 0u) << "the opening line first";
    EXPECT_GT(again.size(), std::wstring(promptText).size() + 2) << "then the host's words";
    EXPECT_EQ(credentials.prompts[1].authError, DWORD{ERROR_LOGON_FAILURE});
    // One refused identity read per attempt, and no retry of its own.
    EXPECT_EQ(EdgeSessions(), (std::vector<std::wstring>{L"", edgeUser}));
    EXPECT_EQ(EdgeCalls(CallKind::QueryInstances), 2);
    // The second prompt was cancelled: quietly, as the failed connection was.
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_TRUE(ListedVms().empty());
    EXPECT_TRUE(ComboHosts().empty());
}

TEST_F(ConnectAs, CancelEndsQuietly)
{
    EnterHost(L"HV-EDGE01");
    EXPECT_EQ(credentials.prompts.size(), 1u);
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_TRUE(ListedVms().empty());
    EXPECT_EQ(EdgeSessions(), std::vector<std::wstring>{L""});
    EXPECT_EQ(world.Live().sessions, 0);
}

// The two entries of Connect As: Shift+Enter in the host field, and the button.
enum class Entry { ShiftEnter, Button };

class ConnectAsEntry : public ConnectAs, public ::testing::WithParamInterface<Entry> {
protected:
    void Choose(const wchar_t* name)
    {
        if (GetParam() == Entry::ShiftEnter) {
            ConnectAsTyped(name);
        } else {
            Type(IDC_HOST_COMBO, name);
            Command(IDC_CONNECT_AS);
            Pump();
        }
    }
};

TEST_P(ConnectAsEntry, AsksBeforeTheFirstAttempt)
{
    credentials.answers = {Account(edgePassword)};
    Choose(L"hv-edge01");
    ASSERT_EQ(credentials.prompts.size(), 1u);
    EXPECT_EQ(credentials.prompts[0].message, promptText);
    EXPECT_EQ(EdgeSessions(), std::vector<std::wstring>{edgeUser});
    EXPECT_EQ(ListedVms(), std::vector<std::wstring>{L"Edge Gateway"});
}

TEST_P(ConnectAsEntry, OnTheLocalComputerIsRefusedWithItsText)
{
    Choose(L"localhost");
    EXPECT_TRUE(credentials.prompts.empty());
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text, localAccountText);
    EXPECT_EQ(platform.boxes[0].caption, L"Host Selection Error");
    EXPECT_EQ(platform.boxes[0].style, UINT{MB_ICONERROR});
    EXPECT_EQ(Calls(CallKind::NewSession), 0);
}

TEST_P(ConnectAsEntry, WithAnEmptyFieldDoesNothing)
{
    Choose(L"");
    EXPECT_TRUE(credentials.prompts.empty());
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(Calls(CallKind::NewSession), 0);
}

INSTANTIATE_TEST_SUITE_P(Entries, ConnectAsEntry, ::testing::Values(Entry::ShiftEnter, Entry::Button));

// Connect As on a host already connected connects anew as the account given; the session
// open as the other account is replaced, and kept when the new account is refused.
TEST_F(ConnectAs, AnotherAccountOnAConnectedHostConnectsAsIt)
{
    constexpr wchar_t operatorUser[] = L"HV-EDGE01\\Operator";
    credentials.answers = {Account(edgePassword)};
    EnterHost(L"HV-EDGE01");
    ASSERT_EQ(ListedVms(), std::vector<std::wstring>{L"Edge Gateway"});
    world.FindHost(L"HV-EDGE01")->account = sim::Host::Account{operatorUser, L"Operator-Pa55"};
    world.ClearCalls();
    credentials.answers = {{NO_ERROR, operatorUser, L"Operator-Pa55", false}};
    Command(IDC_CONNECT_AS);
    Pump();
    EXPECT_EQ(EdgeSessions(), std::vector<std::wstring>{operatorUser});
    EXPECT_EQ(ListedVms(), std::vector<std::wstring>{L"Edge Gateway"});
    EXPECT_EQ(application->Sessions().size(), 1u);
    EXPECT_EQ(EdgeCalls(CallKind::CloseSession), 1) << "the administrator's session is closed";
    EXPECT_TRUE(platform.boxes.empty());

    // A refused account (the second prompt cancelled) leaves the operator's session in place.
    const ManagementSession* open = application->Sessions().front().get();
    world.ClearCalls();
    credentials.answers = {{NO_ERROR, operatorUser, L"wrong-password", false}};
    Command(IDC_CONNECT_AS);
    Pump();
    ASSERT_EQ(application->Sessions().size(), 1u);
    EXPECT_EQ(application->Sessions().front().get(), open);
    EXPECT_EQ(EdgeCalls(CallKind::CloseSession), 1) << "only the refused attempt's session";
    Command(IDC_REFRESH_LIST);
    Pump();
    EXPECT_EQ(ListedVms(), std::vector<std::wstring>{L"Edge Gateway"});
}

TEST_F(ConnectAs, TheRememberBoxStoresTheAccountUnderTheHostsTarget)
{
    credentials.answers = {Account(edgePassword, true)};
    EnterHost(L"HV-EDGE01");
    ASSERT_EQ(credentials.writes, std::vector<std::wstring>{edgeTarget});
    const StoredCredential& stored = credentials.store.at(edgeTarget);
    EXPECT_EQ(stored.type, DWORD{CRED_TYPE_GENERIC});
    EXPECT_EQ(stored.user, edgeUser);
    const std::string blob(stored.blob.begin(), stored.blob.end());
    EXPECT_TRUE(BytesHold(blob, edgePassword));
    EXPECT_EQ(blob.size(), std::wstring(edgePassword).size() * sizeof(wchar_t));
}

TEST_F(ConnectAs, ARememberedAccountIsUsedWithoutAsking)
{
    credentials.Remember(edgeTarget, edgeUser, edgePassword);
    EnterHost(L"hv-edge01");
    EXPECT_TRUE(credentials.prompts.empty());
    EXPECT_EQ(EdgeSessions(), std::vector<std::wstring>{edgeUser});
    EXPECT_EQ(ListedVms(), std::vector<std::wstring>{L"Edge Gateway"});
    EXPECT_EQ(credentials.liveReads, 0);
}

TEST_F(ConnectAs, ARememberedAccountTheHostRefusesAsksWithTheHostsWords)
{
    credentials.Remember(edgeTarget, edgeUser, L"changed-since");
    credentials.answers = {Account(edgePassword, true)};
    EnterHost(L"HV-EDGE01");
    ASSERT_EQ(credentials.prompts.size(), 1u);
    EXPECT_EQ(credentials.prompts[0].authError, DWORD{ERROR_LOGON_FAILURE});
    EXPECT_EQ(ListedVms(), std::vector<std::wstring>{L"Edge Gateway"});
    const std::string blob(credentials.store.at(edgeTarget).blob.begin(),
                           credentials.store.at(edgeTarget).blob.end());
    EXPECT_TRUE(BytesHold(blob, edgePassword)) << "the new account replaced the old";
}

TEST_F(ConnectAs, ForgettingTheHostForgetsItsAccountWhenTheUserSaysSo)
{
    const struct {
        int answer;
        bool kept;
    } cases[] = {{IDYES, false}, {IDNO, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer == IDYES ? "Yes" : "No");
        credentials.Remember(edgeTarget, edgeUser, edgePassword);
        SendDlgItemMessageW(Window(), IDC_HOST_COMBO, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(L"HV-EDGE01"));
        platform.boxes.clear();
        OpenHostList();
        HighlightHost(L"HV-EDGE01");
        platform.answers = {c.answer};
        PressHostFieldKey(VK_DELETE);
        ASSERT_EQ(platform.boxes.size(), 1u);
        EXPECT_EQ(platform.boxes[0].text,
                  L"Credentials for HV-EDGE01 are stored in Windows Credential Manager. Do you "
                  L"want to forget them too?");
        EXPECT_EQ(platform.boxes[0].caption, L"Forget Host");
        EXPECT_EQ(platform.boxes[0].style, UINT{MB_ICONWARNING | MB_YESNO});
        EXPECT_EQ(credentials.store.count(edgeTarget), c.kept ? 1u : 0u);
        EXPECT_TRUE(ComboHosts().empty());
        SendDlgItemMessageW(Window(), IDC_HOST_COMBO, CB_SHOWDROPDOWN, FALSE, 0);
    }
    // A host without a stored account is forgotten without the question.
    credentials.store.clear();
    SendDlgItemMessageW(Window(), IDC_HOST_COMBO, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"HV-EDGE01"));
    platform.boxes.clear();
    OpenHostList();
    HighlightHost(L"HV-EDGE01");
    PressHostFieldKey(VK_DELETE);
    EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(ConnectAs, ThePasswordReachesNoFileLogOrBox)
{
    credentials.answers = {Account(L"wrong-password"), Account(edgePassword, true)};
    EnterHost(L"HV-EDGE01");
    ASSERT_EQ(ListedVms(), std::vector<std::wstring>{L"Edge Gateway"});
    application->SaveHosts();
    const std::string file = HostFileBytes();
    EXPECT_TRUE(BytesHold(file, L"HV-EDGE01"));
    for (const wchar_t* secret : {edgePassword, L"wrong-password", L"Administrator"})
        EXPECT_FALSE(BytesHold(file, secret)) << "the host list file holds an account";
    for (const sim::CallRecord& call : world.Calls()) {
        std::wstring texts = call.host + call.user + call.query + call.className + call.method + call.element;
        for (const auto& parameter : call.parameters)
            texts += parameter.first + parameter.second;
        for (const wchar_t* secret : {edgePassword, L"wrong-password"})
            EXPECT_EQ(texts.find(secret), std::wstring::npos) << "a password in the call log";
    }
    for (const RecordedBox& box : platform.boxes)
        for (const wchar_t* secret : {edgePassword, L"wrong-password"})
            EXPECT_EQ(box.text.find(secret), std::wstring::npos) << "a password in a box";
    for (const RecordedPrompt& prompt : credentials.prompts)
        EXPECT_EQ(prompt.message.find(L"wrong-password"), std::wstring::npos);
}

// Brackwin's own dialog, answered as the user would: found among the thread's windows by its
// password field, filled in, and confirmed.
struct OwnDialogSeen {
    bool shown = false;
    std::wstring message;
    bool dots = false;
};
OwnDialogSeen* ownDialog = nullptr;

BOOL CALLBACK FillOwnDialog(HWND window, LPARAM)
{
    const HWND password = GetDlgItem(window, IDC_CRED_PASSWORD);
    if (!password)
        return TRUE;
    ownDialog->shown = true;
    wchar_t message[256] = {};
    GetDlgItemTextW(window, IDC_CRED_MESSAGE, message, 256);
    ownDialog->message = message;
    ownDialog->dots = (GetWindowLongW(password, GWL_STYLE) & ES_PASSWORD) != 0;
    SetDlgItemTextW(window, IDC_CRED_USER, edgeUser);
    SetWindowTextW(password, edgePassword);
    CheckDlgButton(window, IDC_CRED_REMEMBER, BST_CHECKED);
    SendMessageW(window, WM_COMMAND, IDOK, 0);
    return FALSE;
}

void CALLBACK LookForOwnDialog(HWND, UINT, UINT_PTR, DWORD)
{
    EnumThreadWindows(GetCurrentThreadId(), FillOwnDialog, 0);
}

TEST_F(ConnectAs, WhereTheSystemPromptFailsBrackwinsOwnDialogAsks)
{
    ScriptedPrompt failing;
    failing.result = ERROR_CALL_NOT_IMPLEMENTED;
    credentials.answers = {failing};
    OwnDialogSeen seen;
    ownDialog = &seen;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, LookForOwnDialog);
    EnterHost(L"HV-EDGE01");
    KillTimer(nullptr, timer);
    EXPECT_TRUE(seen.shown);
    EXPECT_EQ(seen.message, promptText);
    EXPECT_TRUE(seen.dots);
    EXPECT_EQ(ListedVms(), std::vector<std::wstring>{L"Edge Gateway"});
    EXPECT_EQ(credentials.writes, std::vector<std::wstring>{edgeTarget});
    EXPECT_TRUE(platform.boxes.empty());
}

// What the wipe seam saw: whether each buffer was all zero, and how many sessions had been
// opened with the account by then.
struct WipeSeen {
    bool zero;
    size_t sessionsWithAccount;
};
std::vector<WipeSeen>* wipes = nullptr;
const sim::World* watchedWorld = nullptr;

void ObserveWipe(const wchar_t* buffer, size_t characters)
{
    size_t opened = 0;
    for (const sim::CallRecord& call : watchedWorld->Calls())
        opened += call.kind == CallKind::NewSession && call.user == edgeUser ? 1 : 0;
    wipes->push_back({std::all_of(buffer, buffer + characters, [](wchar_t c) { return c == 0; }), opened});
}

// The account comes from the prompt (false) or from Credential Manager (true).
class WipedBuffer : public ConnectAs, public ::testing::WithParamInterface<bool> {
protected:
    void TearDown() override
    {
        SecretText::observeWipe = nullptr;
        ConnectAs::TearDown();
    }
};

TEST_P(WipedBuffer, ThePasswordBufferIsWipedOnceTheSessionIsOpen)
{
    std::vector<WipeSeen> seen;
    wipes = &seen;
    watchedWorld = &world;
    SecretText::observeWipe = ObserveWipe;
    if (GetParam())
        credentials.Remember(edgeTarget, edgeUser, edgePassword);
    else
        credentials.answers = {Account(edgePassword)};
    EnterHost(L"HV-EDGE01");
    SecretText::observeWipe = nullptr;
    EXPECT_EQ(ListedVms(), std::vector<std::wstring>{L"Edge Gateway"});
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back().sessionsWithAccount, 1u) << "wiped after the session opened";
    for (const WipeSeen& wipe : seen)
        EXPECT_TRUE(wipe.zero);
}

INSTANTIATE_TEST_SUITE_P(Sources, WipedBuffer, ::testing::Bool());

}
