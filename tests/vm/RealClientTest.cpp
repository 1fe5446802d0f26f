#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mgmt/ManagementText.h"
#include "tests/vm/MachineFixture.h"
#include "vm/ApplySettings.h"
#include "vm/PowerControl.h"
#include "vm/PowerState.h"

// What real clients and hosts do that a kind client would hide: failures reported through the
// result out parameter, final results on their own, translated captions, values as text and
// checkpoint settings beside the live ones.
namespace {

using sim::CallKind;

std::vector<std::wstring> Names(const ManagementSession& session)
{
    std::vector<std::wstring> names;
    for (const VmEntryPtr& entry : session.vmEntries)
        names.push_back(entry->ElementName);
    return names;
}

using RealClient = MachineFixture;

TEST_F(RealClient, AGermanHostListsItsMachinesButNotItself)
{
    sim::Host& german = world.AddHost(L"HV-LAB03");
    german.language = sim::HostLanguage::German;
    for (const wchar_t* name : {L"Dateiserver", L"Testrechner"}) {
        sim::VmConfig vm;
        vm.name = name;
        german.AddVm(vm);
    }
    ManagementSession* lab03 = Session(L"HV-LAB03");
    ASSERT_NE(lab03, nullptr);
    world.ClearCalls();

    ASSERT_TRUE(ListVirtualMachines(*lab03));

    EXPECT_EQ(Names(*lab03), (std::vector<std::wstring>{L"Dateiserver", L"Testrechner"}));
    EXPECT_EQ(CountCalls(CallKind::QueryInstances), 1);
    EXPECT_EQ(CountCalls(CallKind::ReadInstance), 3); // two machines, the final result
}

// A computer name that would need quoting in the query is left out of it; the host's own
// instance, delivered then, is still not listed.
TEST_F(RealClient, AHostNameThatNeedsQuotingStaysOutOfTheQuery)
{
    sim::Host& odd = world.AddHost(L"ODD01");
    odd.computerName = L"O'NEIL-HV";
    sim::VmConfig vm;
    vm.name = L"Mail";
    odd.AddVm(vm);
    ManagementSession* odd01 = Session(L"ODD01");
    ASSERT_NE(odd01, nullptr);
    world.ClearCalls();
    ASSERT_TRUE(ListVirtualMachines(*odd01));
    EXPECT_EQ(Names(*odd01), std::vector<std::wstring>{L"Mail"});
    ASSERT_FALSE(world.Calls().empty());
    EXPECT_EQ(world.Calls()[0].query, L"SELECT Name, ElementName FROM Msvm_ComputerSystem");
}

struct Reporting {
    std::string label;
    sim::ResultReporting reporting;
    sim::FinalDelivery finalDelivery;
};

class FailureReporting : public MachineFixture, public ::testing::WithParamInterface<Reporting> {
protected:
    void SetUp() override
    {
        world.resultReporting = GetParam().reporting;
        world.finalDelivery = GetParam().finalDelivery;
        MachineFixture::SetUp();
    }
};

// However the client reports an operation's failure, the program sees it: a refused listing
// is empty, a deleted machine is not read, and a refused power request is worded as before.
TEST_P(FailureReporting, IsSeenTheSameWay)
{
    VmEntry& web = Loaded(L"Web");
    world.FailCall(CallKind::GetInstance, 1, MI_RESULT_NOT_FOUND, L"Msvm_ComputerSystem");
    EXPECT_FALSE(web.RefreshState());
    EXPECT_EQ(web.EnabledState, stateRunning);

    world.FailCall(CallKind::Invoke, 1, MI_RESULT_ACCESS_DENIED, L"RequestStateChange");
    EXPECT_FALSE(ChangePowerState(web, stateOff));
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text, ResultText(MI_RESULT_ACCESS_DENIED));
    EXPECT_EQ(HostVm(L"Web").enabledState, sim::state::Running);

    world.FailCall(CallKind::QueryInstances, 1, MI_RESULT_ACCESS_DENIED,
                   L"Msvm_VirtualSystemManagementService");
    EXPECT_FALSE(ApplySettings(*session, Loaded(L"Test Client")));
    EXPECT_EQ(CountCalls(CallKind::Invoke), 0);

    world.FailCall(CallKind::QueryInstances, 1, MI_RESULT_ACCESS_DENIED, L"Msvm_ComputerSystem");
    EXPECT_FALSE(ListVirtualMachines(*session));
    EXPECT_TRUE(session->vmEntries.empty());
    EXPECT_EQ(session->failure.result, MI_RESULT_ACCESS_DENIED);

    ASSERT_TRUE(ListVirtualMachines(*session));
    EXPECT_EQ(Names(*session), (std::vector<std::wstring>{L"Test Client", L"Web"}));
    session->vmEntries.clear();
    ExpectNothingLeaked();
}

