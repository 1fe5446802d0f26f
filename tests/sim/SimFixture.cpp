#include "tests/sim/SimFixture.h"

SimTest::SimTest()
{
    platform.computerName = L"brackwin-test";
    EXPECT_EQ(MI_RESULT_OK, MI_Application_InitializeV1(0, nullptr, nullptr, &application));
}

SimTest::~SimTest() = default;

void SimTest::TearDown()
{
    EXPECT_EQ(MI_RESULT_OK, MI_Application_Close(&application));
    EXPECT_EQ(sim::LiveCounts{}, world.Live());
    EXPECT_TRUE(world.Misuses().empty()) << (world.Misuses().empty() ? "" : "misuse reported");
}

MI_Session SimTest::Open(const wchar_t* destination, const wchar_t* protocol)
{
    MI_Session session{};
    EXPECT_EQ(MI_RESULT_OK, MI_Application_NewSession(&application, destination ? protocol : L"WMIDCOM",
                                                      destination, nullptr, nullptr, nullptr, &session));
    return session;
}

void SimTest::Close(MI_Session& session)
{
    EXPECT_EQ(MI_RESULT_OK, MI_Session_Close(&session, nullptr, nullptr));
}

std::wstring StringElement(const MI_Instance* instance, const wchar_t* name)
{
    MI_Value value{};
    MI_Type type{};
    MI_Uint32 flags = 0;
    if (MI_Instance_GetElement(instance, name, &value, &type, &flags, nullptr) != MI_RESULT_OK ||
        type != MI_STRING || (flags & MI_FLAG_NULL) || !value.string)
        return L"<none>";
    return value.string;
}

SimTest::Pulled SimTest::Query(MI_Session& session, const wchar_t* nameSpace, const wchar_t* query,
                               const wchar_t* property, MI_Uint32 flags)
{
    Pulled pulled;
    MI_Operation operation{};
    MI_Session_QueryInstances(&session, flags, nullptr, nameSpace, L"WQL", query, nullptr, &operation);
    MI_Boolean more = MI_TRUE;
    while (more) {
        const MI_Instance* instance = nullptr;
        MI_Result result = MI_RESULT_OK;
        ExpectReturned(MI_Operation_GetInstance(&operation, &instance, &more, &result, nullptr, nullptr), result);
        ++pulled.deliveries;
        pulled.result = result;
        if (instance)
            pulled.values.push_back(StringElement(instance, property));
    }
    EXPECT_EQ(MI_RESULT_OK, MI_Operation_Close(&operation));
    return pulled;
}

void SimTest::ExpectReturned(MI_Result returned, MI_Result result) const
{
    if (world.resultReporting == sim::ResultReporting::OutParameter)
        EXPECT_EQ(MI_RESULT_OK, returned);
    else
        EXPECT_EQ(result, returned);
}

MI_Result SimTest::Drain(MI_Operation& operation)
{
    MI_Result result = MI_RESULT_OK;
    MI_Boolean more = MI_TRUE;
    while (more) {
        const MI_Instance* instance = nullptr;
        ExpectReturned(MI_Operation_GetInstance(&operation, &instance, &more, &result, nullptr, nullptr), result);
    }
    EXPECT_EQ(MI_RESULT_OK, MI_Operation_Close(&operation));
    return result;
}

SimTest::Answer SimTest::Invoke(MI_Session& session, const MI_Instance* target, const wchar_t* method,
                                const MI_Instance* parameters)
{
    Answer answer;
    MI_Operation operation{};
    MI_Session_Invoke(&session, 0, nullptr, L"root/virtualization/v2", nullptr, method, target,
                      parameters, nullptr, &operation);
    const MI_Instance* output = nullptr;
    MI_Boolean more = MI_FALSE;
    ExpectReturned(MI_Operation_GetInstance(&operation, &output, &more, &answer.result, nullptr, nullptr),
                   answer.result);
    // With a separate final delivery the output comes with more to pull.
    if (world.finalDelivery == sim::FinalDelivery::Separate) {
        EXPECT_EQ(output != nullptr, more == MI_TRUE);
    }
    if (output) {
        MI_Value value{};
        MI_Type type{};
        EXPECT_EQ(MI_RESULT_OK, MI_Instance_GetElement(output, L"ReturnValue", &value, &type, nullptr, nullptr));
        EXPECT_EQ(MI_UINT32, type);
        answer.returnValue = value.uint32;
        if (MI_Instance_GetElement(output, L"Job", &value, &type, nullptr, nullptr) == MI_RESULT_OK) {
            EXPECT_EQ(MI_REFERENCE, type);
            answer.jobId = StringElement(value.reference, L"InstanceID");
        }
    }
    EXPECT_EQ(MI_RESULT_OK, more ? Drain(operation) : MI_Operation_Close(&operation));
    return answer;
}

MI_Instance* SimTest::KeyInstance(const wchar_t* className, const wchar_t* key, const wchar_t* keyValue)
{
    MI_Instance* instance = nullptr;
    EXPECT_EQ(MI_RESULT_OK, MI_Application_NewInstance(&application, className, nullptr, &instance));
    MI_Value value{};
    value.string = const_cast<MI_Char*>(keyValue);
    EXPECT_EQ(MI_RESULT_OK, MI_Instance_AddElement(instance, key, &value, MI_STRING, MI_FLAG_KEY));
    return instance;
}

MI_Result SimTest::ReadJob(MI_Session& session, const std::wstring& jobId, MI_Uint16& jobState,
                           MI_Uint16& errorCode, std::wstring* description)
{
    MI_Instance* key = KeyInstance(L"Msvm_ConcreteJob", L"InstanceID", jobId.c_str());
    MI_Operation operation{};
    MI_Session_GetInstance(&session, 0, nullptr, L"root/virtualization/v2", key, nullptr, &operation);
    const MI_Instance* job = nullptr;
    MI_Boolean more = MI_FALSE;
    MI_Result result = MI_RESULT_OK;
    ExpectReturned(MI_Operation_GetInstance(&operation, &job, &more, &result, nullptr, nullptr), result);
    if (job) {
        MI_Value value{};
        EXPECT_EQ(MI_RESULT_OK, MI_Instance_GetElement(job, L"JobState", &value, nullptr, nullptr, nullptr));
        jobState = value.uint16;
        EXPECT_EQ(MI_RESULT_OK, MI_Instance_GetElement(job, L"ErrorCode", &value, nullptr, nullptr, nullptr));
        errorCode = value.uint16;
        if (description)
            *description = StringElement(job, L"ErrorDescription");
        EXPECT_EQ(MI_RESULT_OK, more ? Drain(operation) : MI_Operation_Close(&operation));
    } else {
        EXPECT_FALSE(more);
        EXPECT_EQ(MI_RESULT_OK, MI_Operation_Close(&operation));
    }
    EXPECT_EQ(MI_RESULT_OK, MI_Instance_Delete(key));
    return result;
}

sim::VmConfig Machine(const wchar_t* name, MI_Uint16 state, const wchar_t* guid)
{
    sim::VmConfig config;
    config.name = name;
    config.state = state;
    config.guid = guid;
    return config;
}
