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

struct LongValueCase {
    std::string label;
    std::wstring sim::VmSettings::*field;
    Getter get;
    std::wstring value;
};

class ReadSettingsLongValues : public ReadSettings,
                               public ::testing::WithParamInterface<LongValueCase> {};

// A value another tool set beyond the field's limit loads whole: cutting it would show (and
// later write back) a value the host does not hold. The form refuses it at Apply.
TEST_P(ReadSettingsLongValues, AValueBeyondItsFieldLoadsWhole)
{
    const LongValueCase& c = GetParam();
    VmEntry& entry = Loaded(L"Test Client");
    const MI_Instance* instanceBefore = entry.settingsInstance.Get();
    HostVm(L"Test Client").settings.*c.field = c.value;
    const sim::LiveCounts before = world.Live();

    ASSERT_TRUE(entry.ReadSettings());

    EXPECT_EQ((entry.settings.*c.get)(), c.value);
    EXPECT_NE(entry.settingsInstance.Get(), instanceBefore);
    EXPECT_EQ(world.Live(), before);
}

using Host = sim::VmSettings;
using Record = VmSettings;
using Long = LongValueCase;

INSTANTIATE_TEST_SUITE_P(
    Fields, ReadSettingsLongValues,
    ::testing::Values(
        Long{"BaseBoardAt33", &Host::baseBoardSerialNumber, &Record::BaseBoardSerialNumber,
             std::wstring(33, L'b')},
        Long{"BiosSerialAt40", &Host::biosSerialNumber, &Record::BiosSerialNumber,
             std::wstring(40, L's')},
        Long{"AssetTagAt64", &Host::chassisAssetTag, &Record::ChassisAssetTag,
             std::wstring(64, L'a')},
        // 32 characters of which the last needs two UTF-16 units: 33 units.
        Long{"ChassisSerialSurrogatePairAt33Units", &Host::chassisSerialNumber,
             &Record::ChassisSerialNumber, std::wstring(31, L'c') + L"\U0001D11E"},
        Long{"GuidAt39", &Host::biosGuid, &Record::BiosGuid,
             L"{0A1B2C3D-4E5F-4061-9273-8495A6B7C8D9} "}),
    CaseName<LongValueCase>);

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
