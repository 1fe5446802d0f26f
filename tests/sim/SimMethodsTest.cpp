// Methods and jobs over virtual time: settings changes, state changes and guest shutdowns.
#include "tests/sim/SimFixture.h"
#include "tests/support/SimClockBinding.h"

namespace {

constexpr wchar_t v2[] = L"root/virtualization/v2";
constexpr wchar_t offGuid[] = L"9D4A6E10-C2B7-4F38-8A95-1E0C3B7D6F24";
constexpr wchar_t runningGuid[] = L"EAE43A5D-86F9-4DE2-AED2-0B2374374A0F";
constexpr wchar_t stubbornGuid[] = L"42F7A9B1-D8C3-4A60-9E2B-5C1D7F3E8A06";

class MethodsTest : public SimTest {
protected:
    MethodsTest()
    {
        sim::Host& lab = world.AddHost(L"HV-LAB01");
        // Generation 1 machines: their firmware has the Num Lock setting the tests change.
        sim::VmConfig off = Machine(L"Test Client", sim::state::Off, offGuid);
        off.generation = 1;
        offVm = &lab.AddVm(off);
        sim::VmConfig running = Machine(L"Web", sim::state::Running, runningGuid);
        running.generation = 1;
        runningVm = &lab.AddVm(running);
        sim::VmConfig stubborn = Machine(L"Stubborn", sim::state::Running, stubbornGuid);
        stubborn.guestIgnoresShutdown = true;
        stubbornVm = &lab.AddVm(stubborn);
        session = Open(L"HV-LAB01");
    }

    void TearDown() override
    {
        Close(session);
        SimTest::TearDown();
    }

    MI_Instance* Parameters()
    {
        MI_Instance* parameters = nullptr;
        EXPECT_EQ(MI_RESULT_OK, MI_Application_NewInstance(&application, L"__parameters", nullptr, &parameters));
        return parameters;
    }

    static std::wstring SettingsXml(const std::wstring& guid, const std::wstring& properties)
    {
        return L"<INSTANCE CLASSNAME=\"Msvm_VirtualSystemSettingData\">"
               L"<PROPERTY NAME=\"InstanceID\" TYPE=\"string\"><VALUE>Microsoft:" + guid +
               L"</VALUE></PROPERTY>" + properties + L"</INSTANCE>";
    }

    static std::wstring Text(const wchar_t* name, const std::wstring& value, const wchar_t* type = L"string")
    {
        return std::wstring(L"<PROPERTY NAME=\"") + name + L"\" TYPE=\"" + type + L"\"><VALUE>" + value +
               L"</VALUE></PROPERTY>";
    }

    Answer Modify(const std::wstring& xml)
    {
        MI_Instance* service = KeyInstance(L"Msvm_VirtualSystemManagementService", L"Name", L"vmms");
        MI_Instance* parameters = Parameters();
        MI_Value value{};
        value.string = const_cast<MI_Char*>(xml.c_str());
        EXPECT_EQ(MI_RESULT_OK, MI_Instance_AddElement(parameters, L"SystemSettings", &value, MI_STRING, 0));
        const Answer answer = Invoke(session, service, L"ModifySystemSettings", parameters);
        EXPECT_EQ(MI_RESULT_OK, MI_Instance_Delete(parameters));
        EXPECT_EQ(MI_RESULT_OK, MI_Instance_Delete(service));
        return answer;
    }

    Answer RequestState(const wchar_t* guid, MI_Uint16 requested)
    {
        MI_Instance* target = KeyInstance(L"Msvm_ComputerSystem", L"Name", guid);
        MI_Value value{};
        value.string = const_cast<MI_Char*>(L"Msvm_ComputerSystem");
        EXPECT_EQ(MI_RESULT_OK, MI_Instance_AddElement(target, L"CreationClassName", &value, MI_STRING, MI_FLAG_KEY));
        MI_Instance* parameters = Parameters();
        value.uint16 = requested;
        EXPECT_EQ(MI_RESULT_OK, MI_Instance_AddElement(parameters, L"RequestedState", &value, MI_UINT16, 0));
        const Answer answer = Invoke(session, target, L"RequestStateChange", parameters);
        EXPECT_EQ(MI_RESULT_OK, MI_Instance_Delete(parameters));
        EXPECT_EQ(MI_RESULT_OK, MI_Instance_Delete(target));
        return answer;
    }

