// What differs from host to host: the language of the captions, values delivered as text, and
// VMs that other tools delete.
#include "tests/sim/SimFixture.h"
#include "tests/support/SimClockBinding.h"

namespace {

constexpr wchar_t v2[] = L"root/virtualization/v2";
constexpr wchar_t serverGuid[] = L"D3A1F07C-5B2E-4C98-A6D4-8E19B3C5F270";
constexpr wchar_t testGuid[] = L"71E5C2B8-9A40-4F13-8D67-C0B4A9E3F516";

class HostsTest : public SimTest {
protected:
    HostsTest()
    {
        lab = &world.AddHost(L"HV-LAB03");
        lab->AddVm(Machine(L"Dateiserver", sim::state::Running, serverGuid));
        sim::VmConfig test = Machine(L"Testrechner", sim::state::Off, testGuid);
        test.generation = 1;
        test.settings.biosNumLock = true;
        lab->AddVm(test);
    }

    sim::Host* lab = nullptr;
};

TEST_F(HostsTest, CaptionsAreInTheHostsLanguage)
{
    struct Case {
        sim::HostLanguage language;
        const wchar_t* vmCaption;
        const wchar_t* vmDescription;
        const wchar_t* hostCaption;
        const wchar_t* hostDescription;
    };
    const Case cases[] = {
        {sim::HostLanguage::English, L"Virtual Machine", L"Microsoft Virtual Machine",
         L"Hosting Computer System", L"Microsoft Hosting Computer System"},
        {sim::HostLanguage::German, L"Virtueller Computer", L"Virtueller Microsoft-Computer",
         L"Hostcomputersystem", L"Microsoft-Hostcomputersystem"},
        {sim::HostLanguage::French, L"Ordinateur virtuel", L"Ordinateur virtuel Microsoft",
         L"Syst\u00E8me informatique h\u00F4te", L"Syst\u00E8me informatique h\u00F4te Microsoft"},
        {sim::HostLanguage::Swedish, L"Virtuell dator", L"Virtuell Microsoft-dator",
         L"V\u00E4rddatorsystem", L"Microsoft-v\u00E4rddatorsystem"},
    };
    MI_Session session = Open(L"HV-LAB03");
    const std::wstring vm = std::wstring(L"SELECT Caption, Description FROM Msvm_ComputerSystem WHERE Name = '") + testGuid + L"'";
    const wchar_t host[] = L"SELECT Caption, Description FROM Msvm_ComputerSystem WHERE Name = 'hv-lab03'";
    for (const Case& c : cases) {
        lab->language = c.language;
        EXPECT_EQ(std::vector<std::wstring>{c.vmCaption}, Query(session, v2, vm.c_str(), L"Caption").values);
        EXPECT_EQ(std::vector<std::wstring>{c.vmDescription}, Query(session, v2, vm.c_str(), L"Description").values);
        EXPECT_EQ(std::vector<std::wstring>{c.hostCaption}, Query(session, v2, host, L"Caption").values);
        EXPECT_EQ(std::vector<std::wstring>{c.hostDescription}, Query(session, v2, host, L"Description").values);
    }
    Close(session);
}

TEST_F(HostsTest, OnlyALanguageIndependentListingFindsTheVmsOfAGermanHost)
{
    lab->language = sim::HostLanguage::German;
    struct Case {
        const wchar_t* query;
        const wchar_t* property;
        std::vector<std::wstring> found;
    };
    const Case cases[] = {
        {L"SELECT Name, ElementName FROM Msvm_ComputerSystem WHERE Caption = 'Virtual Machine'", L"ElementName", {}},
        {L"SELECT Name, ElementName FROM Msvm_ComputerSystem WHERE Caption = 'virtueller computer'", L"ElementName",
         {L"Dateiserver", L"Testrechner"}},
        {L"SELECT Name, ElementName FROM Msvm_ComputerSystem", L"ElementName", {L"HV-LAB03", L"Dateiserver", L"Testrechner"}},
        {L"SELECT Name, ElementName FROM Msvm_ComputerSystem", L"Name", {L"HV-LAB03", serverGuid, testGuid}},
        {L"SELECT Name, ElementName FROM Msvm_ComputerSystem WHERE Name <> 'HV-LAB03'", L"ElementName",
         {L"Dateiserver", L"Testrechner"}},
        {L"SELECT Name, ElementName FROM Msvm_ComputerSystem WHERE Name != 'hv-lab03'", L"ElementName",
         {L"Dateiserver", L"Testrechner"}},
        {L"SELECT ElementName FROM Msvm_VirtualSystemSettingData WHERE VirtualSystemType = 'Microsoft:Hyper-V:System:Realized'",
         L"ElementName", {L"Dateiserver", L"Testrechner"}},
        // A property that is null matches neither comparison.
        {L"SELECT Name FROM Msvm_ComputerSystem WHERE InstallDate <> 'x'", L"Name", {}},
    };
    MI_Session session = Open(L"HV-LAB03");
    for (const Case& c : cases) {
        const Pulled pulled = Query(session, v2, c.query, c.property);
        EXPECT_EQ(MI_RESULT_OK, pulled.result);
        EXPECT_EQ(c.found, pulled.values) << std::string(c.query, c.query + wcslen(c.query));
    }
    Close(session);
}

TEST_F(HostsTest, ALookupByKeyFindsTheHostEachVmAndEachRunningGuestsComponent)
{
    struct Case {
        const char* what;
        const wchar_t* className;
        std::vector<std::pair<const wchar_t*, std::wstring>> keys;
        MI_Result result;
        const wchar_t* property;
        const wchar_t* value;
    };
    const std::wstring shutdownId = L"9F8233AC-BE49-4C79-8EE3-E7E1985B2077";
    auto component = [&](const wchar_t* guid) {
        return std::vector<std::pair<const wchar_t*, std::wstring>>{
            {L"SystemCreationClassName", L"Msvm_ComputerSystem"}, {L"SystemName", guid},
            {L"CreationClassName", L"Msvm_ShutdownComponent"},
            {L"DeviceID", std::wstring(L"Microsoft:") + guid + L"\\" + shutdownId}};
    };
    const Case cases[] = {
        {"the host itself", L"Msvm_ComputerSystem",
         {{L"Name", L"hv-lab03"}, {L"CreationClassName", L"Msvm_ComputerSystem"}}, MI_RESULT_OK, L"Caption", L"Hosting Computer System"},
        {"a VM", L"Msvm_ComputerSystem",
         {{L"Name", L"71e5c2b8-9a40-4f13-8d67-c0b4a9e3f516"}, {L"CreationClassName", L"Msvm_ComputerSystem"}}, MI_RESULT_OK, L"ElementName", L"Testrechner"},
        {"a VM of the wrong class name", L"Msvm_ComputerSystem",
         {{L"Name", testGuid}, {L"CreationClassName", L"Msvm_Other"}}, MI_RESULT_NOT_FOUND, nullptr, nullptr},
        {"no such VM", L"Msvm_ComputerSystem",
         {{L"Name", L"00000000-0000-0000-0000-000000000000"}, {L"CreationClassName", L"Msvm_ComputerSystem"}}, MI_RESULT_NOT_FOUND, nullptr, nullptr},
        {"settings", L"Msvm_VirtualSystemSettingData",
         {{L"InstanceID", std::wstring(L"Microsoft:") + serverGuid}}, MI_RESULT_OK, L"ElementName", L"Dateiserver"},
        {"settings without the prefix", L"Msvm_VirtualSystemSettingData",
         {{L"InstanceID", serverGuid}}, MI_RESULT_NOT_FOUND, nullptr, nullptr},
        {"a running guest's component", L"Msvm_ShutdownComponent", component(serverGuid), MI_RESULT_OK, L"Name", L"Shutdown"},
        {"an off guest's component", L"Msvm_ShutdownComponent", component(testGuid), MI_RESULT_NOT_FOUND, nullptr, nullptr},
    };
    MI_Session session = Open(L"HV-LAB03");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MI_Instance* keys = nullptr;
        ASSERT_EQ(MI_RESULT_OK, MI_Application_NewInstance(&application, c.className, nullptr, &keys));
        for (const auto& key : c.keys) {
            MI_Value value{};
            value.string = const_cast<MI_Char*>(key.second.c_str());
            EXPECT_EQ(MI_RESULT_OK, MI_Instance_AddElement(keys, key.first, &value, MI_STRING, MI_FLAG_KEY));
        }
        MI_Operation operation{};
        MI_Session_GetInstance(&session, 0, nullptr, v2, keys, nullptr, &operation);
        const MI_Instance* found = nullptr;
        MI_Result result = MI_RESULT_FAILED;
        MI_Boolean more = MI_FALSE;
        MI_Operation_GetInstance(&operation, &found, &more, &result, nullptr, nullptr);
        EXPECT_EQ(c.result, result);
        if (c.property)
            EXPECT_EQ(c.value, found ? StringElement(found, c.property) : L"<none>");
        else
            EXPECT_EQ(nullptr, found);
        EXPECT_EQ(MI_RESULT_OK, more ? Drain(operation) : MI_Operation_Close(&operation));
        EXPECT_EQ(MI_RESULT_OK, MI_Instance_Delete(keys));
    }
    Close(session);
}

