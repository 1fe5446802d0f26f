// The instrument itself: faults on every call kind, the call log with operation flags, the
// flags a client refuses, and the live count of every handle the client hands out.
#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>

#include "sim/Guard.h"
#include "tests/sim/SimFixture.h"

namespace {

constexpr wchar_t v2[] = L"root/virtualization/v2";
constexpr MI_Result injected = MI_RESULT_SERVER_LIMITS_EXCEEDED;

class InstrumentTest : public SimTest {
protected:
    InstrumentTest()
    {
        world.AddHost(L"HV-LAB01").AddVm(Machine(L"Web", sim::state::Running));
    }

    const sim::CallRecord& LastCall() const { return world.Calls().back(); }

    // The latest call of the kind (a call's own clean-up may come after it).
    sim::CallRecord LastCallOf(sim::CallKind kind) const
    {
        for (auto call = world.Calls().rbegin(); call != world.Calls().rend(); ++call)
            if (call->kind == kind)
                return *call;
        ADD_FAILURE() << "no such call";
        return {};
    }
};

TEST_F(InstrumentTest, EveryInstanceAndClassCallCanBeMadeToFail)
{
    MI_Session session = Open(L"HV-LAB01");
    MI_Operation classOperation{};
    MI_Session_GetClass(&session, 0, nullptr, v2, L"Msvm_ComputerSystem", nullptr, &classOperation);
    const MI_Class* classObject = nullptr;
    MI_Operation_GetClass(&classOperation, &classObject, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, classObject);
    MI_Instance* instance = nullptr;
    ASSERT_EQ(MI_RESULT_OK, MI_Application_NewInstanceFromClass(&application, L"Msvm_ComputerSystem", classObject, &instance));
    MI_Value value{};
    value.string = const_cast<MI_Char*>(L"a");
    const MI_InstanceFT& it = *instance->ft;
    const MI_ClassFT& ct = *classObject->ft;

    struct Case {
        sim::CallKind kind;
        const wchar_t* className;
        const wchar_t* element;
        std::function<MI_Result()> call;
    };
    const MI_Char* text = nullptr;
    MI_Uint32 count = 0;
    MI_Type type{};
    MI_Boolean flag = MI_FALSE;
    const Case cases[] = {
        {sim::CallKind::CloneInstance, L"Msvm_ComputerSystem", L"", [&] {
             MI_Instance* copy = reinterpret_cast<MI_Instance*>(1);
             const MI_Result result = it.Clone(instance, &copy);
             if (result != MI_RESULT_OK) {
                 EXPECT_EQ(nullptr, copy);
             } else {
                 EXPECT_EQ(MI_RESULT_OK, MI_Instance_Delete(copy));
             }
             return result;
         }},
        {sim::CallKind::InstanceIsA, L"Msvm_ComputerSystem", L"", [&] { return it.IsA(instance, classObject->classDecl, &flag); }},
        {sim::CallKind::InstanceClassName, L"Msvm_ComputerSystem", L"", [&] { return it.GetClassName(instance, &text); }},
        {sim::CallKind::SetNameSpace, L"Msvm_ComputerSystem", L"", [&] { return it.SetNameSpace(instance, L"root"); }},
        {sim::CallKind::GetNameSpace, L"Msvm_ComputerSystem", L"", [&] { return it.GetNameSpace(instance, &text); }},
        {sim::CallKind::GetElementCount, L"Msvm_ComputerSystem", L"", [&] { return it.GetElementCount(instance, &count); }},
        {sim::CallKind::AddElement, L"Msvm_ComputerSystem", L"B", [&] { return it.AddElement(instance, L"B", &value, MI_STRING, 0); }},
        {sim::CallKind::SetElement, L"Msvm_ComputerSystem", L"Caption", [&] { return it.SetElement(instance, L"Caption", &value, MI_STRING, 0); }},
        {sim::CallKind::SetElementAt, L"Msvm_ComputerSystem", L"Caption", [&] { return it.SetElementAt(instance, 0, &value, MI_STRING, 0); }},
        {sim::CallKind::GetElement, L"Msvm_ComputerSystem", L"Caption", [&] { return it.GetElement(instance, L"Caption", &value, &type, nullptr, nullptr); }},
        {sim::CallKind::GetElementAt, L"Msvm_ComputerSystem", L"Caption", [&] { return it.GetElementAt(instance, 0, &text, &value, &type, nullptr); }},
        {sim::CallKind::ClearElement, L"Msvm_ComputerSystem", L"Caption", [&] { return it.ClearElement(instance, L"Caption"); }},
        {sim::CallKind::ClearElementAt, L"Msvm_ComputerSystem", L"Caption", [&] { return it.ClearElementAt(instance, 0); }},
        {sim::CallKind::GetServerName, L"Msvm_ComputerSystem", L"", [&] { return it.GetServerName(instance, &text); }},
        {sim::CallKind::SetServerName, L"Msvm_ComputerSystem", L"", [&] { return it.SetServerName(instance, L"HV-LAB01"); }},
        {sim::CallKind::InstanceGetClass, L"Msvm_ComputerSystem", L"", [&] {
             MI_Class* made = nullptr;
             const MI_Result result = it.GetClass(instance, &made);
             if (made) {
                 EXPECT_EQ(MI_RESULT_OK, made->ft->Delete(made));
             }
             return result;
         }},
        {sim::CallKind::ClassName, L"Msvm_ComputerSystem", L"", [&] { return ct.GetClassName(classObject, &text); }},
        {sim::CallKind::ClassNameSpace, L"Msvm_ComputerSystem", L"", [&] { return ct.GetNameSpace(classObject, &text); }},
        {sim::CallKind::ClassServerName, L"Msvm_ComputerSystem", L"", [&] { return ct.GetServerName(classObject, &text); }},
        {sim::CallKind::ClassElementCount, L"Msvm_ComputerSystem", L"", [&] { return ct.GetElementCount(classObject, &count); }},
        {sim::CallKind::ClassGetElement, L"Msvm_ComputerSystem", L"Name", [&] {
             return ct.GetElement(classObject, L"Name", nullptr, nullptr, &type, nullptr, nullptr, nullptr, nullptr);
         }},
        {sim::CallKind::ClassGetElementAt, L"Msvm_ComputerSystem", L"Caption", [&] {
             return ct.GetElementAt(classObject, 0, &text, nullptr, nullptr, &type, nullptr, nullptr, nullptr);
         }},
        {sim::CallKind::CloneClass, L"Msvm_ComputerSystem", L"", [&] {
             MI_Class* copy = reinterpret_cast<MI_Class*>(1);
             const MI_Result result = ct.Clone(classObject, &copy);
             if (result != MI_RESULT_OK) {
                 EXPECT_EQ(nullptr, copy);
             } else {
                 EXPECT_EQ(MI_RESULT_OK, copy->ft->Delete(copy));
             }
             return result;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "call kind " << static_cast<int>(c.kind));
        world.FailCall(c.kind, 1, injected);
        EXPECT_EQ(injected, c.call());
        EXPECT_EQ(c.kind, LastCall().kind);
        EXPECT_EQ(injected, LastCall().result);
        EXPECT_EQ(c.className, LastCall().className);
        // The fault is spent: the same call works again, and is logged with what it reached.
        EXPECT_EQ(MI_RESULT_OK, c.call());
        EXPECT_EQ(MI_RESULT_OK, LastCallOf(c.kind).result);
        EXPECT_EQ(c.element, LastCallOf(c.kind).element);
    }
    EXPECT_EQ(MI_RESULT_OK, MI_Instance_Delete(instance));
    MI_Operation_GetClass(&classOperation, &classObject, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(MI_RESULT_OK, MI_Operation_Close(&classOperation));
    Close(session);
}

TEST_F(InstrumentTest, AFailedCloseOrDeleteStillReleasesTheObject)
{
    struct Case {
        sim::CallKind kind;
        std::function<MI_Result()> release;
        std::function<int()> live;
    };
    MI_Application second{};
    ASSERT_EQ(MI_RESULT_OK, MI_Application_InitializeV1(0, nullptr, nullptr, &second));
    MI_Session session = Open(L"HV-LAB01");
    MI_Session closing = Open(L"HV-LAB01");
    MI_Operation operation{};
    MI_Session_QueryInstances(&session, 0, nullptr, v2, L"WQL", L"SELECT * FROM Msvm_ComputerSystem", nullptr, &operation);
    MI_Boolean more = MI_TRUE;
    while (more) {
        const MI_Instance* instance = nullptr;
        MI_Operation_GetInstance(&operation, &instance, &more, nullptr, nullptr, nullptr);
    }
    MI_Instance* instance = nullptr;
    ASSERT_EQ(MI_RESULT_OK, MI_Application_NewInstance(&application, L"Doomed", nullptr, &instance));
    MI_Serializer serializer{};
    ASSERT_EQ(MI_RESULT_OK, MI_Application_NewSerializer(&application, 0, const_cast<MI_Char*>(L"MI_XML"), &serializer));
    MI_Operation classOperation{};
    MI_Session_GetClass(&session, 0, nullptr, v2, L"Msvm_ComputerSystem", nullptr, &classOperation);
    const MI_Class* delivered = nullptr;
    MI_Operation_GetClass(&classOperation, &delivered, nullptr, nullptr, nullptr, nullptr);
    MI_Class* classCopy = nullptr;
    ASSERT_EQ(MI_RESULT_OK, delivered->ft->Clone(delivered, &classCopy));
    MI_Operation_GetClass(&classOperation, &delivered, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(MI_RESULT_OK, MI_Operation_Close(&classOperation));

    const Case cases[] = {
        {sim::CallKind::CloseOperation, [&] { return MI_Operation_Close(&operation); },
         [&] { return world.Live().operations; }},
        {sim::CallKind::DeleteInstance, [&] { return MI_Instance_Delete(instance); },
         [&] { return world.Live().instances; }},
        {sim::CallKind::DeleteClass, [&] { return classCopy->ft->Delete(classCopy); },
         [&] { return world.Live().classes; }},
        {sim::CallKind::CloseSerializer, [&] { return MI_Serializer_Close(&serializer); },
         [&] { return world.Live().serializers; }},
        {sim::CallKind::CloseSession, [&] { return MI_Session_Close(&closing, nullptr, nullptr); },
         [&] { return world.Live().sessions; }},
        {sim::CallKind::CloseApplication, [&] { return MI_Application_Close(&second); },
         [&] { return world.Live().applications; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "call kind " << static_cast<int>(c.kind));
        const int before = c.live();
        world.FailCall(c.kind, 1, injected);
        EXPECT_EQ(injected, c.release());
        EXPECT_EQ(before - 1, c.live());
        EXPECT_EQ(c.kind, LastCall().kind);
        EXPECT_EQ(injected, LastCall().result);
    }
    Close(session);
    EXPECT_TRUE(world.Misuses().empty());
}

TEST_F(InstrumentTest, AFaultCanWaitForTheElementOrClassItNames)
{
    MI_Instance* parameters = nullptr;
    ASSERT_EQ(MI_RESULT_OK, MI_Application_NewInstance(&application, L"__parameters", nullptr, &parameters));
    MI_Instance* other = nullptr;
    ASSERT_EQ(MI_RESULT_OK, MI_Application_NewInstance(&application, L"Other", nullptr, &other));
    MI_Value value{};
    value.uint16 = 2;
    // The second call that names the element fails, whichever instance it is on.
    world.FailCall(sim::CallKind::AddElement, 2, injected, L"RequestedState");
    world.FailCall(sim::CallKind::GetElement, 1, injected, L"__PARAMETERS");
    EXPECT_EQ(MI_RESULT_OK, MI_Instance_AddElement(parameters, L"Force", &value, MI_UINT16, 0));
    EXPECT_EQ(MI_RESULT_OK, MI_Instance_AddElement(parameters, L"RequestedState", &value, MI_UINT16, 0));
    EXPECT_EQ(MI_RESULT_OK, MI_Instance_AddElement(other, L"Force", &value, MI_UINT16, 0));
    EXPECT_EQ(injected, MI_Instance_AddElement(other, L"requestedstate", &value, MI_UINT16, 0));
    EXPECT_EQ(MI_RESULT_OK, MI_Instance_AddElement(other, L"RequestedState", nullptr, MI_UINT16, MI_FLAG_NULL));
    MI_Type type{};
    EXPECT_EQ(MI_RESULT_OK, MI_Instance_GetElement(other, L"RequestedState", &value, &type, nullptr, nullptr));
    EXPECT_EQ(injected, MI_Instance_GetElement(parameters, L"Force", &value, &type, nullptr, nullptr));
    EXPECT_EQ(MI_RESULT_OK, MI_Instance_GetElement(parameters, L"Force", &value, &type, nullptr, nullptr));
    EXPECT_EQ(MI_RESULT_OK, MI_Instance_Delete(other));
    EXPECT_EQ(MI_RESULT_OK, MI_Instance_Delete(parameters));
}

TEST_F(InstrumentTest, TheLogRecordsEachSessionCallsFlags)
{
    MI_Session session = Open(L"HV-LAB01");
    world.ClearCalls();
    MI_Operation operation{};
    MI_Session_QueryInstances(&session, 0, nullptr, v2, L"WQL", L"SELECT * FROM Msvm_ComputerSystem", nullptr, &operation);
    Drain(operation);
    MI_Session_GetClass(&session, MI_OPERATIONFLAGS_LOCALIZED_QUALIFIERS, nullptr, v2, L"Msvm_ComputerSystem", nullptr, &operation);
    MI_Boolean more = MI_TRUE;
    while (more) {
        const MI_Class* classObject = nullptr;
        MI_Operation_GetClass(&operation, &classObject, &more, nullptr, nullptr, nullptr);
    }
    EXPECT_EQ(MI_RESULT_OK, MI_Operation_Close(&operation));
    MI_Instance* key = KeyInstance(L"__NAMESPACE", L"Name", L"v2");
    MI_Session_GetInstance(&session, MI_OPERATIONFLAGS_FULL_RTTI, nullptr, L"root/virtualization", key, nullptr, &operation);
    Drain(operation);
    MI_Session_Invoke(&session, MI_OPERATIONFLAGS_BASIC_RTTI, nullptr, v2, nullptr, L"Nothing", key, nullptr, nullptr, &operation);
    Drain(operation);
    EXPECT_EQ(MI_RESULT_OK, MI_Instance_Delete(key));
    std::vector<std::pair<sim::CallKind, MI_Uint32>> seen;
    for (const sim::CallRecord& call : world.Calls())
        if (call.kind == sim::CallKind::QueryInstances || call.kind == sim::CallKind::GetClass ||
            call.kind == sim::CallKind::GetInstance || call.kind == sim::CallKind::Invoke)
            seen.emplace_back(call.kind, call.flags);
    EXPECT_EQ((std::vector<std::pair<sim::CallKind, MI_Uint32>>{
                  {sim::CallKind::QueryInstances, 0u}, {sim::CallKind::GetClass, 8u},
                  {sim::CallKind::GetInstance, 4u}, {sim::CallKind::Invoke, 2u}}),
              seen);
    Close(session);
}

TEST_F(InstrumentTest, FlagsTheClientRefusesFailTheOperation)
{
    struct Case {
        MI_Uint32 flags;
        MI_Result result;
    };
    const Case cases[] = {
        {0x0000, MI_RESULT_OK},                     // all defaults
        {0x0008, MI_RESULT_OK},                     // localized qualifiers
        {0x0002 | 0x0040 | 0x0080, MI_RESULT_OK},   // basic type information, expensive, shallow
        {0x0180, MI_RESULT_OK},                     // deep, base properties only
        {0x0800 | 0x0200 | 0x0001, MI_RESULT_OK},   // standard type information, started, manual ack
        {0x0002 | 0x0004, MI_RESULT_INVALID_PARAMETER}, // two kinds of type information
        {0x0400 | 0x0800, MI_RESULT_INVALID_PARAMETER},
        {0x0100, MI_RESULT_INVALID_PARAMETER},      // half of a polymorphism value
        {0x1000, MI_RESULT_INVALID_PARAMETER},      // no such flag
        {0x80000000u, MI_RESULT_INVALID_PARAMETER},
    };
    MI_Session session = Open(L"HV-LAB01");
    for (const Case& c : cases) {
        const Pulled pulled = Query(session, v2, L"SELECT * FROM Msvm_VirtualSystemManagementService", L"Name", c.flags);
        EXPECT_EQ(c.result, pulled.result) << "flags " << c.flags;
        EXPECT_EQ(c.result == MI_RESULT_OK ? 1u : 0u, pulled.values.size()) << "flags " << c.flags;
    }
    Close(session);
}

TEST_F(InstrumentTest, TheApplicationIsCountedAmongTheLiveHandles)
{
    EXPECT_EQ(1, world.Live().applications);
    MI_Application forgotten{};
    ASSERT_EQ(MI_RESULT_OK, MI_Application_InitializeV1(0, nullptr, nullptr, &forgotten));
    EXPECT_EQ(2, world.Live().applications);
    sim::LiveCounts onlyTheApplications;
    onlyTheApplications.applications = 2;
    EXPECT_EQ(onlyTheApplications, world.Live());
    EXPECT_EQ(MI_RESULT_OK, MI_Application_Close(&forgotten));
    EXPECT_EQ(1, world.Live().applications);
    EXPECT_EQ(MI_RESULT_INVALID_PARAMETER, MI_Application_Close(&forgotten));

    world.FailCall(sim::CallKind::Initialize, 1, MI_RESULT_FAILED);
    EXPECT_EQ(MI_RESULT_FAILED, MI_Application_InitializeV1(0, nullptr, nullptr, &forgotten));
    EXPECT_EQ(1, world.Live().applications);
}

TEST_F(InstrumentTest, ClosingWhatStillHasOpenChildrenIsMisuse)
{
    MI_Application second{};
    ASSERT_EQ(MI_RESULT_OK, MI_Application_InitializeV1(0, nullptr, nullptr, &second));
    MI_Session session{};
    ASSERT_EQ(MI_RESULT_OK, MI_Application_NewSession(&second, L"WINRM", L"HV-LAB01", nullptr, nullptr, nullptr, &session));
    MI_Session other = Open(L"HV-LAB01");
    MI_Operation operation{};
    MI_Session_QueryInstances(&session, 0, nullptr, v2, L"WQL", L"SELECT * FROM Msvm_ComputerSystem", nullptr, &operation);
    // The fixture's application and the other session have nothing open of their own.
    Close(other);
    EXPECT_TRUE(world.Misuses().empty());

    EXPECT_EQ(MI_RESULT_OK, MI_Session_Close(&session, nullptr, nullptr));
    EXPECT_EQ(MI_RESULT_OK, Drain(operation));
    MI_Session last{};
    ASSERT_EQ(MI_RESULT_OK, MI_Application_NewSession(&second, L"WINRM", L"HV-LAB01", nullptr, nullptr, nullptr, &last));
    EXPECT_EQ(MI_RESULT_OK, MI_Application_Close(&second));
    EXPECT_EQ(MI_RESULT_OK, MI_Session_Close(&last, nullptr, nullptr));
    EXPECT_EQ((std::vector<std::wstring>{L"MI_Session_Close while operations of the session are open",
                                         L"MI_Application_Close while sessions of the application are open"}),
              world.Misuses());
    world.ClearMisuses();
}

TEST_F(InstrumentTest, ElementCallsAreLoggedWithTheElementTheyReach)
{
    MI_Instance* instance = KeyInstance(L"Msvm_ConcreteJob", L"InstanceID", L"ABC");
    world.ClearCalls();
    const MI_Char* name = nullptr;
    MI_Value value{};
    EXPECT_EQ(MI_RESULT_OK, MI_Instance_GetElementAt(instance, 0, &name, &value, nullptr, nullptr));
    EXPECT_EQ(MI_RESULT_NO_SUCH_PROPERTY, MI_Instance_GetElement(instance, L"JobState", &value, nullptr, nullptr, nullptr));
    ASSERT_EQ(2u, world.Calls().size());
    EXPECT_EQ(sim::CallKind::GetElementAt, world.Calls()[0].kind);
    EXPECT_EQ(L"InstanceID", world.Calls()[0].element);
    EXPECT_EQ(L"Msvm_ConcreteJob", world.Calls()[0].className);
    EXPECT_EQ(sim::CallKind::GetElement, world.Calls()[1].kind);
    EXPECT_EQ(L"JobState", world.Calls()[1].element);
    EXPECT_EQ(MI_RESULT_NO_SUCH_PROPERTY, world.Calls()[1].result);
    EXPECT_EQ(MI_RESULT_OK, MI_Instance_Delete(instance));
}

TEST_F(InstrumentTest, WhatAnOperationDeliveredIsReadOnlyAndNeedsAPlaceToGo)
{
    MI_Session session = Open(L"HV-LAB01");
    MI_Operation operation{};
    MI_Session_QueryInstances(&session, 0, nullptr, v2, L"WQL", L"SELECT * FROM Msvm_VirtualSystemManagementService", nullptr, &operation);
    MI_Result result = MI_RESULT_OK;
    EXPECT_EQ(MI_RESULT_INVALID_PARAMETER, MI_Operation_GetInstance(&operation, nullptr, nullptr, &result, nullptr, nullptr));
    EXPECT_EQ(MI_RESULT_INVALID_PARAMETER, result);
    const MI_Instance* delivered = nullptr;
    MI_Operation_GetInstance(&operation, &delivered, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, delivered) << "the refused pull took nothing";
    MI_Instance* changeable = const_cast<MI_Instance*>(delivered);
    MI_Value value{};
    value.string = const_cast<MI_Char*>(L"changed");
    EXPECT_EQ(MI_RESULT_INVALID_PARAMETER, MI_Instance_SetElement(changeable, L"ElementName", &value, MI_STRING, 0));
    EXPECT_EQ(MI_RESULT_INVALID_PARAMETER, MI_Instance_AddElement(changeable, L"Extra", &value, MI_STRING, 0));
    EXPECT_EQ(L"Virtual Machine Management Service", StringElement(delivered, L"ElementName"));
    EXPECT_EQ(MI_RESULT_OK, Drain(operation));
    EXPECT_EQ((std::vector<std::wstring>{
                  L"MI_Operation_GetInstance without a place for the result's object",
                  L"MI_Instance_SetElement on an instance that belongs to an operation or another instance",
                  L"MI_Instance_AddElement on an instance that belongs to an operation or another instance"}),
              world.Misuses());
    world.ClearMisuses();
    Close(session);
}

// A test sets faults while a worker calls the client, as the window tests do: each control
// takes the client's lock, which every call holds, so neither side sees the other's lists
// half-changed. A control waits while a call holds the lock.
TEST_F(InstrumentTest, EveryControlWaitsForTheCallUnderWay)
{
    const std::pair<const char*, std::function<void()>> controls[] = {
        {"FailCall", [&] { world.FailCall(sim::CallKind::ReadInstance, 5, injected); }},
        {"StallCall", [&] { world.StallCall(sim::CallKind::ReadClass, 5); }},
        {"FixReturnValue", [&] { world.FixReturnValue(L"RequestStateChange", 32775); }},
        {"ClearReturnValue", [&] { world.ClearReturnValue(L"RequestStateChange"); }},
        {"PlanNextJob", [&] { world.PlanNextJob({}); }},
        {"ClearCalls", [&] { world.ClearCalls(); }},
        {"ClearMisuses", [&] { world.ClearMisuses(); }},
    };
    for (const auto& [name, control] : controls) {
        SCOPED_TRACE(name);
        std::atomic<bool> done{false};
        std::thread setter;
        {
            // A call under way holds the client's lock.
            const std::lock_guard<std::recursive_mutex> call(sim::ClientLock());
            setter = std::thread([&] {
                control();
                done = true;
            });
            ::Sleep(50);
            EXPECT_FALSE(done);
        }
        setter.join();
        EXPECT_TRUE(done);
    }
}

}
