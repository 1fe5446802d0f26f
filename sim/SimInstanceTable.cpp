// The instance function table: element access with the client's copy and borrow rules, and
// deletion only of instances the caller owns.
#include "mgmt/MiTables.h"
#include "sim/ClassSchema.h"
#include "sim/Guard.h"
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

MI_Result InstanceClone(const MI_Instance* self, MI_Instance** newInstance)
{
    return Guarded([&] {
        SimInstance* instance = CheckedInstance(self, "MI_Instance_Clone");
        if (!instance || !newInstance)
            return MI_RESULT_INVALID_PARAMETER;
        *newInstance = &instance->Copy(Ownership::Caller)->Handle();
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

MI_Result InstanceDelete(MI_Instance* self)
{
    return Guarded([&] {
        SimInstance* instance = CheckedInstance(self, "MI_Instance_Delete");
        if (!instance)
            return MI_RESULT_INVALID_PARAMETER;
        if (instance->Owner() != Ownership::Caller) {
            instance->GetWorld().ReportMisuse(
                L"MI_Instance_Delete on an instance that belongs to an operation or another instance");
            return MI_RESULT_INVALID_PARAMETER;
        }
        instance->GetWorld().Objects().Release(instance);
        return MI_RESULT_OK;
    });
}

MI_Result InstanceIsA(const MI_Instance* self, const MI_ClassDecl* classDecl, MI_Boolean* flag)
{
    return Guarded([&] {
        SimInstance* instance = CheckedInstance(self, "MI_Instance_IsA");
        if (!instance || !classDecl || !flag)
            return MI_RESULT_INVALID_PARAMETER;
        *flag = instance->Handle().classDecl == classDecl ? MI_TRUE : MI_FALSE;
        return MI_RESULT_OK;
    });
}

MI_Result InstanceGetClassName(const MI_Instance* self, const MI_Char** className)
{
    return Guarded([&] {
        SimInstance* instance = CheckedInstance(self, "MI_Instance_GetClassName");
        if (!instance || !className)
            return MI_RESULT_INVALID_PARAMETER;
        *className = instance->ClassName().c_str();
        return MI_RESULT_OK;
    });
}

MI_Result InstanceSetNameSpace(MI_Instance* self, const MI_Char* nameSpace)
{
    return Guarded([&] {
        SimInstance* instance = CheckedInstance(self, "MI_Instance_SetNameSpace");
        if (!instance)
            return MI_RESULT_INVALID_PARAMETER;
        instance->SetNameSpace(nameSpace ? nameSpace : L"");
        return MI_RESULT_OK;
    });
}

MI_Result InstanceGetNameSpace(const MI_Instance* self, const MI_Char** nameSpace)
{
    return Guarded([&] {
        SimInstance* instance = CheckedInstance(self, "MI_Instance_GetNameSpace");
        if (!instance || !nameSpace)
            return MI_RESULT_INVALID_PARAMETER;
        *nameSpace = instance->Handle().nameSpace;
        return MI_RESULT_OK;
    });
}

MI_Result InstanceGetElementCount(const MI_Instance* self, MI_Uint32* count)
{
    return Guarded([&] {
        SimInstance* instance = CheckedInstance(self, "MI_Instance_GetElementCount");
        if (!instance || !count)
            return MI_RESULT_INVALID_PARAMETER;
        *count = static_cast<MI_Uint32>(instance->Elements().size());
        return MI_RESULT_OK;
    });
}

MI_Result InstanceAddElement(MI_Instance* self, const MI_Char* name, const MI_Value* value,
                             MI_Type type, MI_Uint32 flags)
{
    return Guarded([&] {
        SimInstance* instance = CheckedInstance(self, "MI_Instance_AddElement");
        if (!instance)
            return MI_RESULT_INVALID_PARAMETER;
        return instance->Add(name, value, type, flags);
    });
}

MI_Result InstanceSetElement(MI_Instance* self, const MI_Char* name, const MI_Value* value,
                             MI_Type type, MI_Uint32 flags)
{
    return Guarded([&] {
        SimInstance* instance = CheckedInstance(self, "MI_Instance_SetElement");
        if (!instance || !name)
            return MI_RESULT_INVALID_PARAMETER;
        Element* element = instance->Find(name);
        if (!element)
            return MI_RESULT_NO_SUCH_PROPERTY;
        return instance->Set(*element, value, type, flags);
    });
}

MI_Result InstanceSetElementAt(MI_Instance* self, MI_Uint32 index, const MI_Value* value,
                               MI_Type type, MI_Uint32 flags)
{
    return Guarded([&] {
        SimInstance* instance = CheckedInstance(self, "MI_Instance_SetElementAt");
        if (!instance)
            return MI_RESULT_INVALID_PARAMETER;
        if (index >= instance->Elements().size())
            return MI_RESULT_NO_SUCH_PROPERTY;
        return instance->Set(instance->Elements()[index], value, type, flags);
    });
}

MI_Result InstanceGetElement(const MI_Instance* self, const MI_Char* name, MI_Value* value,
                             MI_Type* type, MI_Uint32* flags, MI_Uint32* index)
{
    return Guarded([&] {
        SimInstance* instance = CheckedInstance(self, "MI_Instance_GetElement");
        if (!instance || !name)
            return MI_RESULT_INVALID_PARAMETER;
        const Element* element = instance->Find(name);
        if (!element)
            return MI_RESULT_NO_SUCH_PROPERTY;
        FillElement(*element, value, type, flags);
        if (index)
            *index = static_cast<MI_Uint32>(element - instance->Elements().data());
        return MI_RESULT_OK;
    });
}

MI_Result InstanceGetElementAt(const MI_Instance* self, MI_Uint32 index, const MI_Char** name,
                               MI_Value* value, MI_Type* type, MI_Uint32* flags)
{
    return Guarded([&] {
        SimInstance* instance = CheckedInstance(self, "MI_Instance_GetElementAt");
        if (!instance)
            return MI_RESULT_INVALID_PARAMETER;
        if (index >= instance->Elements().size())
            return MI_RESULT_NO_SUCH_PROPERTY;
        const Element& element = instance->Elements()[index];
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
    return Guarded([&] {
        SimInstance* instance = CheckedInstance(self, "MI_Instance_ClearElement");
        if (!instance || !name)
            return MI_RESULT_INVALID_PARAMETER;
        const Element* element = instance->Find(name);
        if (!element)
            return MI_RESULT_NO_SUCH_PROPERTY;
        return ClearAt(*instance, static_cast<std::size_t>(element - instance->Elements().data()));
    });
}

MI_Result InstanceClearElementAt(MI_Instance* self, MI_Uint32 index)
{
    return Guarded([&] {
        SimInstance* instance = CheckedInstance(self, "MI_Instance_ClearElementAt");
        if (!instance)
            return MI_RESULT_INVALID_PARAMETER;
        return ClearAt(*instance, index);
    });
}

MI_Result InstanceGetServerName(const MI_Instance* self, const MI_Char** name)
{
    return Guarded([&] {
        SimInstance* instance = CheckedInstance(self, "MI_Instance_GetServerName");
        if (!instance || !name)
            return MI_RESULT_INVALID_PARAMETER;
        *name = instance->Handle().serverName;
        return MI_RESULT_OK;
    });
}

MI_Result InstanceSetServerName(MI_Instance* self, const MI_Char* name)
{
    return Guarded([&] {
        SimInstance* instance = CheckedInstance(self, "MI_Instance_SetServerName");
        if (!instance)
            return MI_RESULT_INVALID_PARAMETER;
        instance->SetServerName(name ? name : L"");
        return MI_RESULT_OK;
    });
}

MI_Result InstanceGetClass(const MI_Instance* self, MI_Class** instanceClass)
{
    return Guarded([&] {
        SimInstance* instance = CheckedInstance(self, "MI_Instance_GetClass");
        if (!instance || !instanceClass)
            return MI_RESULT_INVALID_PARAMETER;
        if (!instance->Schema())
            return MI_RESULT_NOT_FOUND;
        SimClass* simClass = instance->GetWorld().Objects().NewClass(
            *instance->Schema(), instance->NameSpace(), instance->ServerName(), Ownership::Caller);
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
