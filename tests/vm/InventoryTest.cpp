#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/HostFixture.h"
#include "vm/PowerState.h"

namespace {

using sim::CallKind;

class Inventory : public HostFixture {
protected:
    void SetUp() override
    {
        sim::Host& lab = world.AddHost(L"HV-LAB01");
        for (const wchar_t* name : {L"Web", L"Database", L"Test Client"}) {
            sim::VmConfig vm;
            vm.name = name;
            vm.state = sim::state::Running;
            lab.AddVm(vm);
        }
        world.AddHost(L"EMPTY01");
        HostFixture::SetUp();
        session = Session(L"HV-LAB01");
        ASSERT_NE(session, nullptr);
    }

    std::vector<std::wstring> Names() const
    {
        std::vector<std::wstring> names;
        for (const VmEntryPtr& entry : session->vmEntries)
            names.push_back(entry->ElementName);
        return names;
    }

    ManagementSession* session = nullptr;
};

TEST_F(Inventory, ListsTheMachinesInTheHostsOrderButNotTheHostItself)
{
    world.ClearCalls();
    ASSERT_TRUE(ListVirtualMachines(*session));
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"Web", L"Database", L"Test Client"}));
    ASSERT_EQ(CountCalls(CallKind::QueryInstances), 1);
    EXPECT_EQ(world.Calls()[0].query,
              L"SELECT Name, ElementName FROM Msvm_ComputerSystem WHERE Name <> 'HV-LAB01'");
    EXPECT_EQ(world.Calls()[0].flags, 0u);
    EXPECT_EQ(world.Calls()[0].nameSpace, L"root/virtualization/v2");
    EXPECT_EQ(session->lastResult, 0);
    EXPECT_EQ(session->operationContext, contextReadingMachine);
    for (const VmEntryPtr& entry : session->vmEntries) {
        EXPECT_EQ(entry->Name.size(), 36u);
        EXPECT_EQ(entry->settings.InstanceId(), L"Microsoft:" + entry->Name);
        EXPECT_EQ(entry->EnabledState, stateUnknown);
        EXPECT_EQ(entry->session, session);
    }
    ExpectNothingLeaked();
}

TEST_F(Inventory, ListingTwiceKeepsOnlyTheSecondListing)
{
    ASSERT_TRUE(ListVirtualMachines(*session));
    sim::Host& lab = *world.FindHost(L"HV-LAB01");
    ASSERT_TRUE(lab.RemoveVm(lab.FindVm(L"Test Client")->guid));
    ASSERT_TRUE(ListVirtualMachines(*session));
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"Web", L"Database"}));
    ExpectNothingLeaked();
}

TEST_F(Inventory, AHostWithoutMachinesGivesAnEmptyInventory)
{
    ManagementSession* empty = Session(L"EMPTY01");
    ASSERT_NE(empty, nullptr);
    EXPECT_TRUE(ListVirtualMachines(*empty));
    EXPECT_TRUE(empty->vmEntries.empty());
}

// A listing that is not whole says so: false, with the entries read before the failure and
// the failure's own words; the query is still closed.
TEST_F(Inventory, AFailedReadMidListingKeepsTheEntriesBeforeItAndGivesFalseWithTheReason)
{
    world.FindHost(L"HV-LAB01")->StopAnsweringAfter(2);
    EXPECT_FALSE(ListVirtualMachines(*session));
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"Web", L"Database"}));
    EXPECT_EQ(session->lastResult, 0);
    EXPECT_EQ(session->failure.result, MI_RESULT_FAILED);
    EXPECT_EQ(session->failure.message,
              L"The WinRM client cannot complete the operation within the time specified. Check "
              L"if the machine name is valid and is reachable over the network and firewall "
              L"exception for Windows Remote Management service is enabled.");
    ExpectNothingLeaked();
}

TEST_F(Inventory, AQueryRefusedByTheHostGivesFalseWithTheReason)
{
    world.FailCall(CallKind::QueryInstances, 1, MI_RESULT_ACCESS_DENIED);
    EXPECT_FALSE(ListVirtualMachines(*session));
    EXPECT_TRUE(session->vmEntries.empty());
    EXPECT_EQ(session->lastResult, 0);
    EXPECT_EQ(session->failure.result, MI_RESULT_ACCESS_DENIED);
    EXPECT_EQ(session->failure.message, L"Access denied");
}

