// The instance function table: element access with the client's copy and borrow rules, and
// deletion only of instances the caller owns. Every call is logged and can be made to fail.
#include "mgmt/MiTables.h"
#include "sim/ClassSchema.h"
#include "sim/Guard.h"
#include "sim/LoggedCall.h"
#include "sim/SimClass.h"
#include "sim/SimInstance.h"
#include "sim/World.h"

namespace sim {
namespace {

void FillElement(const Element& element, MI_Value* value, MI_Type* type, MI_Uint32* flags)
{
    if (value)
        *value = element.value.IsNull() ? MI_Value{} : element.value.Get();
    if (type)
        *type = element.value.Type();
    if (flags)
        *flags = element.flags | (element.value.IsNull() ? MI_FLAG_NULL : 0);
}

std::wstring NameOf(const MI_Char* name)
{
    return name ? name : L"";
}

template <typename Body>
MI_Result InstanceCall(const MI_Instance* self, const char* name, CallKind kind,
                       std::wstring element, Body body)
{
    return Guarded([&] {
        SimInstance* instance = CheckedInstance(self, name);
        if (!instance)
            return MI_RESULT_INVALID_PARAMETER;
        return LoggedCall(instance->GetWorld(), *instance, kind, instance->ClassName(),
                          std::move(element), body);
    });
}

// A change to an instance: only the caller's own instances may be changed; what an operation
// delivered (and what it embeds) reaches the caller as const and stays as the host sent it.
template <typename Body>
MI_Result ChangeCall(MI_Instance* self, const char* name, CallKind kind, std::wstring element,
                     Body body)
{
    const std::wstring call(name, name + std::char_traits<char>::length(name));
    return InstanceCall(self, name, kind, std::move(element),
                        [&](SimInstance& instance, CallRecord& record) {
        if (instance.Owner() != Ownership::Caller) {
            instance.GetWorld().ReportMisuse(
                call + L" on an instance that belongs to an operation or another instance");
            return MI_RESULT_INVALID_PARAMETER;
        }
        return body(instance, record);
    });
}

MI_Result InstanceClone(const MI_Instance* self, MI_Instance** newInstance)
{
    if (newInstance)
        *newInstance = nullptr;
    return InstanceCall(self, "MI_Instance_Clone", CallKind::CloneInstance, L"",
                        [&](SimInstance& instance, CallRecord&) {
        if (!newInstance)
            return MI_RESULT_INVALID_PARAMETER;
        *newInstance = &instance.Copy(Ownership::Caller)->Handle();
        return MI_RESULT_OK;
    });
}

MI_Result InstanceDestruct(MI_Instance* self)
{
    return Guarded([&] {
        if (!CheckedInstance(self, "MI_Instance_Destruct"))
            return MI_RESULT_INVALID_PARAMETER;
        return MI_RESULT_NOT_SUPPORTED;
    });
}

// An injected failure is answered, but the instance is deleted all the same.
MI_Result InstanceDelete(MI_Instance* self)
{
    return Guarded([&] {
        SimInstance* instance = CheckedInstance(self, "MI_Instance_Delete");
        if (!instance)
            return MI_RESULT_INVALID_PARAMETER;
        World& world = instance->GetWorld();
        CallRecord record;
        record.kind = CallKind::DeleteInstance;
        record.className = instance->ClassName();
        if (instance->Owner() != Ownership::Caller) {
            world.ReportMisuse(
                L"MI_Instance_Delete on an instance that belongs to an operation or another instance");
            record.result = MI_RESULT_INVALID_PARAMETER;
        } else {
            record.result = world.TakeFault(CallKind::DeleteInstance, record.className)
                                .value_or(MI_RESULT_OK);
            world.Objects().Release(instance);
        }
        const MI_Result result = record.result;
        world.Log(std::move(record));
        return result;
    });
}

MI_Result InstanceIsA(const MI_Instance* self, const MI_ClassDecl* classDecl, MI_Boolean* flag)
{
    return InstanceCall(self, "MI_Instance_IsA", CallKind::InstanceIsA, L"",
                        [&](SimInstance& instance, CallRecord&) {
        if (!classDecl || !flag)
            return MI_RESULT_INVALID_PARAMETER;
        *flag = instance.Handle().classDecl == classDecl ? MI_TRUE : MI_FALSE;
        return MI_RESULT_OK;
    });
}

MI_Result InstanceGetClassName(const MI_Instance* self, const MI_Char** className)
{
    if (className)
        *className = nullptr;
    return InstanceCall(self, "MI_Instance_GetClassName", CallKind::InstanceClassName, L"",
                        [&](SimInstance& instance, CallRecord&) {
        if (!className)
            return MI_RESULT_INVALID_PARAMETER;
        *className = instance.ClassName().c_str();
        return MI_RESULT_OK;
    });
}

MI_Result InstanceSetNameSpace(MI_Instance* self, const MI_Char* nameSpace)
{
    return ChangeCall(self, "MI_Instance_SetNameSpace", CallKind::SetNameSpace, L"",
                        [&](SimInstance& instance, CallRecord&) {
        instance.SetNameSpace(NameOf(nameSpace));
        return MI_RESULT_OK;
    });
}

MI_Result InstanceGetNameSpace(const MI_Instance* self, const MI_Char** nameSpace)
{
    if (nameSpace)
        *nameSpace = nullptr;
    return InstanceCall(self, "MI_Instance_GetNameSpace", CallKind::GetNameSpace, L"",
                        [&](SimInstance& instance, CallRecord&) {
        if (!nameSpace)
            return MI_RESULT_INVALID_PARAMETER;
        *nameSpace = instance.Handle().nameSpace;
        return MI_RESULT_OK;
    });
}

MI_Result InstanceGetElementCount(const MI_Instance* self, MI_Uint32* count)
{
    return InstanceCall(self, "MI_Instance_GetElementCount", CallKind::GetElementCount, L"",
                        [&](SimInstance& instance, CallRecord&) {
        if (!count)
            return MI_RESULT_INVALID_PARAMETER;
        *count = static_cast<MI_Uint32>(instance.Elements().size());
        return MI_RESULT_OK;
    });
}

MI_Result InstanceAddElement(MI_Instance* self, const MI_Char* name, const MI_Value* value,
                             MI_Type type, MI_Uint32 flags)
{
    return ChangeCall(self, "MI_Instance_AddElement", CallKind::AddElement, NameOf(name),
                        [&](SimInstance& instance, CallRecord&) {
        return instance.Add(name, value, type, flags);
    });
}

MI_Result InstanceSetElement(MI_Instance* self, const MI_Char* name, const MI_Value* value,
                             MI_Type type, MI_Uint32 flags)
{
    return ChangeCall(self, "MI_Instance_SetElement", CallKind::SetElement, NameOf(name),
                        [&](SimInstance& instance, CallRecord&) {
        if (!name)
            return MI_RESULT_INVALID_PARAMETER;
        Element* element = instance.Find(name);
        if (!element)
            return MI_RESULT_NO_SUCH_PROPERTY;
        return instance.Set(*element, value, type, flags);
    });
}

MI_Result InstanceSetElementAt(MI_Instance* self, MI_Uint32 index, const MI_Value* value,
                               MI_Type type, MI_Uint32 flags)
{
    return ChangeCall(self, "MI_Instance_SetElementAt", CallKind::SetElementAt, L"",
                        [&](SimInstance& instance, CallRecord& record) {
        if (index >= instance.Elements().size())
            return MI_RESULT_NO_SUCH_PROPERTY;
        Element& element = instance.Elements()[index];
        record.element = element.name;
        return instance.Set(element, value, type, flags);
    });
}

MI_Result InstanceGetElement(const MI_Instance* self, const MI_Char* name, MI_Value* value,
                             MI_Type* type, MI_Uint32* flags, MI_Uint32* index)
{
    return InstanceCall(self, "MI_Instance_GetElement", CallKind::GetElement, NameOf(name),
                        [&](SimInstance& instance, CallRecord&) {
        if (!name)
            return MI_RESULT_INVALID_PARAMETER;
        const Element* element = instance.Find(name);
        if (!element)
            return MI_RESULT_NO_SUCH_PROPERTY;
        FillElement(*element, value, type, flags);
        if (index)
            *index = static_cast<MI_Uint32>(element - instance.Elements().data());
        return MI_RESULT_OK;
    });
}

MI_Result InstanceGetElementAt(const MI_Instance* self, MI_Uint32 index, const MI_Char** name,
                               MI_Value* value, MI_Type* type, MI_Uint32* flags)
{
    return InstanceCall(self, "MI_Instance_GetElementAt", CallKind::GetElementAt, L"",
                        [&](SimInstance& instance, CallRecord& record) {
        if (index >= instance.Elements().size())
            return MI_RESULT_NO_SUCH_PROPERTY;
        const Element& element = instance.Elements()[index];
        record.element = element.name;
        if (name)
            *name = element.name.c_str();
        FillElement(element, value, type, flags);
        return MI_RESULT_OK;
    });
}

MI_Result ClearAt(SimInstance& instance, std::size_t index)
{
    if (index >= instance.Elements().size())
        return MI_RESULT_NO_SUCH_PROPERTY;
    Element& element = instance.Elements()[index];
    element.value.AssignNull(element.value.Type());
    return MI_RESULT_OK;
}

MI_Result InstanceClearElement(MI_Instance* self, const MI_Char* name)
{
    return ChangeCall(self, "MI_Instance_ClearElement", CallKind::ClearElement, NameOf(name),
                        [&](SimInstance& instance, CallRecord&) {
        if (!name)
            return MI_RESULT_INVALID_PARAMETER;
        const Element* element = instance.Find(name);
        if (!element)
            return MI_RESULT_NO_SUCH_PROPERTY;
        return ClearAt(instance, static_cast<std::size_t>(element - instance.Elements().data()));
    });
}

MI_Result InstanceClearElementAt(MI_Instance* self, MI_Uint32 index)
{
    return ChangeCall(self, "MI_Instance_ClearElementAt", CallKind::ClearElementAt, L"",
                        [&](SimInstance& instance, CallRecord& record) {
        if (index < instance.Elements().size())
            record.element = instance.Elements()[index].name;
        return ClearAt(instance, index);
    });
}

MI_Result InstanceGetServerName(const MI_Instance* self, const MI_Char** name)
{
    if (name)
        *name = nullptr;
    return InstanceCall(self, "MI_Instance_GetServerName", CallKind::GetServerName, L"",
                        [&](SimInstance& instance, CallRecord&) {
        if (!name)
            return MI_RESULT_INVALID_PARAMETER;
        *name = instance.Handle().serverName;
        return MI_RESULT_OK;
    });
}

MI_Result InstanceSetServerName(MI_Instance* self, const MI_Char* name)
{
    return ChangeCall(self, "MI_Instance_SetServerName", CallKind::SetServerName, L"",
                        [&](SimInstance& instance, CallRecord&) {
        instance.SetServerName(NameOf(name));
        return MI_RESULT_OK;
    });
}

MI_Result InstanceGetClass(const MI_Instance* self, MI_Class** instanceClass)
{
    if (instanceClass)
        *instanceClass = nullptr;
    return InstanceCall(self, "MI_Instance_GetClass", CallKind::InstanceGetClass, L"",
                        [&](SimInstance& instance, CallRecord&) {
        if (!instanceClass)
            return MI_RESULT_INVALID_PARAMETER;
        if (!instance.Schema())
            return MI_RESULT_NOT_FOUND;
        SimClass* simClass = instance.GetWorld().Objects().NewClass(
            *instance.Schema(), instance.NameSpace(), instance.ServerName(), Ownership::Caller);
        *instanceClass = &simClass->Handle();
        return MI_RESULT_OK;
    });
}

}

const MI_InstanceFT simInstanceTable = [] {
    MI_InstanceFT table{};
    table.Clone = InstanceClone;
    table.Destruct = InstanceDestruct;
    table.Delete = InstanceDelete;
    table.IsA = InstanceIsA;
    table.GetClassName = InstanceGetClassName;
    table.SetNameSpace = InstanceSetNameSpace;
    table.GetNameSpace = InstanceGetNameSpace;
    table.GetElementCount = InstanceGetElementCount;
    table.AddElement = InstanceAddElement;
    table.SetElement = InstanceSetElement;
    table.SetElementAt = InstanceSetElementAt;
    table.GetElement = InstanceGetElement;
    table.GetElementAt = InstanceGetElementAt;
    table.ClearElement = InstanceClearElement;
    table.ClearElementAt = InstanceClearElementAt;
    table.GetServerName = InstanceGetServerName;
    table.SetServerName = InstanceSetServerName;
    table.GetClass = InstanceGetClass;
    return table;
}();

}