    Answer Shutdown(const wchar_t* guid)
    {
        MI_Instance* component = KeyInstance(L"Msvm_ShutdownComponent", L"SystemName", guid);
        MI_Instance* parameters = Parameters();
        MI_Value value{};
        value.boolean = MI_TRUE;
        EXPECT_EQ(MI_RESULT_OK, MI_Instance_AddElement(parameters, L"Force", &value, MI_BOOLEAN, 0));
        value.string = const_cast<MI_Char*>(L"Because I want to");
        EXPECT_EQ(MI_RESULT_OK, MI_Instance_AddElement(parameters, L"Reason", &value, MI_STRING, 0));
        const Answer answer = Invoke(session, component, L"InitiateShutdown", parameters);
        EXPECT_EQ(MI_RESULT_OK, MI_Instance_Delete(parameters));
        EXPECT_EQ(MI_RESULT_OK, MI_Instance_Delete(component));
        return answer;
    }

    // Polls the job as the program does (100 ms apart) until it leaves Running; the reads.
    int WaitForJob(const std::wstring& jobId, MI_Uint16& jobState, MI_Uint16& errorCode,
                   std::wstring* description = nullptr)
    {
        int reads = 0;
        for (;;) {
            ++reads;
            EXPECT_EQ(MI_RESULT_OK, ReadJob(session, jobId, jobState, errorCode, description));
            if (jobState != 4 || reads > 1000)
                return reads;
            CurrentPlatform().sleep(100);
        }
    }

    SimClockBinding clock{world};
    sim::Vm* offVm = nullptr;
    sim::Vm* runningVm = nullptr;
    sim::Vm* stubbornVm = nullptr;
    MI_Session session{};
};

TEST_F(MethodsTest, SettingsChangeRunsAsAJobAndAppliesWhenItEnds)
{
    world.durations.settingsJob = 450;
    const Answer answer = Modify(SettingsXml(L"9d4a6e10-c2b7-4f38-8a95-1e0c3b7d6f24",
        Text(L"ChassisAssetTag", L"R&amp;D &lt;7&gt;") + Text(L"BIOSNumLock", L"TRUE", L"boolean") +
        Text(L"BIOSGUID", L"{0a1b2c3d-4e5f-4061-9273-8495a6b7c8d9}")));
    ASSERT_EQ(MI_RESULT_OK, answer.result);
    ASSERT_EQ(4096u, answer.returnValue);
    EXPECT_NE(L"R&D <7>", offVm->settings.chassisAssetTag);
    MI_Uint16 jobState = 0, errorCode = 0;
    EXPECT_EQ(6, WaitForJob(answer.jobId, jobState, errorCode));
    EXPECT_EQ(7, jobState);
    EXPECT_EQ(0, errorCode);
    EXPECT_EQ(L"R&D <7>", offVm->settings.chassisAssetTag);
    EXPECT_TRUE(offVm->settings.biosNumLock);
    EXPECT_EQ(L"{0A1B2C3D-4E5F-4061-9273-8495A6B7C8D9}", offVm->settings.biosGuid);
}

TEST_F(MethodsTest, SettingsChangeCanBeAnsweredAtOnce)
{
    world.settingsAnswer = sim::SettingsAnswer::Immediate;
    const Answer answer = Modify(SettingsXml(offGuid, Text(L"BIOSSerialNumber", std::wstring(32, L'9'))));
    EXPECT_EQ(0u, answer.returnValue);
    EXPECT_TRUE(answer.jobId.empty());
    EXPECT_EQ(std::wstring(32, L'9'), offVm->settings.biosSerialNumber);
}

TEST_F(MethodsTest, SettingsTheHostCannotTakeAreRefused)
{
    struct Case {
        const char* what;
        std::wstring xml;
        MI_Uint32 returnValue;
    };
    const Case cases[] = {
        {"malformed", L"<INSTANCE CLASSNAME=\"Msvm_VirtualSystemSettingData\"><PROPERTY", 4},
        {"not xml", L"BIOSGUID={...}", 4},
        {"wrong class", L"<INSTANCE CLASSNAME=\"Msvm_ComputerSystem\"><PROPERTY NAME=\"InstanceID\" "
                        L"TYPE=\"string\"><VALUE>Microsoft:" + std::wstring(offGuid) + L"</VALUE></PROPERTY></INSTANCE>", 4},
        {"unknown InstanceID", SettingsXml(L"00000000-0000-0000-0000-000000000000", L""), 4},
        {"no InstanceID", L"<INSTANCE CLASSNAME=\"Msvm_VirtualSystemSettingData\"/>", 4},
        {"33 characters", SettingsXml(offGuid, Text(L"ChassisSerialNumber", std::wstring(33, L'1'))), 4},
        {"GUID without braces", SettingsXml(offGuid, Text(L"BIOSGUID", L"0A1B2C3D-4E5F-4061-9273-8495A6B7C8D9")), 4},
        {"GUID with a letter that is no digit", SettingsXml(offGuid, Text(L"BIOSGUID", L"{0A1B2C3D-4E5F-4061-9273-8495A6B7C8DG}")), 4},
        {"boolean that is not one", SettingsXml(offGuid, Text(L"BIOSNumLock", L"yes", L"boolean")), 32776},
        {"serial typed as a number", SettingsXml(offGuid, Text(L"BIOSSerialNumber", L"5", L"uint32")), 32776},
    };
    const sim::VmSettings before = offVm->settings;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Answer answer = Modify(c.xml);
        EXPECT_EQ(MI_RESULT_OK, answer.result);
        EXPECT_EQ(c.returnValue, answer.returnValue);
        EXPECT_TRUE(answer.jobId.empty());
    }
    EXPECT_EQ(before.chassisSerialNumber, offVm->settings.chassisSerialNumber);
    EXPECT_EQ(before.biosGuid, offVm->settings.biosGuid);
}

