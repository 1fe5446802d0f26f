// How operations end: failures through the result out parameter or as the returned code, the
// final result as its own delivery or with the last one, and what closing early means.
#include <functional>

#include "tests/sim/SimFixture.h"

namespace {

constexpr wchar_t v2[] = L"root/virtualization/v2";

class ResultsTest : public SimTest {
protected:
    ResultsTest()
    {
        sim::Host& lab = world.AddHost(L"HV-LAB01");
        lab.AddVm(Machine(L"Web", sim::state::Running, L"EAE43A5D-86F9-4DE2-AED2-0B2374374A0F"));
        lab.AddVm(Machine(L"Db"));
    }

    void StartQuery(MI_Session& session, const wchar_t* nameSpace, const wchar_t* query, MI_Operation& operation)
    {
        MI_Session_QueryInstances(&session, 0, nullptr, nameSpace, L"WQL", query, nullptr, &operation);
    }

    // Whether each pull delivered an object, and whether it said more would come.
    struct Pull {
        bool object;
        bool more;
        bool operator==(const Pull&) const = default;
    };

    std::vector<Pull> PullAll(MI_Operation& operation, bool classOperation)
    {
        std::vector<Pull> pulls;
        MI_Boolean more = MI_TRUE;
        while (more && pulls.size() < 10) {
            const MI_Instance* instance = nullptr;
            const MI_Class* classObject = nullptr;
            if (classOperation)
                MI_Operation_GetClass(&operation, &classObject, &more, nullptr, nullptr, nullptr);
            else
                MI_Operation_GetInstance(&operation, &instance, &more, nullptr, nullptr, nullptr);
            pulls.push_back({instance != nullptr || classObject != nullptr, more == MI_TRUE});
        }
        EXPECT_EQ(MI_RESULT_OK, MI_Operation_Close(&operation));
        return pulls;
    }
};

TEST_F(ResultsTest, AFailureComesThroughTheResultOrAsTheReturnedCode)
{
    struct Case {
        const char* what;
        const wchar_t* host;
        bool classOperation;
        std::function<void(MI_Session&, MI_Operation&)> start;
        MI_Result result;
        std::wstring message;
    };
    const std::wstring unreachable =
        L"The WinRM client cannot complete the operation within the time specified. Check if the "
        L"machine name is valid and is reachable over the network and firewall exception for "
        L"Windows Remote Management service is enabled.";
    const Case cases[] = {
        {"a class the host does not have", L"HV-LAB01", false, [&](MI_Session& s, MI_Operation& o) {
             StartQuery(s, v2, L"SELECT * FROM Msvm_Nothing", o);
         }, MI_RESULT_INVALID_CLASS, L"Invalid class"},
        {"a namespace the host does not have", L"HV-LAB01", false, [&](MI_Session& s, MI_Operation& o) {
             StartQuery(s, L"root/nothing", L"SELECT * FROM __NAMESPACE", o);
         }, MI_RESULT_INVALID_NAMESPACE, L"Invalid namespace"},
        {"a key that names nothing", L"HV-LAB01", false, [&](MI_Session& s, MI_Operation& o) {
             MI_Instance* key = KeyInstance(L"Msvm_VirtualSystemSettingData", L"InstanceID", L"Microsoft:NOPE");
             MI_Session_GetInstance(&s, 0, nullptr, v2, key, nullptr, &o);
             EXPECT_EQ(MI_RESULT_OK, MI_Instance_Delete(key));
         }, MI_RESULT_NOT_FOUND, L"Not found"},
        {"access denied", L"HV-LAB01", false, [&](MI_Session& s, MI_Operation& o) {
             world.FailCall(sim::CallKind::QueryInstances, 1, MI_RESULT_ACCESS_DENIED);
             StartQuery(s, v2, L"SELECT * FROM Msvm_ComputerSystem", o);
         }, MI_RESULT_ACCESS_DENIED, L"Access denied"},
        {"a read that fails", L"HV-LAB01", false, [&](MI_Session& s, MI_Operation& o) {
             world.FailCall(sim::CallKind::ReadInstance, 1, MI_RESULT_SERVER_LIMITS_EXCEEDED);
             StartQuery(s, v2, L"SELECT * FROM Msvm_ComputerSystem", o);
         }, MI_RESULT_SERVER_LIMITS_EXCEEDED, L"Quota violation"},
        {"a host that does not answer", L"NOWHERE", false, [&](MI_Session& s, MI_Operation& o) {
             StartQuery(s, L"root/cimv2", L"SELECT * FROM Win32_OperatingSystem", o);
         }, MI_RESULT_FAILED, unreachable},
        {"a class fetch of an unknown class", L"HV-LAB01", true, [&](MI_Session& s, MI_Operation& o) {
             MI_Session_GetClass(&s, 0, nullptr, v2, L"Msvm_Nothing", nullptr, &o);
         }, MI_RESULT_INVALID_CLASS, L"Invalid class"},
    };
    for (const sim::ResultReporting reporting : {sim::ResultReporting::OutParameter, sim::ResultReporting::ReturnCode}) {
        world.resultReporting = reporting;
        const bool outParameter = reporting == sim::ResultReporting::OutParameter;
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.what << (outParameter ? " (out parameter)" : " (returned)"));
            MI_Session session = Open(c.host);
            MI_Operation operation{};
            c.start(session, operation);
            MI_Boolean more = MI_TRUE;
            MI_Result result = MI_RESULT_OK;
            const MI_Char* message = nullptr;
            const MI_Instance* details = reinterpret_cast<const MI_Instance*>(1);
            MI_Result returned = MI_RESULT_OK;
            if (c.classOperation) {
                const MI_Class* classObject = reinterpret_cast<const MI_Class*>(1);
                returned = MI_Operation_GetClass(&operation, &classObject, &more, &result, &message, &details);
                EXPECT_EQ(nullptr, classObject);
            } else {
                const MI_Instance* instance = reinterpret_cast<const MI_Instance*>(1);
                returned = MI_Operation_GetInstance(&operation, &instance, &more, &result, &message, &details);
                EXPECT_EQ(nullptr, instance);
            }
            EXPECT_EQ(outParameter ? MI_RESULT_OK : c.result, returned);
            EXPECT_EQ(c.result, result);
            EXPECT_FALSE(more);
            EXPECT_EQ(nullptr, details);
            ASSERT_NE(nullptr, message);
            EXPECT_EQ(c.message, std::wstring(message));
            EXPECT_EQ(MI_RESULT_OK, MI_Operation_Close(&operation));
            Close(session);
        }
    }
}