INSTANTIATE_TEST_SUITE_P(
    Clients, FailureReporting,
    ::testing::Values(
        Reporting{"OutParameterSeparateFinal", sim::ResultReporting::OutParameter,
                  sim::FinalDelivery::Separate},
        Reporting{"OutParameterFinalWithLastInstance", sim::ResultReporting::OutParameter,
                  sim::FinalDelivery::WithLastInstance},
        Reporting{"ReturnCodeSeparateFinal", sim::ResultReporting::ReturnCode,
                  sim::FinalDelivery::Separate}),
    CaseName<Reporting>);

class ValuesAsText : public MachineFixture {
protected:
    void SetUp() override
    {
        MachineFixture::SetUp();
        host->valuesAsText = true;
    }
};

TEST_F(ValuesAsText, ReadLikeTypedValues)
{
    HostVm(L"Test Client").settings.biosNumLock = true;
    VmEntry& off = Loaded(L"Test Client");
    EXPECT_EQ(off.EnabledState, stateOff);
    EXPECT_TRUE(off.settings.BiosNumLock());

    // ReturnValue 4096, then JobState and ErrorCode as text.
    ASSERT_TRUE(off.settings.SetChassisAssetTag(L"TEXT-1"));
    EXPECT_TRUE(ApplySettings(*session, off));
    EXPECT_EQ(HostVm(L"Test Client").settings.chassisAssetTag, L"TEXT-1");

    VmEntry& web = Loaded(L"Web");
    EXPECT_EQ(web.EnabledState, stateRunning);
    EXPECT_TRUE(ChangePowerState(web, stateOff));
    EXPECT_EQ(HostVm(L"Web").enabledState, sim::state::Off);
    EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(ValuesAsText, AFailedJobIsWordedInTheHostsWords)
{
    VmEntry& web = Loaded(L"Web");
    sim::JobPlan plan;
    plan.fails = true;
    plan.errorDescription = L"The virtual machine could not be turned off.";
    world.PlanNextJob(plan);
    EXPECT_FALSE(ChangePowerState(web, stateOff));
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text, L"The virtual machine could not be turned off.");
}

TEST_F(ValuesAsText, TheLocalComputerByNameIsStillRecognisedByItsBootTime)
{
    world.Local().valuesAsText = true;
    ManagementSession* local = Session(platform.computerName.c_str());
    ASSERT_NE(local, nullptr);
    EXPECT_TRUE(local->isLocal);
}

TEST_F(RealClient, CheckpointSettingsAreNeverReadOrWritten)
{
    sim::Vm& vm = HostVm(L"Test Client");
    const std::wstring liveTag = vm.settings.chassisAssetTag;
    host->AddCheckpoint(vm, L"Before update");
    vm.settings.chassisAssetTag = L"LIVE-2";
    host->AddCheckpoint(vm, L"After update");
    vm.settings.chassisAssetTag = L"LIVE-3";

    VmEntry& entry = Loaded(L"Test Client");
    EXPECT_EQ(entry.settings.ChassisAssetTag(), L"LIVE-3");
    ASSERT_TRUE(entry.settings.SetChassisAssetTag(L"LIVE-4"));
    ASSERT_TRUE(ApplySettings(*session, entry));

    EXPECT_EQ(vm.settings.chassisAssetTag, L"LIVE-4");
    ASSERT_EQ(vm.checkpoints.size(), 2u);
    EXPECT_EQ(vm.checkpoints[0].settings.chassisAssetTag, liveTag);
    EXPECT_EQ(vm.checkpoints[1].settings.chassisAssetTag, L"LIVE-2");
}

// Flags 8 (localized qualifiers) for the management service's query; 0 for every other
// operation.
TEST_F(RealClient, OperationsCarryTheirFlags)
{
    VmEntry& entry = Loaded(L"Test Client");
    ASSERT_TRUE(ApplySettings(*session, entry));
    ASSERT_TRUE(entry.LoadSettings());
    int checked = 0;
    for (const sim::CallRecord& call : world.Calls()) {
        const bool service = call.className == L"Msvm_VirtualSystemManagementService";
        switch (call.kind) {
        case CallKind::QueryInstances:
        case CallKind::GetClass:
        case CallKind::GetInstance:
        case CallKind::Invoke:
            EXPECT_EQ(call.flags, service && call.kind == CallKind::QueryInstances ? 8u : 0u)
                << static_cast<int>(call.kind) << " " << std::string(call.className.begin(),
                                                                      call.className.end());
            ++checked;
            break;
        default:
            break;
        }
    }
    EXPECT_GE(checked, 8);
}

}
