#include "sim/Host.h"

#include <algorithm>
#include <cstdio>

#include "base/Platform.h"
#include "sim/Text.h"
#include "sim/World.h"

namespace sim {
namespace {

// Finished jobs stay readable for about five minutes, as on a real host.
constexpr std::uint64_t finishedJobLifetimeMs = 5 * 60 * 1000;

std::wstring LocalComputerName()
{
    wchar_t buffer[256] = {};
    DWORD size = 256;
    if (!CurrentPlatform().getComputerNameEx(ComputerNamePhysicalDnsHostname, buffer, &size))
        return {};
    return buffer;
}

// A new VM's serial: digits in the shape NNNN-NNNN-NNNN-NNNN-NNNN-NNNN-NN, taken from a GUID.
std::wstring SerialFrom(const std::wstring& guid)
{
    std::wstring digits;
    for (wchar_t c : guid)
        if (c != L'-')
            digits += static_cast<wchar_t>(L'0' + (c % 10));
    std::wstring serial;
    for (std::size_t i = 0; i < 26; ++i) {
        if (i > 0 && i % 4 == 0)
            serial += L'-';
        serial += digits[i];
    }
    return serial;
}

}

Host::Host(World& world, std::wstring name, HostKind kind, bool local)
    : world_(&world), name_(std::move(name)), kind_(kind), local_(local)
{
}

std::wstring Host::Name() const
{
    return local_ ? LocalComputerName() : name_;
}

std::wstring Host::ComputerName() const
{
    constexpr std::size_t netbiosLength = 15;
    if (!computerName.empty())
        return UpperText(computerName);
    const std::wstring name = Name();
    const bool address = name.find_first_not_of(L"0123456789.") == std::wstring::npos;
    return UpperText(address ? name : name.substr(0, name.find(L'.')).substr(0, netbiosLength));
}

Vm& Host::AddVm(VmConfig config)
{
    auto vm = std::make_unique<Vm>();
    vm->name = std::move(config.name);
    vm->guid = config.guid.empty() ? world_->NewGuid() : UpperText(config.guid);
    vm->enabledState = config.state;
    vm->settings = std::move(config.settings);
    vm->guestShutdownService = config.guestShutdownService;
    vm->guestIgnoresShutdown = config.guestIgnoresShutdown;
    vm->generation = config.generation;
    VmSettings& settings = vm->settings;
    if (settings.biosGuid.empty())
        settings.biosGuid = L"{" + world_->NewGuid() + L"}";
    const std::wstring serial = SerialFrom(world_->NewGuid());
    if (settings.biosSerialNumber.empty())
        settings.biosSerialNumber = serial;
    if (settings.baseBoardSerialNumber.empty())
        settings.baseBoardSerialNumber = serial;
    if (settings.chassisSerialNumber.empty())
        settings.chassisSerialNumber = serial;
    if (settings.chassisAssetTag.empty())
        settings.chassisAssetTag = SerialFrom(world_->NewGuid());
    Vm& added = *vm;
    vmsByGuid_[added.guid] = &added;
    vms_.push_back(std::move(vm));
    for (std::wstring& name : config.checkpoints)
        AddCheckpoint(added, std::move(name));
    return added;
}

bool Host::RemoveVm(std::wstring_view guid)
{
    Vm* vm = FindVmByGuid(guid);
    if (!vm)
        return false;
    for (Job& job : jobs_) {
        if (job.vm == vm) {
            job.vm = nullptr;
            job.onSuccess = nullptr;
            job.onFailure = nullptr;
        }
    }
    std::erase(shutdowns_, vm);
    for (const Checkpoint& checkpoint : vm->checkpoints)
        checkpointOwners_.erase(checkpoint.guid);
    vmsByGuid_.erase(vm->guid);
    std::erase_if(vms_, [&](const std::unique_ptr<Vm>& held) { return held.get() == vm; });
    return true;
}

Checkpoint& Host::AddCheckpoint(Vm& vm, std::wstring name)
{
    Checkpoint checkpoint{world_->NewGuid(), std::move(name), vm.settings};
    checkpointOwners_[checkpoint.guid] = &vm;
    vm.checkpoints.push_back(std::move(checkpoint));
    return vm.checkpoints.back();
}

Vm* Host::FindVm(std::wstring_view elementName)
{
    for (const auto& vm : vms_)
        if (vm->name == elementName)
            return vm.get();
    return nullptr;
}

Vm* Host::FindVmByGuid(std::wstring_view guid)
{
    const auto found = vmsByGuid_.find(UpperText(guid));
    return found == vmsByGuid_.end() ? nullptr : found->second;
}

Vm* Host::FindSettingsOwner(std::wstring_view guid, const Checkpoint*& checkpoint)
{
    checkpoint = nullptr;
    const std::wstring key = UpperText(guid);
    if (Vm* vm = FindVmByGuid(key))
        return vm;
    const auto found = checkpointOwners_.find(key);
    if (found == checkpointOwners_.end())
        return nullptr;
    for (const Checkpoint& held : found->second->checkpoints)
        if (held.guid == key)
            checkpoint = &held;
    return found->second;
}

void Host::CountDelivery()
{
    if (deliveriesLeft_ && *deliveriesLeft_ > 0)
        --*deliveriesLeft_;
}

Job* Host::FindJob(std::wstring_view instanceId)
{
    for (Job& job : jobs_)
        if (SameText(job.instanceId, instanceId))
            return &job;
    return nullptr;
}

Job& Host::StartJob(std::wstring caption, MI_Uint16 jobType, std::uint32_t durationMs)
{
    Job job;
    job.instanceId = world_->NewGuid();
    job.caption = std::move(caption);
    job.jobType = jobType;
    job.startedAt = world_->NowMs();
    job.endsAt = job.startedAt + durationMs;
    job.plan = world_->TakeJobPlan();
    jobs_.push_back(std::move(job));
    return jobs_.back();
}

void Host::ScheduleShutdown(Vm& vm, std::uint64_t dueAt)
{
    vm.shutdownDueAt = dueAt;
    if (std::find(shutdowns_.begin(), shutdowns_.end(), &vm) == shutdowns_.end())
        shutdowns_.push_back(&vm);
}

void Host::Settle(std::uint64_t now)
{
    // Jobs end in the order they are due, so that effects apply in time order.
    std::vector<Job*> due;
    for (Job& job : jobs_)
        if (!job.finished && now >= job.endsAt && job.plan.stallReads == 0)
            due.push_back(&job);
    std::sort(due.begin(), due.end(), [](const Job* a, const Job* b) { return a->endsAt < b->endsAt; });
    for (Job* job : due) {
        job->finished = true;
        if (job->plan.fails) {
            job->jobState = 10;
            job->errorCode = job->plan.errorCode;
            job->errorDescription =
                job->plan.errorDescription.empty() ? job->failureText : job->plan.errorDescription;
            if (job->onFailure)
                job->onFailure();
        } else {
            job->jobState = job->plan.warnings ? 32768 : 7;
            if (job->onSuccess)
                job->onSuccess();
        }
    }
    std::erase_if(jobs_, [&](const Job& job) {
        return job.finished && now >= job.endsAt + finishedJobLifetimeMs;
    });
    // Only VMs with a shutdown scheduled are looked at, so that a host with many VMs settles
    // at the cost of its pending work.
    std::erase_if(shutdowns_, [&](Vm* vm) {
        if (!vm->shutdownDueAt)
            return true;
        if (now < *vm->shutdownDueAt)
            return false;
        vm->shutdownDueAt.reset();
        vm->shutdownRequested = false;
        vm->enabledState = state::Off;
        return true;
    });
}

}
