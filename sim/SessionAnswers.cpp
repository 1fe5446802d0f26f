#include "sim/SessionAnswers.h"

#include <optional>
#include <string>
#include <vector>

#include "sim/ClassSchema.h"
#include "sim/FailureText.h"
#include "sim/HostCatalog.h"
#include "sim/HostMethods.h"
#include "sim/SimClass.h"
#include "sim/SimOperation.h"
#include "sim/SimSession.h"
#include "sim/Text.h"
#include "sim/ValueText.h"
#include "sim/WqlParser.h"
#include "sim/World.h"

namespace sim {
namespace {

// WQL compares text ignoring case; a null property matches no comparison.
bool Matches(const SimInstance& instance, const WqlCondition& condition)
{
    const Element* element = instance.Find(condition.property);
    if (!element || element->value.IsNull())
        return false;
    return SameText(ValueText(element->value), condition.literal) == condition.equal;
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
            operation.Fail(world.unreachableResult, UnreachableText());
            break;
        }
        operation.Deliver(instances[next]);
        host.CountDelivery();
    }
    for (; next < instances.size(); ++next)
        world.Objects().Release(instances[next]);
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

}

MI_Result Reach(World& world, const SimSession& session, Host*& host)
{
    host = session.host;
    const bool winrm = SameText(session.protocol, L"WINRM");
    if (!host || !host->Answering() || (host->IsLocal() && winrm && !host->answersWinrm)) {
        host = nullptr;
        return world.unreachableResult;
    }
    if (host->account && (!session.withCredentials || !SameText(session.account, host->account->user) ||
                          session.password != host->account->password)) {
        host = nullptr;
        return MI_RESULT_ACCESS_DENIED;
    }
    return MI_RESULT_OK;
}

void AddParameters(CallRecord& record, const SimInstance& instance)
{
    for (const Element& element : instance.Elements())
        if (!element.value.IsNull())
            record.parameters.emplace_back(element.name, ValueText(element.value));
}

MI_Result AnswerQuery(World& world, const SimSession& session, const MI_Char* nameSpace,
                      const MI_Char* dialect, const MI_Char* queryText, SimOperation& operation,
                      CallRecord& record)
{
    const auto query = queryText ? ParseWql(queryText) : std::nullopt;
    if (query)
        record.className = query->className;
    if (auto fault = world.TakeFault(CallKind::QueryInstances, record.className, session.destination))
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
    for (SimInstance* candidate : KeyCandidates(world, *host, *canonical, *schema, inbound)) {
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
    operation.Deliver(world.Objects().NewClass(*schema, *canonical, host->ComputerName(),
                                               Ownership::Operation));
    return MI_RESULT_OK;
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

}
