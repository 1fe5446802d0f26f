#include "sim/HostCatalog.h"

#include "sim/ClassSchema.h"
#include "sim/ComputerSystemTexts.h"
#include "sim/Host.h"
#include "sim/SimInstance.h"
#include "sim/Text.h"
#include "sim/World.h"

namespace sim {
namespace {

constexpr wchar_t rootNs[] = L"root";
constexpr wchar_t cimv2Ns[] = L"root/cimv2";
constexpr wchar_t virtualizationNs[] = L"root/virtualization";
constexpr wchar_t v2Ns[] = L"root/virtualization/v2";
// The shutdown integration service's fixed identifier, part of each component's DeviceID.
constexpr wchar_t shutdownServiceId[] = L"9F8233AC-BE49-4C79-8EE3-E7E1985B2077";

std::vector<std::wstring> NamespacesOf(const Host& host)
{
    std::vector<std::wstring> all{rootNs, cimv2Ns};
    if (host.Kind() != HostKind::NoVirtualization)
        all.push_back(virtualizationNs);
    if (host.Kind() == HostKind::HyperV)
        all.push_back(v2Ns);
    return all;
}

std::vector<std::wstring> ChildrenOf(const Host& host, const std::wstring& nameSpace)
{
    std::vector<std::wstring> children;
    if (nameSpace == rootNs) {
        children = {L"subscription", L"DEFAULT", L"CIMV2", L"Microsoft", L"StandardCimv2"};
        if (host.Kind() != HostKind::NoVirtualization)
            children.push_back(L"virtualization");
    } else if (nameSpace == cimv2Ns) {
        children = {L"Security", L"power", L"TerminalServices"};
    } else if (nameSpace == virtualizationNs && host.Kind() == HostKind::HyperV) {
        children = {L"v2"};
    }
    return children;
}

SimInstance* NewInstanceOf(World& world, Host& host, const std::wstring& nameSpace,
                           const ClassSchema& schema)
{
    SimInstance* instance = world.Objects().NewInstance(schema.Name(), &schema, Ownership::Operation);
    instance->SetNameSpace(nameSpace);
    instance->SetServerName(host.ComputerName());
    return instance;
}

void PutBoolean(SimInstance& instance, std::wstring_view name, bool flag)
{
    MI_Value value{};
    value.boolean = flag ? MI_TRUE : MI_FALSE;
    instance.PutValue(name, value, MI_BOOLEAN);
}

void OperatingSystem(SimInstance& instance, Host& host)
{
    instance.PutString(L"Caption", L"Microsoft Windows Server 2022 Datacenter");
    instance.PutString(L"CSName", host.ComputerName());
    MI_Value boot{};
    boot.datetime.isTimestamp = 1;
    boot.datetime.u.timestamp = host.lastBootUpTime;
    instance.PutValue(L"LastBootUpTime", boot, MI_DATETIME);
    instance.PutString(L"Name",
        L"Microsoft Windows Server 2022 Datacenter|C:\\Windows|\\Device\\Harddisk0\\Partition3");
    instance.PutString(L"Version", L"10.0.20348");
    instance.PutString(L"BuildNumber", L"20348");
}

void HostComputerSystem(SimInstance& instance, Host& host)
{
    const std::wstring name = host.ComputerName();
    const ComputerSystemTexts& texts = ComputerSystemTextsIn(host.language);
    instance.PutString(L"Caption", texts.hostCaption);
    instance.PutString(L"Description", texts.hostDescription);
    instance.PutString(L"ElementName", name);
    instance.PutString(L"Name", name);
    instance.PutUint16(L"HealthState", 5);
    instance.PutUint16(L"EnabledState", state::Running);
    instance.PutUint16(L"RequestedState", 12);
    instance.PutString(L"CreationClassName", L"Msvm_ComputerSystem");
}

void VmComputerSystem(SimInstance& instance, const Host& host, const Vm& vm)
{
    const ComputerSystemTexts& texts = ComputerSystemTextsIn(host.language);
    instance.PutString(L"Caption", texts.vmCaption);
    instance.PutString(L"Description", texts.vmDescription);
    instance.PutString(L"ElementName", vm.name);
    instance.PutString(L"Name", vm.guid);
    instance.PutUint16(L"HealthState", 5);
    instance.PutUint16(L"EnabledState", vm.enabledState);
    instance.PutUint16(L"RequestedState", vm.requestedState);
    instance.PutString(L"CreationClassName", L"Msvm_ComputerSystem");
    MI_Value onTime{};
    onTime.uint64 = vm.enabledState == state::Off ? 0 : 7'214'000;
    instance.PutValue(L"OnTimeInMilliseconds", onTime, MI_UINT64);
}

// A VM's live settings, or a checkpoint's frozen ones when checkpoint is given.
void SettingData(SimInstance& instance, const Vm& vm, const Checkpoint* checkpoint)
{
    const VmSettings& settings = checkpoint ? checkpoint->settings : vm.settings;
    instance.PutString(L"InstanceID", L"Microsoft:" + (checkpoint ? checkpoint->guid : vm.guid));
    instance.PutString(L"Caption", L"Virtual Machine Settings");
    instance.PutString(L"ElementName", checkpoint ? checkpoint->name : vm.name);
    instance.PutString(L"VirtualSystemIdentifier", vm.guid);
    instance.PutString(L"VirtualSystemType", checkpoint ? L"Microsoft:Hyper-V:Snapshot:Realized"
                                                        : L"Microsoft:Hyper-V:System:Realized");
    instance.PutString(L"VirtualSystemSubType",
                       L"Microsoft:Hyper-V:SubType:" + std::to_wstring(vm.generation));
    instance.PutString(L"Version", L"9.0");
    instance.PutString(L"BIOSGUID", settings.biosGuid);
    instance.PutString(L"BIOSSerialNumber", settings.biosSerialNumber);
    instance.PutString(L"BaseBoardSerialNumber", settings.baseBoardSerialNumber);
    instance.PutString(L"ChassisSerialNumber", settings.chassisSerialNumber);
    instance.PutString(L"ChassisAssetTag", settings.chassisAssetTag);
    PutBoolean(instance, L"BIOSNumLock", settings.biosNumLock);
    if (vm.generation == 2)
        PutBoolean(instance, L"SecureBootEnabled", true);
    instance.PutString(L"ConfigurationDataRoot", L"C:\\ProgramData\\Microsoft\\Windows\\Hyper-V");
}

void ManagementService(SimInstance& instance, Host& host)
{
    instance.PutString(L"Caption", L"Virtual Machine Management Service");
    instance.PutString(L"Description", L"Service for managing virtual machines");
    instance.PutString(L"ElementName", L"Virtual Machine Management Service");
    instance.PutUint16(L"EnabledState", state::Running);
    instance.PutString(L"SystemCreationClassName", L"Msvm_ComputerSystem");
    instance.PutString(L"SystemName", host.ComputerName());
    instance.PutString(L"CreationClassName", L"Msvm_VirtualSystemManagementService");
    instance.PutString(L"Name", L"vmms");
    PutBoolean(instance, L"Started", true);
}

void ShutdownComponent(SimInstance& instance, const Vm& vm)
{
    instance.PutString(L"Caption", L"Shutdown");
    instance.PutString(L"ElementName", L"Shutdown");
    instance.PutString(L"Name", L"Shutdown");
    instance.PutUint16(L"EnabledState", state::Running);
    instance.PutString(L"SystemCreationClassName", L"Msvm_ComputerSystem");
    instance.PutString(L"SystemName", vm.guid);
    instance.PutString(L"CreationClassName", L"Msvm_ShutdownComponent");
    instance.PutString(L"DeviceID", L"Microsoft:" + vm.guid + L"\\" + shutdownServiceId);
}

const wchar_t* JobStatus(const Job& job)
{
    if (!job.finished)
        return L"Job is running";
    return job.jobState == 7 ? L"Job completed successfully" : L"Job failed";
}

}

std::optional<std::wstring> FindNamespace(const Host& host, std::wstring_view nameSpace)
{
    std::wstring wanted(nameSpace);
    for (wchar_t& c : wanted)
        if (c == L'\\')
            c = L'/';
    for (const std::wstring& known : NamespacesOf(host))
        if (SameText(known, wanted))
            return known;
    return std::nullopt;
}

const ClassSchema* FindClassIn(const std::wstring& nameSpace, std::wstring_view className)
{
    const ClassSchema* schema = FindClassSchema(className);
    if (!schema)
        return nullptr;
    const std::wstring& name = schema->Name();
    if (name == L"__NAMESPACE")
        return schema;
    if (name == L"Win32_OperatingSystem")
        return nameSpace == cimv2Ns ? schema : nullptr;
    return nameSpace == v2Ns ? schema : nullptr;
}

std::vector<SimInstance*> InstancesOf(World& world, Host& host, const std::wstring& nameSpace,
                                      const ClassSchema& schema)
{
    std::vector<SimInstance*> all;
    auto make = [&] {
        all.push_back(NewInstanceOf(world, host, nameSpace, schema));
        return all.back();
    };
    const std::wstring& name = schema.Name();
    if (name == L"__NAMESPACE") {
        for (const std::wstring& child : ChildrenOf(host, nameSpace))
            make()->PutString(L"Name", child);
    } else if (name == L"Win32_OperatingSystem") {
        OperatingSystem(*make(), host);
    } else if (name == L"Msvm_ComputerSystem") {
        HostComputerSystem(*make(), host);
        for (const auto& vm : host.Vms())
            VmComputerSystem(*make(), host, *vm);
    } else if (name == L"Msvm_VirtualSystemSettingData") {
        // A VM's checkpoints come before its live settings: the first settings instance that
        // names a VM is not necessarily the one to change.
        for (const auto& vm : host.Vms()) {
            for (const Checkpoint& checkpoint : vm->checkpoints)
                SettingData(*make(), *vm, &checkpoint);
            SettingData(*make(), *vm, nullptr);
        }
    } else if (name == L"Msvm_VirtualSystemManagementService") {
        ManagementService(*make(), host);
    } else if (name == L"Msvm_ShutdownComponent") {
        for (const auto& vm : host.Vms())
            if (vm->enabledState == state::Running && vm->guestShutdownService)
                ShutdownComponent(*make(), *vm);
    } else if (name == L"Msvm_ConcreteJob") {
        for (const Job& job : host.Jobs())
            all.push_back(JobInstance(world, host, job));
    }
    return all;
}

std::vector<SimInstance*> KeyCandidates(World& world, Host& host, const std::wstring& nameSpace,
                                        const ClassSchema& schema, const SimInstance& keys)
{
    const std::wstring& name = schema.Name();
    std::vector<SimInstance*> found;
    auto make = [&] {
        found.push_back(NewInstanceOf(world, host, nameSpace, schema));
        return found.back();
    };
    if (name == L"Msvm_ComputerSystem") {
        const std::wstring key = keys.StringOf(L"Name");
        if (SameText(key, host.ComputerName()))
            HostComputerSystem(*make(), host);
        else if (const Vm* vm = host.FindVmByGuid(key))
            VmComputerSystem(*make(), host, *vm);
    } else if (name == L"Msvm_VirtualSystemSettingData") {
        const std::wstring key = keys.StringOf(L"InstanceID");
        const std::wstring prefix = L"Microsoft:";
        const Checkpoint* checkpoint = nullptr;
        const Vm* vm = SameText(key.substr(0, prefix.size()), prefix)
                           ? host.FindSettingsOwner(key.substr(prefix.size()), checkpoint) : nullptr;
        if (vm)
            SettingData(*make(), *vm, checkpoint);
    } else if (name == L"Msvm_ShutdownComponent") {
        const Vm* vm = host.FindVmByGuid(keys.StringOf(L"SystemName"));
        if (vm && vm->enabledState == state::Running && vm->guestShutdownService)
            ShutdownComponent(*make(), *vm);
    } else {
        found = InstancesOf(world, host, nameSpace, schema);
    }
    return found;
}

SimInstance* JobInstance(World& world, Host& host, const Job& job)
{
    SimInstance* instance = NewInstanceOf(world, host, v2Ns, *FindClassSchema(L"Msvm_ConcreteJob"));
    instance->PutString(L"InstanceID", job.instanceId);
    instance->PutString(L"Caption", job.caption);
    instance->PutString(L"Description", job.caption);
    instance->PutString(L"ElementName", job.caption);
    instance->PutUint16(L"JobType", job.jobType);
    instance->PutUint16(L"JobState", job.jobState);
    instance->PutString(L"JobStatus", JobStatus(job));
    instance->PutUint16(L"PercentComplete", job.finished ? 100 : 50);
    instance->PutUint16(L"ErrorCode", job.errorCode);
    instance->PutString(L"ErrorDescription", job.errorDescription);
    return instance;
}

}
