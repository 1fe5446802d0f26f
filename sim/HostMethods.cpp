#include "sim/HostMethods.h"

#include "sim/ClassSchema.h"
#include "sim/Host.h"
#include "sim/HostCatalog.h"
#include "sim/SimOperation.h"
#include "sim/Text.h"
#include "sim/World.h"

namespace sim {
namespace {

constexpr MI_Uint32 jobStarted = 4096;
constexpr MI_Uint32 invalidParameter = 32773;
constexpr MI_Uint32 invalidState = 32775;
constexpr MI_Uint32 shutdownInProgress = 32782;
constexpr MI_Uint16 jobTypeStateChange = 2;

// Reads an integer parameter of any unsigned width.
std::optional<MI_Uint32> UnsignedParameter(const SimInstance* parameters, std::wstring_view name)
{
    const Element* element = parameters ? parameters->Find(name) : nullptr;
    if (!element || element->value.IsNull())
        return std::nullopt;
    const MI_Value& value = element->value.Get();
    switch (element->value.Type()) {
    case MI_UINT8: return value.uint8;
    case MI_UINT16: return value.uint16;
    case MI_UINT32: return value.uint32;
    default: return std::nullopt;
    }
}

struct Transition {
    MI_Uint16 through;
    std::uint32_t durationMs;
};

// How the VM reaches the requested state from where it is; none when it cannot.
std::optional<Transition> TransitionFor(const World& world, MI_Uint16 from, MI_Uint32 requested)
{
    const Durations& d = world.durations;
    switch (requested) {
    case state::Running:
        if (from == state::Off || from == state::Saved)
            return Transition{state::Starting, d.start};
        if (from == state::Paused)
            return Transition{state::Resuming, d.resume};
        return std::nullopt;
    case state::Off:
        if (from == state::Running || from == state::Saved || from == state::Paused)
            return Transition{state::Stopping, d.turnOff};
        return std::nullopt;
    case state::Saved:
        if (from == state::Running || from == state::Paused)
            return Transition{state::Saving, d.save};
        return std::nullopt;
    case state::Paused:
        if (from == state::Running)
            return Transition{state::Pausing, d.pause};
        return std::nullopt;
    case state::Reset:
        if (from == state::Running)
            return Transition{state::Reset, d.reset};
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

bool IsValidRequest(MI_Uint32 requested)
{
    return requested == state::Running || requested == state::Off || requested == state::Saved ||
           requested == state::Paused || requested == state::Reset;
}

MI_Result RequestStateChange(World& world, Host& host, Vm& vm, const SimInstance* parameters,
                             SimOperation& operation)
{
    const auto requested = UnsignedParameter(parameters, L"RequestedState");
    if (!requested || !IsValidRequest(*requested)) {
        DeliverOutput(world, host, operation, invalidParameter, nullptr);
        return MI_RESULT_OK;
    }
    const auto transition = vm.inTransition ? std::nullopt : TransitionFor(world, vm.enabledState, *requested);
    if (!transition) {
        DeliverOutput(world, host, operation, invalidState, nullptr);
        return MI_RESULT_OK;
    }
    const MI_Uint16 previous = vm.enabledState;
    const MI_Uint16 target = *requested == state::Reset ? state::Running : static_cast<MI_Uint16>(*requested);
    Job& job = host.StartJob(L"Changing the state of '" + vm.name + L"'", jobTypeStateChange,
                             transition->durationMs);
    job.vm = &vm;
    job.failureText = L"'" + vm.name + L"' could not change state. The virtual machine worker "
                      L"process reported an error. (Virtual machine ID " + vm.guid + L")";
    vm.enabledState = transition->through;
    vm.requestedState = static_cast<MI_Uint16>(*requested);
    vm.inTransition = true;
    Vm* changing = &vm;
    job.onSuccess = [changing, target] {
        changing->enabledState = target;
        changing->inTransition = false;
        changing->shutdownDueAt.reset();
    };
    job.onFailure = [changing, previous] {
        changing->enabledState = previous;
        changing->inTransition = false;
    };
    DeliverOutput(world, host, operation, jobStarted, &job);
    return MI_RESULT_OK;
}

MI_Result InitiateShutdown(World& world, Host& host, Vm& vm, const SimInstance* parameters,
                           SimOperation& operation)
{
    const Element* force = parameters ? parameters->Find(L"Force") : nullptr;
    const Element* reason = parameters ? parameters->Find(L"Reason") : nullptr;
    if (!force || force->value.IsNull() || force->value.Type() != MI_BOOLEAN || !reason ||
        reason->value.IsNull() || reason->value.Type() != MI_STRING) {
        DeliverOutput(world, host, operation, invalidParameter, nullptr);
        return MI_RESULT_OK;
    }
    if (vm.shutdownRequested) {
        DeliverOutput(world, host, operation, shutdownInProgress, nullptr);
        return MI_RESULT_OK;
    }
    vm.shutdownRequested = true;
    if (!vm.guestIgnoresShutdown)
        host.ScheduleShutdown(vm, world.NowMs() + world.durations.guestShutdown);
    DeliverOutput(world, host, operation, 0, nullptr);
    return MI_RESULT_OK;
}

// The VM that a computer-system or shutdown-component key names, or null.
Vm* TargetVm(Host& host, const ClassSchema& schema, const SimInstance& inbound)
{
    if (schema.Name() == L"Msvm_ComputerSystem")
        return host.FindVmByGuid(inbound.StringOf(L"Name"));
    Vm* vm = host.FindVmByGuid(inbound.StringOf(L"SystemName"));
    // A component exists only while its VM runs and the guest's service answers.
    return vm && vm->enabledState == state::Running && vm->guestShutdownService ? vm : nullptr;
}

}

void DeliverOutput(World& world, Host& host, SimOperation& operation, MI_Uint32 returnValue,
                   const Job* job)
{
    SimInstance* output = world.Objects().NewInstance(L"__PARAMETERS", nullptr, Ownership::Operation);
    MI_Value value{};
    value.uint32 = returnValue;
    (void)output->Add(L"ReturnValue", &value, MI_UINT32, 0);
    if (job) {
        // The job comes back as a reference that carries only its key.
        SimInstance* reference = world.Objects().NewInstance(L"Msvm_ConcreteJob", nullptr, Ownership::Caller);
        reference->SetNameSpace(L"root/virtualization/v2");
        reference->SetServerName(host.ComputerName());
        MI_Value key{};
        key.string = const_cast<MI_Char*>(job->instanceId.c_str());
        (void)reference->Add(L"InstanceID", &key, MI_STRING, MI_FLAG_KEY);
        MI_Value referenceValue{};
        referenceValue.reference = &reference->Handle();
        (void)output->Add(L"Job", &referenceValue, MI_REFERENCE, 0);
        world.Objects().Release(reference);
    }
    operation.Deliver(output);
}

MI_Result InvokeMethod(World& world, Host& host, const ClassSchema& schema,
                       const SimInstance& inbound, std::wstring_view method,
                       const SimInstance* parameters, SimOperation& operation)
{
    const bool service = schema.Name() == L"Msvm_VirtualSystemManagementService";
    const bool computer = schema.Name() == L"Msvm_ComputerSystem";
    const bool shutdown = schema.Name() == L"Msvm_ShutdownComponent";
    if (!(service && SameText(method, L"ModifySystemSettings")) &&
        !(computer && SameText(method, L"RequestStateChange")) &&
        !(shutdown && SameText(method, L"InitiateShutdown")))
        return MI_RESULT_METHOD_NOT_FOUND;
    Vm* vm = service ? nullptr : TargetVm(host, schema, inbound);
    if (service ? !SameText(inbound.StringOf(L"Name"), L"vmms") : !vm)
        return MI_RESULT_NOT_FOUND;
    if (const auto fixed = world.FixedReturnValue(method)) {
        const Job* job = *fixed == jobStarted ? &host.StartJob(std::wstring(method), 0, world.durations.settingsJob) : nullptr;
        DeliverOutput(world, host, operation, *fixed, job);
        return MI_RESULT_OK;
    }
    if (service)
        return ModifySystemSettings(world, host, parameters, operation);
    if (computer)
        return RequestStateChange(world, host, *vm, parameters, operation);
    return InitiateShutdown(world, host, *vm, parameters, operation);
}

MI_Result ReadJob(World& world, Host& host, const std::wstring& instanceId, SimOperation& operation)
{
    Job* job = host.FindJob(instanceId);
    if (!job)
        return MI_RESULT_NOT_FOUND;
    if (job->plan.answeredReads > 0) {
        --job->plan.answeredReads;
    } else if (job->plan.failingReads > 0) {
        --job->plan.failingReads;
        return job->plan.readFailure;
    }
    if (!job->finished && world.NowMs() >= job->endsAt && job->plan.stallReads > 0)
        --job->plan.stallReads;
    operation.Deliver(JobInstance(world, host, *job));
    return MI_RESULT_OK;
}

}