TEST_F(MethodsTest, IdentityOfARunningVmCannotChange)
{
    const std::wstring before = runningVm->settings.biosSerialNumber;
    const Answer answer = Modify(SettingsXml(runningGuid, Text(L"BIOSSerialNumber", L"NEW")));
    ASSERT_EQ(4096u, answer.returnValue);
    MI_Uint16 jobState = 0, errorCode = 0;
    std::wstring description;
    WaitForJob(answer.jobId, jobState, errorCode, &description);
    EXPECT_EQ(10, jobState);
    EXPECT_EQ(32775, errorCode);
    EXPECT_NE(std::wstring::npos, description.find(L"'Web'"));
    EXPECT_EQ(before, runningVm->settings.biosSerialNumber);

    world.lockedRefusal = sim::LockedRefusal::ReturnValue;
    EXPECT_EQ(32775u, Modify(SettingsXml(runningGuid, Text(L"ChassisAssetTag", L"NEW"))).returnValue);

    // Num Lock is not part of the identity, and sending the current values changes nothing.
    world.settingsAnswer = sim::SettingsAnswer::Immediate;
    EXPECT_EQ(0u, Modify(SettingsXml(runningGuid, Text(L"BIOSNumLock", L"true", L"boolean") +
                                     Text(L"BIOSSerialNumber", before))).returnValue);
    EXPECT_TRUE(runningVm->settings.biosNumLock);
}

// Generation 2 firmware has no Num Lock setting: the host takes the rest of the change and
// keeps the machine's value, whichever is sent.
TEST_F(MethodsTest, AGeneration2VmTakesTheChangeButKeepsItsNumLock)
{
    world.settingsAnswer = sim::SettingsAnswer::Immediate;
    for (const bool held : {false, true}) {
        sim::VmConfig config = Machine(held ? L"Gen2 On" : L"Gen2 Off", sim::state::Off,
                                       held ? L"0B1C2D3E-4F50-4617-8293-A4B5C6D7E8F9"
                                            : L"1C2D3E4F-5061-4728-93A4-B5C6D7E8F90A");
        config.settings.biosNumLock = held;
        sim::Vm& vm = world.FindHost(L"HV-LAB01")->AddVm(config);
        ASSERT_EQ(vm.generation, 2);
        const Answer answer = Modify(SettingsXml(vm.guid,
            Text(L"BIOSNumLock", held ? L"FALSE" : L"TRUE", L"boolean") + Text(L"ChassisAssetTag", L"G2-TAG")));
        EXPECT_EQ(0u, answer.returnValue);
        EXPECT_EQ(held, vm.settings.biosNumLock);
        EXPECT_EQ(L"G2-TAG", vm.settings.chassisAssetTag);
    }
}

