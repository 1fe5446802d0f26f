// Sessions, queries, deliveries and instance handling against a small world.
#include "tests/sim/SimFixture.h"

namespace {

class SessionTest : public SimTest {
protected:
    SessionTest()
    {
        world.Local().AddVm(Machine(L"Local VM", sim::state::Running));
        sim::Host& lab = world.AddHost(L"HV-LAB01");
        lab.AddVm(Machine(L"Web", sim::state::Running, L"EAE43A5D-86F9-4DE2-AED2-0B2374374A0F"));
        lab.AddVm(Machine(L"Db"));
        sim::VmConfig quiet = Machine(L"Quiet", sim::state::Running);
        quiet.guestShutdownService = false;
        lab.AddVm(quiet);
        world.AddHost(L"HV-OLD", sim::HostKind::VirtualizationWithoutV2);
    }

    MI_Timestamp BootOf(MI_Session& session, std::wstring& name)
    {
        MI_Timestamp boot{};
        MI_Operation operation{};
        MI_Session_QueryInstances(&session, 0, nullptr, L"root/cimv2", L"WQL",
            L"SELECT CSName, LastBootUpTime FROM Win32_OperatingSystem", nullptr, &operation);
        const MI_Instance* instance = nullptr;
        MI_Boolean more = MI_TRUE;
        MI_Result result = MI_RESULT_OK;
        MI_Operation_GetInstance(&operation, &instance, &more, &result, nullptr, nullptr);
        EXPECT_EQ(MI_RESULT_OK, result);
        EXPECT_TRUE(more);
        if (instance) {
            name = StringElement(instance, L"CSName");
            MI_Value value{};
            MI_Type type{};
            EXPECT_EQ(MI_RESULT_OK, MI_Instance_GetElement(instance, L"LastBootUpTime", &value, &type, nullptr, nullptr));
            EXPECT_EQ(MI_DATETIME, type);
            EXPECT_TRUE(value.datetime.isTimestamp);
            boot = value.datetime.u.timestamp;
            // Not selected: present in the class but null.
            MI_Uint32 flags = 0;
            EXPECT_EQ(MI_RESULT_OK, MI_Instance_GetElement(instance, L"Version", &value, &type, &flags, nullptr));
            EXPECT_TRUE(flags & MI_FLAG_NULL);
        }
        EXPECT_EQ(MI_RESULT_OK, Drain(operation));
        return boot;
    }
};

TEST_F(SessionTest, LocalComputerHasTheSameIdentityOverBothProtocols)
{
    MI_Session local = Open();
    MI_Session byName = Open(L"Brackwin-Test");
    std::wstring localName, remoteName;
    const MI_Timestamp a = BootOf(local, localName);
    const MI_Timestamp b = BootOf(byName, remoteName);
    EXPECT_EQ(L"BRACKWIN-TEST", localName);
    EXPECT_EQ(localName, remoteName);
    EXPECT_EQ(0, std::memcmp(&a, &b, sizeof(a)));
    EXPECT_EQ(123456u, a.microseconds);
    Close(byName);
    Close(local);
}

TEST_F(SessionTest, NamespacesAreWalkedComponentByComponent)
{
    struct Case {
        const wchar_t* host;
        const wchar_t* nameSpace;
        const wchar_t* child;
        MI_Result result;
        int found;
        int deliveries; // the final result comes on its own after an instance
    };
    const Case cases[] = {
        {L"HV-LAB01", L"root", L"virtualization", MI_RESULT_OK, 1, 2},
        {L"hv-lab01", L"root\\virtualization", L"v2", MI_RESULT_OK, 1, 2},
        {L"HV-OLD", L"root", L"virtualization", MI_RESULT_OK, 1, 2},
        {L"HV-OLD", L"root/virtualization", L"v2", MI_RESULT_OK, 0, 1},
        {L"HV-OLD", L"root/virtualization/v2", L"x", MI_RESULT_INVALID_NAMESPACE, 0, 1},
        {L"HV-LAB01", L"ROOT/Virtualization", L"V2", MI_RESULT_OK, 1, 2},
    };
    for (const Case& c : cases) {
        MI_Session session = Open(c.host);
        const std::wstring query = std::wstring(L"SELECT Name FROM __NAMESPACE WHERE Name = '") + c.child + L"'";
        const Pulled pulled = Query(session, c.nameSpace, query.c_str());
        EXPECT_EQ(c.result, pulled.result) << c.nameSpace;
        EXPECT_EQ(static_cast<std::size_t>(c.found), pulled.values.size()) << c.nameSpace;
        EXPECT_EQ(c.deliveries, pulled.deliveries);
        Close(session);
    }
}

TEST_F(SessionTest, ListsVirtualMachinesOneDeliveryEach)
{
    MI_Session session = Open(L"HV-LAB01");
    const Pulled pulled = Query(session, L"root/virtualization/v2",
        L"SELECT Name, ElementName FROM Msvm_ComputerSystem WHERE Caption = 'Virtual Machine'", L"ElementName");
    EXPECT_EQ(MI_RESULT_OK, pulled.result);
    EXPECT_EQ((std::vector<std::wstring>{L"Web", L"Db", L"Quiet"}), pulled.values);
    EXPECT_EQ(4, pulled.deliveries);

    const Pulled host = Query(session, L"root/virtualization/v2",
        L"SELECT * FROM Msvm_ComputerSystem WHERE Caption = 'Hosting Computer System'");
    EXPECT_EQ(std::vector<std::wstring>{L"HV-LAB01"}, host.values);

    const Pulled components = Query(session, L"root/virtualization/v2",
        L"SELECT * FROM Msvm_ShutdownComponent", L"SystemName");
    EXPECT_EQ(std::vector<std::wstring>{L"EAE43A5D-86F9-4DE2-AED2-0B2374374A0F"}, components.values);

    const Pulled none = Query(session, L"root/virtualization/v2",
        L"SELECT * FROM Msvm_ComputerSystem WHERE Caption = 'Nothing'");
    EXPECT_EQ(MI_RESULT_OK, none.result);
    EXPECT_TRUE(none.values.empty());
    EXPECT_EQ(1, none.deliveries);
    Close(session);
}

TEST_F(SessionTest, LiveSettingsAreSelectedByTypeAndCheckpointsKeepTheirOwn)
{
    sim::Host& lab = *world.FindHost(L"HV-LAB01");
    sim::Vm& web = *lab.FindVm(L"Web");
    lab.AddCheckpoint(web, L"Before").settings.biosSerialNumber = L"OLD-SERIAL";
    MI_Session session = Open(L"HV-LAB01");
    const wchar_t* live = L"SELECT InstanceID, BIOSSerialNumber FROM Msvm_VirtualSystemSettingData "
                          L"WHERE VirtualSystemType = 'Microsoft:Hyper-V:System:Realized'";
    const Pulled ids = Query(session, L"root/virtualization/v2", live, L"InstanceID");
    EXPECT_EQ(MI_RESULT_OK, ids.result);
    ASSERT_EQ(3u, ids.values.size());
    EXPECT_EQ(L"Microsoft:EAE43A5D-86F9-4DE2-AED2-0B2374374A0F", ids.values[0]);
    const Pulled serials = Query(session, L"root/virtualization/v2", live, L"BIOSSerialNumber");
    EXPECT_EQ(web.settings.biosSerialNumber, serials.values[0]);
    const Pulled all = Query(session, L"root/virtualization/v2",
                             L"SELECT BIOSSerialNumber FROM Msvm_VirtualSystemSettingData", L"BIOSSerialNumber");
    EXPECT_EQ(4u, all.values.size());
    EXPECT_EQ(L"OLD-SERIAL", all.values[0]);
    Close(session);
}

TEST_F(SessionTest, EachSessionCallTakesTheHostsRoundTripOnTheWorldsClock)
{
    world.FindHost(L"HV-LAB01")->roundTripMs = 50;
    MI_Session lab = Open(L"HV-LAB01");
    MI_Session old = Open(L"HV-OLD");
    const std::uint64_t start = world.NowMs();
    const Pulled machines = Query(lab, L"root/virtualization/v2",
        L"SELECT Name FROM Msvm_ComputerSystem", L"Name");
    EXPECT_EQ(5, machines.deliveries);
    // One call, however many instances its pulls deliver.
    EXPECT_EQ(start + 50, world.NowMs());
    Query(old, L"root/cimv2", L"SELECT CSName FROM Win32_OperatingSystem", L"CSName");
    EXPECT_EQ(start + 50, world.NowMs());
    Close(old);
    Close(lab);
}

TEST_F(SessionTest, QueriesAreRefusedAsAHostRefusesThem)
{
    struct Case {
        const wchar_t* nameSpace;
        const wchar_t* query;
        MI_Result result;
    };
    const Case cases[] = {
        {L"root/virtualization/v2", L"SELECT * FROM Msvm_Nothing", MI_RESULT_INVALID_CLASS},
        {L"root/cimv2", L"SELECT * FROM Msvm_ComputerSystem", MI_RESULT_INVALID_CLASS},
        {L"root/nothing", L"SELECT * FROM __NAMESPACE", MI_RESULT_INVALID_NAMESPACE},
        {L"root/virtualization/v2", L"SELECT * FROM Msvm_ComputerSystem WHERE A = 'b' AND C = 'd'", MI_RESULT_INVALID_QUERY},
        {L"root/virtualization/v2", L"SELECT Nothing FROM Msvm_ComputerSystem", MI_RESULT_INVALID_QUERY},
        {L"root/virtualization/v2", L"SELECT * FROM Msvm_ComputerSystem WHERE Nothing = 'x'", MI_RESULT_INVALID_QUERY},
    };
    MI_Session session = Open(L"HV-LAB01");
    for (const Case& c : cases) {
        const Pulled pulled = Query(session, c.nameSpace, c.query);
        EXPECT_EQ(c.result, pulled.result);
        EXPECT_TRUE(pulled.values.empty());
    }
    Close(session);
}

TEST_F(SessionTest, UnreachableNamesOpenButEveryOperationFails)
{
    MI_Session session = Open(L"NOWHERE");
    const Pulled pulled = Query(session, L"root/cimv2", L"SELECT * FROM Win32_OperatingSystem");
    EXPECT_EQ(MI_RESULT_FAILED, pulled.result);
    EXPECT_TRUE(pulled.values.empty());
    MI_Operation operation{};
    MI_Session_GetClass(&session, 0, nullptr, L"root/virtualization/v2", L"Msvm_ComputerSystem", nullptr, &operation);
    const MI_Class* classObject = nullptr;
    MI_Result result = MI_RESULT_OK;
    MI_Operation_GetClass(&operation, &classObject, nullptr, &result, nullptr, nullptr);
    EXPECT_EQ(MI_RESULT_FAILED, result);
    EXPECT_EQ(nullptr, classObject);
    EXPECT_EQ(MI_RESULT_OK, MI_Operation_Close(&operation));
    Close(session);

    world.Local().answersWinrm = false;
    MI_Session local = Open(L"brackwin-test");
    EXPECT_EQ(MI_RESULT_FAILED, Query(local, L"root/cimv2", L"SELECT * FROM Win32_OperatingSystem").result);
    Close(local);
}

TEST_F(SessionTest, FetchesByKeysThroughTheClassAsTheProgramDoes)
{
    MI_Session session = Open(L"HV-LAB01");
    MI_Operation classOperation{};
    MI_Session_GetClass(&session, 0, nullptr, L"root/virtualization/v2", L"Msvm_ComputerSystem", nullptr, &classOperation);
    const MI_Class* classObject = nullptr;
    MI_Boolean more = MI_TRUE;
    MI_Result result = MI_RESULT_FAILED;
    MI_Operation_GetClass(&classOperation, &classObject, &more, &result, nullptr, nullptr);
    ASSERT_EQ(MI_RESULT_OK, result);
    ASSERT_NE(nullptr, classObject);
    EXPECT_TRUE(more);

    MI_Instance* key = nullptr;
    ASSERT_EQ(MI_RESULT_OK, MI_Application_NewInstanceFromClass(&application, L"Msvm_ComputerSystem", classObject, &key));
    MI_Uint32 count = 0;
    ASSERT_EQ(MI_RESULT_OK, MI_Class_GetElementCount(classObject, &count));
    // The final result releases the class; the instance made from it keeps its elements.
    MI_Operation_GetClass(&classOperation, &classObject, &more, &result, nullptr, nullptr);
    EXPECT_EQ(nullptr, classObject);
    EXPECT_FALSE(more);
    EXPECT_EQ(MI_RESULT_OK, MI_Operation_Close(&classOperation));
    std::vector<std::wstring> keys;
    for (MI_Uint32 i = 0; i < count; ++i) {
        const MI_Char* name = nullptr;
        MI_Uint32 flags = 0;
        ASSERT_EQ(MI_RESULT_OK, MI_Instance_GetElementAt(key, i, &name, nullptr, nullptr, &flags));
        if (flags & MI_FLAG_KEY)
            keys.push_back(name);
    }
    EXPECT_EQ((std::vector<std::wstring>{L"Name", L"CreationClassName"}), keys);

    wchar_t guid[] = L"eae43a5d-86f9-4de2-aed2-0b2374374a0f";
    MI_Value value{};
    value.string = guid;
    EXPECT_EQ(MI_RESULT_OK, MI_Instance_SetElement(key, L"Name", &value, MI_STRING, MI_FLAG_BORROW));
    value.string = const_cast<MI_Char*>(L"Msvm_ComputerSystem");
    EXPECT_EQ(MI_RESULT_OK, MI_Instance_SetElement(key, L"CreationClassName", &value, MI_STRING, MI_FLAG_BORROW));
    EXPECT_EQ(MI_RESULT_NO_SUCH_PROPERTY, MI_Instance_SetElement(key, L"Nothing", &value, MI_STRING, 0));
    value.uint16 = 2;
    EXPECT_EQ(MI_RESULT_TYPE_MISMATCH, MI_Instance_SetElement(key, L"Name", &value, MI_UINT16, 0));

    MI_Operation getOperation{};
    MI_Session_GetInstance(&session, 0, nullptr, L"root/virtualization/v2", key, nullptr, &getOperation);
    const MI_Instance* found = nullptr;
    MI_Operation_GetInstance(&getOperation, &found, &more, &result, nullptr, nullptr);
    ASSERT_EQ(MI_RESULT_OK, result);
    EXPECT_EQ(L"Web", StringElement(found, L"ElementName"));
    MI_Instance* copy = nullptr;
    ASSERT_EQ(MI_RESULT_OK, MI_Instance_Clone(found, &copy));
    // Delivered objects belong to the operation; the copy is ours.
    EXPECT_EQ(3, world.Live().instances);
    EXPECT_EQ(MI_RESULT_OK, Drain(getOperation));
    EXPECT_EQ(2, world.Live().instances);
    EXPECT_EQ(L"Web", StringElement(copy, L"ElementName"));
    MI_Value state{};
    EXPECT_EQ(MI_RESULT_OK, MI_Instance_GetElement(copy, L"EnabledState", &state, nullptr, nullptr, nullptr));
    EXPECT_EQ(sim::state::Running, state.uint16);

    EXPECT_EQ(MI_RESULT_OK, MI_Instance_Delete(copy));
    EXPECT_EQ(MI_RESULT_OK, MI_Instance_Delete(key));
    Close(session);
}

TEST_F(SessionTest, AnUnknownKeyIsNotFound)
{
    MI_Session session = Open(L"HV-LAB01");
    MI_Instance* key = KeyInstance(L"Msvm_VirtualSystemSettingData", L"InstanceID", L"Microsoft:NOPE");
    MI_Operation operation{};
    MI_Session_GetInstance(&session, 0, nullptr, L"root/virtualization/v2", key, nullptr, &operation);
    const MI_Instance* found = nullptr;
    MI_Result result = MI_RESULT_OK;
    MI_Operation_GetInstance(&operation, &found, nullptr, &result, nullptr, nullptr);
    EXPECT_EQ(MI_RESULT_NOT_FOUND, result);
    EXPECT_EQ(nullptr, found);
    EXPECT_EQ(MI_RESULT_OK, MI_Operation_Close(&operation));
    EXPECT_EQ(MI_RESULT_OK, MI_Instance_Delete(key));
    Close(session);
}

TEST_F(SessionTest, EachDeliveryLivesUntilTheNextPull)
{
    MI_Session session = Open(L"HV-LAB01");
    MI_Operation operation{};
    MI_Session_QueryInstances(&session, 0, nullptr, L"root/virtualization/v2", L"WQL",
        L"SELECT * FROM Msvm_VirtualSystemSettingData", nullptr, &operation);
    const MI_Instance* first = nullptr;
    MI_Boolean more = MI_FALSE;
    MI_Operation_GetInstance(&operation, &first, &more, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(L"Microsoft:", StringElement(first, L"InstanceID").substr(0, 10));
    EXPECT_EQ(3, world.Live().instances);
    const MI_Instance* second = nullptr;
    MI_Operation_GetInstance(&operation, &second, &more, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(2, world.Live().instances);
    EXPECT_TRUE(world.Misuses().empty());
    MI_Value value{};
    EXPECT_EQ(MI_RESULT_INVALID_PARAMETER, MI_Instance_GetElement(first, L"InstanceID", &value, nullptr, nullptr, nullptr));
    ASSERT_EQ(1u, world.Misuses().size());
    EXPECT_EQ(L"MI_Instance_GetElement on a deleted or released instance", world.Misuses()[0]);
    world.ClearMisuses();
    EXPECT_EQ(MI_RESULT_OK, Drain(operation));
    EXPECT_EQ(0, world.Live().instances);
    Close(session);
}

TEST_F(SessionTest, MisuseIsReportedNotUndefined)
{
    std::vector<std::wstring> reported;
    world.onMisuse = [&](const std::wstring& text) { reported.push_back(text); };
    MI_Session session = Open(L"HV-LAB01");
    MI_Operation operation{};
    MI_Session_QueryInstances(&session, 0, nullptr, L"root/virtualization/v2", L"WQL",
        L"SELECT * FROM Msvm_VirtualSystemManagementService", nullptr, &operation);
    const MI_Instance* service = nullptr;
    MI_Operation_GetInstance(&operation, &service, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(MI_RESULT_INVALID_PARAMETER, MI_Instance_Delete(const_cast<MI_Instance*>(service)));
    EXPECT_EQ(MI_RESULT_OK, MI_Operation_GetInstance(&operation, &service, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(MI_RESULT_FAILED, MI_Operation_GetInstance(&operation, &service, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(MI_RESULT_OK, MI_Operation_Close(&operation));
    EXPECT_EQ(MI_RESULT_INVALID_PARAMETER, MI_Operation_Close(&operation));
    MI_Instance* mine = nullptr;
    ASSERT_EQ(MI_RESULT_OK, MI_Application_NewInstance(&application, L"X", nullptr, &mine));
    EXPECT_EQ(MI_RESULT_OK, MI_Instance_Delete(mine));
    EXPECT_EQ(MI_RESULT_INVALID_PARAMETER, MI_Instance_Delete(mine));
    Close(session);
    EXPECT_EQ(MI_RESULT_INVALID_PARAMETER, MI_Session_Close(&session, nullptr, nullptr));
    EXPECT_EQ(5u, reported.size());
    EXPECT_EQ(reported, world.Misuses());
    world.ClearMisuses();
}

}

namespace {

TEST_F(SimTest, SlotsNoHyperVClientUsesAnswerNotSupportedThroughAnOperation)
{
    MI_Session session = Open(L"BRACKWIN-TEST");
    MI_Operation operation{};
    session.ft->EnumerateInstances(&session, 0, nullptr, L"root/virtualization/v2",
                                   L"Msvm_ComputerSystem", MI_FALSE, nullptr, &operation);
    const MI_Instance* instance = nullptr;
    MI_Boolean more = MI_TRUE;
    MI_Result result = MI_RESULT_OK;
    MI_Operation_GetInstance(&operation, &instance, &more, &result, nullptr, nullptr);
    EXPECT_EQ(result, MI_RESULT_NOT_SUPPORTED);
    EXPECT_EQ(instance, nullptr);
    EXPECT_FALSE(more);
    EXPECT_EQ(MI_Operation_Close(&operation), MI_RESULT_OK);
    MI_Operation probe{};
    session.ft->TestConnection(&session, 0, nullptr, &probe);
    EXPECT_EQ(MI_RESULT_NOT_SUPPORTED, Drain(probe));
    Close(session);
}

}
