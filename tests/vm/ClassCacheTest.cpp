#include <gtest/gtest.h>

#include "tests/vm/MachineFixture.h"
#include "vm/PowerState.h"

namespace {

using sim::CallKind;

using ClassCache = MachineFixture;

// A class does not change while a session lives, so it is fetched once; the values shown are
// read from the host every time.
TEST_F(ClassCache, EachClassIsFetchedOncePerSessionWhileValuesAreReadAfresh)
{
    VmEntry& client = *Entry(*session, L"Test Client");
    VmEntry& web = *Entry(*session, L"Web");
    ASSERT_TRUE(client.LoadSettings());
    ASSERT_TRUE(web.LoadSettings());
    EXPECT_EQ(CountCalls(CallKind::GetClass, L"Msvm_ComputerSystem"), 1);
    EXPECT_EQ(CountCalls(CallKind::GetClass, L"Msvm_VirtualSystemSettingData"), 1);

    sim::Vm& vm = HostVm(L"Test Client");
    vm.settings.chassisAssetTag = L"CHANGED-ON-HOST";
    vm.enabledState = sim::state::Saved;
    ASSERT_TRUE(ListVirtualMachines(*session));
    VmEntry& listedAgain = *Entry(*session, L"Test Client");
    ASSERT_TRUE(listedAgain.LoadSettings());

    EXPECT_EQ(listedAgain.settings.ChassisAssetTag(), L"CHANGED-ON-HOST");
    EXPECT_EQ(listedAgain.EnabledState, stateSaved);
    EXPECT_EQ(CountCalls(CallKind::GetClass), 2);
    EXPECT_EQ(CountCalls(CallKind::GetInstance, L"Msvm_VirtualSystemSettingData"), 3);
    EXPECT_EQ(CountCalls(CallKind::GetInstance, L"Msvm_ComputerSystem"), 3);
    session->vmEntries.clear();
    ExpectNothingLeaked();
}

TEST_F(ClassCache, AClassTheHostCouldNotGiveIsAskedForAgain)
{
    VmEntry& web = *Entry(*session, L"Web");
    world.FailCall(CallKind::GetClass, 1, MI_RESULT_ACCESS_DENIED, L"Msvm_ComputerSystem");
    EXPECT_FALSE(web.RefreshState());
    ASSERT_TRUE(web.RefreshState());
    EXPECT_EQ(web.EnabledState, stateRunning);
    EXPECT_EQ(CountCalls(CallKind::GetClass, L"Msvm_ComputerSystem"), 2);
}

TEST_F(ClassCache, EverySessionFetchesItsOwn)
{
    sim::Host& second = world.AddHost(L"HV-LAB02");
    sim::VmConfig config;
    config.name = L"Mirror";
    second.AddVm(config);
    ASSERT_TRUE(Entry(*session, L"Web")->RefreshState());
    ManagementSession* other = Session(L"HV-LAB02");
    ASSERT_NE(other, nullptr);
    ASSERT_TRUE(ListVirtualMachines(*other));
    ASSERT_TRUE(Entry(*other, L"Mirror")->RefreshState());
    EXPECT_EQ(CountCalls(CallKind::GetClass, L"Msvm_ComputerSystem"), 2);
}

}