TEST_F(MethodsTest, ALongValueSetByAnotherToolIsHeldButNotTaken)
{
    const std::wstring longSerial = L"LONG-SERIAL-SET-BY-ANOTHER-TOOL-0042"; // 36 characters
    sim::VmConfig config = Machine(L"Imported", sim::state::Off, L"5A6B7C8D-1E2F-4A3B-8C4D-5E6F7A8B9C0D");
    config.settings.biosSerialNumber = longSerial;
    sim::Vm& imported = world.FindHost(L"HV-LAB01")->AddVm(config);
    const Pulled read = Query(session, v2,
        L"SELECT * FROM Msvm_VirtualSystemSettingData WHERE InstanceID = 'Microsoft:5A6B7C8D-1E2F-4A3B-8C4D-5E6F7A8B9C0D'",
        L"BIOSSerialNumber");
    EXPECT_EQ(std::vector<std::wstring>{longSerial}, read.values);

    world.settingsAnswer = sim::SettingsAnswer::Immediate;
    const std::wstring guid = imported.guid;
    EXPECT_EQ(4u, Modify(SettingsXml(guid, Text(L"BIOSSerialNumber", longSerial))).returnValue);
    EXPECT_EQ(4u, Modify(SettingsXml(guid, Text(L"BIOSSerialNumber", std::wstring(33, L'7')))).returnValue);
    EXPECT_EQ(longSerial, imported.settings.biosSerialNumber);
    // What the change does not name stays as the other tool left it.
    EXPECT_EQ(0u, Modify(SettingsXml(guid, Text(L"ChassisAssetTag", L"TAG-1"))).returnValue);
    EXPECT_EQ(L"TAG-1", imported.settings.chassisAssetTag);
    EXPECT_EQ(longSerial, imported.settings.biosSerialNumber);
    EXPECT_EQ(0u, Modify(SettingsXml(guid, Text(L"BIOSSerialNumber", std::wstring(32, L'7')))).returnValue);
    EXPECT_EQ(std::wstring(32, L'7'), imported.settings.biosSerialNumber);
}

TEST_F(MethodsTest, CheckpointsHoldTheirOwnFrozenSettings)
{
    offVm->settings.chassisAssetTag = L"BEFORE";
    world.FindHost(L"HV-LAB01")->AddCheckpoint(*offVm, L"Test Client - before the update");
    offVm->settings.chassisAssetTag = L"DURING";
    world.FindHost(L"HV-LAB01")->AddCheckpoint(*offVm, L"Test Client - during the update");
    offVm->settings.chassisAssetTag = L"LIVE";
    ASSERT_EQ(2u, offVm->checkpoints.size());
    const std::wstring firstId = L"Microsoft:" + offVm->checkpoints[0].guid;
    const std::wstring secondId = L"Microsoft:" + offVm->checkpoints[1].guid;
    EXPECT_NE(firstId, secondId);

    const std::wstring ofVm = std::wstring(L"SELECT * FROM Msvm_VirtualSystemSettingData WHERE VirtualSystemIdentifier = '") + offGuid + L"'";
    EXPECT_EQ((std::vector<std::wstring>{firstId, secondId, std::wstring(L"Microsoft:") + offGuid}),
              Query(session, v2, ofVm.c_str(), L"InstanceID").values);
    EXPECT_EQ((std::vector<std::wstring>{L"Microsoft:Hyper-V:Snapshot:Realized", L"Microsoft:Hyper-V:Snapshot:Realized",
                                         L"Microsoft:Hyper-V:System:Realized"}),
              Query(session, v2, ofVm.c_str(), L"VirtualSystemType").values);
    EXPECT_EQ((std::vector<std::wstring>{L"BEFORE", L"DURING", L"LIVE"}),
              Query(session, v2, ofVm.c_str(), L"ChassisAssetTag").values);

    MI_Instance* key = KeyInstance(L"Msvm_VirtualSystemSettingData", L"InstanceID", firstId.c_str());
    MI_Operation operation{};
    MI_Session_GetInstance(&session, 0, nullptr, v2, key, nullptr, &operation);
    const MI_Instance* checkpoint = nullptr;
    MI_Operation_GetInstance(&operation, &checkpoint, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, checkpoint);
    EXPECT_EQ(L"Test Client - before the update", StringElement(checkpoint, L"ElementName"));
    EXPECT_EQ(offGuid, StringElement(checkpoint, L"VirtualSystemIdentifier"));
    EXPECT_EQ(L"BEFORE", StringElement(checkpoint, L"ChassisAssetTag"));
    EXPECT_EQ(MI_RESULT_OK, Drain(operation));
    EXPECT_EQ(MI_RESULT_OK, MI_Instance_Delete(key));

    // A checkpoint's settings are refused at once; the live ones change as before.
    const std::wstring checkpointXml =
        L"<INSTANCE CLASSNAME=\"Msvm_VirtualSystemSettingData\"><PROPERTY NAME=\"InstanceID\" TYPE=\"string\"><VALUE>" +
        secondId + L"</VALUE></PROPERTY>" + Text(L"ChassisAssetTag", L"CHANGED") + L"</INSTANCE>";
    const Answer refused = Modify(checkpointXml);
    EXPECT_EQ(32773u, refused.returnValue);
    EXPECT_TRUE(refused.jobId.empty());
    const Answer live = Modify(SettingsXml(offGuid, Text(L"ChassisAssetTag", L"CHANGED")));
    MI_Uint16 jobState = 0, errorCode = 0;
    WaitForJob(live.jobId, jobState, errorCode);
    EXPECT_EQ(7, jobState);
    EXPECT_EQ(L"CHANGED", offVm->settings.chassisAssetTag);
    EXPECT_EQ(L"BEFORE", offVm->checkpoints[0].settings.chassisAssetTag);
    EXPECT_EQ(L"DURING", offVm->checkpoints[1].settings.chassisAssetTag);
}

