#include "sim/SimInstance.h"

#include "mgmt/MiTables.h"
#include "sim/ClassSchema.h"
#include "sim/Text.h"
#include "sim/World.h"

namespace sim {

SimInstance::SimInstance(World& world, MI_Instance& handle, std::wstring className,
                         const ClassSchema* schema, Ownership owner)
    : world_(&world), handle_(&handle), className_(std::move(className)), schema_(schema), owner_(owner)
{
    if (schema_) {
        // Sized once: growing the table step by step leaves freed blocks behind that make the
        // heap slow to search when a host makes tens of thousands of instances.
        elements_.reserve(schema_->Properties().size());
        for (std::size_t i = 0; i < schema_->Properties().size(); ++i) {
            Element element{schema_->Properties()[i].name, schema_->FlagsOf(i), {}};
            element.value.AssignNull(schema_->Properties()[i].type);
            elements_.push_back(std::move(element));
        }
    }
    handle_->ft = &simInstanceTable;
    handle_->classDecl = schema_ ? &schema_->Decl() : nullptr;
    RefreshHandle();
}

void SimInstance::RefreshHandle()
{
    handle_->nameSpace = nameSpace_.empty() ? nullptr : nameSpace_.c_str();
    handle_->serverName = serverName_.empty() ? nullptr : serverName_.c_str();
}

void SimInstance::SetNameSpace(std::wstring nameSpace)
{
    nameSpace_ = std::move(nameSpace);
    RefreshHandle();
}

void SimInstance::SetServerName(std::wstring serverName)
{
    serverName_ = std::move(serverName);
    RefreshHandle();
}

Element* SimInstance::Find(std::wstring_view name)
{
    for (Element& element : elements_)
        if (SameText(element.name, name))
            return &element;
    return nullptr;
}

const Element* SimInstance::Find(std::wstring_view name) const
{
    return const_cast<SimInstance*>(this)->Find(name);
}

MI_Result SimInstance::Add(const MI_Char* name, const MI_Value* value, MI_Type type,
                           MI_Uint32 flags)
{
    if (!name || !*name)
        return MI_RESULT_INVALID_PARAMETER;
    if (Find(name))
        return MI_RESULT_ALREADY_EXISTS;
    Element element{name, MI_FLAG_PROPERTY | (flags & MI_FLAG_KEY), {}};
    const MI_Result result = element.value.Assign((flags & MI_FLAG_NULL) ? nullptr : value, type,
                                                  (flags & MI_FLAG_BORROW) != 0);
    if (result != MI_RESULT_OK)
        return result;
    elements_.push_back(std::move(element));
    return MI_RESULT_OK;
}

MI_Result SimInstance::Set(Element& element, const MI_Value* value, MI_Type type, MI_Uint32 flags)
{
    // A class fixes each element's type; a class-less instance takes the new one.
    if (schema_ && type != element.value.Type())
        return MI_RESULT_TYPE_MISMATCH;
    return element.value.Assign((flags & MI_FLAG_NULL) ? nullptr : value, type,
                                (flags & MI_FLAG_BORROW) != 0);
}

void SimInstance::PutValue(std::wstring_view name, const MI_Value& value, MI_Type type)
{
    if (Element* element = Find(name))
        (void)element->value.Assign(&value, type, false);
}

void SimInstance::PutString(std::wstring_view name, const std::wstring& text)
{
    if (Element* element = Find(name))
        element->value.AssignString(text);
}

void SimInstance::PutUint16(std::wstring_view name, MI_Uint16 number)
{
    MI_Value value{};
    value.uint16 = number;
    PutValue(name, value, MI_UINT16);
}

std::wstring SimInstance::StringOf(std::wstring_view name) const
{
    const Element* element = Find(name);
    if (!element || element->value.IsNull() || element->value.Type() != MI_STRING)
        return {};
    return element->value.Get().string;
}

SimInstance* SimInstance::Copy(Ownership owner) const
{
    SimInstance* copy = world_->Objects().NewInstance(className_, schema_, owner);
    copy->elements_.clear();
    copy->SetNameSpace(nameSpace_);
    copy->SetServerName(serverName_);
    for (const Element& element : elements_)
        copy->elements_.push_back({element.name, element.flags, element.value.Clone()});
    return copy;
}

SimInstance* CheckedInstance(const MI_Instance* handle, const char* call)
{
    return World::FindInstance(handle, call);
}

SimInstance* CloneEmbeddedInstance(const MI_Instance* handle)
{
    SimInstance* source = World::FindInstance(handle, "embedding an instance");
    return source ? source->Copy(Ownership::Embedded) : nullptr;
}

void ReleaseEmbeddedInstance(SimInstance* instance)
{
    instance->GetWorld().Objects().Release(instance);
}

}