TEST_F(HostsTest, AHostReportsItsComputerNameNotTheNameItWasReachedBy)
{
    struct Case {
        const wchar_t* reachedAs;
        const wchar_t* computerName; // set on the host; null: left to the host
        const wchar_t* reported;
    };
    const Case cases[] = {
        {L"hv-lab04.example.com", nullptr, L"HV-LAB04"},
        {L"Hyper-V-Cluster-Node-17.example.com", nullptr, L"HYPER-V-CLUSTER"},
        {L"10.1.2.3", nullptr, L"10.1.2.3"},
        {L"10.1.2.4", L"hv-rack7", L"HV-RACK7"},
    };
    for (const Case& c : cases) {
        sim::Host& host = world.AddHost(c.reachedAs);
        if (c.computerName)
            host.computerName = c.computerName;
        MI_Session session = Open(c.reachedAs);
        EXPECT_EQ(std::vector<std::wstring>{c.reported},
                  Query(session, L"root/cimv2", L"SELECT CSName FROM Win32_OperatingSystem", L"CSName").values);
        const Pulled own = Query(session, v2, L"SELECT Name FROM Msvm_ComputerSystem");
        EXPECT_EQ(std::vector<std::wstring>{c.reported}, own.values);
        EXPECT_EQ(std::vector<std::wstring>{c.reported},
                  Query(session, v2, L"SELECT SystemName FROM Msvm_VirtualSystemManagementService", L"SystemName").values);
        Close(session);
    }
}

