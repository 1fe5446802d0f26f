// Destination options with credentials, and a host that lets in one account only.
#include "tests/sim/SimFixture.h"

#include <cstring>

namespace {

constexpr wchar_t edgeUser[] = L"HV-EDGE01\\Administrator";
constexpr wchar_t edgePassword[] = L"Demo-Pa55word";

class CredentialsTest : public SimTest {
protected:
    CredentialsTest()
    {
        sim::Host& edge = world.AddHost(L"HV-EDGE01");
        edge.account = sim::Host::Account{edgeUser, edgePassword};
        edge.AddVm(Machine(L"Edge Gateway", sim::state::Running));
    }

    // A session to the host as the account, opened the way the program opens one; the options
    // are deleted as soon as the session is open.
    MI_Result OpenAs(const wchar_t* host, const wchar_t* domain, const wchar_t* user,
                     const wchar_t* password, MI_Session& session,
                     const wchar_t* protocol = L"WINRM")
    {
        MI_DestinationOptions options{};
        EXPECT_EQ(MI_RESULT_OK, MI_Application_NewDestinationOptions(&application, &options));
        MI_UserCredentials credentials{};
        credentials.authenticationType = MI_AUTH_TYPE_DEFAULT;
        credentials.credentials.usernamePassword = {domain, user, password};
        EXPECT_EQ(MI_RESULT_OK, MI_DestinationOptions_AddDestinationCredentials(&options, &credentials));
        const MI_Result result = MI_Application_NewSession(&application, protocol, host, &options,
                                                           nullptr, nullptr, &session);
        MI_DestinationOptions_Delete(&options);
        return result;
    }
};

TEST_F(CredentialsTest, OnlyTheHostsAccountIsLetIn)
{
    struct Case {
        const wchar_t* domain;
        const wchar_t* user;
        const wchar_t* password;
        MI_Result expected;
    };
    const Case cases[] = {
        {L"HV-EDGE01", L"Administrator", L"Demo-Pa55word", MI_RESULT_OK},
        {L"hv-edge01", L"administrator", L"Demo-Pa55word", MI_RESULT_OK},  // names ignore case
        {L"HV-EDGE01", L"Administrator", L"demo-pa55word", MI_RESULT_ACCESS_DENIED},
        {L"HV-EDGE01", L"Administrator", L"", MI_RESULT_ACCESS_DENIED},
        {L"HV-EDGE01", L"Guest", L"Demo-Pa55word", MI_RESULT_ACCESS_DENIED},
        {nullptr, L"Administrator", L"Demo-Pa55word", MI_RESULT_ACCESS_DENIED},
        {L"CORP", L"Administrator", L"Demo-Pa55word", MI_RESULT_ACCESS_DENIED},
    };
    for (const Case& c : cases) {
        // A failure names the case by its account only: no password reaches the output.
        SCOPED_TRACE(testing::Message() << (c.domain ? c.domain : L"(none)") << L"\\" << c.user
                                        << L", case " << (&c - cases));
        MI_Session session{};
        ASSERT_EQ(MI_RESULT_OK, OpenAs(L"HV-EDGE01", c.domain, c.user, c.password, session));
        const Pulled pulled = Query(session, L"root/virtualization/v2",
            L"SELECT ElementName FROM Msvm_ComputerSystem WHERE Caption = 'Virtual Machine'",
            L"ElementName");
        EXPECT_EQ(c.expected, pulled.result);
        if (c.expected == MI_RESULT_OK)
            EXPECT_EQ(std::vector<std::wstring>{L"Edge Gateway"}, pulled.values);
        else
            EXPECT_TRUE(pulled.values.empty());
        Close(session);
    }
}

TEST_F(CredentialsTest, WithoutCredentialsTheHostRefusesEveryCall)
{
    MI_Session session = Open(L"HV-EDGE01");
    EXPECT_EQ(MI_RESULT_ACCESS_DENIED,
              Query(session, L"root/cimv2", L"SELECT CSName FROM Win32_OperatingSystem", L"CSName").result);
    Close(session);
    // A host without an account lets the caller's own identity in, with or without options.
    MI_Session lab{};
    world.AddHost(L"HV-LAB01");
    MI_Operation operation{};
    ASSERT_EQ(MI_RESULT_OK, MI_Application_NewSession(&application, L"WINRM", L"HV-LAB01", nullptr,
                                                      nullptr, nullptr, &lab));
    MI_Session_QueryInstances(&lab, 0, nullptr, L"root/cimv2", L"WQL",
                              L"SELECT CSName FROM Win32_OperatingSystem", nullptr, &operation);
    EXPECT_EQ(MI_RESULT_OK, Drain(operation));
    Close(lab);
}

TEST_F(CredentialsTest, TheLocalComputerRefusesExplicitCredentials)
{
    for (const wchar_t* protocol : {L"WMIDCOM", L"WINRM"}) {
        SCOPED_TRACE(testing::Message() << protocol);
        MI_Session session{};
        const wchar_t* destination = std::wcscmp(protocol, L"WINRM") == 0 ? L"brackwin-test" : nullptr;
        EXPECT_EQ(MI_RESULT_INVALID_PARAMETER,
                  OpenAs(destination, L"BRACKWIN-TEST", L"Administrator", L"x", session, protocol));
        EXPECT_EQ(nullptr, session.ft);
    }
}

TEST_F(CredentialsTest, TheLogNamesTheAccountAndNeverThePassword)
{
    MI_Session session{};
    ASSERT_EQ(MI_RESULT_OK, OpenAs(L"HV-EDGE01", L"HV-EDGE01", L"Administrator", edgePassword, session));
    Query(session, L"root/cimv2", L"SELECT CSName FROM Win32_OperatingSystem", L"CSName");
    Close(session);
    bool namedAccount = false;
    for (const sim::CallRecord& call : world.Calls()) {
        namedAccount = namedAccount || call.user == edgeUser;
        for (const std::wstring* text : {&call.host, &call.user, &call.query, &call.element,
                                         &call.className, &call.method})
            EXPECT_EQ(std::wstring::npos, text->find(edgePassword));
        for (const auto& parameter : call.parameters)
            EXPECT_EQ(std::wstring::npos, parameter.second.find(edgePassword));
    }
    EXPECT_TRUE(namedAccount);
}

TEST_F(CredentialsTest, OptionsAreCheckedAsTheClientChecksThem)
{
    MI_DestinationOptions options{};
    ASSERT_EQ(MI_RESULT_OK, MI_Application_NewDestinationOptions(&application, &options));
    EXPECT_EQ(1, world.Live().destinationOptions);
    MI_UserCredentials credentials{};
    credentials.authenticationType = L"Telepathy";
    credentials.credentials.usernamePassword = {nullptr, L"Administrator", L"x"};
    EXPECT_EQ(MI_RESULT_INVALID_PARAMETER, MI_DestinationOptions_AddDestinationCredentials(&options, &credentials));
    credentials.authenticationType = MI_AUTH_TYPE_DEFAULT;
    credentials.credentials.usernamePassword.username = nullptr;
    EXPECT_EQ(MI_RESULT_INVALID_PARAMETER, MI_DestinationOptions_AddDestinationCredentials(&options, &credentials));
    MI_DestinationOptions_Delete(&options);
    EXPECT_EQ(0, world.Live().destinationOptions);
    EXPECT_EQ(nullptr, options.ft);
    // Deleted options are no options to open a session with.
    MI_DestinationOptions stale{};
    ASSERT_EQ(MI_RESULT_OK, MI_Application_NewDestinationOptions(&application, &stale));
    const MI_DestinationOptions copy = stale;
    MI_DestinationOptions_Delete(&stale);
    MI_Session session{};
    EXPECT_EQ(MI_RESULT_INVALID_PARAMETER,
              MI_Application_NewSession(&application, L"WINRM", L"HV-EDGE01",
                                        const_cast<MI_DestinationOptions*>(&copy), nullptr, nullptr, &session));
    EXPECT_EQ(1u, world.Misuses().size());
    world.ClearMisuses();
}

}