TEST_F(MethodsTest, AVmConfiguredWithCheckpointsFreezesTheConfiguredSettings)
{
    sim::VmConfig config = Machine(L"Snapshotted");
    config.settings.biosSerialNumber = L"1111";
    config.checkpoints = {L"First", L"Second"};
    sim::Vm& vm = world.FindHost(L"HV-LAB01")->AddVm(config);
    ASSERT_EQ(2u, vm.checkpoints.size());
    EXPECT_EQ(L"First", vm.checkpoints[0].name);
    EXPECT_EQ(L"Second", vm.checkpoints[1].name);
    EXPECT_EQ(L"1111", vm.checkpoints[1].settings.biosSerialNumber);
    EXPECT_EQ(vm.settings.biosGuid, vm.checkpoints[0].settings.biosGuid);
    EXPECT_NE(vm.guid, vm.checkpoints[0].guid);
    const std::wstring ofVm = L"SELECT * FROM Msvm_VirtualSystemSettingData WHERE VirtualSystemIdentifier = '" + vm.guid + L"'";
    EXPECT_EQ((std::vector<std::wstring>{L"First", L"Second", L"Snapshotted"}),
              Query(session, v2, ofVm.c_str(), L"ElementName").values);
}

TEST_F(MethodsTest, AJobCanSucceedWithWarnings)
{
    sim::JobPlan warnings;
    warnings.warnings = true;
    world.PlanNextJob(warnings);
    const Answer answer = Modify(SettingsXml(offGuid, Text(L"ChassisAssetTag", L"WARNED")));
    ASSERT_EQ(4096u, answer.returnValue);
    MI_Uint16 jobState = 0, errorCode = 0;
    WaitForJob(answer.jobId, jobState, errorCode);
    EXPECT_EQ(32768, jobState);
    EXPECT_EQ(0, errorCode);
    EXPECT_EQ(L"WARNED", offVm->settings.chassisAssetTag);
}

