#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "sim/CimXmlReader.h"
#include "tests/vm/MachineFixture.h"
#include "vm/ApplySettings.h"

namespace {

using sim::CallKind;

constexpr wchar_t caption[] = L"Saving Virtual Machine Settings Changes";

class Apply : public MachineFixture {
protected:
    // The settings instance that ModifySystemSettings received, parsed back.
    sim::CimInstanceText SentSettings() const
    {
        const sim::CallRecord* call = LastInvoke(L"ModifySystemSettings");
        EXPECT_NE(call, nullptr);
        if (!call)
            return {};
        EXPECT_EQ(call->parameters.size(), 1u);
        const std::wstring* text = Parameter(*call, L"SystemSettings");
        EXPECT_NE(text, nullptr);
        const auto parsed = text ? sim::ReadCimXml(*text) : std::nullopt;
        EXPECT_TRUE(parsed.has_value());
        return parsed.value_or(sim::CimInstanceText{});
    }

    void ExpectOneBox(const std::wstring& text) const
    {
        ASSERT_EQ(platform.boxes.size(), 1u);
        EXPECT_EQ(platform.boxes[0].text, text);
        EXPECT_EQ(platform.boxes[0].caption, caption);
        EXPECT_EQ(platform.boxes[0].style, static_cast<UINT>(MB_ICONERROR));
    }