TEST_F(ResultsTest, ASuccessCarriesNoMessageInEitherWay)
{
    for (const sim::ResultReporting reporting : {sim::ResultReporting::OutParameter, sim::ResultReporting::ReturnCode}) {
        world.resultReporting = reporting;
        MI_Session session = Open(L"HV-LAB01");
        MI_Operation operation{};
        StartQuery(session, v2, L"SELECT * FROM Msvm_VirtualSystemManagementService", operation);
        const MI_Instance* instance = nullptr;
        MI_Result result = MI_RESULT_FAILED;
        const MI_Char* message = L"stale";
        EXPECT_EQ(MI_RESULT_OK, MI_Operation_GetInstance(&operation, &instance, nullptr, &result, &message, nullptr));
        EXPECT_EQ(MI_RESULT_OK, result);
        EXPECT_EQ(nullptr, message);
        EXPECT_NE(nullptr, instance);
        EXPECT_EQ(MI_RESULT_OK, Drain(operation));
        Close(session);
    }
}

TEST_F(ResultsTest, MisusedPullsReturnTheirCodeInEitherWay)
{
    for (const sim::ResultReporting reporting : {sim::ResultReporting::OutParameter, sim::ResultReporting::ReturnCode}) {
        world.resultReporting = reporting;
        world.ClearMisuses();
        MI_Session session = Open(L"HV-LAB01");
        MI_Operation operation{};
        StartQuery(session, v2, L"SELECT * FROM Msvm_VirtualSystemManagementService", operation);
        const MI_Class* classObject = nullptr;
        MI_Result result = MI_RESULT_OK;
        EXPECT_EQ(MI_RESULT_INVALID_PARAMETER, MI_Operation_GetClass(&operation, &classObject, nullptr, &result, nullptr, nullptr));
        EXPECT_EQ(MI_RESULT_INVALID_PARAMETER, result);
        EXPECT_EQ(MI_RESULT_OK, Drain(operation));
        const MI_Instance* instance = nullptr;
        EXPECT_EQ(MI_RESULT_INVALID_PARAMETER, MI_Operation_GetInstance(&operation, &instance, nullptr, &result, nullptr, nullptr));
        EXPECT_EQ(MI_RESULT_INVALID_PARAMETER, result);

        MI_Operation finished{};
        StartQuery(session, v2, L"SELECT * FROM Msvm_VirtualSystemManagementService", finished);
        MI_Boolean more = MI_TRUE;
        while (more)
            MI_Operation_GetInstance(&finished, &instance, &more, nullptr, nullptr, nullptr);
        EXPECT_EQ(MI_RESULT_FAILED, MI_Operation_GetInstance(&finished, &instance, &more, &result, nullptr, nullptr));
        EXPECT_EQ(MI_RESULT_FAILED, result);
        EXPECT_EQ(MI_RESULT_OK, MI_Operation_Close(&finished));
        Close(session);
        EXPECT_EQ((std::vector<std::wstring>{L"MI_Operation_GetClass on an operation of the other kind",
                                             L"MI_Operation_GetInstance on a closed or foreign operation",
                                             L"MI_Operation_GetInstance after the last result"}), world.Misuses());
    }
    world.ClearMisuses();
}

