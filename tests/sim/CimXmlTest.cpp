#include <gtest/gtest.h>

#include "sim/CimXmlReader.h"
#include "sim/XmlReader.h"
#include "tests/sim/SimFixture.h"

namespace {

std::string Narrow(const std::wstring& text)
{
    std::string narrow;
    for (wchar_t c : text)
        narrow += c < 128 ? static_cast<char>(c) : '?';
    return narrow;
}

TEST(CimXmlReader, ReadsTheShapesAHostAccepts)
{
    const auto instance = sim::ReadCimXml(
        L"<?xml version=\"1.0\" encoding=\"utf-16\"?>\n"
        L"<INSTANCE CLASSNAME=\"Msvm_VirtualSystemSettingData\">"
        L"<QUALIFIER NAME=\"dynamic\" TYPE=\"boolean\"><VALUE>TRUE</VALUE></QUALIFIER>"
        L"<PROPERTY NAME=\"InstanceID\" TYPE=\"string\" CLASSORIGIN=\"CIM_SettingData\" PROPAGATED=\"true\">"
        L"<QUALIFIER NAME=\"key\" TYPE=\"boolean\"><VALUE>TRUE</VALUE></QUALIFIER>"
        L"<VALUE>Microsoft:A</VALUE></PROPERTY>"
        L"<PROPERTY NAME='ChassisAssetTag' TYPE='string'><VALUE>&lt;&#65;&#x42;&gt; &amp; &quot;&apos;</VALUE></PROPERTY>"
        L"<PROPERTY NAME=\"BIOSSerialNumber\" TYPE=\"string\"></PROPERTY>"
        L"<PROPERTY NAME=\"Empty\" TYPE=\"string\"><VALUE/></PROPERTY>"
        L"<PROPERTY.ARRAY NAME=\"BootOrder\" TYPE=\"uint16\"><VALUE.ARRAY><VALUE>1</VALUE><VALUE>2</VALUE></VALUE.ARRAY></PROPERTY.ARRAY>"
        L"<!-- a comment -->"
        L"<PROPERTY NAME=\"Note\" TYPE=\"string\"><VALUE><![CDATA[a<b]]></VALUE></PROPERTY>"
        L"<PROPERTY NAME=\"Astral\" TYPE=\"string\"><VALUE>&#x1F600;</VALUE></PROPERTY>"
        L"</INSTANCE>");
    ASSERT_TRUE(instance.has_value());
    EXPECT_EQ(L"Msvm_VirtualSystemSettingData", instance->className);
    ASSERT_EQ(7u, instance->properties.size());
    EXPECT_EQ(std::vector<std::wstring>{L"Microsoft:A"}, instance->Find(L"instanceid")->values);
    EXPECT_EQ(L"<AB> & \"'", instance->Find(L"ChassisAssetTag")->values.front());
    EXPECT_TRUE(instance->Find(L"BIOSSerialNumber")->isNull);
    EXPECT_FALSE(instance->Find(L"Empty")->isNull);
    EXPECT_EQ(L"", instance->Find(L"Empty")->values.front());
    EXPECT_TRUE(instance->Find(L"BootOrder")->isArray);
    EXPECT_EQ((std::vector<std::wstring>{L"1", L"2"}), instance->Find(L"BootOrder")->values);
    EXPECT_EQ(L"a<b", instance->Find(L"Note")->values.front());
    EXPECT_EQ(L"\xD83D\xDE00", instance->Find(L"Astral")->values.front());
}

TEST(CimXmlReader, RefusesMalformedTextWithoutCrashing)
{
    const std::wstring deep(200, L'<');
    std::wstring nested;
    for (int i = 0; i < 100; ++i)
        nested += L"<a>";
    const wchar_t* bad[] = {
        L"",
        L"   ",
        L"not xml",
        L"<INSTANCE CLASSNAME=\"X\">",
        L"<INSTANCE CLASSNAME=\"X\"></INSTANCE",
        L"<INSTANCE CLASSNAME=\"X\"></INSTANCEX>",
        L"<INSTANCE CLASSNAME=\"X\"/><INSTANCE CLASSNAME=\"Y\"/>",
        L"<INSTANCE CLASSNAME=\"X\"/>trailing",
        L"<INSTANCE CLASSNAME=X/>",
        L"<INSTANCE CLASSNAME=\"X\" CLASSNAME=\"Y\"/>",
        L"<INSTANCE CLASSNAME=\"X\"CLASSNAME2=\"Y\"/>",
        L"<INSTANCE/>",
        L"<INSTANCE CLASSNAME=\"\"/>",
        L"<CLASS NAME=\"X\"/>",
        L"<INSTANCE CLASSNAME=\"X\"><PROPERTY TYPE=\"string\"><VALUE>a</VALUE></PROPERTY></INSTANCE>",
        L"<INSTANCE CLASSNAME=\"X\"><PROPERTY NAME=\"A\"><VALUE>a</VALUE></PROPERTY></INSTANCE>",
        L"<INSTANCE CLASSNAME=\"X\"><PROPERTY NAME=\"A\" TYPE=\"string\"><VALUE>a</VALUE><VALUE>b</VALUE></PROPERTY></INSTANCE>",
        L"<INSTANCE CLASSNAME=\"X\"><PROPERTY NAME=\"A\" TYPE=\"string\"><VALUE><b/></VALUE></PROPERTY></INSTANCE>",
        L"<INSTANCE CLASSNAME=\"X\"><PROPERTY NAME=\"A\" TYPE=\"string\"><VALUE>&bogus;</VALUE></PROPERTY></INSTANCE>",
        L"<INSTANCE CLASSNAME=\"X\"><PROPERTY NAME=\"A\" TYPE=\"string\"><VALUE>&amp</VALUE></PROPERTY></INSTANCE>",
        L"<INSTANCE CLASSNAME=\"X\"><PROPERTY NAME=\"A\" TYPE=\"string\"><VALUE>&#0;</VALUE></PROPERTY></INSTANCE>",
        L"<INSTANCE CLASSNAME=\"X\"><PROPERTY NAME=\"A\" TYPE=\"string\"><VALUE>&#x110000;</VALUE></PROPERTY></INSTANCE>",
        L"<INSTANCE CLASSNAME=\"X\"><PROPERTY NAME=\"A\" TYPE=\"string\"><VALUE>&#xZZ;</VALUE></PROPERTY></INSTANCE>",
        L"<INSTANCE CLASSNAME=\"X\"><PROPERTY NAME=\"A\" TYPE=\"string\"><VALUE>&#;</VALUE></PROPERTY></INSTANCE>",
        L"<INSTANCE CLASSNAME=\"X\"><PROPERTY NAME=\"A\" TYPE=\"string\"/><PROPERTY NAME=\"a\" TYPE=\"string\"/></INSTANCE>",
        L"<INSTANCE CLASSNAME=\"X\"><METHOD NAME=\"A\"/></INSTANCE>",
        L"<INSTANCE CLASSNAME=\"X\"><!-- open comment </INSTANCE>",
        L"<INSTANCE CLASSNAME=\"X\"><![CDATA[open </INSTANCE>",
        L"<INSTANCE CLASSNAME=\"a<b\"/>",
    };
    for (const wchar_t* text : bad)
        EXPECT_FALSE(sim::ReadCimXml(text).has_value()) << Narrow(text);
    EXPECT_FALSE(sim::ReadXml(nested).has_value());
    EXPECT_FALSE(sim::ReadXml(deep).has_value());
}

using SerializerTest = SimTest;

// The serializer's text, made the way the program makes it: size first, then the text.
std::wstring Serialize(MI_Serializer& serializer, const MI_Instance* instance)
{
    MI_Uint32 needed = 0;
    MI_Serializer_SerializeInstance(&serializer, 0, instance, nullptr, 0, &needed);
    EXPECT_GT(needed, 0u);
    EXPECT_EQ(0u, needed % 2);
    std::wstring text(needed / 2, L'\0');
    EXPECT_EQ(MI_RESULT_OK, MI_Serializer_SerializeInstance(&serializer, 0, instance,
        reinterpret_cast<MI_Uint8*>(text.data()), needed, &needed));
    return text;
}

TEST_F(SerializerTest, RoundTripsEveryCharacterThatNeedsEscaping)
{
    MI_Serializer serializer{};
    ASSERT_EQ(MI_RESULT_OK, MI_Application_NewSerializer(&application, 0, const_cast<MI_Char*>(L"MI_XML"), &serializer));
    MI_Instance* instance = nullptr;
    ASSERT_EQ(MI_RESULT_OK, MI_Application_NewInstance(&application, L"Msvm_VirtualSystemSettingData", nullptr, &instance));
    const std::wstring tricky = L"A&B <tag> \"q\" 'a' \x00C5ngstr\x00F6m \x0416\x0443\x043A \x4E2D\x6587 \xD83D\xDE00";
    MI_Value value{};
    value.string = const_cast<MI_Char*>(tricky.c_str());
    ASSERT_EQ(MI_RESULT_OK, MI_Instance_AddElement(instance, L"ChassisAssetTag", &value, MI_STRING, 0));
    value.boolean = MI_TRUE;
    ASSERT_EQ(MI_RESULT_OK, MI_Instance_AddElement(instance, L"BIOSNumLock", &value, MI_BOOLEAN, 0));
    ASSERT_EQ(MI_RESULT_OK, MI_Instance_AddElement(instance, L"BIOSSerialNumber", nullptr, MI_STRING, MI_FLAG_NULL));
    value.uint16 = 32775;
    ASSERT_EQ(MI_RESULT_OK, MI_Instance_AddElement(instance, L"EnabledState", &value, MI_UINT16, 0));

    const std::wstring text = Serialize(serializer, instance);
    EXPECT_EQ(std::wstring::npos, text.find(L"'a'"));
    const auto read = sim::ReadCimXml(text);
    ASSERT_TRUE(read.has_value()) << Narrow(text);
    EXPECT_EQ(L"Msvm_VirtualSystemSettingData", read->className);
    EXPECT_EQ(tricky, read->Find(L"ChassisAssetTag")->values.front());
    EXPECT_EQ(L"string", read->Find(L"ChassisAssetTag")->type);
    EXPECT_EQ(L"TRUE", read->Find(L"BIOSNumLock")->values.front());
    EXPECT_EQ(L"boolean", read->Find(L"BIOSNumLock")->type);
    EXPECT_TRUE(read->Find(L"BIOSSerialNumber")->isNull);
    EXPECT_EQ(L"32775", read->Find(L"EnabledState")->values.front());
    EXPECT_EQ(L"uint16", read->Find(L"EnabledState")->type);

    EXPECT_EQ(MI_RESULT_OK, MI_Instance_Delete(instance));
    EXPECT_EQ(MI_RESULT_OK, MI_Serializer_Close(&serializer));
}

TEST_F(SerializerTest, BorrowedElementsAreReadWhenSerializedCopiedOnesWhenAdded)
{
    MI_Serializer serializer{};
    ASSERT_EQ(MI_RESULT_OK, MI_Application_NewSerializer(&application, 0, const_cast<MI_Char*>(L"MI_XML"), &serializer));
    MI_Instance* instance = nullptr;
    ASSERT_EQ(MI_RESULT_OK, MI_Application_NewInstance(&application, L"X", nullptr, &instance));
    wchar_t borrowed[] = L"before";
    wchar_t copied[] = L"before";
    MI_Value value{};
    value.string = borrowed;
    ASSERT_EQ(MI_RESULT_OK, MI_Instance_AddElement(instance, L"Borrowed", &value, MI_STRING, MI_FLAG_BORROW));
    value.string = copied;
    ASSERT_EQ(MI_RESULT_OK, MI_Instance_AddElement(instance, L"Copied", &value, MI_STRING, 0));
    borrowed[0] = copied[0] = L'B';

    const auto read = sim::ReadCimXml(Serialize(serializer, instance));
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(L"Before", read->Find(L"Borrowed")->values.front());
    EXPECT_EQ(L"before", read->Find(L"Copied")->values.front());

    MI_Uint32 needed = 0;
    wchar_t small[4];
    EXPECT_NE(MI_RESULT_OK, MI_Serializer_SerializeInstance(&serializer, 0, instance,
        reinterpret_cast<MI_Uint8*>(small), sizeof(small), &needed));
    EXPECT_GT(needed, sizeof(small));
    EXPECT_EQ(MI_RESULT_OK, MI_Instance_Delete(instance));
    EXPECT_EQ(MI_RESULT_OK, MI_Serializer_Close(&serializer));
}

}
