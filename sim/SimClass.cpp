#include "sim/SimClass.h"

#include <cstring>

#include "mgmt/MiTables.h"
#include "sim/ClassSchema.h"
#include "sim/Guard.h"
#include "sim/LoggedCall.h"
#include "sim/World.h"

namespace sim {

SimClass::SimClass(World& world, MI_Class& handle, const ClassSchema& schema,
                   std::wstring nameSpace, std::wstring serverName, Ownership owner)
    : world_(&world), handle_(&handle), schema_(&schema), nameSpace_(std::move(nameSpace)),
      serverName_(std::move(serverName)), owner_(owner)
{
    handle_->ft = &simClassTable;
    handle_->classDecl = &schema.Decl();
    handle_->namespaceName = nameSpace_.empty() ? nullptr : nameSpace_.c_str();
    handle_->serverName = serverName_.empty() ? nullptr : serverName_.c_str();
}

namespace {

SimClass* Checked(const MI_Class* self, const char* call)
{
    return World::FindClass(self, call);
}

template <typename Body>
MI_Result ClassCall(const MI_Class* self, const char* name, CallKind kind, std::wstring element,
                    Body body)
{
    return Guarded([&] {
        SimClass* simClass = Checked(self, name);
        if (!simClass)
            return MI_RESULT_INVALID_PARAMETER;
        return LoggedCall(simClass->GetWorld(), *simClass, kind, simClass->Schema().Name(),
                          std::move(element), body);
    });
}

MI_Result ClassGetClassName(const MI_Class* self, const MI_Char** className)
{
    if (className)
        *className = nullptr;
    return ClassCall(self, "MI_Class_GetClassName", CallKind::ClassName, L"",
                     [&](SimClass& simClass, CallRecord&) {
        if (!className)
            return MI_RESULT_INVALID_PARAMETER;
        *className = simClass.Schema().Name().c_str();
        return MI_RESULT_OK;
    });
}

MI_Result ClassGetNameSpace(const MI_Class* self, const MI_Char** nameSpace)
{
    if (nameSpace)
        *nameSpace = nullptr;
    return ClassCall(self, "MI_Class_GetNameSpace", CallKind::ClassNameSpace, L"",
                     [&](SimClass& simClass, CallRecord&) {
        if (!nameSpace)
            return MI_RESULT_INVALID_PARAMETER;
        *nameSpace = simClass.Handle().namespaceName;
        return MI_RESULT_OK;
    });
}

MI_Result ClassGetServerName(const MI_Class* self, const MI_Char** serverName)
{
    if (serverName)
        *serverName = nullptr;
    return ClassCall(self, "MI_Class_GetServerName", CallKind::ClassServerName, L"",
                     [&](SimClass& simClass, CallRecord&) {
        if (!serverName)
            return MI_RESULT_INVALID_PARAMETER;
        *serverName = simClass.Handle().serverName;
        return MI_RESULT_OK;
    });
}

MI_Result ClassGetElementCount(const MI_Class* self, MI_Uint32* count)
{
    return ClassCall(self, "MI_Class_GetElementCount", CallKind::ClassElementCount, L"",
                     [&](SimClass& simClass, CallRecord&) {
        if (!count)
            return MI_RESULT_INVALID_PARAMETER;
        *count = static_cast<MI_Uint32>(simClass.Schema().Properties().size());
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
    return ClassCall(self, "MI_Class_GetElement", CallKind::ClassGetElement, name ? name : L"",
                     [&](SimClass& simClass, CallRecord&) {
        if (!name)
            return MI_RESULT_INVALID_PARAMETER;
        const int found = simClass.Schema().IndexOf(name);
        if (found < 0)
            return MI_RESULT_NO_SUCH_PROPERTY;
        DescribeElement(simClass.Schema(), static_cast<std::size_t>(found), nullptr, value,
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
    return ClassCall(self, "MI_Class_GetElementAt", CallKind::ClassGetElementAt, L"",
                     [&](SimClass& simClass, CallRecord& record) {
        if (index >= simClass.Schema().Properties().size())
            return MI_RESULT_NO_SUCH_PROPERTY;
        record.element = simClass.Schema().Properties()[index].name;
        DescribeElement(simClass.Schema(), index, name, value, valueExists, type,
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

// An injected failure is answered, but the class object is deleted all the same.
MI_Result ClassDelete(MI_Class* self)
{
    return Guarded([&] {
        SimClass* simClass = Checked(self, "MI_Class_Delete");
        if (!simClass)
            return MI_RESULT_INVALID_PARAMETER;
        World& world = simClass->GetWorld();
        CallRecord record;
        record.kind = CallKind::DeleteClass;
        record.className = simClass->Schema().Name();
        if (simClass->Owner() != Ownership::Caller) {
            world.ReportMisuse(L"MI_Class_Delete on a class that belongs to an operation");
            record.result = MI_RESULT_INVALID_PARAMETER;
        } else {
            record.result = world.TakeFault(CallKind::DeleteClass, record.className).value_or(MI_RESULT_OK);
            world.Objects().Release(simClass);
        }
        const MI_Result result = record.result;
        world.Log(std::move(record));
        return result;
    });
}

MI_Result ClassClone(const MI_Class* self, MI_Class** newClass)
{
    if (newClass)
        *newClass = nullptr;
    return ClassCall(self, "MI_Class_Clone", CallKind::CloneClass, L"",
                     [&](SimClass& simClass, CallRecord&) {
        if (!newClass)
            return MI_RESULT_INVALID_PARAMETER;
        SimClass* copy = simClass.GetWorld().Objects().NewClass(
            simClass.Schema(), simClass.NameSpace(), simClass.ServerName(), Ownership::Caller);
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
