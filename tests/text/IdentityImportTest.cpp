#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "ui/IdentityCsv.h"
#include "ui/IdentityImport.h"

namespace {

constexpr char exportHeader[] =
    "Host,Name,VM ID,State,Generation,BIOS GUID,BIOS Serial Number,Baseboard Serial Number,"
    "Chassis Serial Number,Chassis Asset Tag,Num Lock\r\n";

VmIdentity Machine(const wchar_t* host, const wchar_t* name, const wchar_t* vmId, int generation,
                   std::optional<bool> numLock, const wchar_t* biosSerial)
{
    VmIdentity machine;
    machine.host = host;
    machine.name = name;
    machine.vmId = vmId;
    machine.enabledState = 2;
    machine.generation = generation;
    machine.numLock = numLock;
    machine.biosGuid = L"{7E8F9A0B-1C2D-4E3F-8051-6273849506A7}";
    machine.biosSerialNumber = biosSerial;
    return machine;
}

// The machines of the lab the tests import into: row 3 is a copy of row 0 on another host
// (same VM ID, same name), rows 4 and 5 are two machines of one name on one host. The files
// name hv-lab02 in upper case.
class IdentityImportTest : public ::testing::Test {
protected:
    IdentityImportTest()
    {
        VmIdentity& web = machines[0];
        web.baseBoardSerialNumber = L"BB-1";
        web.chassisAssetTag = L"it's";
        VmIdentity& kiosk = machines[1];
        kiosk.biosGuid = L"{8E2C4A10-6B3D-4F58-9C71-2A4B6D8E0F13}";
        kiosk.baseBoardSerialNumber = L"+1";
        kiosk.chassisSerialNumber = L"@SUM(A1)";
        kiosk.chassisAssetTag = L"\tTAB";
        VmIdentity& cafe = machines[2];
        cafe.baseBoardSerialNumber = L"\rCR";
        cafe.chassisSerialNumber = L"Serial \U0001F600";
        // Values that start with the export's own apostrophe.
        machines[3].chassisAssetTag = L"'=x";
        machines[4].chassisAssetTag = L"''";
        machines[5].chassisAssetTag = L"'abc";
        for (const VmIdentity& machine : machines)
            rows.push_back(&machine);
    }

    struct Outcome {
        bool imported = false;
        std::vector<ImportedChange> changes;
        ImportFailure failure;
    };

    Outcome Import(std::string_view bytes) const
    {
        Outcome outcome;
        // What a failed import must not leave behind.
        outcome.changes.push_back({99, {}});
        outcome.imported = ParseIdentityImport(bytes, rows, outcome.changes, outcome.failure);
        return outcome;
    }

    // The changes as the caller keeps them: values the machine already holds dropped.
    std::vector<ImportedChange> Differences(const std::vector<ImportedChange>& changes) const
    {
        std::vector<ImportedChange> kept;
        for (ImportedChange imported : changes) {
            const VmIdentity& machine = *rows[imported.row];
            IdentityChange& change = imported.change;
            if (change.numLock == machine.numLock)
                change.numLock.reset();
            const auto drop = [](std::optional<std::wstring>& value, const std::wstring& held) {
                if (value == held)
                    value.reset();
            };
            drop(change.biosGuid, machine.biosGuid);
            drop(change.biosSerialNumber, machine.biosSerialNumber);
            drop(change.baseBoardSerialNumber, machine.baseBoardSerialNumber);
            drop(change.chassisSerialNumber, machine.chassisSerialNumber);
            drop(change.chassisAssetTag, machine.chassisAssetTag);
            if (change.numLock || change.biosGuid || change.biosSerialNumber ||
                change.baseBoardSerialNumber || change.chassisSerialNumber || change.chassisAssetTag)
                kept.push_back(std::move(imported));
        }
        return kept;
    }

