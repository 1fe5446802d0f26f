#include <gtest/gtest.h>

#include <string>

#include "vm/PowerState.h"
#include "vm/VmEntry.h"
#include "vm/VmSettings.h"

namespace {

struct GuidCase {
    const wchar_t* input;
    const wchar_t* expected;  // null when rejected
};

class NormalizeGuidCases : public ::testing::TestWithParam<GuidCase> {};

TEST_P(NormalizeGuidCases, GivesTheBracedUpperCaseFormOrRejects)
{
    const GuidCase& c = GetParam();
    const auto result = NormalizeGuid(c.input);
    if (!c.expected) {
        EXPECT_FALSE(result.has_value());
        return;
    }
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(*result, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NormalizeGuidCases,
    ::testing::Values(
        GuidCase{L"0123456789abcdef0123456789ABCDEF", L"{01234567-89AB-CDEF-0123-456789ABCDEF}"},
        GuidCase{L"{01234567-89ab-cdef-0123-456789abcdef}", L"{01234567-89AB-CDEF-0123-456789ABCDEF}"},
        GuidCase{L"0123456789abcdef0123456789abcdef0123", L"{01234567-89AB-CDEF-0123-456789ABCDEF}"},
        GuidCase{L"xyz0123456789abcdef0123456789abcdef", L"{01234567-89AB-CDEF-0123-456789ABCDEF}"},
        GuidCase{L"0123456789abcdef0123456789abcde", nullptr},
        GuidCase{L"0123-4567-89ab-cdef-0123-4567-89ab", nullptr},
        GuidCase{L"", nullptr},
        GuidCase{L"ghijklmnopqrstuvwxyzghijklmnopqrstuv", nullptr},
        // Full-width digits are letters of another script, not hexadecimal digits.
        GuidCase{L"\uff10123456789abcdef0123456789abcdef", nullptr}));

TEST(SettingsRecord, IsMadeEmptyWithTheInstanceIdFormedFromTheMachinesName)
{
    const VmEntry entry(nullptr, nullptr, L"EAE43A5D-86F9-4DE2-AED2-0B2374374A0F", L"Web",
                        nullptr);
    const VmSettings& settings = entry.settings;
    EXPECT_EQ(settings.InstanceId(), L"Microsoft:EAE43A5D-86F9-4DE2-AED2-0B2374374A0F");
    EXPECT_FALSE(settings.BiosNumLock());
    EXPECT_EQ(settings.BaseBoardSerialNumber(), L"");
    EXPECT_EQ(settings.BiosGuid(), L"");
    EXPECT_EQ(settings.BiosSerialNumber(), L"");
    EXPECT_EQ(settings.ChassisAssetTag(), L"");
    EXPECT_EQ(settings.ChassisSerialNumber(), L"");
}

using TextSetter = bool (VmSettings::*)(std::wstring_view);
using TextGetter = const std::wstring& (VmSettings::*)() const;

struct TextField {
    const char* name;
    TextSetter set;
    TextGetter get;
};

class TextSetters : public ::testing::TestWithParam<TextField> {};

TEST_P(TextSetters, StoreUpToThirtyTwoUnitsAndKeepTheOldValueOtherwise)
{
    const TextField& field = GetParam();
    VmSettings settings;
    const std::wstring exact(32, L'7');
    EXPECT_TRUE((settings.*field.set)(exact));
    EXPECT_EQ((settings.*field.get)(), exact);
    EXPECT_FALSE((settings.*field.set)(std::wstring(33, L'8')));
    EXPECT_EQ((settings.*field.get)(), exact);
    // Counts are in UTF-16 units: 16 surrogate pairs fill the field, one more unit does not.
    std::wstring pairs;
    for (int i = 0; i < 16; ++i)
        pairs += L"\U0001F600";
    EXPECT_TRUE((settings.*field.set)(pairs));
    EXPECT_FALSE((settings.*field.set)(pairs + L"x"));
    EXPECT_TRUE((settings.*field.set)(L""));
    EXPECT_EQ((settings.*field.get)(), L"");
}

INSTANTIATE_TEST_SUITE_P(
    Fields, TextSetters,
    ::testing::Values(
        TextField{"BaseBoard", &VmSettings::SetBaseBoardSerialNumber,
                  &VmSettings::BaseBoardSerialNumber},
        TextField{"BiosSerial", &VmSettings::SetBiosSerialNumber, &VmSettings::BiosSerialNumber},
        TextField{"AssetTag", &VmSettings::SetChassisAssetTag, &VmSettings::ChassisAssetTag},
        TextField{"ChassisSerial", &VmSettings::SetChassisSerialNumber,
                  &VmSettings::ChassisSerialNumber}),
    [](const ::testing::TestParamInfo<TextField>& info) { return info.param.name; });

TEST(SettingsRecord, BiosGuidSetterNormalisesAndRejectsWithoutChange)
{
    VmSettings settings;
    ASSERT_TRUE(settings.SetBiosGuid(L"0123456789abcdef0123456789abcdef"));
    EXPECT_EQ(settings.BiosGuid(), L"{01234567-89AB-CDEF-0123-456789ABCDEF}");
    EXPECT_FALSE(settings.SetBiosGuid(L""));
    EXPECT_FALSE(settings.SetBiosGuid(L"not a guid at all, not even close"));
    EXPECT_EQ(settings.BiosGuid(), L"{01234567-89AB-CDEF-0123-456789ABCDEF}");
}

TEST(PowerStateNames, NameTheStatesTheWindowShowsAndNoOthers)
{
    const struct {
        std::uint16_t state;
        const wchar_t* name;
    } cases[] = {{0, L"Unknown"}, {1, L"In Transition"}, {2, L"Running"}, {3, L"Off"},
                 {6, L"Saved"},   {9, L"Paused"},       {11, L"In Transition"},
                 {4, nullptr},    {5, nullptr},          {7, nullptr},   {8, nullptr},
                 {10, nullptr},   {12, nullptr},         {32768, nullptr}, {65535, nullptr}};
    for (const auto& c : cases) {
        const wchar_t* name = StateName(c.state);
        if (c.name)
            EXPECT_STREQ(name, c.name) << c.state;
        else
            EXPECT_EQ(name, nullptr) << c.state;
    }
}

}
