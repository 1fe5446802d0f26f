#include "sim/World.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "sim/DemoWorld.h"
#include "sim/Guard.h"
#include "sim/SimClass.h"
#include "sim/Text.h"

namespace sim {
namespace {

std::vector<World*>& LiveWorlds()
{
    static std::vector<World*> worlds;
    return worlds;
}

World*& InstalledWorld()
{
    static World* installed = nullptr;
    return installed;
}

std::wstring Widen(const char* text)
{
    return std::wstring(text, text + std::char_traits<char>::length(text));
}

}

World::World(std::unique_ptr<Clock> clock)
    : clock_(std::move(clock)), objects_(*this),
      local_(std::make_unique<Host>(*this, L"", HostKind::HyperV, true))
{
    LiveWorlds().push_back(this);
}

World::~World()
{
    auto& worlds = LiveWorlds();
    worlds.erase(std::remove(worlds.begin(), worlds.end(), this), worlds.end());
}

Host& World::AddHost(std::wstring name, HostKind kind)
{
    hosts_.push_back(std::make_unique<Host>(*this, std::move(name), kind, false));
    return *hosts_.back();
}

Host* World::FindHost(std::wstring_view name)
{
    if (SameText(name, local_->Name()) || SameText(name, L"localhost"))
        return local_.get();
    for (const auto& host : hosts_)
        if (SameText(name, host->Name()))
            return host.get();
    return nullptr;
}

void World::Advance(std::uint32_t milliseconds)
{
    clock_->Sleep(milliseconds);
    const std::lock_guard<std::recursive_mutex> lock(ClientLock());
    Settle();
}

std::recursive_mutex& ClientLock()
{
    static std::recursive_mutex lock;
    return lock;
}

// The test's controls take the client's lock, as every call does: a fault set while a worker
// calls the client neither races nor tears the lists the call reads.
void World::StallCall(CallKind kind, unsigned nth)
{
    const std::lock_guard<std::recursive_mutex> lock(ClientLock());
    stalls_.push_back({kind, nth == 0 ? 1 : nth, MI_RESULT_OK, {}});
}

bool World::TakeStall(CallKind kind)
{
    const std::lock_guard<std::recursive_mutex> lock(ClientLock());
    return TakeDue(stalls_, kind, {}, {}).has_value();
}

void World::AnswerStalledReads()
{
    ++stallAnswers_;
}

World::StalledRead::StalledRead(World& world) : world_(world), answers_(world.stallAnswers_)
{
    ++world_.stalledReads_;
}

World::StalledRead::~StalledRead()
{
    --world_.stalledReads_;
}

void World::FailCall(CallKind kind, unsigned nth, MI_Result result, std::wstring match)
{
    const std::lock_guard<std::recursive_mutex> lock(ClientLock());
    faults_.push_back({kind, nth == 0 ? 1 : nth, result, std::move(match)});
}

void World::FixReturnValue(std::wstring method, MI_Uint32 returnValue)
{
    const std::lock_guard<std::recursive_mutex> lock(ClientLock());
    ClearReturnValue(method);
    fixedReturnValues_.emplace_back(std::move(method), returnValue);
}

void World::ClearReturnValue(std::wstring_view method)
{
    const std::lock_guard<std::recursive_mutex> lock(ClientLock());
    std::erase_if(fixedReturnValues_, [&](const auto& fixed) { return SameText(fixed.first, method); });
}

void World::PlanNextJob(JobPlan plan)
{
    const std::lock_guard<std::recursive_mutex> lock(ClientLock());
    plannedJobs_.push_back(std::move(plan));
}

void World::ClearCalls()
{
    const std::lock_guard<std::recursive_mutex> lock(ClientLock());
    calls_.clear();
}

size_t World::CallCount() const
{
    const std::lock_guard<std::recursive_mutex> lock(ClientLock());
    return calls_.size();
}

void World::ClearMisuses()
{
    const std::lock_guard<std::recursive_mutex> lock(ClientLock());
    misuses_.clear();
}

void World::ReportMisuse(const std::wstring& text)
{
    const std::lock_guard<std::recursive_mutex> lock(ClientLock());
    misuses_.push_back(text);
    if (onMisuse)
        onMisuse(text);
}

void World::Log(CallRecord record)
{
    const std::lock_guard<std::recursive_mutex> lock(ClientLock());
    record.thread = GetCurrentThreadId();
    calls_.push_back(std::move(record));
}

std::optional<MI_Result> World::TakeFault(CallKind kind, std::wstring_view subject,
                                          std::wstring_view otherSubject)
{
    return TakeDue(faults_, kind, subject, otherSubject);
}

std::optional<MI_Result> World::TakeDue(std::vector<Fault>& faults, CallKind kind,
                                        std::wstring_view subject, std::wstring_view otherSubject)
{
    for (auto fault = faults.begin(); fault != faults.end(); ++fault) {
        if (fault->kind != kind)
            continue;
        if (!fault->match.empty() && !SameText(fault->match, subject) &&
            !SameText(fault->match, otherSubject))
            continue;
        if (--fault->remaining > 0)
            continue;
        const MI_Result result = fault->result;
        faults.erase(fault);
        return result;
    }
    return std::nullopt;
}

std::optional<MI_Uint32> World::FixedReturnValue(std::wstring_view method) const
{
    for (const auto& fixed : fixedReturnValues_)
        if (SameText(fixed.first, method))
            return fixed.second;
    return std::nullopt;
}

JobPlan World::TakeJobPlan()
{
    if (plannedJobs_.empty())
        return {};
    JobPlan plan = std::move(plannedJobs_.front());
    plannedJobs_.erase(plannedJobs_.begin());
    return plan;
}

std::wstring World::NewGuid()
{
    // Reproducible from run to run, yet shaped like the host's random GUIDs.
    const std::uint64_t n = ++guidCounter_;
    const std::uint64_t a = n * 0x9E3779B97F4A7C15ull;
    const std::uint64_t b = (n + 0x5bd1e995) * 0xC2B2AE3D27D4EB4Full;
    wchar_t text[40];
    std::swprintf(text, 40, L"%08X-%04X-4%03X-%04X-%012llX", static_cast<unsigned>(a >> 32),
                  static_cast<unsigned>((a >> 16) & 0xFFFF), static_cast<unsigned>(a & 0xFFF),
                  static_cast<unsigned>(0x8000 | ((b >> 48) & 0x3FFF)), b & 0xFFFFFFFFFFFFull);
    return text;
}

void World::Settle()
{
    const std::uint64_t now = clock_->NowMs();
    local_->Settle(now);
    for (const auto& host : hosts_)
        host->Settle(now);
}

SimInstance* World::FindInstance(const MI_Instance* handle, const char* call)
{
    for (World* world : LiveWorlds()) {
        bool released = false;
        if (SimInstance* instance = world->objects_.Lookup(handle, released))
            return instance;
        if (!released)
            continue;
        world->ReportMisuse(Widen(call) + L" on a deleted or released instance");
        return nullptr;
    }
    ActiveWorld().ReportMisuse(Widen(call) + L" on an instance that is not the client's");
    return nullptr;
}

SimClass* World::FindClass(const MI_Class* handle, const char* call)
{
    for (World* world : LiveWorlds()) {
        bool released = false;
        if (SimClass* simClass = world->objects_.Lookup(handle, released))
            return simClass;
        if (!released)
            continue;
        world->ReportMisuse(Widen(call) + L" on a deleted or released class");
        return nullptr;
    }
    ActiveWorld().ReportMisuse(Widen(call) + L" on a class that is not the client's");
    return nullptr;
}

World* World::FromHandle(std::uint64_t reserved)
{
    for (World* world : LiveWorlds())
        if (reinterpret_cast<std::uint64_t>(world) == reserved)
            return world;
    return nullptr;
}

World& ActiveWorld()
{
    if (World* installed = InstalledWorld())
        return *installed;
    static const std::unique_ptr<World> demo = MakeDemoWorld(MakeRealClock());
    return *demo;
}

ScopedWorld::ScopedWorld(World& world) : previous_(InstalledWorld())
{
    InstalledWorld() = &world;
}

ScopedWorld::~ScopedWorld()
{
    InstalledWorld() = previous_;
}

}
