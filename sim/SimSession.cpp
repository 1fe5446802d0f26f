// The session function table: queries, instance and class fetches and method calls, each
// answered at once into an operation that the caller pulls from.
#include "sim/SimSession.h"

#include <cstring>
#include <memory>

#include "mgmt/MiTables.h"
#include "sim/ClassSchema.h"
#include "sim/Guard.h"
#include "sim/HostCatalog.h"
#include "sim/HostMethods.h"
#include "sim/SimClass.h"
#include "sim/SimOperation.h"
#include "sim/Text.h"
#include "sim/ValueText.h"
#include "sim/WqlParser.h"
#include "sim/World.h"

namespace sim {
namespace {

struct Call {
    World* world = nullptr;
    SimSession* session = nullptr;
};

Call CheckedSession(MI_Session* handle, const char* call)
{
    World* world = handle ? World::FromHandle(handle->reserved1) : nullptr;
    SimSession* session = world ? world->Objects().FindSession(static_cast<std::uint64_t>(handle->reserved2)) : nullptr;
    if (!session) {
        std::string name(call);
        ActiveWorld().ReportMisuse(std::wstring(name.begin(), name.end()) +
                                   L" on a closed or foreign session");
        return {};
    }
    world->Settle();
    return {world, session};
}

CallRecord RecordFor(CallKind kind, const SimSession& session, const MI_Char* nameSpace)
{
    CallRecord record;
    record.kind = kind;
    record.host = session.destination;
    record.protocol = session.protocol;
    record.nameSpace = nameSpace ? nameSpace : L"";
    return record;
}

void AddParameters(CallRecord& record, const SimInstance& instance)
{
    for (const Element& element : instance.Elements())
        if (!element.value.IsNull())
            record.parameters.emplace_back(element.name, ValueText(element.value));
}

// The host behind the session when it answers now; the unreachable result otherwise.
MI_Result Reach(World& world, const SimSession& session, Host*& host)
{
    host = session.host;
    const bool winrm = SameText(session.protocol, L"WINRM");
    if (!host || !host->Answering() || (host->IsLocal() && winrm && !host->answersWinrm)) {
        host = nullptr;
        return world.unreachableResult;
    }
    return MI_RESULT_OK;
}

bool Matches(const SimInstance& instance, const WqlCondition& condition)
{
    const Element* element = instance.Find(condition.property);
    return element && !element->value.IsNull() &&
           SameText(ValueText(element->value), condition.literal);
}

// Keeps only the selected properties (and the keys, which identify the instance).
void Project(SimInstance& instance, const std::vector<std::wstring>& properties)
{
    if (properties.empty())
        return;
    for (Element& element : instance.Elements()) {
        bool selected = (element.flags & MI_FLAG_KEY) != 0;
        for (const std::wstring& property : properties)
            selected = selected || SameText(property, element.name);
        if (!selected)
            element.value.AssignNull(element.value.Type());
    }
}

// Delivers instances one by one while the host keeps answering.
void DeliverAll(World& world, Host& host, SimOperation& operation,
                const std::vector<SimInstance*>& instances)
{
    std::size_t next = 0;
    for (; next < instances.size(); ++next) {
        if (!host.Answering()) {
            operation.Fail(world.unreachableResult);
            break;
        }
        operation.Deliver({instances[next], nullptr, MI_RESULT_OK});
        host.CountDelivery();
    }
    for (; next < instances.size(); ++next)
        world.Objects().Release(instances[next]);
    if (instances.empty())
        operation.Deliver({});
}

MI_Result AnswerQuery(World& world, const SimSession& session, const MI_Char* nameSpace,
                      const MI_Char* dialect, const MI_Char* queryText, SimOperation& operation,
                      CallRecord& record)
{
    const auto query = queryText ? ParseWql(queryText) : std::nullopt;
    if (query)
        record.className = query->className;
    if (auto fault = world.TakeFault(CallKind::QueryInstances, record.className))
        return *fault;
    Host* host = nullptr;
    if (MI_Result reached = Reach(world, session, host); reached != MI_RESULT_OK)
        return reached;
    if (!dialect || !SameText(dialect, L"WQL"))
        return MI_RESULT_QUERY_LANGUAGE_NOT_SUPPORTED;
    const auto canonical = nameSpace ? FindNamespace(*host, nameSpace) : std::nullopt;
    if (!canonical)
        return MI_RESULT_INVALID_NAMESPACE;
    if (!query)
        return MI_RESULT_INVALID_QUERY;
    const ClassSchema* schema = FindClassIn(*canonical, query->className);
    if (!schema)
        return MI_RESULT_INVALID_CLASS;
    for (const std::wstring& property : query->properties)
        if (schema->IndexOf(property) < 0)
            return MI_RESULT_INVALID_QUERY;
    if (query->where && schema->IndexOf(query->where->property) < 0)
        return MI_RESULT_INVALID_QUERY;
    std::vector<SimInstance*> selected;
    for (SimInstance* instance : InstancesOf(world, *host, *canonical, *schema)) {
        if (query->where && !Matches(*instance, *query->where)) {
            world.Objects().Release(instance);
            continue;
        }
        Project(*instance, query->properties);
        selected.push_back(instance);
    }
    DeliverAll(world, *host, operation, selected);
    return MI_RESULT_OK;
}

// Opens the operation with the answer: the deliveries made, or one failure.
void Finish(World& world, std::unique_ptr<SimOperation> operation, MI_Result result,
            CallRecord record, MI_Operation* handle)
{
    if (result != MI_RESULT_OK)
        operation->Fail(result);
    record.result = result;
    world.Log(std::move(record));
    OpenOperation(world, std::move(operation), handle);
}

void FailHandle(MI_Operation* operation)
{
    if (operation)
        std::memset(operation, 0, sizeof(*operation));
}

// Runs one session call: checks the session, records the call, lets `answer` fill a new
// operation (or name the failure) and opens it on the caller's handle. A failure inside
// leaves the handle empty.
template <typename Answer>
void StartOperation(MI_Session* self, const char* name, CallKind kind, const MI_Char* nameSpace,
                    bool classOperation, MI_Operation* handle, Answer answer)
{
    const MI_Result guarded = Guarded([&] {
        const Call call = CheckedSession(self, name);
        if (!call.session || !handle)
            return MI_RESULT_INVALID_PARAMETER;
        CallRecord record = RecordFor(kind, *call.session, nameSpace);
        auto operation = std::make_unique<SimOperation>(*call.world, classOperation);
        const MI_Result result = answer(call, record, *operation);
        Finish(*call.world, std::move(operation), result, std::move(record), handle);
        return MI_RESULT_OK;
    });
    if (guarded != MI_RESULT_OK)
        FailHandle(handle);
}

void SessionQueryInstances(MI_Session* self, MI_Uint32, MI_OperationOptions*,
                           const MI_Char* nameSpace, const MI_Char* dialect,
                           const MI_Char* queryText, MI_OperationCallbacks*, MI_Operation* handle)
{
    StartOperation(self, "MI_Session_QueryInstances", CallKind::QueryInstances, nameSpace, false,
                   handle, [&](const Call& call, CallRecord& record, SimOperation& operation) {
                       record.query = queryText ? queryText : L"";
                       return AnswerQuery(*call.world, *call.session, nameSpace, dialect,
                                          queryText, operation, record);
                   });
}

// The host, namespace and class an inbound instance names (its own namespace when none is
// given), or the result a host answers when one of them is missing.
MI_Result FindInboundClass(World& world, const SimSession& session, const MI_Char* nameSpace,
                           const SimInstance& inbound, Host*& host,
                           std::optional<std::wstring>& canonical, const ClassSchema*& schema)
{
    if (MI_Result reached = Reach(world, session, host); reached != MI_RESULT_OK)
        return reached;
    canonical = FindNamespace(*host, nameSpace ? std::wstring(nameSpace) : inbound.NameSpace());
    if (!canonical)
        return MI_RESULT_INVALID_NAMESPACE;
    schema = FindClassIn(*canonical, inbound.ClassName());
    return schema ? MI_RESULT_OK : MI_RESULT_INVALID_CLASS;
}

MI_Result AnswerGetInstance(World& world, const SimSession& session, const MI_Char* nameSpace,
                            const SimInstance& inbound, SimOperation& operation)
{
    if (auto fault = world.TakeFault(CallKind::GetInstance, inbound.ClassName()))
        return *fault;
    Host* host = nullptr;
    std::optional<std::wstring> canonical;
    const ClassSchema* schema = nullptr;
    if (MI_Result found = FindInboundClass(world, session, nameSpace, inbound, host, canonical, schema);
        found != MI_RESULT_OK)
        return found;
    for (const PropertySchema& property : schema->Properties()) {
        const Element* key = inbound.Find(property.name);
        if (property.key && (!key || key->value.IsNull()))
            return MI_RESULT_INVALID_PARAMETER;
    }
    if (schema->Name() == L"Msvm_ConcreteJob")
        return ReadJob(world, *host, inbound.StringOf(L"InstanceID"), operation);
    SimInstance* found = nullptr;
    for (SimInstance* candidate : InstancesOf(world, *host, *canonical, *schema)) {
        bool same = !found;
        for (const PropertySchema& property : schema->Properties())
            if (property.key)
                same = same && SameText(candidate->StringOf(property.name),
                                        ValueText(inbound.Find(property.name)->value));
        if (same)
            found = candidate;
        else
            world.Objects().Release(candidate);
    }
    if (!found)
        return MI_RESULT_NOT_FOUND;
    DeliverAll(world, *host, operation, {found});
    return MI_RESULT_OK;
}

void SessionGetInstance(MI_Session* self, MI_Uint32, MI_OperationOptions*, const MI_Char* nameSpace,
                        const MI_Instance* inboundHandle, MI_OperationCallbacks*, MI_Operation* handle)
{
    StartOperation(self, "MI_Session_GetInstance", CallKind::GetInstance, nameSpace, false, handle,
                   [&](const Call& call, CallRecord& record, SimOperation& operation) {
                       const SimInstance* inbound =
                           inboundHandle ? CheckedInstance(inboundHandle, "MI_Session_GetInstance")
                                         : nullptr;
                       if (!inbound)
                           return MI_RESULT_INVALID_PARAMETER;
                       record.className = inbound->ClassName();
                       AddParameters(record, *inbound);
                       return AnswerGetInstance(*call.world, *call.session, nameSpace, *inbound,
                                                operation);
                   });
}

MI_Result AnswerGetClass(World& world, const SimSession& session, const MI_Char* nameSpace,
                         const MI_Char* className, SimOperation& operation)
{
    if (auto fault = world.TakeFault(CallKind::GetClass, className ? className : L""))
        return *fault;
    Host* host = nullptr;
    if (MI_Result reached = Reach(world, session, host); reached != MI_RESULT_OK)
        return reached;
    const auto canonical = nameSpace ? FindNamespace(*host, nameSpace) : std::nullopt;
    if (!canonical)
        return MI_RESULT_INVALID_NAMESPACE;
    const ClassSchema* schema = className ? FindClassIn(*canonical, className) : nullptr;
    if (!schema)
        return MI_RESULT_INVALID_CLASS;
    SimClass* simClass = world.Objects().NewClass(*schema, *canonical, UpperText(host->Name()),
                                                  Ownership::Operation);
    operation.Deliver({nullptr, simClass, MI_RESULT_OK});
    return MI_RESULT_OK;
}

void SessionGetClass(MI_Session* self, MI_Uint32, MI_OperationOptions*, const MI_Char* nameSpace,
                     const MI_Char* className, MI_OperationCallbacks*, MI_Operation* handle)
{
    StartOperation(self, "MI_Session_GetClass", CallKind::GetClass, nameSpace, true, handle,
                   [&](const Call& call, CallRecord& record, SimOperation& operation) {
                       record.className = className ? className : L"";
                       return AnswerGetClass(*call.world, *call.session, nameSpace, className,
                                             operation);
                   });
}

MI_Result AnswerInvoke(World& world, const SimSession& session, const MI_Char* nameSpace,
                       const MI_Char* method, const SimInstance& inbound,
                       const SimInstance* parameters, SimOperation& operation)
{
    if (auto fault = world.TakeFault(CallKind::Invoke, method))
        return *fault;
    Host* host = nullptr;
    std::optional<std::wstring> canonical;
    const ClassSchema* schema = nullptr;
    if (MI_Result found = FindInboundClass(world, session, nameSpace, inbound, host, canonical, schema);
        found != MI_RESULT_OK)
        return found;
    return InvokeMethod(world, *host, *schema, inbound, method, parameters, operation);
}

void SessionInvoke(MI_Session* self, MI_Uint32, MI_OperationOptions*, const MI_Char* nameSpace,
                   const MI_Char*, const MI_Char* method, const MI_Instance* inboundHandle,
                   const MI_Instance* parametersHandle, MI_OperationCallbacks*, MI_Operation* handle)
{
    StartOperation(self, "MI_Session_Invoke", CallKind::Invoke, nameSpace, false, handle,
                   [&](const Call& call, CallRecord& record, SimOperation& operation) {
                       record.method = method ? method : L"";
                       const SimInstance* inbound =
                           inboundHandle ? CheckedInstance(inboundHandle, "MI_Session_Invoke")
                                         : nullptr;
                       const SimInstance* parameters =
                           parametersHandle ? CheckedInstance(parametersHandle, "MI_Session_Invoke")
                                            : nullptr;
                       if (!inbound || !method || (!parameters && parametersHandle))
                           return MI_RESULT_INVALID_PARAMETER;
                       record.className = inbound->ClassName();
                       if (parameters)
                           AddParameters(record, *parameters);
                       return AnswerInvoke(*call.world, *call.session, nameSpace, method, *inbound,
                                           parameters, operation);
                   });
}

// Operations no Hyper-V client of ours starts: an operation that answers "not supported",
// so that a caller gets a result instead of a call through an empty slot.
void Unsupported(MI_Session* self, const char* name, MI_Operation* handle)
{
    const MI_Result guarded = Guarded([&] {
        const Call call = CheckedSession(self, name);
        if (!call.session || !handle)
            return MI_RESULT_INVALID_PARAMETER;
        auto operation = std::make_unique<SimOperation>(*call.world, false);
        operation->Fail(MI_RESULT_NOT_SUPPORTED);
        OpenOperation(*call.world, std::move(operation), handle);
        return MI_RESULT_OK;
    });
    if (guarded != MI_RESULT_OK)
        FailHandle(handle);
}

MI_Result SessionClose(MI_Session* self, void* completionContext, void (*completion)(void*))
{
    const MI_Result result = Guarded([&] {
        const Call call = CheckedSession(self, "MI_Session_Close");
        if (!call.session)
            return MI_RESULT_INVALID_PARAMETER;
        CallRecord record = RecordFor(CallKind::CloseSession, *call.session, nullptr);
        call.world->Objects().CloseSession(static_cast<std::uint64_t>(self->reserved2));
        call.world->Log(std::move(record));
        return MI_RESULT_OK;
    });
    if (completion)
        completion(completionContext);
    return result;
}

MI_Result SessionGetApplication(MI_Session* self, MI_Application* application)
{
    return Guarded([&] {
        if (!CheckedSession(self, "MI_Session_GetApplication").session || !application)
            return MI_RESULT_INVALID_PARAMETER;
        return MI_RESULT_NOT_SUPPORTED;
    });
}

}

const MI_SessionFT simSessionTable = [] {
    MI_SessionFT table{};
    table.Close = SessionClose;
    table.GetApplication = SessionGetApplication;
    table.GetInstance = SessionGetInstance;
    table.Invoke = SessionInvoke;
    table.QueryInstances = SessionQueryInstances;
    table.GetClass = SessionGetClass;
    using Options = MI_OperationOptions*;
    using Callbacks = MI_OperationCallbacks*;
    using Text = const MI_Char*;
    using Instance = const MI_Instance*;
    table.ModifyInstance = [](MI_Session* self, MI_Uint32, Options, Text, Instance, Callbacks,
                              MI_Operation* operation) {
        Unsupported(self, "MI_Session_ModifyInstance", operation);
    };
    table.CreateInstance = [](MI_Session* self, MI_Uint32, Options, Text, Instance, Callbacks,
                              MI_Operation* operation) {
        Unsupported(self, "MI_Session_CreateInstance", operation);
    };
    table.DeleteInstance = [](MI_Session* self, MI_Uint32, Options, Text, Instance, Callbacks,
                              MI_Operation* operation) {
        Unsupported(self, "MI_Session_DeleteInstance", operation);
    };
    table.EnumerateInstances = [](MI_Session* self, MI_Uint32, Options, Text, Text, MI_Boolean,
                                  Callbacks, MI_Operation* operation) {
        Unsupported(self, "MI_Session_EnumerateInstances", operation);
    };
    table.AssociatorInstances = [](MI_Session* self, MI_Uint32, Options, Text, Instance, Text,
                                   Text, Text, Text, MI_Boolean, Callbacks,
                                   MI_Operation* operation) {
        Unsupported(self, "MI_Session_AssociatorInstances", operation);
    };
    table.ReferenceInstances = [](MI_Session* self, MI_Uint32, Options, Text, Instance, Text, Text,
                                  MI_Boolean, Callbacks, MI_Operation* operation) {
        Unsupported(self, "MI_Session_ReferenceInstances", operation);
    };
    table.Subscribe = [](MI_Session* self, MI_Uint32, Options, Text, Text, Text,
                         const MI_SubscriptionDeliveryOptions*, Callbacks,
                         MI_Operation* operation) {
        Unsupported(self, "MI_Session_Subscribe", operation);
    };
    table.EnumerateClasses = [](MI_Session* self, MI_Uint32, Options, Text, Text, MI_Boolean,
                                Callbacks, MI_Operation* operation) {
        Unsupported(self, "MI_Session_EnumerateClasses", operation);
    };
    table.TestConnection = [](MI_Session* self, MI_Uint32, Callbacks, MI_Operation* operation) {
        Unsupported(self, "MI_Session_TestConnection", operation);
    };
    return table;
}();

MI_Result OpenSession(const MI_Char* protocol, const MI_Char* destination, MI_Session* handle)
{
    return Guarded([&] {
        if (!handle)
            return MI_RESULT_INVALID_PARAMETER;
        std::memset(handle, 0, sizeof(*handle));
        World& world = ActiveWorld();
        world.Settle();
        auto session = std::make_unique<SimSession>();
        session->protocol = protocol ? protocol : L"WMIDCOM";
        session->destination = destination ? destination : L"";
        CallRecord record = RecordFor(CallKind::NewSession, *session, nullptr);
        MI_Result result = MI_RESULT_OK;
        if (auto fault = world.TakeFault(CallKind::NewSession, session->destination))
            result = *fault;
        else if (!SameText(session->protocol, L"WMIDCOM") && !SameText(session->protocol, L"WINRM"))
            result = MI_RESULT_NOT_SUPPORTED;
        record.result = result;
        world.Log(std::move(record));
        if (result != MI_RESULT_OK)
            return result;
        // No destination (or an empty one) is the local computer. A name no host answers to
        // still gets its session: the client finds out at the first operation.
        session->host = session->destination.empty() ? &world.Local() : world.FindHost(session->destination);
        handle->reserved1 = reinterpret_cast<std::uint64_t>(&world);
        handle->reserved2 = static_cast<std::ptrdiff_t>(world.Objects().AddSession(std::move(session)));
        handle->ft = &simSessionTable;
        return MI_RESULT_OK;
    });
}

}