TEST_F(ResultsTest, TheFinalResultIsItsOwnDeliveryOrComesWithTheLastOne)
{
    struct Case {
        const char* what;
        bool classOperation;
        std::function<void(MI_Session&, MI_Operation&)> start;
        std::vector<Pull> separate;
        std::vector<Pull> withLast;
    };
    const Case cases[] = {
        {"a listing", false, [&](MI_Session& s, MI_Operation& o) {
             StartQuery(s, v2, L"SELECT * FROM Msvm_ComputerSystem WHERE Caption = 'Virtual Machine'", o);
         }, {{true, true}, {true, true}, {false, false}}, {{true, true}, {true, false}}},
        {"an empty listing", false, [&](MI_Session& s, MI_Operation& o) {
             StartQuery(s, v2, L"SELECT * FROM Msvm_ComputerSystem WHERE Caption = 'None'", o);
         }, {{false, false}}, {{false, false}}},
        {"a refused listing", false, [&](MI_Session& s, MI_Operation& o) {
             StartQuery(s, v2, L"SELECT * FROM Msvm_Nothing", o);
         }, {{false, false}}, {{false, false}}},
        {"a class", true, [&](MI_Session& s, MI_Operation& o) {
             MI_Session_GetClass(&s, 0, nullptr, v2, L"Msvm_ComputerSystem", nullptr, &o);
         }, {{true, true}, {false, false}}, {{true, false}}},
        {"an instance by key", false, [&](MI_Session& s, MI_Operation& o) {
             MI_Instance* key = KeyInstance(L"__NAMESPACE", L"Name", L"virtualization");
             MI_Session_GetInstance(&s, 0, nullptr, L"root", key, nullptr, &o);
             EXPECT_EQ(MI_RESULT_OK, MI_Instance_Delete(key));
         }, {{true, true}, {false, false}}, {{true, false}}},
        {"a method", false, [&](MI_Session& s, MI_Operation& o) {
             MI_Instance* key = KeyInstance(L"Msvm_VirtualSystemManagementService", L"Name", L"vmms");
             MI_Session_Invoke(&s, 0, nullptr, v2, nullptr, L"ModifySystemSettings", key, nullptr, nullptr, &o);
             EXPECT_EQ(MI_RESULT_OK, MI_Instance_Delete(key));
         }, {{true, true}, {false, false}}, {{true, false}}},
    };
    MI_Session session = Open(L"HV-LAB01");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        world.finalDelivery = sim::FinalDelivery::Separate;
        MI_Operation operation{};
        c.start(session, operation);
        EXPECT_EQ(c.separate, PullAll(operation, c.classOperation));
        world.finalDelivery = sim::FinalDelivery::WithLastInstance;
        c.start(session, operation);
        EXPECT_EQ(c.withLast, PullAll(operation, c.classOperation));
    }
    Close(session);
}

