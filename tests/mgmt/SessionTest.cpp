#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hosts/HostList.h"
#include "mgmt/HostIdentity.h"
#include "tests/support/HostFixture.h"

namespace {

using sim::CallKind;

class Sessions : public HostFixture {
protected:
    void SetUp() override
    {
        world.AddHost(L"HV-LAB01");
        world.AddHost(L"HV-LAB02");
        world.AddHost(L"LEGACY01", sim::HostKind::VirtualizationWithoutV2);
        HostFixture::SetUp();
    }

    int NamespaceQueries() const { return CountCalls(CallKind::QueryInstances, L"__NAMESPACE"); }
    int IdentityQueries() const
    {
        return CountCalls(CallKind::QueryInstances, L"Win32_OperatingSystem");
    }
};

TEST_F(Sessions, FirstRemoteHostReadsBothIdentitiesThenOneQueryPerNamespaceStep)
{
    ManagementSession* session = Session(L"HV-LAB01");
    ASSERT_NE(session, nullptr);
    EXPECT_FALSE(session->isLocal);
    EXPECT_TRUE(session->connected);
    EXPECT_EQ(CountCalls(CallKind::NewSession), 2);
    EXPECT_EQ(IdentityQueries(), 2);
    EXPECT_EQ(NamespaceQueries(), 2);
    ExpectNothingLeaked();
}

TEST_F(Sessions, LaterRemoteHostsDoNotReadTheLocalIdentityAgain)
{
    ASSERT_NE(Session(L"HV-LAB01"), nullptr);
    world.ClearCalls();
    ASSERT_NE(Session(L"HV-LAB02"), nullptr);
    EXPECT_EQ(CountCalls(CallKind::NewSession), 1);
    EXPECT_EQ(IdentityQueries(), 1);
    EXPECT_EQ(NamespaceQueries(), 2);
    EXPECT_EQ(application->Sessions().size(), 2u);
}

TEST_F(Sessions, ANameDifferingOnlyInCaseGetsTheRegisteredSessionWithoutACall)
{
    ManagementSession* first = Session(L"HV-LAB01");
    ASSERT_NE(first, nullptr);
    world.ClearCalls();
    EXPECT_EQ(Session(L"hv-lab01"), first);
    EXPECT_TRUE(world.Calls().empty());
    EXPECT_EQ(application->Sessions().size(), 1u);
}

TEST_F(Sessions, TheLocalComputerByNameUsesTheSharedLocalSession)
{
    ManagementSession* session = Session(L"BRACKWIN-TEST");
    ASSERT_NE(session, nullptr);
    EXPECT_TRUE(session->isLocal);
    // The "WINRM" session opened to read the identity is closed again at once.
    EXPECT_EQ(CountCalls(CallKind::CloseSession), 1);
    ExpectNothingLeaked();
}

TEST_F(Sessions, HostsThatCannotBeUsedLeaveNothingBehind)
{
    for (const wchar_t* name : {L"NOWHERE", L"LEGACY01", L""}) {
        EXPECT_EQ(Session(name), nullptr) << std::string(name, name + wcslen(name));
        EXPECT_TRUE(application->Sessions().empty());
    }
    EXPECT_EQ(Session(nullptr), nullptr);
    // The empty name is refused before any call: the client would take it for this computer.
    world.ClearCalls();
    EXPECT_EQ(Session(L""), nullptr);
    EXPECT_TRUE(world.Calls().empty());
    // The last session's destruction also closes the shared local session.
    EXPECT_EQ(world.Live(), baseline);
}

TEST_F(Sessions, AFailedSessionOpeningIsNotRegistered)
{
    world.FailCall(CallKind::NewSession, 2, MI_RESULT_ACCESS_DENIED);
    EXPECT_EQ(Session(L"HV-LAB01"), nullptr);
    EXPECT_EQ(world.Live(), baseline);
    ASSERT_NE(Session(L"HV-LAB01"), nullptr);
}

TEST_F(Sessions, NewHostsJoinTheHostListOnce)
{
    ASSERT_NE(Session(L"HV-LAB01"), nullptr);
    ASSERT_NE(Session(L"hv-lab01"), nullptr);
    EXPECT_EQ(Session(L"NOWHERE"), nullptr);
    std::wstring_view name;
    bool more = false;
    ASSERT_TRUE(application->Hosts()->Next(name, more));
    EXPECT_EQ(name, L"HV-LAB01");
    EXPECT_FALSE(more);
}

struct NamespaceCase {
    const wchar_t* path;
    bool answer;
    int queries;
};

class NamespacePaths : public Sessions, public ::testing::WithParamInterface<NamespaceCase> {};

TEST_P(NamespacePaths, AreWalkedComponentByComponent)
{
    const NamespaceCase& c = GetParam();
    ManagementSession* session = Session(L"HV-LAB01");
    ASSERT_NE(session, nullptr);
    world.ClearCalls();
    EXPECT_EQ(session->VerifyNamespace(c.path), c.answer);
    EXPECT_EQ(NamespaceQueries(), c.queries);
    EXPECT_EQ(session->lastResult, 0);
    EXPECT_EQ(session->operationContext, 5); // "Verifying the existence of a namespace"
    ExpectNothingLeaked();
}

INSTANTIATE_TEST_SUITE_P(
    Paths, NamespacePaths,
    ::testing::Values(NamespaceCase{L"root", false, 0},
                      NamespaceCase{L"", false, 0},
                      NamespaceCase{L"root\\virtualization\\v2", true, 2},
                      NamespaceCase{L"root//virtualization/v2", true, 2},
                      NamespaceCase{L"root/virtualization/v2/", true, 2},
                      NamespaceCase{L"root/virtualization/v2//", false, 3},
                      NamespaceCase{L"root/virtualization", true, 1},
                      NamespaceCase{L"root/nothing/v2", false, 1},
                      NamespaceCase{L"root/virtualization/v3", false, 2}));

TEST_F(Sessions, TheLocalIdentityIsReadOnceWhileAnySessionLivesAndAfreshAfter)
{
    auto first = std::make_unique<ManagementSession>(L"HV-LAB01", application->ManagementApplication(), application->Serializer(), application.get());
    ASSERT_TRUE(first->Connect());
    auto second = std::make_unique<ManagementSession>(L"HV-LAB02", application->ManagementApplication(), application->Serializer(), application.get());
    ASSERT_TRUE(second->Connect());
    EXPECT_EQ(IdentityQueries(), 3);
    EXPECT_EQ(ManagementSession::LiveSessionCount(), 2u);
    first.reset();
    EXPECT_EQ(ManagementSession::LiveSessionCount(), 1u);
    second.reset();
    EXPECT_EQ(ManagementSession::LiveSessionCount(), 0u);
    EXPECT_EQ(world.Live(), baseline);
    world.ClearCalls();
    auto third = std::make_unique<ManagementSession>(L"HV-LAB01", application->ManagementApplication(), application->Serializer(), application.get());
    ASSERT_TRUE(third->Connect());
    EXPECT_EQ(IdentityQueries(), 2);
}

struct UnansweredCase {
    const char* name;
    const wchar_t* host;
    bool localAnswersWinrm;
};

class UnansweredHosts : public Sessions, public ::testing::WithParamInterface<UnansweredCase> {};

TEST_P(UnansweredHosts, ConnectAsRemoteHostsAndFailAtTheNamespaceCheck)
{
    const UnansweredCase& c = GetParam();
    world.Local().answersWinrm = c.localAnswersWinrm;
    {
        ManagementSession session(c.host, application->ManagementApplication(),
                                  application->Serializer(), application.get());
        EXPECT_TRUE(session.Connect());
        EXPECT_FALSE(session.isLocal);
        EXPECT_FALSE(session.VerifyVirtualizationNamespace());
    }
    // The local identity came through "WMIDCOM"; the host gave none over "WINRM".
    EXPECT_EQ(IdentityQueries(), 2);
    EXPECT_EQ(world.Live(), baseline);
    EXPECT_EQ(Session(c.host), nullptr);
    EXPECT_TRUE(application->Sessions().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Hosts, UnansweredHosts,
    ::testing::Values(UnansweredCase{"UnknownName", L"NOWHERE", true},
                      UnansweredCase{"LocalComputerWithoutWinrm", L"BRACKWIN-TEST", false}),
    [](const ::testing::TestParamInfo<UnansweredCase>& info) { return info.param.name; });

TEST_F(Sessions, AFailedLocalSessionLeavesHostsRemoteAndIsOpenedAgainAtTheNextConnection)
{
    world.FailCall(CallKind::NewSession, 1, MI_RESULT_ACCESS_DENIED);
    ManagementSession* remote = Session(L"HV-LAB01");
    ASSERT_NE(remote, nullptr);
    EXPECT_FALSE(remote->isLocal);
    ManagementSession* local = Session(L"BRACKWIN-TEST");
    ASSERT_NE(local, nullptr);
    EXPECT_TRUE(local->isLocal);

    struct Opening {
        std::wstring protocol;
        std::wstring host;
        MI_Result result;
        bool operator==(const Opening&) const = default;
    };
    std::vector<Opening> openings;
    for (const sim::CallRecord& call : world.Calls())
        if (call.kind == CallKind::NewSession)
            openings.push_back({call.protocol, call.host, call.result});
    EXPECT_EQ(openings, (std::vector<Opening>{{L"WMIDCOM", L"", MI_RESULT_ACCESS_DENIED},
                                              {L"WINRM", L"HV-LAB01", MI_RESULT_OK},
                                              {L"WMIDCOM", L"", MI_RESULT_OK},
                                              {L"WINRM", L"BRACKWIN-TEST", MI_RESULT_OK}}));
    // The first connection read the host's identity only, the second the local one as well.
    EXPECT_EQ(IdentityQueries(), 3);
    ExpectNothingLeaked();
}

MI_Timestamp Boot(MI_Uint32 microseconds = 123456, MI_Sint32 utc = 60)
{
    return MI_Timestamp{2024, 3, 11, 6, 42, 17, microseconds, utc};
}

TEST(HostIdentities, AreTheSameOnlyWhenNameAndBootTimeMatchExactly)
{
    const HostIdentity local{true, L"HV-LAB01", Boot()};
    const struct {
        const char* name;
        HostIdentity other;
        bool same;
    } cases[] = {
        {"identical", {true, L"HV-LAB01", Boot()}, true},
        {"name case", {true, L"hv-lab01", Boot()}, false},
        {"microseconds", {true, L"HV-LAB01", Boot(123457)}, false},
        {"utc offset", {true, L"HV-LAB01", Boot(123456, 0)}, false},
        {"no name", {true, std::nullopt, Boot()}, false},
        {"not valid", {false, L"HV-LAB01", Boot()}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SameHost(&local, &c.other), c.same) << c.name;
        EXPECT_EQ(SameHost(&c.other, &local), c.same) << c.name;
    }
    EXPECT_FALSE(SameHost(&local, nullptr));
}

}
