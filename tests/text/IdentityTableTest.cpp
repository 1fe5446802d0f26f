#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/IdentityTable.h"

// The identities table without its window: who shares what with whom, in words; the status
// line; hosts that could not be read; sorting and copying.
namespace {

VmIdentity Machine(const wchar_t* host, const wchar_t* name, const wchar_t* guid, const wchar_t* serial,
                   const wchar_t* tag)
{
    VmIdentity machine;
    machine.host = host;
    machine.name = name;
    machine.vmId = L"00000000-0000-4000-8000-000000000000";
    machine.generation = 2;
    machine.numLock = false;
    machine.biosGuid = guid;
    machine.biosSerialNumber = serial;
    machine.baseBoardSerialNumber = serial;
    machine.chassisSerialNumber = serial;
    machine.chassisAssetTag = tag;
    return machine;
}

constexpr wchar_t templateGuid[] = L"{8E2C4A10-6B3D-4F58-9C71-2A4B6D8E0F13}";
constexpr wchar_t templateSerial[] = L"6602-3319-8847-1125-9930-4471-08";
constexpr wchar_t kioskSerial[] = L"7736-4402-1158-8847-2290-5513-05";

std::vector<VmIdentity> Kiosks()
{
    return {Machine(L"HV-LAB04", L"Kiosk Template", templateGuid, templateSerial, L"KIOSK-TEMPLATE"),
            Machine(L"HV-LAB04", L"Kiosk 01", templateGuid, templateSerial, L"KIOSK-TEMPLATE"),
            Machine(L"HV-LAB04", L"Kiosk 02", templateGuid, templateSerial, L"KIOSK-02"),
            Machine(L"HV-LAB04", L"Kiosk 03", L"{D7E6F5A4-B3C2-4D1E-8F09-1A2B3C4D5E6F}", kioskSerial, L"KIOSK-03")};
}

std::vector<std::wstring> Column(const IdentityTable& table, IdentityColumn column)
{
    std::vector<std::wstring> texts;
    for (size_t i = 0; i < table.RowCount(); ++i)
        texts.push_back(table.Text(i, column));
    return texts;
}

TEST(IdentityTable, ClonesOfOneTemplateNameEachOtherAndWhatTheyShare)
{
    IdentityTable table;
    table.ShowHost(L"HV-LAB04", Kiosks());
    EXPECT_EQ(Column(table, IdentityColumn::SharedWith),
              (std::vector<std::wstring>{
                  L"Kiosk 01 on HV-LAB04 (BIOS GUID, BIOS Serial Number, Baseboard Serial Number, "
                  L"Chassis Serial Number, Chassis Asset Tag); Kiosk 02 on HV-LAB04 (BIOS GUID, BIOS "
                  L"Serial Number, Baseboard Serial Number, Chassis Serial Number)",
                  L"Kiosk Template on HV-LAB04 (BIOS GUID, BIOS Serial Number, Baseboard Serial Number, "
                  L"Chassis Serial Number, Chassis Asset Tag); Kiosk 02 on HV-LAB04 (BIOS GUID, BIOS "
                  L"Serial Number, Baseboard Serial Number, Chassis Serial Number)",
                  L"Kiosk Template on HV-LAB04 (BIOS GUID, BIOS Serial Number, Baseboard Serial Number, "
                  L"Chassis Serial Number); Kiosk 01 on HV-LAB04 (BIOS GUID, BIOS Serial Number, "
                  L"Baseboard Serial Number, Chassis Serial Number)",
                  L""}));
    EXPECT_TRUE(table.IsShared(0));
    EXPECT_FALSE(table.IsShared(3));
    EXPECT_EQ(table.StatusLine(), L"4 virtual machines on 1 host; 3 share an identity value with another.");
}

TEST(IdentityTable, AValueSharedAcrossHostsNamesTheOtherHost)
{
    IdentityTable table;
    table.ShowHost(L"HV-LAB04", Kiosks());
    table.ShowHost(L"HV-LAB01", {Machine(L"HV-LAB01", L"Staging", L"{7E8F9A0B-1C2D-4E3F-8051-6273849506A7}",
                                         kioskSerial, L"STG-0003")});
    ASSERT_EQ(table.RowCount(), 5u);
    EXPECT_EQ(table.Text(3, IdentityColumn::SharedWith),
              L"Staging on HV-LAB01 (BIOS Serial Number, Baseboard Serial Number, Chassis Serial Number)");
    EXPECT_EQ(table.Text(4, IdentityColumn::SharedWith),
              L"Kiosk 03 on HV-LAB04 (BIOS Serial Number, Baseboard Serial Number, Chassis Serial Number)");
    EXPECT_EQ(table.StatusLine(), L"5 virtual machines on 2 hosts; 5 share an identity value with another.");
}

struct MatchCase {
    const char* label;
    VmIdentity first;
    VmIdentity second;
    const wchar_t* firstSharesWith;
};

VmIdentity With(VmIdentity machine, std::wstring VmIdentity::*field, const wchar_t* value)
{
    machine.*field = value;
    return machine;
}

TEST(IdentityTable, WhatCountsAsASharedValue)
{
    const VmIdentity a = Machine(L"H1", L"A", L"{00000000-0000-0000-0000-0000000000AA}", L"SA", L"TA");
    const VmIdentity b = Machine(L"H1", L"B", L"{00000000-0000-0000-0000-0000000000BB}", L"SB", L"TB");
    const MatchCase cases[] = {
        {"GUID in another letter case and without braces",
         a, With(b, &VmIdentity::biosGuid, L"00000000-0000-0000-0000-0000000000aa"), L"B on H1 (BIOS GUID)"},
        {"GUID that differs in one digit", a,
         With(b, &VmIdentity::biosGuid, L"{00000000-0000-0000-0000-0000000000AB}"), L""},
        {"empty asset tags", With(a, &VmIdentity::chassisAssetTag, L""),
         With(b, &VmIdentity::chassisAssetTag, L""), L""},
        {"empty GUIDs and bare braces", With(a, &VmIdentity::biosGuid, L""),
         With(b, &VmIdentity::biosGuid, L"{}"), L""},
        {"serials are compared exactly", a, With(b, &VmIdentity::chassisSerialNumber, L"sa"), L""},
        {"one serial in common", a, With(b, &VmIdentity::chassisSerialNumber, L"SA"),
         L"B on H1 (Chassis Serial Number)"},
        {"an asset tag in common", a, With(b, &VmIdentity::chassisAssetTag, L"TA"),
         L"B on H1 (Chassis Asset Tag)"},
        {"another machine's serial in another role", a, With(b, &VmIdentity::chassisAssetTag, L"SA"), L""},
    };
    for (const MatchCase& c : cases) {
        SCOPED_TRACE(c.label);
        IdentityTable table;
        table.ShowHost(L"H1", {c.first, c.second});
        EXPECT_EQ(table.Text(0, IdentityColumn::SharedWith), c.firstSharesWith);
    }
    // One machine's serials equal each other, as Hyper-V makes them: no duplicate.
    IdentityTable alone;
    alone.ShowHost(L"H1", {a});
    EXPECT_FALSE(alone.IsShared(0));
}

TEST(IdentityTable, TheStatusLineCountsInSingularAndPlural)
{
    struct Case {
        std::vector<VmIdentity> machines;
        const wchar_t* line;
    };
    const VmIdentity a = Machine(L"H1", L"A", L"{A}", L"S", L"TA");
    const VmIdentity b = Machine(L"H1", L"B", L"{B}", L"S", L"TB");
    const VmIdentity c = Machine(L"H1", L"C", L"{C}", L"SC", L"TC");
    const Case cases[] = {
        {{}, L"0 virtual machines on 1 host; 0 share an identity value with another."},
        {{c}, L"1 virtual machine on 1 host; 0 share an identity value with another."},
        {{a, b, c}, L"3 virtual machines on 1 host; 2 share an identity value with another."},
    };
    for (const Case& each : cases) {
        IdentityTable table;
        table.ShowHost(L"H1", each.machines);
        EXPECT_EQ(table.StatusLine(), each.line);
    }
    // A host read without machines counts as a host.
    IdentityTable table;
    table.ShowHost(L"H1", {a, c});
    table.ShowHost(L"H2", {});
    EXPECT_EQ(table.StatusLine(), L"2 virtual machines on 2 hosts; 0 share an identity value with another.");
}

TEST(IdentityTable, AHostThatCannotBeReadShowsItsLineInPlaceOfItsRows)
{
    IdentityTable table;
    table.ShowHost(L"HV-LAB04", Kiosks());
    table.ShowHost(L"HV-LAB01", {Machine(L"HV-LAB01", L"Staging", L"{7E}", kioskSerial, L"STG")});
    table.ShowFailure(L"HV-OLD", {MI_RESULT_INVALID_NAMESPACE, {}});
    table.ShowFailure(L"hv-lab01", {MI_RESULT_ACCESS_DENIED, L"The user has no rights\r\non this host."});
    EXPECT_EQ(table.FailureLines(),
              (std::vector<std::wstring>{
                  L"HV-LAB01: Acess to the management interface object is denied. Details: The user "
                  L"has no rights on this host.",
                  L"HV-OLD: The specified management interface namespace does not exist."}));
    EXPECT_EQ(table.RowCount(), 4u);
    EXPECT_TRUE(table.Shows(L"hv-old"));
    EXPECT_EQ(table.HostNames(), (std::vector<std::wstring>{L"HV-LAB04", L"HV-LAB01", L"HV-OLD"}));
    // Kiosk 03's partner is no longer shown.
    EXPECT_EQ(table.Text(3, IdentityColumn::SharedWith), L"");
    EXPECT_EQ(table.StatusLine(), L"4 virtual machines on 1 host; 3 share an identity value with another.");
    table.ShowHost(L"HV-OLD", {});
    EXPECT_EQ(table.FailureLines().size(), 1u);
}

TEST(IdentityTable, AColumnSortsUpThenDownKeepingTheReadingOrderAmongEquals)
{
    std::vector<VmIdentity> machines = Kiosks();
    machines[0].enabledState = 3;
    machines[1].enabledState = 2;
    machines[2].enabledState = 3;
    machines[3].enabledState = 2;
    IdentityTable table;
    table.ShowHost(L"HV-LAB04", machines);
    table.SortBy(IdentityColumn::Name);
    EXPECT_EQ(Column(table, IdentityColumn::Name),
              (std::vector<std::wstring>{L"Kiosk 01", L"Kiosk 02", L"Kiosk 03", L"Kiosk Template"}));
    table.SortBy(IdentityColumn::Name);
    EXPECT_EQ(Column(table, IdentityColumn::Name),
              (std::vector<std::wstring>{L"Kiosk Template", L"Kiosk 03", L"Kiosk 02", L"Kiosk 01"}));
    table.SortBy(IdentityColumn::State);
    EXPECT_EQ(Column(table, IdentityColumn::Name),
              (std::vector<std::wstring>{L"Kiosk Template", L"Kiosk 02", L"Kiosk 01", L"Kiosk 03"}));
    table.SortBy(IdentityColumn::State);
    EXPECT_EQ(Column(table, IdentityColumn::Name),
              (std::vector<std::wstring>{L"Kiosk 01", L"Kiosk 03", L"Kiosk Template", L"Kiosk 02"}));
    // A host read again keeps the order the user chose.
    table.ShowHost(L"HV-LAB04", machines);
    EXPECT_EQ(table.Text(0, IdentityColumn::Name), L"Kiosk 01");
}

TEST(IdentityTable, CopiedRowsAreTabSeparatedUnderTheTitles)
{
    std::vector<VmIdentity> machines = Kiosks();
    machines[3].name = L"Kiosk\t03\r\nlobby";
    machines[3].enabledState = 3;
    machines[2].generation = 1;
    machines[2].numLock = true;
    machines[2].enabledState = 2;
    IdentityTable table;
    table.ShowHost(L"HV-LAB04", machines);
    EXPECT_EQ(table.CopyText({2, 3}),
              L"Host\tName\tState\tGeneration\tBIOS GUID\tBIOS Serial Number\tBaseboard Serial Number\t"
              L"Chassis Serial Number\tChassis Asset Tag\tNum Lock\tShared With\tPending\tResult\r\n"
              L"HV-LAB04\tKiosk 02\tRunning\t1\t{8E2C4A10-6B3D-4F58-9C71-2A4B6D8E0F13}\t"
              L"6602-3319-8847-1125-9930-4471-08\t6602-3319-8847-1125-9930-4471-08\t"
              L"6602-3319-8847-1125-9930-4471-08\tKIOSK-02\tYes\tKiosk Template on HV-LAB04 (BIOS GUID, "
              L"BIOS Serial Number, Baseboard Serial Number, Chassis Serial Number); Kiosk 01 on "
              L"HV-LAB04 (BIOS GUID, BIOS Serial Number, Baseboard Serial Number, Chassis Serial "
              L"Number)\t\t\r\n"
              L"HV-LAB04\tKiosk 03 lobby\tOff\t2\t{D7E6F5A4-B3C2-4D1E-8F09-1A2B3C4D5E6F}\t"
              L"7736-4402-1158-8847-2290-5513-05\t7736-4402-1158-8847-2290-5513-05\t"
              L"7736-4402-1158-8847-2290-5513-05\tKIOSK-03\t-\t\t\t\r\n");
}

TEST(IdentityColumns, GenerationAndNumLockAsTheWindowShowsThem)
{
    struct Case {
        int generation;
        std::optional<bool> numLock;
        std::uint16_t state;
        const wchar_t* generationText;
        const wchar_t* numLockText;
        const wchar_t* stateText;
    };
    const Case cases[] = {
        {1, true, 2, L"1", L"Yes", L"Running"},
        {1, false, 3, L"1", L"No", L"Off"},
        {2, false, 6, L"2", L"-", L"Saved"},
        {2, true, 9, L"2", L"-", L"Paused"},
        {0, true, 11, L"", L"Yes", L"In Transition"},
        {0, std::nullopt, 32773, L"", L"", L""},
    };
    for (const Case& c : cases) {
        VmIdentity machine;
        machine.generation = c.generation;
        machine.numLock = c.numLock;
        machine.enabledState = c.state;
        EXPECT_EQ(ColumnText(machine, IdentityColumn::Generation), c.generationText);
        EXPECT_EQ(ColumnText(machine, IdentityColumn::NumLock), c.numLockText);
        EXPECT_EQ(ColumnText(machine, IdentityColumn::State), c.stateText);
    }
}

}