TEST_F(ResultsTest, ClosingBeforeTheFinalResultIsMisuseYetReleasesEverything)
{
    struct Case {
        sim::FinalDelivery finalDelivery;
        int pulls;         // pulls before the close
        bool early;        // whether the close comes before the final result
    };
    const Case cases[] = {
        {sim::FinalDelivery::Separate, 0, true},
        {sim::FinalDelivery::Separate, 2, true},  // both instances, not the final result
        {sim::FinalDelivery::Separate, 3, false},
        {sim::FinalDelivery::WithLastInstance, 0, true},
        {sim::FinalDelivery::WithLastInstance, 1, true},
        {sim::FinalDelivery::WithLastInstance, 2, false},
    };
    MI_Session session = Open(L"HV-LAB01");
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "pulls " << c.pulls);
        world.finalDelivery = c.finalDelivery;
        world.ClearMisuses();
        MI_Operation operation{};
        StartQuery(session, v2, L"SELECT * FROM Msvm_ComputerSystem WHERE Caption = 'Virtual Machine'", operation);
        for (int i = 0; i < c.pulls; ++i) {
            const MI_Instance* instance = nullptr;
            MI_Operation_GetInstance(&operation, &instance, nullptr, nullptr, nullptr, nullptr);
        }
        EXPECT_EQ(c.early ? MI_RESULT_FAILED : MI_RESULT_OK, MI_Operation_Close(&operation));
        EXPECT_EQ(c.early ? std::vector<std::wstring>{L"MI_Operation_Close before the final result was read"}
                          : std::vector<std::wstring>{}, world.Misuses());
        EXPECT_EQ(0, world.Live().operations);
        EXPECT_EQ(0, world.Live().instances);
    }
    Close(session);
    world.ClearMisuses();
}

TEST_F(ResultsTest, AClassLivesUntilTheNextPull)
{
    MI_Session session = Open(L"HV-LAB01");
    MI_Operation operation{};
    MI_Session_GetClass(&session, 0, nullptr, v2, L"Msvm_ComputerSystem", nullptr, &operation);
    const MI_Class* classObject = nullptr;
    MI_Operation_GetClass(&operation, &classObject, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, classObject);
    MI_Class* copy = nullptr;
    ASSERT_EQ(MI_RESULT_OK, classObject->ft->Clone(classObject, &copy));
    const MI_Class* final = nullptr;
    MI_Operation_GetClass(&operation, &final, nullptr, nullptr, nullptr, nullptr);
    MI_Uint32 count = 0;
    EXPECT_EQ(MI_RESULT_INVALID_PARAMETER, MI_Class_GetElementCount(classObject, &count));
    EXPECT_EQ(MI_RESULT_OK, MI_Operation_Close(&operation));
    EXPECT_EQ(std::vector<std::wstring>{L"MI_Class_GetElementCount on a deleted or released class"}, world.Misuses());
    EXPECT_EQ(MI_RESULT_OK, MI_Class_GetElementCount(copy, &count));
    EXPECT_EQ(11u, count);
    EXPECT_EQ(MI_RESULT_OK, copy->ft->Delete(copy));
    Close(session);
    world.ClearMisuses();
}

}
