#include "sim/SimClass.h"

#include <cstring>

#include "mgmt/MiTables.h"
#include "sim/ClassSchema.h"
#include "sim/Guard.h"
#include "sim/World.h"

namespace sim {

SimClass::SimClass(World& world, const ClassSchema& schema, std::wstring nameSpace,
                   std::wstring serverName, Ownership owner)
    : world_(&world), schema_(&schema), nameSpace_(std::move(nameSpace)),
      serverName_(std::move(serverName)), owner_(owner)
{
    handle_.ft = &simClassTable;
    handle_.classDecl = &schema.Decl();
    handle_.namespaceName = nameSpace_.empty() ? nullptr : nameSpace_.c_str();
    handle_.serverName = serverName_.empty() ? nullptr : serverName_.c_str();
}

namespace {

SimClass* Checked(const MI_Class* self, const char* call)
{
    return World::FindClass(self, call);
}

MI_Result ClassGetClassName(const MI_Class* self, const MI_Char** className)
{
    return Guarded([&] {
        SimClass* simClass = Checked(self, "MI_Class_GetClassName");
        if (!simClass || !className)
            return MI_RESULT_INVALID_PARAMETER;
        *className = simClass->Schema().Name().c_str();
        return MI_RESULT_OK;
    });
}

MI_Result ClassGetNameSpace(const MI_Class* self, const MI_Char** nameSpace)
{
    return Guarded([&] {
        SimClass* simClass = Checked(self, "MI_Class_GetNameSpace");
        if (!simClass || !nameSpace)
            return MI_RESULT_INVALID_PARAMETER;
        *nameSpace = simClass->Handle().namespaceName;
        return MI_RESULT_OK;
    });
}

MI_Result ClassGetServerName(const MI_Class* self, const MI_Char** serverName)
{
    return Guarded([&] {
        SimClass* simClass = Checked(self, "MI_Class_GetServerName");
        if (!simClass || !serverName)
            return MI_RESULT_INVALID_PARAMETER;
        *serverName = simClass->Handle().serverName;
        return MI_RESULT_OK;
    });
}

MI_Result ClassGetElementCount(const MI_Class* self, MI_Uint32* count)
{
    return Guarded([&] {
        SimClass* simClass = Checked(self, "MI_Class_GetElementCount");
        if (!simClass || !count)
            return MI_RESULT_INVALID_PARAMETER;
        *count = static_cast<MI_Uint32>(simClass->Schema().Properties().size());
        return MI_RESULT_OK;
    });
}

// Fills the outputs of one class element; class elements carry no default values here.
void DescribeElement(const ClassSchema& schema, std::size_t index, const MI_Char** name,
                     MI_Value* value, MI_Boolean* valueExists, MI_Type* type,
                     MI_Char** referenceClass, MI_QualifierSet* qualifierSet, MI_Uint32* flags)
{
    if (name)
        *name = schema.Properties()[index].name.c_str();
    if (value)
        *value = {};
    if (valueExists)
        *valueExists = MI_FALSE;
    if (type)
        *type = schema.Properties()[index].type;
    if (referenceClass)
        *referenceClass = nullptr;
    if (qualifierSet)
        std::memset(qualifierSet, 0, sizeof(*qualifierSet));
    if (flags)
        *flags = schema.FlagsOf(index) | MI_FLAG_NULL;
}

MI_Result ClassGetElement(const MI_Class* self, const MI_Char* name, MI_Value* value,
                          MI_Boolean* valueExists, MI_Type* type, MI_Char** referenceClass,
                          MI_QualifierSet* qualifierSet, MI_Uint32* flags, MI_Uint32* index)
{
    return Guarded([&] {
        SimClass* simClass = Checked(self, "MI_Class_GetElement");
        if (!simClass || !name)
            return MI_RESULT_INVALID_PARAMETER;
        const int found = simClass->Schema().IndexOf(name);
        if (found < 0)
            return MI_RESULT_NO_SUCH_PROPERTY;
        DescribeElement(simClass->Schema(), static_cast<std::size_t>(found), nullptr, value,
                        valueExists, type, referenceClass, qualifierSet, flags);
        if (index)
            *index = static_cast<MI_Uint32>(found);
        return MI_RESULT_OK;
    });
}

MI_Result ClassGetElementAt(const MI_Class* self, MI_Uint32 index, const MI_Char** name,
                            MI_Value* value, MI_Boolean* valueExists, MI_Type* type,
                            MI_Char** referenceClass, MI_QualifierSet* qualifierSet,
                            MI_Uint32* flags)
{
    return Guarded([&] {
        SimClass* simClass = Checked(self, "MI_Class_GetElementAt");
        if (!simClass)
            return MI_RESULT_INVALID_PARAMETER;
        if (index >= simClass->Schema().Properties().size())
            return MI_RESULT_NO_SUCH_PROPERTY;
        DescribeElement(simClass->Schema(), index, name, value, valueExists, type,
                        referenceClass, qualifierSet, flags);
        return MI_RESULT_OK;
    });
}

MI_Result ClassNoMethods(const MI_Class* self, MI_Uint32* count)
{
    return Guarded([&] {
        if (!Checked(self, "MI_Class_GetMethodCount") || !count)
            return MI_RESULT_INVALID_PARAMETER;
        *count = 0;
        return MI_RESULT_OK;
    });
}

// Qualifiers, methods and parent classes are not part of what the simulated hosts describe.
MI_Result ClassQualifiers(const MI_Class* self, MI_QualifierSet* qualifierSet)
{
    if (qualifierSet)
        std::memset(qualifierSet, 0, sizeof(*qualifierSet));
    return Checked(self, "MI_Class_GetClassQualifierSet") ? MI_RESULT_NOT_SUPPORTED : MI_RESULT_INVALID_PARAMETER;
}

MI_Result ClassMethodAt(const MI_Class* self, MI_Uint32, const MI_Char**, MI_QualifierSet*, MI_ParameterSet*)
{
    return Checked(self, "MI_Class_GetMethodAt") ? MI_RESULT_METHOD_NOT_FOUND : MI_RESULT_INVALID_PARAMETER;
}

MI_Result ClassMethod(const MI_Class* self, const MI_Char*, MI_QualifierSet*, MI_ParameterSet*, MI_Uint32*)
{
    return Checked(self, "MI_Class_GetMethod") ? MI_RESULT_METHOD_NOT_FOUND : MI_RESULT_INVALID_PARAMETER;
}

MI_Result ClassParentName(const MI_Class* self, const MI_Char** name)
{
    if (name)
        *name = nullptr;
    return Checked(self, "MI_Class_GetParentClassName") ? MI_RESULT_INVALID_SUPERCLASS : MI_RESULT_INVALID_PARAMETER;
}

MI_Result ClassParent(const MI_Class* self, MI_Class** parent)
{
    if (parent)
        *parent = nullptr;
    return Checked(self, "MI_Class_GetParentClass") ? MI_RESULT_INVALID_SUPERCLASS : MI_RESULT_INVALID_PARAMETER;
}

MI_Result ClassDelete(MI_Class* self)
{
    return Guarded([&] {
        SimClass* simClass = Checked(self, "MI_Class_Delete");
        if (!simClass)
            return MI_RESULT_INVALID_PARAMETER;
        if (simClass->Owner() != Ownership::Caller) {
            simClass->GetWorld().ReportMisuse(L"MI_Class_Delete on a class that belongs to an operation");
            return MI_RESULT_INVALID_PARAMETER;
        }
        simClass->GetWorld().Objects().Release(simClass);
        return MI_RESULT_OK;
    });
}

MI_Result ClassClone(const MI_Class* self, MI_Class** newClass)
{
    return Guarded([&] {
        SimClass* simClass = Checked(self, "MI_Class_Clone");
        if (!simClass || !newClass)
            return MI_RESULT_INVALID_PARAMETER;
        SimClass* copy = simClass->GetWorld().Objects().NewClass(
            simClass->Schema(), simClass->NameSpace(), simClass->ServerName(), Ownership::Caller);
        *newClass = &copy->Handle();
        return MI_RESULT_OK;
    });
}

}

const MI_ClassFT simClassTable = [] {
    MI_ClassFT table{};
    table.GetClassName = ClassGetClassName;
    table.GetNameSpace = ClassGetNameSpace;
    table.GetServerName = ClassGetServerName;
    table.GetElementCount = ClassGetElementCount;
    table.GetElement = ClassGetElement;
    table.GetElementAt = ClassGetElementAt;
    table.GetClassQualifierSet = ClassQualifiers;
    table.GetMethodCount = ClassNoMethods;
    table.GetMethodAt = ClassMethodAt;
    table.GetMethod = ClassMethod;
    table.GetParentClassName = ClassParentName;
    table.GetParentClass = ClassParent;
    table.Delete = ClassDelete;
    table.Clone = ClassClone;
    return table;
}();

}
