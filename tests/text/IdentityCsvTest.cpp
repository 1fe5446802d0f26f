#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/IdentityCsv.h"

namespace {

TEST(IdentityCsv, TheExactBytesOfASmallWorld)
{
    VmIdentity quoted;
    quoted.host = L"HV-LAB04";
    quoted.name = L"Kiosk \"Lobby\", east";
    quoted.vmId = L"A4C6E802-1B3D-4E5F-8071-92A3B4C5D6E7";
    quoted.enabledState = 2;
    quoted.generation = 2;
    quoted.numLock = false;
    quoted.biosGuid = L"{8E2C4A10-6B3D-4F58-9C71-2A4B6D8E0F13}";
    quoted.biosSerialNumber = L"=HYPERLINK(\"x\")";
    quoted.baseBoardSerialNumber = L"+1";
    quoted.chassisSerialNumber = L"@SUM(A1)";
    quoted.chassisAssetTag = L"\tTAB";
    VmIdentity plain;
    plain.host = L"HV-LAB01";
    plain.name = L"Caf\u00e9\r\nServer \u6771";
    plain.vmId = L"42F7A9B1-D8C3-4A60-9E2B-5C1D7F3E8A06";
    plain.enabledState = 3;
    plain.generation = 1;
    plain.numLock = true;
    plain.biosGuid = L"{7E8F9A0B-1C2D-4E3F-8051-6273849506A7}";
    plain.biosSerialNumber = L"7736-4402";
    plain.baseBoardSerialNumber = L"\rCR";
    plain.chassisSerialNumber = L"";
    plain.chassisAssetTag = L"it's";
    const std::string expected =
        "\xEF\xBB\xBF"
        "Host,Name,VM ID,State,Generation,BIOS GUID,BIOS Serial Number,Baseboard Serial Number,"
        "Chassis Serial Number,Chassis Asset Tag,Num Lock\r\n"
        "HV-LAB04,\"Kiosk \"\"Lobby\"\", east\",A4C6E802-1B3D-4E5F-8071-92A3B4C5D6E7,Running,2,"
        "{8E2C4A10-6B3D-4F58-9C71-2A4B6D8E0F13},\"'=HYPERLINK(\"\"x\"\")\",'+1,'@SUM(A1),'\tTAB,'-\r\n"
        "HV-LAB01,\"Caf\xC3\xA9\r\nServer \xE6\x9D\xB1\",42F7A9B1-D8C3-4A60-9E2B-5C1D7F3E8A06,Off,1,"
        "{7E8F9A0B-1C2D-4E3F-8051-6273849506A7},7736-4402,\"'\rCR\",,it's,Yes\r\n";
    EXPECT_EQ(IdentityCsv({&quoted, &plain}), expected);
}

TEST(IdentityCsv, AValueTheImportWouldTakeAnApostropheOffGetsOneMore)
{
    const struct {
        const wchar_t* value;
        const char* field;
    } cases[] = {{L"'=x", "''=x"}, {L"''", "'''"}, {L"'@", "''@"},
                 {L"'abc", "'abc"}, {L"'", "'"},    {L"a'=", "a'="}};
    for (const auto& c : cases) {
        VmIdentity machine;
        machine.chassisAssetTag = c.value;
        const std::string file = IdentityCsv({&machine});
        EXPECT_TRUE(file.ends_with(std::string(",") + c.field + ",\r\n")) << file;
    }
}

TEST(IdentityCsv, AnEmptyTableIsTheHeaderAlone)
{
    EXPECT_EQ(IdentityCsv({}),
              "\xEF\xBB\xBFHost,Name,VM ID,State,Generation,BIOS GUID,BIOS Serial Number,"
              "Baseboard Serial Number,Chassis Serial Number,Chassis Asset Tag,Num Lock\r\n");
}

}