    std::vector<VmIdentity> machines{
        Machine(L"HV-LAB01", L"Web 01", L"42F7A9B1-D8C3-4A60-9E2B-5C1D7F3E8A06", 1, true, L"7736-4402"),
        Machine(L"HV-LAB01", L"Kiosk \"Lobby\", east", L"A4C6E802-1B3D-4E5F-8071-92A3B4C5D6E7", 2,
                false, L"=HYPERLINK(\"x\")"),
        Machine(L"hv-lab02", L"Caf\u00e9\r\nServer \u6771", L"0B1C2D3E-4F50-4617-8283-94A5B6C7D8E9", 1,
                false, L"-5"),
        Machine(L"hv-lab02", L"Web 01", L"42F7A9B1-D8C3-4A60-9E2B-5C1D7F3E8A06", 1, false, L"COPY-2"),
        Machine(L"HV-LAB03", L"Twin", L"11111111-2222-4333-8444-555555555555", 1, true, L"T-1"),
        Machine(L"HV-LAB03", L"Twin", L"66666666-7777-4888-9999-AAAAAAAAAAAA", 1, true, L"T-2"),
    };
    std::vector<const VmIdentity*> rows;
};

// The changes in words, one a line, so that a difference reads plainly.
std::wstring Written(const std::vector<ImportedChange>& changes)
{
    std::wstring text;
    for (const ImportedChange& imported : changes) {
        const IdentityChange& change = imported.change;
        text += L"row " + std::to_wstring(imported.row) + L":";
        if (change.numLock)
            text += *change.numLock ? L" numLock=Yes" : L" numLock=No";
        const struct {
            const wchar_t* name;
            const std::optional<std::wstring>& value;
        } texts[] = {{L"guid", change.biosGuid},
                     {L"bios", change.biosSerialNumber},
                     {L"board", change.baseBoardSerialNumber},
                     {L"chassis", change.chassisSerialNumber},
                     {L"tag", change.chassisAssetTag}};
        for (const auto& value : texts)
            if (value.value)
                text += std::wstring(L" ") + value.name + L"=" + *value.value;
        text += L"\n";
    }
    return text;
}

std::string Utf16(const std::wstring& text, bool bigEndian)
{
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (wchar_t unit : text) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

TEST_F(IdentityImportTest, AnExportedFileImportsWithNoChange)
{
    const Outcome outcome = Import(IdentityCsv(rows));
    ASSERT_TRUE(outcome.imported) << outcome.failure.line << L" " << outcome.failure.text;
    EXPECT_EQ(Written(Differences(outcome.changes)), L"");
    // Every machine's values come back, the generation 2 one's Num Lock "-" left out.
    EXPECT_EQ(outcome.changes.size(), machines.size());
    EXPECT_EQ(Written({outcome.changes[1]}),
              L"row 1: guid={8E2C4A10-6B3D-4F58-9C71-2A4B6D8E0F13} bios==HYPERLINK(\"x\") board=+1 "
              L"chassis=@SUM(A1) tag=\tTAB\n");
}

TEST_F(IdentityImportTest, AnEditedExportGivesExactlyTheEdits)
{
    std::string file = IdentityCsv(rows);
    file = Replaced(file, ",7736-4402,BB-1,,it's,Yes\r\n", ",7736-4402,BB-1,CH-9,it's,No\r\n");
    file = Replaced(file, ",'-5,\"'\rCR\",", ",NEW-5,\"'\rCR\",");
    file = Replaced(file, "{8E2C4A10-6B3D-4F58-9C71-2A4B6D8E0F13}", "8e2c4a106b3d4f589c712a4b6d8e0f99");
    const Outcome outcome = Import(file);
    ASSERT_TRUE(outcome.imported) << outcome.failure.line << L" " << outcome.failure.text;
    EXPECT_EQ(Written(Differences(outcome.changes)),
              L"row 0: numLock=No chassis=CH-9\n"
              L"row 1: guid={8E2C4A10-6B3D-4F58-9C71-2A4B6D8E0F99}\n"
              L"row 2: bios=NEW-5\n");
}

TEST_F(IdentityImportTest, EveryEncodingAndLineEndReadsTheSame)
{
    const std::wstring text = L"Host,Name,Chassis Serial Number\r\n"
                              L"HV-LAB02,\"Caf\u00e9\r\nServer \u6771\",\u00c5-\U0001F600\r\n";
    const std::string utf8 = "Host,Name,Chassis Serial Number\n"
                             "HV-LAB02,\"Caf\xC3\xA9\r\nServer \xE6\x9D\xB1\",\xC3\x85-\xF0\x9F\x98\x80\n";
    const struct {
        const char* name;
        std::string bytes;
    } files[] = {
        {"UTF-8 without a mark, LF", utf8},
        {"UTF-8 with a mark, no final line end", "\xEF\xBB\xBF" + utf8.substr(0, utf8.size() - 1)},
        {"UTF-16 little-endian", Utf16(text, false)},
        {"UTF-16 big-endian", Utf16(text, true)},
    };
    for (const auto& file : files) {
        const Outcome outcome = Import(file.bytes);
        ASSERT_TRUE(outcome.imported) << file.name << ": " << outcome.failure.line;
        EXPECT_EQ(Written(outcome.changes), L"row 2: chassis=\u00c5-\U0001F600\n") << file.name;
    }
}

TEST_F(IdentityImportTest, ColumnsComeInAnyOrderAndCaseAndMayBeFew)
{
    const Outcome outcome = Import("num lock,NAME,bios serial number,host,SHARED WITH,state\r\n"
                                   "0,Web 01,S-1,hv-lab01,x,Off\r\n"
                                   ",\"Kiosk \"\"Lobby\"\", east\",,HV-LAB01,,\r\n"
                                   "'-,Web 01,,HV-LAB02,,\r\n");
    ASSERT_TRUE(outcome.imported) << outcome.failure.line << L" " << outcome.failure.text;
    EXPECT_EQ(Written(outcome.changes), L"row 0: numLock=No bios=S-1\n");
}

TEST_F(IdentityImportTest, OnlyTheExportsApostropheIsTakenOff)
{
    const struct {
        const char* field;
        const wchar_t* value;
    } cases[] = {
        {"'=1", L"=1"},       {"'+1", L"+1"},       {"'-1", L"-1"},
        {"'@x", L"@x"},       {"\"'\tT\"", L"\tT"}, {"\"'\rC\"", L"\rC"},
        {"'abc", L"'abc"},    {"'", L"'"},          {"=1", L"=1"},
        {"a'=", L"a'="},
        // The export writes a value that starts so behind one apostrophe more.
        {"''=x", L"'=x"},     {"''", L"'"},         {"'''a", L"''a"},
    };
    for (const auto& c : cases) {
        const Outcome outcome =
            Import(std::string("Host,Name,BIOS Serial Number\r\nHV-LAB01,Web 01,") + c.field + "\r\n");
        ASSERT_TRUE(outcome.imported) << c.field;
        EXPECT_EQ(Written(outcome.changes), L"row 0: bios=" + std::wstring(c.value) + L"\n") << c.field;
    }
    // The identifying columns are protected too: a name that starts with "=" is written "'=".
    machines[0].name = L"=Web";
    const Outcome named = Import("Host,Name,BIOS Serial Number\r\nHV-LAB01,'=Web,S\r\n");
    ASSERT_TRUE(named.imported) << named.failure.text;
    EXPECT_EQ(Written(named.changes), L"row 0: bios=S\n");
}

TEST_F(IdentityImportTest, AGuidIsThirtyTwoHexDigitsInOneOfTheFourForms)
{
    const wchar_t* stored = L"{0A1B2C3D-4E5F-6A7B-8C9D-0E1F2A3B4C5D}";
    for (const char* accepted : {"0a1b2c3d4e5f6a7b8c9d0e1f2a3b4c5d", "0A1B2C3D-4E5F-6A7B-8C9D-0E1F2A3B4C5D",
                                 "{0a1b2c3d4e5f6a7b8c9d0e1f2a3b4c5d}", "{0a1B2c3D-4e5F-6a7B-8c9D-0e1F2a3B4c5D}"}) {
        const Outcome outcome =
            Import(std::string("Host,Name,BIOS GUID\r\nHV-LAB01,Web 01,") + accepted + "\r\n");
        ASSERT_TRUE(outcome.imported) << accepted;
        EXPECT_EQ(Written(outcome.changes), L"row 0: guid=" + std::wstring(stored) + L"\n") << accepted;
    }
    for (const char* refused : {"{12}", "0a1b2c3d4e5f6a7b8c9d0e1f2a3b4c5", "0a1b2c3d4e5f6a7b8c9d0e1f2a3b4c5d6",
                                "{0a1b2c3d4e5f6a7b8c9d0e1f2a3b4c5d", "0a1b2c3d4e5f6a7b8c9d0e1f2a3b4c5d}",
                                "0A1B2C3D4-E5F-6A7B-8C9D-0E1F2A3B4C5D", "0A1B2C3D-4E5F6A7B-8C9D-0E1F2A3B4C5D",
                                "(0A1B2C3D-4E5F-6A7B-8C9D-0E1F2A3B4C5D)", "0a1b2c3d4e5f6a7b8c9d0e1f2a3b4c5g",
                                "{{0a1b2c3d4e5f6a7b8c9d0e1f2a3b4c5d}}", " 0a1b2c3d4e5f6a7b8c9d0e1f2a3b4c5d"}) {
        const Outcome outcome =
            Import(std::string("Host,Name,BIOS GUID\r\nHV-LAB01,Web 01,") + refused + "\r\n");
        EXPECT_FALSE(outcome.imported) << refused;
        EXPECT_EQ(outcome.failure.line, 2u) << refused;
        EXPECT_NE(outcome.failure.text.find(L"BIOS GUID \"" + std::wstring(refused, refused + strlen(refused))),
                  std::wstring::npos)
            << refused;
    }
}

TEST_F(IdentityImportTest, NumLockWordsAndTheGenerationTwoDash)
{
    const struct {
        const char* row;
        const wchar_t* expected;  // nothing: refused
    } cases[] = {
        {"HV-LAB01,Web 01,Yes", L"row 0: numLock=Yes\n"},
        {"HV-LAB01,Web 01,yes", L"row 0: numLock=Yes\n"},
        {"HV-LAB01,Web 01,TRUE", L"row 0: numLock=Yes\n"},
        {"HV-LAB01,Web 01,1", L"row 0: numLock=Yes\n"},
        {"HV-LAB01,Web 01,nO", L"row 0: numLock=No\n"},
        {"HV-LAB01,Web 01,false", L"row 0: numLock=No\n"},
        {"HV-LAB01,Web 01,0", L"row 0: numLock=No\n"},
        {"HV-LAB01,Web 01,-", L""},
        {"HV-LAB01,Web 01,'-", L""},
        {"HV-LAB01,Web 01,", L""},
        {"HV-LAB01,\"Kiosk \"\"Lobby\"\", east\",'-", L""},
        {"HV-LAB01,\"Kiosk \"\"Lobby\"\", east\",", L""},
        {"HV-LAB01,\"Kiosk \"\"Lobby\"\", east\",No", nullptr},
        {"HV-LAB01,\"Kiosk \"\"Lobby\"\", east\",1", nullptr},
        {"HV-LAB01,Web 01,On", nullptr},
        {"HV-LAB01,Web 01,Y", nullptr},
        {"HV-LAB01,Web 01,--", nullptr},
        {"HV-LAB01,Web 01, Yes", nullptr},
    };
    for (const auto& c : cases) {
        const Outcome outcome = Import(std::string("Host,Name,Num Lock\r\n") + c.row + "\r\n");
        EXPECT_EQ(outcome.imported, c.expected != nullptr) << c.row;
        if (c.expected)
            EXPECT_EQ(Written(outcome.changes), c.expected) << c.row;
        else
            EXPECT_EQ(outcome.failure.line, 2u) << c.row;
    }
}

TEST_F(IdentityImportTest, ATextValueHoldsAtMostThirtyTwoUtf16Units)
{
    const std::string header = "Host,Name,Chassis Asset Tag\r\nHV-LAB01,Web 01,";
    const std::string thirtyTwo(32, 'x');
    const std::string emoji = "\xF0\x9F\x98\x80";  // two UTF-16 units
    EXPECT_TRUE(Import(header + thirtyTwo + "\r\n").imported);
    EXPECT_TRUE(Import(header + std::string(30, 'x') + emoji + "\r\n").imported);
    const Outcome units = Import(header + std::string(31, 'x') + emoji + "\r\n");
    EXPECT_FALSE(units.imported);
    EXPECT_EQ(units.failure.line, 2u);
    // The apostrophe is not counted: it is taken off first.
    EXPECT_TRUE(Import(header + "'=" + std::string(31, 'x') + "\r\n").imported);
}

struct BadFile {
    const char* name;
    std::string bytes;
    size_t line;
    const wchar_t* named;  // a part the failure must hold
};

TEST_F(IdentityImportTest, ABadFileChangesNothingAndNamesItsFirstBadLine)
{
    const std::string head = "Host,Name,BIOS Serial Number\r\n";
    const std::string web = "HV-LAB01,Web 01,S-1\r\n";
    const BadFile files[] = {
        {"NUL", head + web + "HV-LAB02,Web" + '\0' + " 01,S\r\n", 3, L"NUL"},
        {"UTF-16 NUL", Utf16(L"Host,Name\r\nHV-LAB01,W" + std::wstring(1, L'\0'), false), 2, L"NUL"},
        {"Latin-1 byte", head + web + web.substr(0, 9) + "Caf\xE9\r\n", 3, L"0xE9"},
        {"overlong UTF-8", head + "HV-LAB01,\xC0\xAF,S\r\n", 2, L"0xC0"},
        {"UTF-8 surrogate", head + "HV-LAB01,\xED\xA0\x80,S\r\n", 2, L"0xED"},
        {"UTF-8 cut short", head + "HV-LAB01,Web 01,\xE6\x9D", 2, L"0xE6"},
        {"stray continuation byte", head + "\x80" + web, 2, L"0x80"},
        {"unpaired UTF-16 surrogate", Utf16(L"Host,Name\r\nHV-LAB01,Web 01\r\nx,\xD83D\r\n", false), 3, L"0xD83D"},
        {"lone low surrogate", Utf16(L"Host,Name\r\nx,\xDE00y\r\n", true), 2, L"0xDE00"},
        {"odd UTF-16 byte", Utf16(L"Host,Name\r\nHV-LAB01,Web 01\r\n", false) + "x", 3, L"half"},
        {"quote never closed", head + web + "HV-LAB01,\"Web 01,S\r\n" + web + web, 3, L"never closed"},
        {"character after a closing quote", head + web + "HV-LAB01,\"Web\" 01,S\r\n", 3, L"\" \""},
        {"too few fields", head + web + "HV-LAB01,S\r\n", 3, L"has 2 fields where the header has 3"},
        {"too many fields", head + "HV-LAB01,Web 01,S,\r\n", 2, L"has 4 fields where"},
        {"blank line", head + web + "\r\n" + web, 3, L"has 1 field where"},
        {"a record over three lines, then a short one",
         head + "HV-LAB02,\"Caf\xC3\xA9\r\nServer \xE6\x9D\xB1\",S\r\nHV-LAB01,Web 01,\"a\rb\"\r\nx,y\r\n", 6,
         L"has 2 fields"},
        {"over-long value", head + "HV-LAB01,Web 01," + std::string(33, 'L') + "\r\n", 2, L"33 characters"},
        {"bad GUID", "Host,Name,BIOS GUID\r\n" + web, 2, L"\"S-1\""},
        {"bad Num Lock", "Host,Name,Num Lock\r\nHV-LAB01,Web 01,maybe\r\n", 2, L"\"maybe\""},
        {"Num Lock for generation 2", "Host,Name,Num Lock\r\nHV-LAB01,\"Kiosk \"\"Lobby\"\", east\",Yes\r\n",
         2, L"generation 2"},
        {"unknown column", "Host,Name,Colour\r\n" + web, 1, L"\"Colour\""},
        {"column without a title", "Host,,Name\r\n", 1, L"without a title"},
        {"duplicate column", "Host,Name,BIOS Serial Number,name\r\n", 1, L"\"name\" twice"},
        {"no identifying column", "Host,BIOS Serial Number\r\nHV-LAB01,S\r\n", 1, L"\"VM ID\""},
        {"no VM ID and no name columns", "VM ID,BIOS Serial Number\r\n,S\r\n", 2, L"no VM ID"},
        {"unknown VM", head + web + "HV-LAB01,Web 02,S\r\n", 3, L"\"Web 02\" on HV-LAB01"},
        {"unknown host", head + "HV-LAB09,Web 01,S\r\n", 2, L"not among those shown"},
        {"VM ID on another host", "Host,VM ID\r\nHV-LAB03,42F7A9B1-D8C3-4A60-9E2B-5C1D7F3E8A06\r\n", 2,
         L"not among those shown"},
        {"ambiguous name", head + web + "HV-LAB03,Twin,S\r\n", 3, L"names 2 of the virtual machines"},
        {"VM ID of a copy without a host", "VM ID\r\n42F7A9B1-D8C3-4A60-9E2B-5C1D7F3E8A06\r\n", 2,
         L"\"Host\" column"},
        {"VM named twice", "Host,Name,VM ID\r\nHV-LAB03,x,{11111111-2222-4333-8444-555555555555}\r\n"
                               "HV-LAB01,Web 01,\r\nhv-lab03,Twin,11111111-2222-4333-8444-555555555555\r\n",
         4, L"which line 2 names already"},
        {"empty", "\xEF\xBB\xBF\r\n", 0, L"empty"},
        {"a bad row before a bad byte", head + "HV-LAB01,Nobody,S\r\n" + web + "\xFF\r\n", 2, L"Nobody"},
        {"a bad byte before a bad row", head + web + "HV-LAB01,\xFF,S\r\nHV-LAB01,Nobody,S\r\n", 3, L"0xFF"},
        {"a bad byte inside a quoted field that starts earlier", head + "HV-LAB01,\"a\r\n\xFF\",S\r\n", 3,
         L"0xFF"},
    };
    for (const BadFile& file : files) {
        const Outcome outcome = Import(file.bytes);
        EXPECT_FALSE(outcome.imported) << file.name;
        EXPECT_TRUE(outcome.changes.empty()) << file.name;
        EXPECT_EQ(outcome.failure.line, file.line) << file.name;
        EXPECT_NE(outcome.failure.text.find(file.named), std::wstring::npos)
            << file.name << ": " << outcome.failure.text;
    }
}

TEST_F(IdentityImportTest, TheBoxSaysWhichLineIsWrongAndThatNothingChanged)
{
    std::string file = exportHeader + std::string("HV-LAB01,Web 01,,,,,,,,,\r\n") +
           "HV-LAB02,Web 01,,,,,,,,,\r\n"
           "HV-LAB03,Twin,11111111-2222-4333-8444-555555555555,,,{12},,,,,\r\n";
    Outcome outcome = Import(file);
    EXPECT_EQ(ImportFailureText(L"C:\\x.csv", outcome.failure),
              L"The file C:\\x.csv was not imported: line 4 gives the BIOS GUID \"{12}\", which is not "
              L"32 hexadecimal digits. Nothing was changed.");

    file = exportHeader;
    for (const char* name : {"Web 01", "\"Kiosk \"\"Lobby\"\", east\""})
        file += std::string("HV-LAB01,") + name + ",,,,,,,,,\r\n";
    file += "HV-LAB02,\"Caf\xC3\xA9\r\nServer \xE6\x9D\xB1\",,,,,,,,,\r\n";
    file += "HV-LAB02,Web 01,,,,,,,,,\r\nHV-LAB03,x,,,,,,,,\r\n";
    outcome = Import(file);
    EXPECT_EQ(ImportFailureText(L"C:\\x.csv", outcome.failure),
              L"The file C:\\x.csv was not imported: line 7 has 10 fields where the header has 11. "
              L"Nothing was changed.");

    const std::string longValue = "Host,Name,BIOS Serial Number\r\nHV-LAB01,Web 01," + std::string(50, 'Z') + "\r\n";
    EXPECT_EQ(ImportFailureText(L"C:\\x.csv", Import(longValue).failure),
              L"The file C:\\x.csv was not imported: line 2 gives the BIOS Serial Number \"" +
                  std::wstring(40, L'Z') + L"...\" of 50 characters, more than the 32 it may hold. "
                  L"Nothing was changed.");
}

// A temporary folder for files to import, removed with what it holds.
class IdentityFileTest : public IdentityImportTest {
protected:
    IdentityFileTest()
    {
        folder = std::filesystem::temp_directory_path() /
                 (L"brackwin-import-" + std::to_wstring(GetCurrentProcessId()));
        std::filesystem::create_directories(folder);
    }
    ~IdentityFileTest() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    std::wstring Write(const wchar_t* name, const std::string& bytes) const
    {
        const std::filesystem::path path = folder / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.wstring();
    }

    Outcome ImportFile(const std::wstring& path) const
    {
        Outcome outcome;
        outcome.changes.push_back({99, {}});
        outcome.imported = ImportIdentityFile(path, rows, outcome.changes, outcome.failure);
        return outcome;
    }

    std::filesystem::path folder;
};

TEST_F(IdentityFileTest, AFileOfTenMegabytesIsReadAndOneByteMoreIsRefused)
{
    std::string bytes = "Host,Name,BIOS Serial Number\r\nHV-LAB01,Web 01,S-10\r\n";
    bytes.resize(10 * 1024 * 1024, '\n');
    const Outcome largest = ImportFile(Write(L"largest.csv", bytes));
    ASSERT_TRUE(largest.imported) << largest.failure.text;
    EXPECT_EQ(Written(largest.changes), L"row 0: bios=S-10\n");

    bytes += '\n';
    const Outcome larger = ImportFile(Write(L"larger.csv", bytes));
    EXPECT_FALSE(larger.imported);
    EXPECT_TRUE(larger.changes.empty());
    EXPECT_EQ(larger.failure.line, 0u);
    EXPECT_EQ(ImportFailureText(L"C:\\big.csv", larger.failure),
              L"The file C:\\big.csv was not imported: it is larger than 10 MB; an identities file "
              L"is read only up to that size. Nothing was changed.");
    // The bytes themselves are refused alike.
    EXPECT_EQ(Import(bytes).failure.line, 0u);
}

TEST_F(IdentityFileTest, AMissingFileGivesTheWindowsError)
{
    const Outcome outcome = ImportFile((folder / L"missing.csv").wstring());
    EXPECT_FALSE(outcome.imported);
    EXPECT_TRUE(outcome.changes.empty());
    EXPECT_EQ(outcome.failure.line, 0u);
    EXPECT_EQ(outcome.failure.error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    const std::wstring text = ImportFailureText(L"C:\\missing.csv", outcome.failure);
    EXPECT_EQ(text.substr(0, text.find(L"\r\n")),
              L"The file C:\\missing.csv was not imported: it could not be opened. Nothing was changed.");
    EXPECT_NE(text.find(L"\r\nWindows error: "), std::wstring::npos) << text;
}

}