    int JobReads() const { return CountCalls(CallKind::GetInstance, L"Msvm_ConcreteJob"); }
};

TEST_F(Apply, ChangingOneSettingSendsTheWholeRecordAsCimXml)
{
    sim::Vm& vm = HostVm(L"Test Client");
    vm.settings.baseBoardSerialNumber = L"R&D <7> \"q\" 'a' \u0416\u65e5\U0001D11E";
    vm.settings.biosSerialNumber = L"\u0141\u00f3d\u017a & <Kraków>";
    vm.settings.chassisSerialNumber = L"a'b\"c>d<e&f";
    vm.settings.biosGuid = L"{3F2504E0-4F89-41D3-9A0C-0305E82C3301}";
    vm.settings.biosNumLock = true;
    VmEntry& entry = Loaded(L"Test Client");
    ASSERT_TRUE(entry.settings.SetChassisAssetTag(L"Rack 7 \u2116 12"));
    const sim::LiveCounts before = world.Live();

    ASSERT_TRUE(ApplySettings(*session, entry));

    const sim::CimInstanceText sent = SentSettings();
    EXPECT_EQ(sent.className, L"Msvm_VirtualSystemSettingData");
    struct Expected {
        const wchar_t* name;
        const wchar_t* type;
        std::wstring value;
    };
    const std::vector<Expected> expected = {
        {L"InstanceID", L"string", std::wstring(L"Microsoft:") + offGuid},
        {L"BIOSNumLock", L"boolean", L"TRUE"},
        {L"BaseBoardSerialNumber", L"string", L"R&D <7> \"q\" 'a' \u0416\u65e5\U0001D11E"},
        {L"BIOSGUID", L"string", L"{3F2504E0-4F89-41D3-9A0C-0305E82C3301}"},
        {L"BIOSSerialNumber", L"string", L"\u0141\u00f3d\u017a & <Krak\u00f3w>"},
        {L"ChassisAssetTag", L"string", L"Rack 7 \u2116 12"},
        {L"ChassisSerialNumber", L"string", L"a'b\"c>d<e&f"},
    };
    ASSERT_EQ(sent.properties.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const sim::CimProperty& property = sent.properties[i];
        EXPECT_EQ(property.name, expected[i].name);
        EXPECT_EQ(property.type, expected[i].type);
        EXPECT_FALSE(property.isArray);
        ASSERT_FALSE(property.isNull) << i;
        EXPECT_EQ(property.values.front(), expected[i].value) << i;
    }
    // The host applied what it parsed: the untouched values came back as they were.
    EXPECT_EQ(vm.settings.baseBoardSerialNumber, L"R&D <7> \"q\" 'a' \u0416\u65e5\U0001D11E");
    EXPECT_EQ(vm.settings.biosSerialNumber, L"\u0141\u00f3d\u017a & <Kraków>");
    EXPECT_EQ(vm.settings.chassisSerialNumber, L"a'b\"c>d<e&f");
    EXPECT_EQ(vm.settings.chassisAssetTag, L"Rack 7 \u2116 12");
    EXPECT_TRUE(vm.settings.biosNumLock);
    EXPECT_TRUE(platform.boxes.empty());

    ASSERT_EQ(CountCalls(CallKind::QueryInstances), 1);
    EXPECT_EQ(world.Calls()[0].query, L"SELECT * FROM Msvm_VirtualSystemManagementService");
    EXPECT_EQ(world.Calls()[0].nameSpace, L"root/virtualization/v2");
    EXPECT_EQ(LastInvoke(L"ModifySystemSettings")->className,
              L"Msvm_VirtualSystemManagementService");
    EXPECT_EQ(session->operationContext, 9); // "Loading Virtual Machine Management Service"
    EXPECT_EQ(session->lastResult, 0);
    EXPECT_EQ(world.Live(), before);
}

TEST_F(Apply, NumLockOffIsSentAsFalse)
{
    VmEntry& entry = Loaded(L"Test Client");
    entry.settings.SetBiosNumLock(false);
    HostVm(L"Test Client").settings.biosNumLock = true;
    ASSERT_TRUE(ApplySettings(*session, entry));
    EXPECT_EQ(SentSettings().properties.at(1).values.front(), L"FALSE");
    EXPECT_FALSE(HostVm(L"Test Client").settings.biosNumLock);
}

struct GenerationCase {
    const char* name;
    int generation;
    bool hasNumLock;
    const wchar_t* sent; // BIOSNumLock as written after read as true and set to false
};

class ApplyGenerations : public Apply, public ::testing::WithParamInterface<GenerationCase> {};

// Only a generation 2 machine's firmware lacks Num Lock: its value is written back as read,
// whatever is set. A generation 1 machine and an unknown subtype take the change.
TEST_P(ApplyGenerations, NumLockIsSentAsSetOnlyWhereTheFirmwareHasIt)
{
    const GenerationCase& c = GetParam();
    sim::Vm& vm = HostVm(L"Test Client");
    vm.generation = c.generation;
    vm.settings.biosNumLock = true;
    VmEntry& entry = Loaded(L"Test Client");
    EXPECT_EQ(entry.settings.HasNumLockSetting(), c.hasNumLock);

    entry.settings.SetBiosNumLock(false);
    ASSERT_TRUE(entry.settings.SetChassisAssetTag(L"G-TAG"));
    ASSERT_TRUE(ApplySettings(*session, entry));

    const sim::CimInstanceText sent = SentSettings();
    ASSERT_EQ(sent.properties.at(1).name, L"BIOSNumLock");
    EXPECT_EQ(sent.properties.at(1).values.front(), c.sent);
    EXPECT_EQ(vm.settings.chassisAssetTag, L"G-TAG");
}

INSTANTIATE_TEST_SUITE_P(
    Subtypes, ApplyGenerations,
    ::testing::Values(GenerationCase{"Generation1", 1, true, L"FALSE"},
                      GenerationCase{"Generation2", 2, false, L"TRUE"},
                      GenerationCase{"UnknownSubtype", 3, true, L"FALSE"}),
    [](const ::testing::TestParamInfo<GenerationCase>& info) { return info.param.name; });

TEST_F(Apply, AJobRunningThreeReadsIsFollowedWith100MsSleepsToSuccess)
{
    world.durations.settingsJob = 300;
    VmEntry& entry = Loaded(L"Test Client");
    ASSERT_TRUE(entry.settings.SetChassisAssetTag(L"AT-1"));
    const std::uint64_t start = world.NowMs();

    EXPECT_TRUE(ApplySettings(*session, entry));

    EXPECT_EQ(JobReads(), 4);
    EXPECT_EQ(world.NowMs() - start, 300u);
    EXPECT_EQ(HostVm(L"Test Client").settings.chassisAssetTag, L"AT-1");
    EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(Apply, AnImmediateAnswerNeedsNoJob)
{
    world.settingsAnswer = sim::SettingsAnswer::Immediate;
    VmEntry& entry = Loaded(L"Test Client");
    ASSERT_TRUE(entry.settings.SetBiosSerialNumber(L"B-2"));
    EXPECT_TRUE(ApplySettings(*session, entry));
    EXPECT_EQ(JobReads(), 0);
    EXPECT_EQ(HostVm(L"Test Client").settings.biosSerialNumber, L"B-2");
}

struct ReturnCase {
    std::string label;
    MI_Uint32 returnValue;
    const wchar_t* text; // null: success
};

class ApplyReturnValues : public Apply, public ::testing::WithParamInterface<ReturnCase> {};

TEST_P(ApplyReturnValues, AreWordedUnderTheSavingCaption)
{
    const ReturnCase& c = GetParam();
    world.FixReturnValue(L"ModifySystemSettings", c.returnValue);
    VmEntry& entry = Loaded(L"Test Client");
    const sim::LiveCounts before = world.Live();

    EXPECT_EQ(ApplySettings(*session, entry), c.text == nullptr);

    if (c.text)
        ExpectOneBox(c.text);
    else
        EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(world.Live(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Host, ApplyReturnValues,
    ::testing::Values(
        ReturnCase{"Done", 0, nullptr},
        ReturnCase{"JobThatEndsWell", 4096, nullptr},
        ReturnCase{"NotSupported", 1, L"This operation is not supported"},
        ReturnCase{"Unspecified", 2, L"Failure due to an unspecified error"},
        ReturnCase{"TimedOut", 3, L"The operation timed out"},
        ReturnCase{"InvalidParameter", 4, L"An invalid parameter was specified"},
        ReturnCase{"InvalidState", 5,
                   L"The virtual machine is in an invalid state for this operation"},
        ReturnCase{"Incompatible", 6, L"Incompatible parameters were provided"},
        ReturnCase{"Seven", 7, L"An unknown error occured"},
        ReturnCase{"HostsOwnInvalidState", 32775, L"An unknown error occured"},
        ReturnCase{"JustBelowAJob", 4095, L"An unknown error occured"}),
    CaseName<ReturnCase>);

struct JobCase {
    std::string label;
    sim::JobPlan plan;
    bool jobWithoutHostWording; // the job of a fixed 4096, which has no text of its own
    const wchar_t* text;        // null: success
    int reads;
};

class ApplyJobs : public Apply, public ::testing::WithParamInterface<JobCase> {};

TEST_P(ApplyJobs, EndAsTheHostReports)
{
    const JobCase& c = GetParam();
    if (c.jobWithoutHostWording)
        world.FixReturnValue(L"ModifySystemSettings", 4096);
    world.PlanNextJob(c.plan);
    VmEntry& entry = Loaded(L"Test Client");
    ASSERT_TRUE(entry.settings.SetChassisAssetTag(L"AT-9"));
    const sim::LiveCounts before = world.Live();

    EXPECT_EQ(ApplySettings(*session, entry), c.text == nullptr);

    if (c.text)
        ExpectOneBox(c.text);
    else
        EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(JobReads(), c.reads);
    EXPECT_EQ(entry.settings.ChassisAssetTag(), L"AT-9");
    EXPECT_EQ(world.Live(), before);
}

sim::JobPlan Failing(MI_Uint16 errorCode, std::wstring description = {})
{
    sim::JobPlan plan;
    plan.fails = true;
    plan.errorCode = errorCode;
    plan.errorDescription = std::move(description);
    return plan;
}

sim::JobPlan WithWarnings()
{
    sim::JobPlan plan;
    plan.warnings = true;
    return plan;
}

// The job is read once (running), then `count` reads fail.
sim::JobPlan ReadsFailing(unsigned count, unsigned answeredFirst = 1)
{
    sim::JobPlan plan;
    plan.answeredReads = answeredFirst;
    plan.failingReads = count;
    return plan;
}

constexpr wchar_t notFollowed[] =
    L"The host's job could not be followed to its end, so it is not known whether it "
    L"succeeded. Refresh the virtual machine to see its current state.";

INSTANTIATE_TEST_SUITE_P(
    Host, ApplyJobs,
    ::testing::Values(
        JobCase{"FailsInTheHostsWords", Failing(32768, L"Disk <D:> & 'C:' are \"full\""), false,
                L"Disk <D:> & 'C:' are \"full\"", 5},
        JobCase{"FailsWithoutWords", Failing(32770), true,
                L"The host reported that its job failed (error code 32770) without describing "
                L"the failure.",
                5},
        // Exception (10) without an ErrorCode must not read as a wait that gave up.
        JobCase{"EndsInExceptionWithoutACode", Failing(0), true,
                L"The host reported that its job failed (error code 10) without describing "
                L"the failure.",
                5},
        JobCase{"CompletesWithWarnings", WithWarnings(), false, nullptr, 5},
        JobCase{"ReadsFailingFiftyTimesAreRetried", ReadsFailing(50), false, nullptr, 52},
        JobCase{"ReadsFailingFiftyOneTimesGiveUp", ReadsFailing(51), false, notFollowed, 52},
        // A job never seen is not waited for: the first failed read ends the wait.
        JobCase{"FirstReadFailing", ReadsFailing(1, 0), false, notFollowed, 1}),
    CaseName<JobCase>);

struct FailureCase {
    std::string label;
    CallKind kind;
    MI_Result result;
    const wchar_t* match;
    int invokes;
    const wchar_t* text;
};

class ApplyFailures : public Apply, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ApplyFailures, AreToldInTheirOwnWords)
{
    const FailureCase& c = GetParam();
    VmEntry& entry = Loaded(L"Test Client");
    ASSERT_TRUE(entry.settings.SetChassisAssetTag(L"AT-3"));
    const std::wstring hostTag = HostVm(L"Test Client").settings.chassisAssetTag;
    const sim::LiveCounts before = world.Live();
    world.FailCall(c.kind, 1, c.result, c.match);

    EXPECT_FALSE(ApplySettings(*session, entry));

    ExpectOneBox(c.text);
    EXPECT_EQ(CountCalls(CallKind::Invoke), c.invokes);
    EXPECT_EQ(HostVm(L"Test Client").settings.chassisAssetTag, hostTag);
    EXPECT_EQ(world.Live(), before);
}

constexpr wchar_t notPrepared[] =
    L"The settings of Test Client were not saved: the request could not be "
    L"prepared.\r\n\r\nThe management interface encountered an unspecified error.";

INSTANTIATE_TEST_SUITE_P(
    Steps, ApplyFailures,
    ::testing::Values(
        FailureCase{"NoManagementService", CallKind::QueryInstances, MI_RESULT_INVALID_CLASS,
                    L"Msvm_VirtualSystemManagementService", 0,
                    L"The settings of Test Client were not saved: the virtual machine management "
                    L"service of HV-LAB01 could not be reached.\r\n\r\nThe specified management "
                    L"interface class does not exist.\r\nDetails: Invalid class"},
        FailureCase{"NoParameters", CallKind::NewInstance, MI_RESULT_SERVER_LIMITS_EXCEEDED,
                    L"__parameters", 0,
                    L"The settings of Test Client were not saved: the request could not be "
                    L"prepared.\r\n\r\nThe management interface operation failed because the "
                    L"target CIM server's limits were exceeded."},
        // A setting left out, or a text not made, would send less than the user sees.
        FailureCase{"SettingNotAdded", CallKind::AddElement, MI_RESULT_FAILED, L"ChassisAssetTag",
                    0, notPrepared},
        FailureCase{"SettingsTextNotMade", CallKind::Serialize, MI_RESULT_FAILED, L"", 0,
                    notPrepared},
        FailureCase{"MethodRefused", CallKind::Invoke, MI_RESULT_ACCESS_DENIED,
                    L"ModifySystemSettings", 1,
                    L"The settings of Test Client may not have been saved: the answer of "
                    L"HV-LAB01 could not be read. Select the virtual machine again to see the "
                    L"settings it holds.\r\n\r\nAcess to the management interface object is "
                    L"denied.\r\nDetails: Access denied"},
        // The host's job was started but is not followed: it may yet make the change.
        FailureCase{"AnswerUnread", CallKind::GetElement, MI_RESULT_FAILED, L"ReturnValue", 1,
                    L"The settings of Test Client may not have been saved: the answer of "
                    L"HV-LAB01 could not be read. Select the virtual machine again to see the "
                    L"settings it holds.\r\n\r\nThe management interface encountered an "
                    L"unspecified error."}),
    CaseName<FailureCase>);

TEST_F(Apply, TheHostsRefusalOfANewGuidForARunningMachineIsShownInItsOwnWords)
{
    VmEntry& entry = Loaded(L"Web");
    ASSERT_TRUE(entry.settings.SetBiosGuid(L"0a1b2c3d4e5f406192738495a6b7c8d9"));
    const sim::LiveCounts before = world.Live();

    EXPECT_FALSE(ApplySettings(*session, entry));

    ExpectOneBox(std::wstring(L"'Web' failed to modify settings. The BIOS GUID, the serial numbers "
                              L"and the asset tag cannot be changed while the virtual machine is "
                              L"running, saved or paused. Turn the virtual machine off and try "
                              L"again. (Virtual machine ID ") +
                 runningGuid + L")");
    EXPECT_EQ(SentSettings().properties.at(3).values.front(),
              L"{0A1B2C3D-4E5F-4061-9273-8495A6B7C8D9}");
    // The edit stays in the record for the user to correct.
    EXPECT_EQ(entry.settings.BiosGuid(), L"{0A1B2C3D-4E5F-4061-9273-8495A6B7C8D9}");
    EXPECT_EQ(world.Live(), before);
}

TEST_F(Apply, ARefusalAsAReturnValueIsWordedByTheTable)
{
    world.lockedRefusal = sim::LockedRefusal::ReturnValue;
    world.lockedRefusalReturnValue = 5;
    VmEntry& entry = Loaded(L"Web");
    ASSERT_TRUE(entry.settings.SetBaseBoardSerialNumber(L"BB-1"));
    EXPECT_FALSE(ApplySettings(*session, entry));
    ExpectOneBox(L"The virtual machine is in an invalid state for this operation");
}

TEST_F(Apply, ARunningMachinesNumLockIsSentWithItsOtherSettingsExactlyAsRead)
{
    sim::Vm& vm = HostVm(L"Web");
    vm.settings.baseBoardSerialNumber = L" BB-01 ";
    vm.settings.biosGuid = L"{5C1B0E2A-7D3F-4A6B-9E8C-1F2A3B4C5D6E}";
    vm.settings.biosSerialNumber = L"  ";
    vm.settings.chassisAssetTag = L"Rack\t7";
    vm.settings.chassisSerialNumber = L"CS-0001 ";
    VmEntry& entry = Loaded(L"Web");
    entry.settings.SetBiosNumLock(true);

    EXPECT_TRUE(ApplySettings(*session, entry));

    const sim::CimInstanceText sent = SentSettings();
    const std::vector<std::pair<std::wstring, std::wstring>> expected = {
        {L"InstanceID", std::wstring(L"Microsoft:") + runningGuid},
        {L"BIOSNumLock", L"TRUE"},
        {L"BaseBoardSerialNumber", L" BB-01 "},
        {L"BIOSGUID", L"{5C1B0E2A-7D3F-4A6B-9E8C-1F2A3B4C5D6E}"},
        {L"BIOSSerialNumber", L"  "},
        {L"ChassisAssetTag", L"Rack\t7"},
        {L"ChassisSerialNumber", L"CS-0001 "},
    };
    std::vector<std::pair<std::wstring, std::wstring>> values;
    for (const sim::CimProperty& property : sent.properties)
        values.emplace_back(property.name, property.values.empty() ? L"" : property.values.front());
    EXPECT_EQ(values, expected);
    EXPECT_TRUE(platform.boxes.empty());
}

}
