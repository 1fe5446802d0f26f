// ModifySystemSettings: reads the embedded settings instance, checks it as a host does and
// applies it at once or through a job. Changing the BIOS GUID, a serial number or the asset
// tag of a VM that is not off is refused, as a real host refuses it while the VM is online.
// A checkpoint's settings are frozen: naming one is refused at once with 32773 (invalid
// parameter) and changes nothing. A generation 2 VM keeps its Num Lock value.
#include <optional>

#include "sim/CimXmlReader.h"
#include "sim/Host.h"
#include "sim/HostMethods.h"
#include "sim/SimInstance.h"
#include "sim/Text.h"
#include "sim/World.h"

namespace sim {
namespace {

constexpr MI_Uint32 invalidParameterValue = 4;
constexpr MI_Uint32 invalidParameter = 32773;
constexpr MI_Uint32 wrongDataType = 32776;
constexpr MI_Uint32 jobStarted = 4096;
constexpr std::size_t maxSettingLength = 32;
constexpr MI_Uint16 jobTypeModifySettings = 0;

bool IsBracedGuid(const std::wstring& text)
{
    if (text.size() != 38 || text.front() != L'{' || text.back() != L'}')
        return false;
    for (std::size_t i = 1; i < 37; ++i) {
        const wchar_t c = text[i];
        const bool hyphen = i == 9 || i == 14 || i == 19 || i == 24;
        const bool hex = (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F') || (c >= L'a' && c <= L'f');
        if (hyphen ? c != L'-' : !hex)
            return false;
    }
    return true;
}

struct Change {
    VmSettings settings;
    bool locksChanged = false;
};

// Applies the properties present (and not null) over the current settings; the answer is a
// ReturnValue when the text is refused.
std::optional<MI_Uint32> ReadChange(const CimInstanceText& text, const Host& host, const Vm& vm,
                                    Change& change)
{
    change.settings = vm.settings;
    struct TextSetting {
        const wchar_t* name;
        std::wstring VmSettings::*field;
    };
    const TextSetting texts[] = {
        {L"BaseBoardSerialNumber", &VmSettings::baseBoardSerialNumber},
        {L"BIOSGUID", &VmSettings::biosGuid},
        {L"BIOSSerialNumber", &VmSettings::biosSerialNumber},
        {L"ChassisAssetTag", &VmSettings::chassisAssetTag},
        {L"ChassisSerialNumber", &VmSettings::chassisSerialNumber},
    };
    for (const TextSetting& setting : texts) {
        const CimProperty* property = text.Find(setting.name);
        if (!property || property->isNull)
            continue;
        if (property->isArray || !SameText(property->type, L"string"))
            return wrongDataType;
        const std::wstring& value = property->values.front();
        const bool guid = setting.field == &VmSettings::biosGuid;
        if (guid ? !IsBracedGuid(value) : value.size() > maxSettingLength)
            return invalidParameterValue;
        const std::wstring stored = guid ? UpperText(value) : value.substr(0, host.keptSettingLength);
        if (stored != vm.settings.*setting.field)
            change.locksChanged = true;
        change.settings.*setting.field = stored;
    }
    if (const CimProperty* numLock = text.Find(L"BIOSNumLock"); numLock && !numLock->isNull) {
        const std::wstring& value = numLock->values.front();
        if (numLock->isArray || !SameText(numLock->type, L"boolean") ||
            !(SameText(value, L"TRUE") || SameText(value, L"FALSE")))
            return wrongDataType;
        // Generation 2 firmware has no Num Lock setting; what a host does with one written is
        // undocumented, and it is modelled as accepted and ignored.
        if (vm.generation != 2)
            change.settings.biosNumLock = SameText(value, L"TRUE");
    }
    return std::nullopt;
}

// The VM whose settings the InstanceID names; checkpoint is set when they are a checkpoint's.
Vm* VmOfInstanceId(Host& host, const CimInstanceText& text, const Checkpoint*& checkpoint)
{
    checkpoint = nullptr;
    const CimProperty* id = text.Find(L"InstanceID");
    if (!id || id->isNull || id->isArray)
        return nullptr;
    const std::wstring& value = id->values.front();
    const std::wstring prefix = L"Microsoft:";
    if (value.size() <= prefix.size() || !SameText(value.substr(0, prefix.size()), prefix))
        return nullptr;
    return host.FindSettingsOwner(value.substr(prefix.size()), checkpoint);
}

std::wstring RefusalText(const Vm& vm)
{
    return L"'" + vm.name + L"' failed to modify settings. The BIOS GUID, the serial numbers "
           L"and the asset tag cannot be changed while the virtual machine is running, saved or "
           L"paused. Turn the virtual machine off and try again. (Virtual machine ID " +
           vm.guid + L")";
}

}

MI_Result ModifySystemSettings(World& world, Host& host, const SimInstance* parameters,
                               SimOperation& operation)
{
    const Element* settings = parameters ? parameters->Find(L"SystemSettings") : nullptr;
    if (!settings || settings->value.IsNull() || settings->value.Type() != MI_STRING) {
        DeliverOutput(world, host, operation, invalidParameterValue, nullptr);
        return MI_RESULT_OK;
    }
    const auto text = ReadCimXml(settings->value.Get().string);
    const Checkpoint* checkpoint = nullptr;
    Vm* vm = text && SameText(text->className, L"Msvm_VirtualSystemSettingData")
                 ? VmOfInstanceId(host, *text, checkpoint) : nullptr;
    if (!vm) {
        DeliverOutput(world, host, operation, invalidParameterValue, nullptr);
        return MI_RESULT_OK;
    }
    if (checkpoint) {
        DeliverOutput(world, host, operation, invalidParameter, nullptr);
        return MI_RESULT_OK;
    }
    Change change;
    if (const auto refused = ReadChange(*text, host, *vm, change)) {
        DeliverOutput(world, host, operation, *refused, nullptr);
        return MI_RESULT_OK;
    }
    if (change.locksChanged && vm->enabledState != state::Off) {
        if (world.lockedRefusal == LockedRefusal::ReturnValue) {
            DeliverOutput(world, host, operation, world.lockedRefusalReturnValue, nullptr);
            return MI_RESULT_OK;
        }
        Job& job = host.StartJob(L"Modifying settings of '" + vm->name + L"'",
                                 jobTypeModifySettings, world.durations.settingsJob);
        job.vm = vm;
        job.plan.fails = true;
        job.plan.errorCode = 32775;
        job.failureText = RefusalText(*vm);
        DeliverOutput(world, host, operation, jobStarted, &job);
        return MI_RESULT_OK;
    }
    if (world.settingsAnswer == SettingsAnswer::Immediate) {
        vm->settings = change.settings;
        DeliverOutput(world, host, operation, 0, nullptr);
        return MI_RESULT_OK;
    }
    Job& job = host.StartJob(L"Modifying settings of '" + vm->name + L"'", jobTypeModifySettings,
                             world.durations.settingsJob);
    job.vm = vm;
    job.failureText = L"'" + vm->name + L"' failed to modify settings. (Virtual machine ID " + vm->guid + L")";
    Vm* target = vm;
    job.onSuccess = [target, applied = change.settings] { target->settings = applied; };
    DeliverOutput(world, host, operation, jobStarted, &job);
    return MI_RESULT_OK;
}

}
