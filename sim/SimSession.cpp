// The session function table: queries, instance and class fetches and method calls, each
// answered at once into an operation that the caller pulls from.
#include "sim/SimSession.h"

#include <cstring>
#include <memory>

#include "mgmt/MiTables.h"
#include "sim/FailureText.h"
#include "sim/Guard.h"
#include "sim/SessionAnswers.h"
#include "sim/SimDestinationOptions.h"
#include "sim/SimOperation.h"
#include "sim/Text.h"
#include "sim/TextForms.h"
#include "sim/World.h"

namespace sim {
namespace {

struct Call {
    World* world = nullptr;
    SimSession* session = nullptr;
    std::uint64_t id = 0;
};

Call CheckedSession(MI_Session* handle, const char* call)
{
    World* world = handle ? World::FromHandle(handle->reserved1) : nullptr;
    const auto id = handle ? static_cast<std::uint64_t>(handle->reserved2) : 0;
    SimSession* session = world ? world->Objects().FindSession(id) : nullptr;
    if (!session) {
        std::string name(call);
        ActiveWorld().ReportMisuse(std::wstring(name.begin(), name.end()) +
                                   L" on a closed or foreign session");
        return {};
    }
    world->Settle();
    return {world, session, id};
}

CallRecord RecordFor(CallKind kind, const SimSession& session, const MI_Char* nameSpace)
{
    CallRecord record;
    record.kind = kind;
    record.host = session.destination;
    record.protocol = session.protocol;
    record.nameSpace = nameSpace ? nameSpace : L"";
    record.user = session.account;
    return record;
}

// Operation flags as the client accepts them: known bits only, at most one kind of run-time
// type information, and the deep polymorphism bit only with the shallow one.
bool ValidFlags(MI_Uint32 flags)
{
    constexpr MI_Uint32 known = MI_OPERATIONFLAGS_MANUAL_ACK_RESULTS | MI_OPERATIONFLAGS_BASIC_RTTI |
        MI_OPERATIONFLAGS_FULL_RTTI | MI_OPERATIONFLAGS_LOCALIZED_QUALIFIERS |
        MI_OPERATIONFLAGS_EXPENSIVE_PROPERTIES | MI_OPERATIONFLAGS_POLYMORPHISM_DEEP_BASE_PROPS_ONLY |
        MI_OPERATIONFLAGS_REPORT_OPERATION_STARTED | MI_OPERATIONFLAGS_NO_RTTI |
        MI_OPERATIONFLAGS_STANDARD_RTTI;
    if (flags & ~known)
        return false;
    int rtti = 0;
    for (MI_Uint32 kind : {MI_OPERATIONFLAGS_BASIC_RTTI, MI_OPERATIONFLAGS_FULL_RTTI,
                           MI_OPERATIONFLAGS_NO_RTTI, MI_OPERATIONFLAGS_STANDARD_RTTI})
        rtti += (flags & kind) ? 1 : 0;
    constexpr MI_Uint32 deepBit = MI_OPERATIONFLAGS_POLYMORPHISM_DEEP_BASE_PROPS_ONLY &
                                  ~MI_OPERATIONFLAGS_POLYMORPHISM_SHALLOW;
    const bool deepWithoutShallow =
        (flags & MI_OPERATIONFLAGS_POLYMORPHISM_DEEP_BASE_PROPS_ONLY) == deepBit;
    return rtti <= 1 && !deepWithoutShallow;
}

// Opens the operation with the answer: the deliveries made in the form the session gets them,
// or one failure; then the final result as the world delivers it.
void Finish(const Call& call, MI_Uint32 flags, std::unique_ptr<SimOperation> operation,
            MI_Result result, CallRecord record, MI_Operation* handle)
{
    World& world = *call.world;
    if (result != MI_RESULT_OK) {
        Host* host = nullptr;
        const bool unreachable = result == world.unreachableResult &&
                                 Reach(world, *call.session, host) != MI_RESULT_OK;
        operation->Fail(result, unreachable ? UnreachableText() : std::wstring());
    } else if (call.session->host && DeliversText(*call.session->host, *call.session, flags)) {
        operation->ForEachInstance(ToTextForms);
    }
    operation->Seal(world.finalDelivery);
    record.result = result;
    world.Log(std::move(record));
    OpenOperation(world, std::move(operation), handle);
}

void FailHandle(MI_Operation* operation)
{
    if (operation)
        std::memset(operation, 0, sizeof(*operation));
}

// The time the session's host takes to answer a call, waited on the world's clock without the
// client's lock, so that calls to several hosts wait side by side as they do on a real client.
void AwaitRoundTrip(MI_Session* self)
{
    World* world = nullptr;
    std::uint32_t roundTrip = 0;
    static_cast<void>(Guarded([&] {
        world = self ? World::FromHandle(self->reserved1) : nullptr;
        const SimSession* session =
            world ? world->Objects().FindSession(static_cast<std::uint64_t>(self->reserved2)) : nullptr;
        if (session && session->host)
            roundTrip = session->host->roundTripMs;
        return MI_RESULT_OK;
    }));
    if (world && roundTrip > 0)
        world->GetClock().Sleep(roundTrip);
}

// Runs one session call: checks the session and the flags, records the call, lets `answer`
// fill a new operation (or name the failure) and opens it on the caller's handle. A failure
// inside leaves the handle empty.
template <typename Answer>
void StartOperation(MI_Session* self, const char* name, CallKind kind, MI_Uint32 flags,
                    const MI_Char* nameSpace, bool classOperation, MI_Operation* handle,
                    Answer answer)
{
    AwaitRoundTrip(self);
    const MI_Result guarded = Guarded([&] {
        const Call call = CheckedSession(self, name);
        if (!call.session || !handle)
            return MI_RESULT_INVALID_PARAMETER;
        CallRecord record = RecordFor(kind, *call.session, nameSpace);
        record.flags = flags;
        auto operation = std::make_unique<SimOperation>(*call.world, classOperation, call.id);
        const MI_Result result = ValidFlags(flags) ? answer(call, record, *operation)
                                                   : MI_RESULT_INVALID_PARAMETER;
        Finish(call, flags, std::move(operation), result, std::move(record), handle);
        return MI_RESULT_OK;
    });
    if (guarded != MI_RESULT_OK)
        FailHandle(handle);
}

void SessionQueryInstances(MI_Session* self, MI_Uint32 flags, MI_OperationOptions*,
                           const MI_Char* nameSpace, const MI_Char* dialect,
                           const MI_Char* queryText, MI_OperationCallbacks*, MI_Operation* handle)
{
    StartOperation(self, "MI_Session_QueryInstances", CallKind::QueryInstances, flags, nameSpace,
                   false, handle, [&](const Call& call, CallRecord& record, SimOperation& operation) {
                       record.query = queryText ? queryText : L"";
                       return AnswerQuery(*call.world, *call.session, nameSpace, dialect,
                                          queryText, operation, record);
                   });
}

void SessionGetInstance(MI_Session* self, MI_Uint32 flags, MI_OperationOptions*,
                        const MI_Char* nameSpace, const MI_Instance* inboundHandle,
                        MI_OperationCallbacks*, MI_Operation* handle)
{
    StartOperation(self, "MI_Session_GetInstance", CallKind::GetInstance, flags, nameSpace, false,
                   handle, [&](const Call& call, CallRecord& record, SimOperation& operation) {
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

void SessionGetClass(MI_Session* self, MI_Uint32 flags, MI_OperationOptions*,
                     const MI_Char* nameSpace, const MI_Char* className, MI_OperationCallbacks*,
                     MI_Operation* handle)
{
    StartOperation(self, "MI_Session_GetClass", CallKind::GetClass, flags, nameSpace, true, handle,
                   [&](const Call& call, CallRecord& record, SimOperation& operation) {
                       record.className = className ? className : L"";
                       return AnswerGetClass(*call.world, *call.session, nameSpace, className,
                                             operation);
                   });
}

void SessionInvoke(MI_Session* self, MI_Uint32 flags, MI_OperationOptions*,
                   const MI_Char* nameSpace, const MI_Char*, const MI_Char* method,
                   const MI_Instance* inboundHandle, const MI_Instance* parametersHandle,
                   MI_OperationCallbacks*, MI_Operation* handle)
{
    StartOperation(self, "MI_Session_Invoke", CallKind::Invoke, flags, nameSpace, false, handle,
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
        auto operation = std::make_unique<SimOperation>(*call.world, false, call.id);
        operation->Fail(MI_RESULT_NOT_SUPPORTED);
        OpenOperation(*call.world, std::move(operation), handle);
        return MI_RESULT_OK;
    });
    if (guarded != MI_RESULT_OK)
        FailHandle(handle);
}

// A synchronous close waits for the session's operations to be closed, which would never
// happen on a real client while the caller is inside the close: that is reported. The
// session is released either way, also when an injected failure is answered.
MI_Result SessionClose(MI_Session* self, void* completionContext, void (*completion)(void*))
{
    const MI_Result result = Guarded([&] {
        const Call call = CheckedSession(self, "MI_Session_Close");
        if (!call.session)
            return MI_RESULT_INVALID_PARAMETER;
        CallRecord record = RecordFor(CallKind::CloseSession, *call.session, nullptr);
        record.result = call.world->TakeFault(CallKind::CloseSession, call.session->destination)
                            .value_or(MI_RESULT_OK);
        if (call.world->Objects().OperationsOf(call.id) > 0)
            call.world->ReportMisuse(L"MI_Session_Close while operations of the session are open");
        call.world->Objects().CloseSession(call.id);
        const MI_Result closed = record.result;
        call.world->Log(std::move(record));
        return closed;
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

namespace {

// Takes the destination credentials of the options into the session. The client refuses
// explicit credentials for the local computer, which it reaches as the logged-on user.
MI_Result TakeCredentials(World& world, const MI_DestinationOptions* options, SimSession& session)
{
    if (!options)
        return MI_RESULT_OK;
    const SimDestinationOptions* own =
        CheckedDestinationOptions(world, options, L"MI_Application_NewSession");
    if (!own)
        return MI_RESULT_INVALID_PARAMETER;
    for (const SimCredentials& credentials : own->credentials) {
        if (credentials.optionName != MI_DESTINATIONOPTIONS_DESTINATION_CREDENTIALS)
            continue;
        session.withCredentials = true;
        session.account = credentials.domain.empty() ? credentials.user
                                                     : credentials.domain + L"\\" + credentials.user;
        session.password = credentials.password;
    }
    const Host* host = session.destination.empty() ? &world.Local() : world.FindHost(session.destination);
    if (session.withCredentials && host && host->IsLocal())
        return MI_RESULT_INVALID_PARAMETER;
    return MI_RESULT_OK;
}

}

MI_Result OpenSession(World& world, std::uint64_t application, const MI_Char* protocol,
                      const MI_Char* destination, const MI_DestinationOptions* options,
                      MI_Session* handle)
{
    return Guarded([&] {
        if (!handle)
            return MI_RESULT_INVALID_PARAMETER;
        std::memset(handle, 0, sizeof(*handle));
        world.Settle();
        auto session = std::make_unique<SimSession>();
        session->application = application;
        session->protocol = protocol ? protocol : L"WMIDCOM";
        session->destination = destination ? destination : L"";
        MI_Result result = TakeCredentials(world, options, *session);
        CallRecord record = RecordFor(CallKind::NewSession, *session, nullptr);
        if (result == MI_RESULT_OK) {
            if (auto fault = world.TakeFault(CallKind::NewSession, session->destination))
                result = *fault;
            else if (!SameText(session->protocol, L"WMIDCOM") && !SameText(session->protocol, L"WINRM"))
                result = MI_RESULT_NOT_SUPPORTED;
        }
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
