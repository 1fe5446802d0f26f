#include <gtest/gtest.h>

#include <string>

#include "tests/vm/MachineFixture.h"
#include "vm/PowerState.h"

namespace {

using sim::CallKind;

class ReadSettings : public MachineFixture {};

TEST_F(ReadSettings, LoadsTheSixSettingsAsTheHostHoldsThem)
{
    sim::Vm& vm = HostVm(L"Test Client");
    vm.settings = {true, L"BB <1>", L"{0a1b2c3d-4e5f-4061-9273-8495a6b7c8d9}", L"BIOS & \u0416",
                   L"", L"CH-'3'"};
    VmEntry& entry = *Entry(*session, L"Test Client");

    ASSERT_TRUE(entry.LoadSettings());

    const VmSettings& record = entry.settings;
    EXPECT_TRUE(record.BiosNumLock());
    EXPECT_EQ(record.BaseBoardSerialNumber(), L"BB <1>");
    // Kept in the host's form until the user sets it.
    EXPECT_EQ(record.BiosGuid(), L"{0a1b2c3d-4e5f-4061-9273-8495a6b7c8d9}");
    EXPECT_EQ(record.BiosSerialNumber(), L"BIOS & \u0416");
    EXPECT_EQ(record.ChassisAssetTag(), L"");
    EXPECT_EQ(record.ChassisSerialNumber(), L"CH-'3'");
    EXPECT_EQ(entry.EnabledState, stateOff);
    EXPECT_TRUE(entry.settingsInstance);

    vm.settings.biosNumLock = false;
    ASSERT_TRUE(entry.ReadSettings());
    EXPECT_FALSE(entry.settings.BiosNumLock());
    entry.settingsInstance.Reset();
    entry.computerSystemInstance.Reset();
    ExpectNothingLeaked();
}

using Getter = const std::wstring& (VmSettings::*)() const;
constexpr Getter getters[] = {&VmSettings::BaseBoardSerialNumber, &VmSettings::BiosGuid,
                              &VmSettings::BiosSerialNumber, &VmSettings::ChassisAssetTag,
                              &VmSettings::ChassisSerialNumber};

struct LimitCase {
    std::string label;
    std::wstring sim::VmSettings::*field;
    Getter get;
    std::wstring value;
    bool fits;
};

class ReadSettingsLimits : public ReadSettings, public ::testing::WithParamInterface<LimitCase> {};

// A value the record cannot hold is never cut: the read fails and the record keeps what it had,
// so that an apply cannot write a cut value back.
TEST_P(ReadSettingsLimits, AValueBeyondItsFieldFailsTheReadAndChangesNothing)
{
    const LimitCase& c = GetParam();
    VmEntry& entry = Loaded(L"Test Client");
    const MI_Instance* instanceBefore = entry.settingsInstance.Get();
    const VmSettings recordBefore = entry.settings;
    HostVm(L"Test Client").settings.*c.field = c.value;
    const sim::LiveCounts before = world.Live();

    EXPECT_EQ(entry.ReadSettings(), c.fits);

    if (c.fits) {
        EXPECT_EQ((entry.settings.*c.get)(), c.value);
        EXPECT_NE(entry.settingsInstance.Get(), instanceBefore);
    } else {
        EXPECT_EQ(entry.settingsInstance.Get(), instanceBefore);
        for (Getter get : getters)
            EXPECT_EQ((entry.settings.*get)(), (recordBefore.*get)());
    }
    EXPECT_EQ(world.Live(), before);
}

const std::wstring guid38 = L"{0A1B2C3D-4E5F-4061-9273-8495A6B7C8D9}";
using Host = sim::VmSettings;
using Record = VmSettings;
using Limit = LimitCase;

INSTANTIATE_TEST_SUITE_P(
    Fields, ReadSettingsLimits,
    ::testing::Values(
        Limit{"BaseBoardAt32", &Host::baseBoardSerialNumber, &Record::BaseBoardSerialNumber,
              std::wstring(32, L'b'), true},
        Limit{"BaseBoardAt33", &Host::baseBoardSerialNumber, &Record::BaseBoardSerialNumber,
              std::wstring(33, L'b'), false},
        Limit{"BiosSerialAt33", &Host::biosSerialNumber, &Record::BiosSerialNumber,
              std::wstring(33, L's'), false},
        Limit{"AssetTagAt32", &Host::chassisAssetTag, &Record::ChassisAssetTag,
              std::wstring(32, L'a'), true},
        Limit{"AssetTagAt33", &Host::chassisAssetTag, &Record::ChassisAssetTag,
              std::wstring(33, L'a'), false},
        Limit{"ChassisSerialAt33", &Host::chassisSerialNumber, &Record::ChassisSerialNumber,
              std::wstring(33, L'c'), false},
        // 31 characters of which the last needs two UTF-16 units: 32 units, held.
        Limit{"SurrogatePairAt32Units", &Host::chassisSerialNumber, &Record::ChassisSerialNumber,
              std::wstring(30, L'c') + L"\U0001D11E", true},
        Limit{"SurrogatePairAt33Units", &Host::chassisSerialNumber, &Record::ChassisSerialNumber,
              std::wstring(31, L'c') + L"\U0001D11E", false},
        Limit{"GuidAt38", &Host::biosGuid, &Record::BiosGuid, guid38, true},
        Limit{"GuidAt39", &Host::biosGuid, &Record::BiosGuid, guid38 + L" ", false}),
    CaseName<LimitCase>);

TEST_F(ReadSettings, AMachineWithoutSettingsOnTheHostLeavesTheRecordAsItWas)
{
    VmEntry& entry = Loaded(L"Test Client");
    ASSERT_TRUE(entry.settings.SetChassisAssetTag(L"edited"));
    const MI_Instance* instanceBefore = entry.settingsInstance.Get();
    const sim::LiveCounts before = world.Live();
    world.FailCall(CallKind::GetInstance, 1, MI_RESULT_NOT_FOUND, L"Msvm_VirtualSystemSettingData");

    EXPECT_FALSE(entry.ReadSettings());

    EXPECT_EQ(entry.settings.ChassisAssetTag(), L"edited");
    EXPECT_EQ(entry.settingsInstance.Get(), instanceBefore);
    EXPECT_EQ(world.Live(), before);
}

TEST_F(ReadSettings, LoadingStopsWhenTheStateCannotBeRead)
{
    VmEntry& entry = *Entry(*session, L"Test Client");
    world.FailCall(CallKind::GetInstance, 1, MI_RESULT_ACCESS_DENIED, L"Msvm_ComputerSystem");
    EXPECT_FALSE(entry.LoadSettings());
    EXPECT_EQ(CountCalls(CallKind::GetInstance, L"Msvm_VirtualSystemSettingData"), 0);
    EXPECT_FALSE(entry.settingsInstance);
    ExpectNothingLeaked();
}

}
