#include "sim/Host.h"

#include <algorithm>
#include <cstdio>

#include "app/Platform.h"
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
    vms_.push_back(std::move(vm));
    return *vms_.back();
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
    for (const auto& vm : vms_)
        if (SameText(vm->guid, guid))
            return vm.get();
    return nullptr;
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
    for (const auto& vm : vms_) {
        if (vm->shutdownDueAt && now >= *vm->shutdownDueAt) {
            vm->shutdownDueAt.reset();
            vm->shutdownRequested = false;
            vm->enabledState = state::Off;
        }
    }
}

}