// One element as delivered: its type and, for a string, its text.
struct Seen {
    MI_Type type = MI_BOOLEAN;
    std::wstring text;
};

Seen SeeElement(const MI_Instance* instance, const wchar_t* name)
{
    Seen seen;
    MI_Value value{};
    MI_Uint32 flags = 0;
    EXPECT_EQ(MI_RESULT_OK, MI_Instance_GetElement(instance, name, &value, &seen.type, &flags, nullptr));
    EXPECT_FALSE(flags & MI_FLAG_NULL) << std::string(name, name + wcslen(name));
    if (seen.type == MI_STRING && value.string)
        seen.text = value.string;
    return seen;
}

class TextValuesTest : public HostsTest {
protected:
    // The first instance a query delivers, element by element.
    Seen QueryElement(MI_Session& session, const wchar_t* nameSpace, const wchar_t* query,
                      const wchar_t* name, MI_Uint32 flags)
    {
        MI_Operation operation{};
        MI_Session_QueryInstances(&session, flags, nullptr, nameSpace, L"WQL", query, nullptr, &operation);
        const MI_Instance* instance = nullptr;
        MI_Result result = MI_RESULT_FAILED;
        MI_Operation_GetInstance(&operation, &instance, nullptr, &result, nullptr, nullptr);
        EXPECT_EQ(MI_RESULT_OK, result);
        const Seen seen = instance ? SeeElement(instance, name) : Seen{};
        EXPECT_EQ(MI_RESULT_OK, Drain(operation));
        return seen;
    }

