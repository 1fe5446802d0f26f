#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/HostFixture.h"
#include "vm/IdentityReading.h"

// Every machine's identity from two queries per host, checkpoints left out, values however
// the client delivers them; several hosts side by side.
namespace {

using sim::CallKind;

constexpr wchar_t kioskGuid[] = L"A4C6E802-1B3D-4E5F-8071-92A3B4C5D6E7";
constexpr wchar_t clientGuid[] = L"9D4A6E10-C2B7-4F38-8A95-1E0C3B7D6F24";

sim::VmSettings Firmware(const wchar_t* guid, const wchar_t* serial, const wchar_t* tag, bool numLock)
{
    sim::VmSettings settings;
    settings.biosGuid = guid;
    settings.biosSerialNumber = serial;
    settings.baseBoardSerialNumber = std::wstring(serial) + L"-B";
    settings.chassisSerialNumber = std::wstring(serial) + L"-C";
    settings.chassisAssetTag = tag;
    settings.biosNumLock = numLock;
    return settings;
}

class IdentityReading : public HostFixture {
protected:
    void SetUp() override
    {
        lab = &world.AddHost(L"HV-LAB04");
        sim::VmConfig kiosk;
        kiosk.name = L"Kiosk 01";
        kiosk.guid = kioskGuid;
        kiosk.state = sim::state::Running;
        kiosk.settings = Firmware(L"{8E2C4A10-6B3D-4F58-9C71-2A4B6D8E0F13}", L"6602-3319", L"KIOSK-01", false);
        sim::Vm& kioskVm = lab->AddVm(kiosk);
        // The checkpoint keeps the values the kiosk had before it was renumbered.
        sim::Checkpoint& before = lab->AddCheckpoint(kioskVm, L"Before renumbering");
        before.settings = Firmware(L"{11111111-2222-4333-8444-555555555555}", L"0000-0000", L"OLD-TAG", true);
        sim::VmConfig client;
        client.name = L"Test Client";
        client.guid = clientGuid;
        client.state = sim::state::Saved;
        client.generation = 1;
        client.settings = Firmware(L"{0A1B2C3D-4E5F-4061-9273-8495A6B7C8D9}", L"1204-7789", L"QA-DESK-07", true);
        lab->AddVm(client);
        HostFixture::SetUp();
        session = Session(L"HV-LAB04");
        ASSERT_NE(session, nullptr);
        world.ClearCalls();
    }

