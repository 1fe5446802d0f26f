#include <gtest/gtest.h>

#include "sim/WqlParser.h"

namespace {

struct GoodQuery {
    const wchar_t* text;
    std::vector<std::wstring> properties;
    const wchar_t* className;
    const wchar_t* whereProperty; // null: no WHERE
    const wchar_t* literal;
    bool equal = true;
};

TEST(WqlParser, ReadsTheQueriesTheProgramSends)
{
    const GoodQuery cases[] = {
        {L"SELECT CSName, LastBootUpTime FROM Win32_OperatingSystem", {L"CSName", L"LastBootUpTime"},
         L"Win32_OperatingSystem", nullptr, nullptr},
        {L"SELECT Name FROM __NAMESPACE WHERE Name = 'v2'", {L"Name"}, L"__NAMESPACE", L"Name", L"v2"},
        {L"SELECT Name, ElementName FROM Msvm_ComputerSystem WHERE Caption = 'Virtual Machine'",
         {L"Name", L"ElementName"}, L"Msvm_ComputerSystem", L"Caption", L"Virtual Machine"},
        {L"SELECT * FROM Msvm_ShutdownComponent WHERE SystemName='EAE43A5D-86F9'", {},
         L"Msvm_ShutdownComponent", L"SystemName", L"EAE43A5D-86F9"},
        {L"select * from Msvm_VirtualSystemManagementService", {}, L"Msvm_VirtualSystemManagementService",
         nullptr, nullptr},
        {L"  SELECT\t*\r\nFROM X  WHERE  A=\"double\"  ", {}, L"X", L"A", L"double"},
        {L"SELECT * FROM X WHERE A = 'it\\'s'", {}, L"X", L"A", L"it's"},
        {L"SELECT * FROM X WHERE EnabledState = 2", {}, L"X", L"EnabledState", L"2"},
        {L"SELECT * FROM X WHERE Flag = true", {}, L"X", L"Flag", L"TRUE"},
        {L"SELECT * FROM X WHERE A = ''", {}, L"X", L"A", L""},
        {L"SELECT Name, ElementName FROM Msvm_ComputerSystem WHERE Name <> 'HV-LAB03'",
         {L"Name", L"ElementName"}, L"Msvm_ComputerSystem", L"Name", L"HV-LAB03", false},
        {L"SELECT * FROM X WHERE A!='b'", {}, L"X", L"A", L"b", false},
        {L"SELECT * FROM X WHERE A<>2", {}, L"X", L"A", L"2", false},
    };
    for (const GoodQuery& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.text, c.text + wcslen(c.text)));
        const auto query = sim::ParseWql(c.text);
        ASSERT_TRUE(query.has_value());
        EXPECT_EQ(c.properties, query->properties);
        EXPECT_EQ(c.className, query->className);
        ASSERT_EQ(c.whereProperty != nullptr, query->where.has_value());
        if (c.whereProperty) {
            EXPECT_EQ(c.whereProperty, query->where->property);
            EXPECT_EQ(c.literal, query->where->literal);
            EXPECT_EQ(c.equal, query->where->equal);
        }
    }
}

TEST(WqlParser, RefusesEverythingElse)
{
    const wchar_t* bad[] = {
        L"",
        L"SELECT",
        L"SELECT * FROM",
        L"SELECT FROM X",
        L"SELECT *, Name FROM X",
        L"SELECT Name, FROM X",
        L"SELECT Name X",
        L"SELECT * FROM X WHERE",
        L"SELECT * FROM X WHERE A",
        L"SELECT * FROM X WHERE A =",
        L"SELECT * FROM X WHERE A = 'open",
        L"SELECT * FROM X WHERE A = 'x' AND B = 'y'",
        L"SELECT * FROM X WHERE A = 'x' OR B = 'y'",
        L"SELECT * FROM X WHERE A < 'x'",
        L"SELECT * FROM X WHERE A > 'x'",
        L"SELECT * FROM X WHERE A ! = 'x'",
        L"SELECT * FROM X WHERE A < > 'x'",
        L"SELECT * FROM X WHERE A == 'x'",
        L"SELECT * FROM X WHERE A <>",
        L"SELECT * FROM X WHERE A LIKE 'x%'",
        L"SELECT * FROM X, Y",
        L"SELECT * FROM X trailing",
        L"SELECT * FROM 9X",
        L"SELECT * FROM FROM",
        L"DELETE FROM X",
        L"ASSOCIATORS OF {X.Name='a'}",
        L"SELECT * FROM X WHERE A = maybe",
        L"SELECT * FROM X;",
    };
    for (const wchar_t* text : bad)
        EXPECT_FALSE(sim::ParseWql(text).has_value()) << std::string(text, text + wcslen(text));
}

}