    // ReturnValue, and JobState and ErrorCode of the job it started, of a state change.
    std::vector<Seen> StateChange(MI_Session& session, MI_Uint32 flags)
    {
        std::vector<Seen> seen;
        MI_Instance* target = KeyInstance(L"Msvm_ComputerSystem", L"Name", testGuid);
        MI_Value value{};
        value.string = const_cast<MI_Char*>(L"Msvm_ComputerSystem");
        EXPECT_EQ(MI_RESULT_OK, MI_Instance_AddElement(target, L"CreationClassName", &value, MI_STRING, MI_FLAG_KEY));
        MI_Instance* parameters = nullptr;
        EXPECT_EQ(MI_RESULT_OK, MI_Application_NewInstance(&application, L"__parameters", nullptr, &parameters));
        value.uint16 = sim::state::Running;
        EXPECT_EQ(MI_RESULT_OK, MI_Instance_AddElement(parameters, L"RequestedState", &value, MI_UINT16, 0));
        MI_Operation operation{};
        MI_Session_Invoke(&session, flags, nullptr, v2, nullptr, L"RequestStateChange", target, parameters, nullptr, &operation);
        const MI_Instance* output = nullptr;
        MI_Operation_GetInstance(&operation, &output, nullptr, nullptr, nullptr, nullptr);
        std::wstring jobId;
        if (output) {
            seen.push_back(SeeElement(output, L"ReturnValue"));
            MI_Type type{};
            EXPECT_EQ(MI_RESULT_OK, MI_Instance_GetElement(output, L"Job", &value, &type, nullptr, nullptr));
            EXPECT_EQ(MI_REFERENCE, type);
            jobId = StringElement(value.reference, L"InstanceID");
        }
        EXPECT_EQ(MI_RESULT_OK, Drain(operation));
        EXPECT_EQ(MI_RESULT_OK, MI_Instance_Delete(parameters));
        EXPECT_EQ(MI_RESULT_OK, MI_Instance_Delete(target));

        MI_Instance* key = KeyInstance(L"Msvm_ConcreteJob", L"InstanceID", jobId.c_str());
        MI_Session_GetInstance(&session, flags, nullptr, v2, key, nullptr, &operation);
        const MI_Instance* job = nullptr;
        MI_Operation_GetInstance(&operation, &job, nullptr, nullptr, nullptr, nullptr);
        if (job) {
            seen.push_back(SeeElement(job, L"JobState"));
            seen.push_back(SeeElement(job, L"ErrorCode"));
        }
        EXPECT_EQ(MI_RESULT_OK, Drain(operation));
        EXPECT_EQ(MI_RESULT_OK, MI_Instance_Delete(key));
        return seen;
    }

    // Each of the six values the program reads, as this session with these flags gets it.
    std::vector<Seen> SixValues(MI_Session& session, MI_Uint32 flags)
    {
        const std::wstring vm = std::wstring(L"SELECT * FROM Msvm_ComputerSystem WHERE Name = '") + serverGuid + L"'";
        const std::wstring settings = std::wstring(L"SELECT * FROM Msvm_VirtualSystemSettingData WHERE VirtualSystemIdentifier = '") + testGuid + L"'";
        std::vector<Seen> all{
            QueryElement(session, v2, vm.c_str(), L"EnabledState", flags),
            QueryElement(session, v2, settings.c_str(), L"BIOSNumLock", flags),
            QueryElement(session, L"root/cimv2", L"SELECT * FROM Win32_OperatingSystem", L"LastBootUpTime", flags),
        };
        for (const Seen& seen : StateChange(session, flags))
            all.push_back(seen);
        // The VM is turned off again once the start is over, for the next round.
        world.Advance(10000);
        lab->FindVmByGuid(testGuid)->enabledState = sim::state::Off;
        return all;
    }

    SimClockBinding clock{world};
};

TEST_F(TextValuesTest, AWinrmHostMayGiveNumbersBooleansAndDatetimesAsText)
{
    lab->valuesAsText = true;
    lab->lastBootUpTime = MI_Timestamp{2023, 12, 1, 23, 5, 9, 7, -300};
    MI_Session session = Open(L"HV-LAB03");
    const std::vector<std::wstring> expected{L"2", L"true", L"20231201230509.000007-300", L"4096", L"4", L"0"};
    for (const MI_Uint32 flags : {0u, MI_OPERATIONFLAGS_BASIC_RTTI, MI_OPERATIONFLAGS_NO_RTTI}) {
        SCOPED_TRACE(testing::Message() << "flags " << flags);
        const std::vector<Seen> seen = SixValues(session, flags);
        ASSERT_EQ(expected.size(), seen.size());
        for (std::size_t i = 0; i < seen.size(); ++i) {
            EXPECT_EQ(MI_STRING, seen[i].type) << i;
            EXPECT_EQ(expected[i], seen[i].text) << i;
        }
    }
    Close(session);
}