    sim::Host* lab = nullptr;
    ManagementSession* session = nullptr;
};

void ExpectKioskAndClient(const std::vector<VmIdentity>& machines)
{
    ASSERT_EQ(machines.size(), 2u);
    const VmIdentity& kiosk = machines[0];
    EXPECT_EQ(kiosk.host, L"HV-LAB04");
    EXPECT_EQ(kiosk.name, L"Kiosk 01");
    EXPECT_EQ(kiosk.vmId, kioskGuid);
    EXPECT_EQ(kiosk.enabledState, 2);
    EXPECT_EQ(kiosk.generation, 2);
    EXPECT_EQ(kiosk.numLock, false);
    EXPECT_EQ(kiosk.biosGuid, L"{8E2C4A10-6B3D-4F58-9C71-2A4B6D8E0F13}");
    EXPECT_EQ(kiosk.biosSerialNumber, L"6602-3319");
    EXPECT_EQ(kiosk.baseBoardSerialNumber, L"6602-3319-B");
    EXPECT_EQ(kiosk.chassisSerialNumber, L"6602-3319-C");
    EXPECT_EQ(kiosk.chassisAssetTag, L"KIOSK-01");
    const VmIdentity& client = machines[1];
    EXPECT_EQ(client.name, L"Test Client");
    EXPECT_EQ(client.vmId, clientGuid);
    EXPECT_EQ(client.enabledState, 6);
    EXPECT_EQ(client.generation, 1);
    EXPECT_EQ(client.numLock, true);
    EXPECT_EQ(client.biosGuid, L"{0A1B2C3D-4E5F-4061-9273-8495A6B7C8D9}");
    EXPECT_EQ(client.chassisAssetTag, L"QA-DESK-07");
}

TEST_F(IdentityReading, ReadsEveryMachineWithTwoQueriesAndNeverAVmsCheckpoint)
{
    std::vector<VmIdentity> machines;
    HostFailure failure;
    ASSERT_TRUE(ReadIdentities(*session, machines, failure));
    ExpectKioskAndClient(machines);
    EXPECT_EQ(failure.result, MI_RESULT_OK);
    EXPECT_EQ(CountCalls(CallKind::GetInstance), 0);
    EXPECT_EQ(CountCalls(CallKind::GetClass), 0);
    ASSERT_EQ(CountCalls(CallKind::QueryInstances), 2);
    EXPECT_EQ(world.Calls()[0].query,
              L"SELECT Name, ElementName, EnabledState FROM Msvm_ComputerSystem WHERE Name <> 'HV-LAB04'");
    const sim::CallRecord* settingsQuery = nullptr;
    for (const sim::CallRecord& call : world.Calls())
        if (call.kind == CallKind::QueryInstances && call.className == L"Msvm_VirtualSystemSettingData")
            settingsQuery = &call;
    ASSERT_NE(settingsQuery, nullptr);
    EXPECT_EQ(settingsQuery->query,
              L"SELECT InstanceID, VirtualSystemIdentifier, VirtualSystemSubType, BIOSNumLock, "
              L"BaseBoardSerialNumber, BIOSGUID, BIOSSerialNumber, ChassisAssetTag, ChassisSerialNumber "
              L"FROM Msvm_VirtualSystemSettingData WHERE VirtualSystemType = 'Microsoft:Hyper-V:System:Realized'");
    // The window's inventory is not the reading's: nothing is listed into the session.
    EXPECT_TRUE(session->vmEntries.empty());
    ExpectNothingLeaked();
}

TEST_F(IdentityReading, ValuesDeliveredAsTextReadAlike)
{
    lab->valuesAsText = true;
    std::vector<VmIdentity> machines;
    HostFailure failure;
    ASSERT_TRUE(ReadIdentities(*session, machines, failure));
    ExpectKioskAndClient(machines);
}

TEST_F(IdentityReading, LongValuesComeWhole)
{
    const std::wstring longName(140, L'n');
    const std::wstring longTag(40, L't');
    sim::Vm* kiosk = lab->FindVmByGuid(kioskGuid);
    kiosk->name = longName;
    kiosk->settings.chassisAssetTag = longTag;
    std::vector<VmIdentity> machines;
    HostFailure failure;
    ASSERT_TRUE(ReadIdentities(*session, machines, failure));
    ASSERT_EQ(machines.size(), 2u);
    EXPECT_EQ(machines[0].name, longName);
    EXPECT_EQ(machines[0].chassisAssetTag, longTag);
}

TEST_F(IdentityReading, ARefusedQueryGivesNoRowsAndTheHostsWords)
{
    struct Case {
        const wchar_t* refusedClass;
        MI_Result result;
    };
    for (const Case& refused : {Case{L"Msvm_ComputerSystem", MI_RESULT_ACCESS_DENIED},
                                Case{L"Msvm_VirtualSystemSettingData", MI_RESULT_NOT_SUPPORTED}}) {
        SCOPED_TRACE(std::string(refused.refusedClass, refused.refusedClass + wcslen(refused.refusedClass)));
        world.FailCall(CallKind::QueryInstances, 1, refused.result, refused.refusedClass);
        std::vector<VmIdentity> machines(1);
        HostFailure failure;
        EXPECT_FALSE(ReadIdentities(*session, machines, failure));
        EXPECT_TRUE(machines.empty());
        EXPECT_EQ(failure.result, refused.result);
    }
    ExpectNothingLeaked();
}

TEST_F(IdentityReading, HostsAreReadSideBySideThroughTheirOwnSessions)
{
    for (const wchar_t* name : {L"HV-A", L"HV-B", L"HV-C", L"HV-D", L"HV-E"}) {
        sim::VmConfig vm;
        vm.name = std::wstring(name) + L" VM";
        world.AddHost(name).AddVm(vm);
    }
    world.AddHost(L"HV-OLD", sim::HostKind::VirtualizationWithoutV2);
    std::vector<HostRead> reads(1);
    reads[0].hostName = L"HV-LAB04";
    reads[0].registered = session;
    for (const wchar_t* name : {L"HV-A", L"HV-B", L"HV-OLD", L"HV-C", L"HV-D", L"HV-E"}) {
        HostRead read;
        read.hostName = name;
        read.opened = std::make_unique<ManagementSession>(name, application->ManagementApplication(),
                                                          application->Serializer(), application.get());
        reads.push_back(std::move(read));
    }
    ReadHosts(reads);
    ASSERT_EQ(reads[0].outcome, HostRead::Outcome::Read);
    ExpectKioskAndClient(reads[0].machines);
    for (size_t i = 1; i < reads.size(); ++i) {
        SCOPED_TRACE(i);
        const HostRead& read = reads[i];
        if (read.hostName == L"HV-OLD") {
            EXPECT_EQ(read.outcome, HostRead::Outcome::Failed);
            EXPECT_EQ(read.failure.result, MI_RESULT_INVALID_NAMESPACE);
            EXPECT_TRUE(read.machines.empty());
            continue;
        }
        ASSERT_EQ(read.outcome, HostRead::Outcome::Read);
        ASSERT_EQ(read.machines.size(), 1u);
        EXPECT_EQ(read.machines[0].host, read.hostName);
        EXPECT_EQ(read.machines[0].name, read.hostName + L" VM");
        EXPECT_TRUE(read.opened->connected);
    }
    reads.clear();
    ExpectNothingLeaked();
}

}