TEST_F(MethodsTest, StateChangesPassThroughTransitionalStates)
{
    world.durations.start = 2000;
    const Answer start = RequestState(offGuid, sim::state::Running);
    ASSERT_EQ(4096u, start.returnValue);
    EXPECT_EQ(sim::state::Starting, offVm->enabledState);
    EXPECT_EQ(32775u, RequestState(offGuid, sim::state::Running).returnValue);
    MI_Uint16 jobState = 0, errorCode = 0;
    EXPECT_EQ(21, WaitForJob(start.jobId, jobState, errorCode));
    EXPECT_EQ(7, jobState);
    EXPECT_EQ(sim::state::Running, offVm->enabledState);
    EXPECT_EQ(32775u, RequestState(offGuid, sim::state::Running).returnValue);
    EXPECT_EQ(32773u, RequestState(offGuid, 5).returnValue);

    const Answer off = RequestState(offGuid, sim::state::Off);
    ASSERT_EQ(4096u, off.returnValue);
    EXPECT_EQ(sim::state::Stopping, offVm->enabledState);
    WaitForJob(off.jobId, jobState, errorCode);
    EXPECT_EQ(sim::state::Off, offVm->enabledState);
    EXPECT_EQ(32775u, RequestState(offGuid, sim::state::Paused).returnValue);
}

TEST_F(MethodsTest, GuestShutdownTurnsTheVmOffLaterOrNever)
{
    world.durations.guestShutdown = 3000;
    EXPECT_EQ(0u, Shutdown(runningGuid).returnValue);
    EXPECT_EQ(32782u, Shutdown(runningGuid).returnValue);
    EXPECT_EQ(0u, Shutdown(stubbornGuid).returnValue);
    world.Advance(2999);
    EXPECT_EQ(sim::state::Running, runningVm->enabledState);
    world.Advance(1);
    EXPECT_EQ(sim::state::Off, runningVm->enabledState);
    // The component went away with the running guest.
    const Answer gone = Shutdown(runningGuid);
    EXPECT_EQ(MI_RESULT_NOT_FOUND, gone.result);
    world.Advance(60 * 60 * 1000);
    EXPECT_EQ(sim::state::Running, stubbornVm->enabledState);
}

TEST_F(MethodsTest, JobsCanFailStallOrFailToBeRead)
{
    sim::JobPlan stall;
    stall.stallReads = 3;
    world.PlanNextJob(stall);
    world.durations.turnOff = 100;
    const Answer stalled = RequestState(runningGuid, sim::state::Off);
    MI_Uint16 jobState = 0, errorCode = 0;
    EXPECT_EQ(5, WaitForJob(stalled.jobId, jobState, errorCode));
    EXPECT_EQ(7, jobState);

    sim::JobPlan unreadable;
    unreadable.failingReads = 2;
    unreadable.readFailure = MI_RESULT_SERVER_LIMITS_EXCEEDED;
    world.PlanNextJob(unreadable);
    const Answer failingReads = RequestState(runningGuid, sim::state::Running);
    EXPECT_EQ(MI_RESULT_SERVER_LIMITS_EXCEEDED, ReadJob(session, failingReads.jobId, jobState, errorCode));
    EXPECT_EQ(MI_RESULT_SERVER_LIMITS_EXCEEDED, ReadJob(session, failingReads.jobId, jobState, errorCode));
    WaitForJob(failingReads.jobId, jobState, errorCode);
    EXPECT_EQ(sim::state::Running, runningVm->enabledState);

    sim::JobPlan failing;
    failing.fails = true;
    failing.errorCode = 32768;
    failing.errorDescription = L"The worker process stopped.";
    world.PlanNextJob(failing);
    const Answer failed = RequestState(runningGuid, sim::state::Off);
    std::wstring description;
    WaitForJob(failed.jobId, jobState, errorCode, &description);
    EXPECT_EQ(10, jobState);
    EXPECT_EQ(32768, errorCode);
    EXPECT_EQ(L"The worker process stopped.", description);
    EXPECT_EQ(sim::state::Running, runningVm->enabledState);

    // Finished jobs are forgotten after about five minutes.
    world.Advance(5 * 60 * 1000 + 1000);
    EXPECT_EQ(MI_RESULT_NOT_FOUND, ReadJob(session, failed.jobId, jobState, errorCode));
}