TEST_F(TextValuesTest, TypesComeWithTypeInformationOverDcomOrWhenTheHostKeepsThem)
{
    struct Case {
        const char* what;
        bool asText;
        const wchar_t* protocol;
        MI_Uint32 flags;
    };
    const Case cases[] = {
        {"typed host", false, L"WINRM", 0},
        {"standard type information", true, L"WINRM", MI_OPERATIONFLAGS_STANDARD_RTTI},
        {"full type information", true, L"WINRM", MI_OPERATIONFLAGS_FULL_RTTI},
        {"DCOM", true, L"WMIDCOM", 0},
    };
    const std::vector<MI_Type> expected{MI_UINT16, MI_BOOLEAN, MI_DATETIME, MI_UINT32, MI_UINT16, MI_UINT16};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        lab->valuesAsText = c.asText;
        MI_Session session = Open(L"HV-LAB03", c.protocol);
        const std::vector<Seen> seen = SixValues(session, c.flags);
        ASSERT_EQ(expected.size(), seen.size());
        for (std::size_t i = 0; i < seen.size(); ++i)
            EXPECT_EQ(expected[i], seen[i].type) << i;
        Close(session);
    }
}

TEST_F(TextValuesTest, QueriesCompareTheValuesBeforeTheyBecomeText)
{
    lab->valuesAsText = true;
    MI_Session session = Open(L"HV-LAB03");
    EXPECT_EQ((std::vector<std::wstring>{L"HV-LAB03", L"Dateiserver"}),
              Query(session, v2, L"SELECT * FROM Msvm_ComputerSystem WHERE EnabledState = 2", L"ElementName").values);
    EXPECT_EQ(std::vector<std::wstring>{L"Testrechner"},
              Query(session, v2, L"SELECT * FROM Msvm_VirtualSystemSettingData WHERE BIOSNumLock = TRUE", L"ElementName").values);
    Close(session);
}

TEST_F(HostsTest, AVmDeletedByAnotherToolIsNotFoundAndItsJobEndsHarmlessly)
{
    SimClockBinding clock{world};
    MI_Session session = Open(L"HV-LAB03");
    MI_Instance* target = KeyInstance(L"Msvm_ComputerSystem", L"Name", serverGuid);
    MI_Value value{};
    value.string = const_cast<MI_Char*>(L"Msvm_ComputerSystem");
    ASSERT_EQ(MI_RESULT_OK, MI_Instance_AddElement(target, L"CreationClassName", &value, MI_STRING, MI_FLAG_KEY));
    MI_Instance* parameters = nullptr;
    ASSERT_EQ(MI_RESULT_OK, MI_Application_NewInstance(&application, L"__parameters", nullptr, &parameters));
    value.uint16 = sim::state::Off;
    ASSERT_EQ(MI_RESULT_OK, MI_Instance_AddElement(parameters, L"RequestedState", &value, MI_UINT16, 0));
    const Answer off = Invoke(session, target, L"RequestStateChange", parameters);
    ASSERT_EQ(4096u, off.returnValue);

    EXPECT_TRUE(lab->RemoveVm(serverGuid));
    EXPECT_FALSE(lab->RemoveVm(serverGuid));
    EXPECT_EQ(nullptr, lab->FindVmByGuid(serverGuid));
    world.Advance(60000);
    MI_Operation operation{};
    MI_Session_GetInstance(&session, 0, nullptr, v2, target, nullptr, &operation);
    EXPECT_EQ(MI_RESULT_NOT_FOUND, Drain(operation));
    MI_Uint16 jobState = 0, errorCode = 0;
    EXPECT_EQ(MI_RESULT_OK, ReadJob(session, off.jobId, jobState, errorCode));
    EXPECT_EQ(7, jobState);
    EXPECT_EQ(std::vector<std::wstring>{L"Testrechner"},
              Query(session, v2, L"SELECT * FROM Msvm_ComputerSystem WHERE Name <> 'HV-LAB03'", L"ElementName").values);
    EXPECT_EQ(MI_RESULT_OK, MI_Instance_Delete(parameters));
    EXPECT_EQ(MI_RESULT_OK, MI_Instance_Delete(target));
    Close(session);
}

}
