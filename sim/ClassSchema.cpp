#include "sim/ClassSchema.h"

#include <memory>

#include "sim/Text.h"

namespace sim {

ClassSchema::ClassSchema(std::wstring name, std::vector<PropertySchema> properties)
    : name_(std::move(name)), properties_(std::move(properties))
{
    propertyDecls_.reserve(properties_.size());
    for (std::size_t i = 0; i < properties_.size(); ++i) {
        MI_PropertyDecl decl{};
        decl.flags = FlagsOf(i);
        decl.name = properties_[i].name.c_str();
        decl.type = static_cast<MI_Uint32>(properties_[i].type);
        decl.offset = static_cast<MI_Uint32>(i);
        decl.origin = name_.c_str();
        decl.propagator = name_.c_str();
        propertyDecls_.push_back(decl);
    }
    for (const MI_PropertyDecl& decl : propertyDecls_)
        propertyDeclPointers_.push_back(&decl);
    decl_.flags = MI_FLAG_CLASS;
    decl_.name = name_.c_str();
    decl_.properties = propertyDeclPointers_.data();
    decl_.numProperties = static_cast<MI_Uint32>(propertyDecls_.size());
}

int ClassSchema::IndexOf(std::wstring_view name) const
{
    for (std::size_t i = 0; i < properties_.size(); ++i)
        if (SameText(properties_[i].name, name))
            return static_cast<int>(i);
    return -1;
}

MI_Uint32 ClassSchema::FlagsOf(std::size_t index) const
{
    return MI_FLAG_PROPERTY | (properties_[index].key ? MI_FLAG_KEY : 0);
}

namespace {

using P = PropertySchema;

std::vector<std::unique_ptr<ClassSchema>> MakeSchemas()
{
    std::vector<std::unique_ptr<ClassSchema>> all;
    auto add = [&](const wchar_t* name, std::vector<PropertySchema> properties) {
        all.push_back(std::make_unique<ClassSchema>(name, std::move(properties)));
    };
    add(L"__NAMESPACE", {P{L"Name", MI_STRING, true}});
    add(L"Win32_OperatingSystem",
        {P{L"Caption", MI_STRING, false}, P{L"CSName", MI_STRING, false},
         P{L"LastBootUpTime", MI_DATETIME, false}, P{L"Name", MI_STRING, true},
         P{L"Version", MI_STRING, false}, P{L"BuildNumber", MI_STRING, false}});
    add(L"Msvm_ComputerSystem",
        {P{L"Caption", MI_STRING, false}, P{L"Description", MI_STRING, false},
         P{L"ElementName", MI_STRING, false}, P{L"InstallDate", MI_DATETIME, false},
         P{L"Name", MI_STRING, true}, P{L"HealthState", MI_UINT16, false},
         P{L"EnabledState", MI_UINT16, false}, P{L"RequestedState", MI_UINT16, false},
         P{L"CreationClassName", MI_STRING, true},
         P{L"OnTimeInMilliseconds", MI_UINT64, false}, P{L"ProcessID", MI_UINT32, false}});
    add(L"Msvm_VirtualSystemSettingData",
        {P{L"InstanceID", MI_STRING, true}, P{L"Caption", MI_STRING, false},
         P{L"ElementName", MI_STRING, false}, P{L"VirtualSystemIdentifier", MI_STRING, false},
         P{L"VirtualSystemType", MI_STRING, false}, P{L"VirtualSystemSubType", MI_STRING, false},
         P{L"Version", MI_STRING, false}, P{L"BIOSGUID", MI_STRING, false},
         P{L"BIOSSerialNumber", MI_STRING, false}, P{L"BaseBoardSerialNumber", MI_STRING, false},
         P{L"ChassisSerialNumber", MI_STRING, false}, P{L"ChassisAssetTag", MI_STRING, false},
         P{L"BIOSNumLock", MI_BOOLEAN, false}, P{L"SecureBootEnabled", MI_BOOLEAN, false},
         P{L"ConfigurationDataRoot", MI_STRING, false}});
    add(L"Msvm_VirtualSystemManagementService",
        {P{L"Caption", MI_STRING, false}, P{L"Description", MI_STRING, false},
         P{L"ElementName", MI_STRING, false}, P{L"EnabledState", MI_UINT16, false},
         P{L"SystemCreationClassName", MI_STRING, true}, P{L"SystemName", MI_STRING, true},
         P{L"CreationClassName", MI_STRING, true}, P{L"Name", MI_STRING, true},
         P{L"Started", MI_BOOLEAN, false}});
    add(L"Msvm_ShutdownComponent",
        {P{L"Caption", MI_STRING, false}, P{L"ElementName", MI_STRING, false},
         P{L"Name", MI_STRING, false}, P{L"EnabledState", MI_UINT16, false},
         P{L"SystemCreationClassName", MI_STRING, true}, P{L"SystemName", MI_STRING, true},
         P{L"CreationClassName", MI_STRING, true}, P{L"DeviceID", MI_STRING, true}});
    add(L"Msvm_ConcreteJob",
        {P{L"InstanceID", MI_STRING, true}, P{L"Caption", MI_STRING, false},
         P{L"Description", MI_STRING, false}, P{L"ElementName", MI_STRING, false},
         P{L"JobType", MI_UINT16, false}, P{L"JobState", MI_UINT16, false},
         P{L"JobStatus", MI_STRING, false}, P{L"PercentComplete", MI_UINT16, false},
         P{L"ErrorCode", MI_UINT16, false}, P{L"ErrorDescription", MI_STRING, false}});
    return all;
}

}

const ClassSchema* FindClassSchema(std::wstring_view className)
{
    static const std::vector<std::unique_ptr<ClassSchema>> schemas = MakeSchemas();
    for (const auto& schema : schemas)
        if (SameText(schema->Name(), className))
            return schema.get();
    return nullptr;
}

}