TEST_F(MethodsTest, InjectedFaultsHitTheCallTheyName)
{
    world.FailCall(sim::CallKind::QueryInstances, 2, MI_RESULT_ACCESS_DENIED);
    world.FailCall(sim::CallKind::GetInstance, 1, MI_RESULT_SERVER_IS_SHUTTING_DOWN, L"Msvm_ConcreteJob");
    world.FixReturnValue(L"RequestStateChange", 32769);
    const wchar_t query[] = L"SELECT * FROM Msvm_VirtualSystemManagementService";
    EXPECT_EQ(MI_RESULT_OK, Query(session, v2, query).result);
    EXPECT_EQ(MI_RESULT_ACCESS_DENIED, Query(session, v2, query).result);
    EXPECT_EQ(MI_RESULT_OK, Query(session, v2, query).result);
    EXPECT_EQ(32769u, RequestState(offGuid, sim::state::Running).returnValue);
    EXPECT_EQ(sim::state::Off, offVm->enabledState);
    world.ClearReturnValue(L"RequestStateChange");
    const Answer start = RequestState(offGuid, sim::state::Running);
    MI_Uint16 jobState = 0, errorCode = 0;
    EXPECT_EQ(MI_RESULT_SERVER_IS_SHUTTING_DOWN, ReadJob(session, start.jobId, jobState, errorCode));

    world.FailCall(sim::CallKind::ReadInstance, 2, MI_RESULT_FAILED);
    const Pulled cut = Query(session, v2, L"SELECT * FROM Msvm_ComputerSystem");
    EXPECT_EQ(1u, cut.values.size());
    EXPECT_EQ(MI_RESULT_FAILED, cut.result);
}

TEST_F(MethodsTest, AHostCanStopAnsweringMidListing)
{
    world.FindHost(L"hv-lab01")->StopAnsweringAfter(2);
    const Pulled listing = Query(session, v2,
        L"SELECT Name, ElementName FROM Msvm_ComputerSystem WHERE Caption = 'Virtual Machine'", L"ElementName");
    EXPECT_EQ((std::vector<std::wstring>{L"Test Client", L"Web"}), listing.values);
    EXPECT_EQ(MI_RESULT_FAILED, listing.result);
    EXPECT_EQ(MI_RESULT_FAILED, Query(session, L"root/cimv2", L"SELECT * FROM Win32_OperatingSystem").result);
}

TEST_F(MethodsTest, TheCallLogNamesEachCall)
{
    world.ClearCalls();
    RequestState(offGuid, sim::state::Running);
    std::vector<sim::CallRecord> invokes;
    for (const sim::CallRecord& call : world.Calls())
        if (call.kind == sim::CallKind::Invoke)
            invokes.push_back(call);
    ASSERT_EQ(1u, invokes.size());
    EXPECT_EQ(L"HV-LAB01", invokes[0].host);
    EXPECT_EQ(L"WINRM", invokes[0].protocol);
    EXPECT_EQ(v2, invokes[0].nameSpace);
    EXPECT_EQ(L"Msvm_ComputerSystem", invokes[0].className);
    EXPECT_EQ(L"RequestStateChange", invokes[0].method);
    EXPECT_EQ((std::vector<std::pair<std::wstring, std::wstring>>{{L"RequestedState", L"2"}}), invokes[0].parameters);
}

TEST_F(MethodsTest, TheProgramsClockSeamsRunOnTheWorldsClock)
{
    const std::uint64_t before = world.NowMs();
    const DWORD tick = CurrentPlatform().tickCount();
    CurrentPlatform().sleep(250);
    EXPECT_EQ(before + 250, world.NowMs());
    EXPECT_EQ(250u, CurrentPlatform().tickCount() - tick);
}

TEST(DemoWorld, HoldsTheHostsTheDemoShows)
{
    FakePlatform platform;
    platform.computerName = L"workstation";
    const auto world = sim::MakeDemoWorld(sim::MakeVirtualClock());
    auto names = [](sim::Host& host) {
        std::vector<std::wstring> all;
        for (const auto& vm : host.Vms())
            all.push_back(vm->name);
        return all;
    };
    EXPECT_EQ((std::vector<std::wstring>{L"Build Agent 01", L"Build Agent 02", L"Domain Controller"}),
              names(*world->FindHost(L"WORKSTATION")));
    sim::Host& lab = *world->FindHost(L"hv-lab01");
    EXPECT_EQ((std::vector<std::wstring>{L"Web Frontend", L"Database", L"Test Client", L"Archive", L"Staging", L"Legacy App"}),
              names(lab));
    EXPECT_TRUE(lab.FindVm(L"Test Client")->settings.biosNumLock);
    EXPECT_EQ(sim::state::Off, lab.FindVm(L"Test Client")->enabledState);
    EXPECT_FALSE(lab.FindVm(L"Legacy App")->guestShutdownService);
    EXPECT_TRUE(world->FindHost(L"HV-LAB02")->Vms().empty());
    sim::Host& german = *world->FindHost(L"hv-lab03");
    EXPECT_EQ(sim::HostLanguage::German, german.language);
    EXPECT_EQ((std::vector<std::wstring>{L"Dateiserver", L"Testrechner"}), names(german));
    EXPECT_EQ(sim::state::Running, german.FindVm(L"Dateiserver")->enabledState);
    EXPECT_EQ(sim::state::Off, german.FindVm(L"Testrechner")->enabledState);
    EXPECT_EQ(sim::HostLanguage::English, lab.language);
    EXPECT_EQ(sim::HostKind::VirtualizationWithoutV2, world->FindHost(L"HV-OLD")->Kind());
    EXPECT_EQ(nullptr, world->FindHost(L"HV-ELSEWHERE"));
}