TEST_F(Inventory, AMachineWhoseIdentityCannotBeReadLeavesTheListIncomplete)
{
    world.FailCall(CallKind::GetElement, 2, MI_RESULT_FAILED, L"Name");
    EXPECT_FALSE(ListVirtualMachines(*session));
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"Web", L"Test Client"}));
    EXPECT_EQ(session->failure.result, MI_RESULT_FAILED);
    ExpectNothingLeaked();
}

TEST_F(Inventory, AFailedCloseAfterTheWholeListingLosesNothing)
{
    world.FailCall(CallKind::CloseOperation, 1, MI_RESULT_FAILED);
    EXPECT_TRUE(ListVirtualMachines(*session));
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"Web", L"Database", L"Test Client"}));
    ExpectNothingLeaked();
}

TEST_F(Inventory, AQueryThatNeverStartedGivesFalseWithoutACall)
{
    const MI_Session saved = session->miSession;
    session->miSession = {};
    world.ClearCalls();
    EXPECT_FALSE(ListVirtualMachines(*session));
    EXPECT_EQ(session->lastResult, MI_RESULT_INVALID_PARAMETER);
    EXPECT_TRUE(world.Calls().empty());
    session->miSession = saved;
}

TEST_F(Inventory, MachinesWithoutAUsableIdentifierAreLeftOutAndLongNamesCut)
{
    sim::Host& lab = *world.FindHost(L"HV-LAB01");
    sim::VmConfig overlong;
    overlong.name = L"Overlong id";
    overlong.guid = L"EAE43A5D-86F9-4DE2-AED2-0B2374374A0F-EXTRA";
    lab.AddVm(overlong);
    sim::VmConfig unnamed;
    unnamed.guid = L"11111111-2222-3333-4444-555555555555";
    lab.AddVm(unnamed);
    sim::VmConfig wordy;
    wordy.name = std::wstring(150, L'w');
    lab.AddVm(wordy);

    ASSERT_TRUE(ListVirtualMachines(*session));
    const std::vector<std::wstring> names = Names();
    ASSERT_EQ(names.size(), 5u);
    EXPECT_EQ(names[3], L"11111111-2222-3333-4444-555555555555");
    EXPECT_EQ(names[4], std::wstring(100, L'w'));
}

// The query's final result comes as its own delivery after the instance: its success does not
// hide that the state itself could not be read.
TEST_F(Inventory, AStateThatCannotBeReadIsReportedAsThatFailureNotAsNotFound)
{
    ASSERT_TRUE(ListVirtualMachines(*session));
    VmEntry& web = *Entry(*session, L"Web");
    world.FailCall(CallKind::GetElement, 1, MI_RESULT_SERVER_LIMITS_EXCEEDED, L"EnabledState");
    EXPECT_FALSE(web.ReadPowerState());
    EXPECT_EQ(session->failure.result, MI_RESULT_SERVER_LIMITS_EXCEEDED);
    session->failure = {};
    ASSERT_TRUE(world.FindHost(L"HV-LAB01")->RemoveVm(web.Name));
    EXPECT_FALSE(web.ReadPowerState());
    EXPECT_EQ(session->failure.result, MI_RESULT_NOT_FOUND);
    session->vmEntries.clear();
    ExpectNothingLeaked();
}

TEST_F(Inventory, RefreshStateReadsTheMachineAndAFailureKeepsTheOldState)
{
    ASSERT_TRUE(ListVirtualMachines(*session));
    VmEntry& web = *Entry(*session, L"Web");
    world.ClearCalls();
    ASSERT_TRUE(web.RefreshState());
    EXPECT_EQ(web.EnabledState, stateRunning);
    EXPECT_TRUE(web.computerSystemInstance);
    EXPECT_EQ(CountCalls(CallKind::GetClass), 1);
    EXPECT_EQ(CountCalls(CallKind::GetInstance), 1);

    world.FindHost(L"HV-LAB01")->FindVm(L"Web")->enabledState = sim::state::Off;
    const MI_Instance* before = web.computerSystemInstance.Get();
    world.FailCall(CallKind::GetInstance, 1, MI_RESULT_NOT_FOUND);
    EXPECT_FALSE(web.RefreshState());
    EXPECT_EQ(web.EnabledState, stateRunning);
    EXPECT_EQ(web.computerSystemInstance.Get(), before);
    ASSERT_TRUE(web.RefreshState());
    EXPECT_EQ(web.EnabledState, stateOff);
    session->vmEntries.clear();
    ExpectNothingLeaked();
}

}