TEST(DemoWorld, HvLab04HoldsFourKiosksClonedFromOneTemplate)
{
    FakePlatform platform;
    const auto world = sim::MakeDemoWorld(sim::MakeVirtualClock());
    struct Kiosk {
        const wchar_t* name;
        const wchar_t* guid;
        MI_Uint16 state;
        const wchar_t* biosGuid;
        const wchar_t* serial;
        const wchar_t* assetTag;
    };
    const Kiosk kiosks[] = {
        {L"Kiosk Template", L"5B0E7C12-9A34-4F61-8D27-3C4E5F607182", sim::state::Off,
         L"{8E2C4A10-6B3D-4F58-9C71-2A4B6D8E0F13}", L"6602-3319-8847-1125-9930-4471-08", L"KIOSK-TEMPLATE"},
        {L"Kiosk 01", L"A4C6E802-1B3D-4E5F-8071-92A3B4C5D6E7", sim::state::Off,
         L"{8E2C4A10-6B3D-4F58-9C71-2A4B6D8E0F13}", L"6602-3319-8847-1125-9930-4471-08", L"KIOSK-TEMPLATE"},
        {L"Kiosk 02", L"C1D2E3F4-0516-4728-9A3B-4C5D6E7F8091", sim::state::Running,
         L"{8E2C4A10-6B3D-4F58-9C71-2A4B6D8E0F13}", L"6602-3319-8847-1125-9930-4471-08", L"KIOSK-02"},
        {L"Kiosk 03", L"0F1E2D3C-4B5A-4697-8877-665544332211", sim::state::Off,
         L"{D7E6F5A4-B3C2-4D1E-8F09-1A2B3C4D5E6F}", L"7736-4402-1158-8847-2290-5513-05", L"KIOSK-03"},
    };
    const sim::Host& lab = *world->FindHost(L"HV-LAB04");
    ASSERT_EQ(std::size(kiosks), lab.Vms().size());
    size_t checkpoints = 0;
    for (size_t i = 0; i < std::size(kiosks); ++i) {
        const Kiosk& expected = kiosks[i];
        const sim::Vm& vm = *lab.Vms()[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(expected.name, vm.name);
        EXPECT_EQ(expected.guid, vm.guid);
        EXPECT_EQ(expected.state, vm.enabledState);
        EXPECT_EQ(2, vm.generation);
        EXPECT_EQ(expected.biosGuid, vm.settings.biosGuid);
        EXPECT_EQ(expected.serial, vm.settings.biosSerialNumber);
        EXPECT_EQ(expected.serial, vm.settings.baseBoardSerialNumber);
        EXPECT_EQ(expected.serial, vm.settings.chassisSerialNumber);
        EXPECT_EQ(expected.assetTag, vm.settings.chassisAssetTag);
        for (const sim::Checkpoint& checkpoint : vm.checkpoints) {
            ++checkpoints;
            EXPECT_NE(vm.settings.biosGuid, checkpoint.settings.biosGuid);
        }
    }
    EXPECT_EQ(1u, checkpoints);
    // Kiosk 03 shares its serial with a machine of another host.
    sim::Host& lab01 = *world->FindHost(L"HV-LAB01");
    EXPECT_EQ(kiosks[3].serial, lab01.FindVm(L"Staging")->settings.biosSerialNumber);
}

}
