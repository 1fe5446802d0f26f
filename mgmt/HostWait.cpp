#include "mgmt/HostWait.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <new>
#include <vector>

namespace {

struct Shared {
    std::mutex lock;
    HostWaitState state;
    std::vector<MI_Operation*> pending;
    std::atomic<bool> stopRequested{false};
    bool stepwise = false;
    std::atomic<bool> stopBetweenSteps{false};
};

Shared& State()
{
    static Shared shared;
    return shared;
}

}

namespace hostwait {

void Begin(std::wstring activity, bool stoppable)
{
    Shared& shared = State();
    const std::lock_guard<std::mutex> lock(shared.lock);
    shared.state = {std::move(activity), stoppable, std::nullopt};
    shared.stopRequested = false;
    shared.stopBetweenSteps = false;
}

HostWaitState Current()
{
    Shared& shared = State();
    const std::lock_guard<std::mutex> lock(shared.lock);
    return shared.state;
}

void Describe(std::wstring activity, bool stoppable)
{
    Shared& shared = State();
    const std::lock_guard<std::mutex> lock(shared.lock);
    shared.state.activity = std::move(activity);
    shared.state.stoppable = stoppable || shared.stepwise;
}

void SetStoppable(bool stoppable)
{
    Shared& shared = State();
    const std::lock_guard<std::mutex> lock(shared.lock);
    shared.state.stoppable = stoppable || shared.stepwise;
}

void ReportPercent(std::optional<std::uint16_t> percent)
{
    Shared& shared = State();
    const std::lock_guard<std::mutex> lock(shared.lock);
    shared.state.percentComplete = percent;
}

bool StopRequested()
{
    return State().stopRequested;
}

void RequestStop()
{
    Shared& shared = State();
    const std::lock_guard<std::mutex> lock(shared.lock);
    if (!shared.state.stoppable)
        return;
    if (shared.stepwise) {
        shared.stopBetweenSteps = true;
        return;
    }
    shared.stopRequested = true;
    // The client lets another thread end a pending call; the pull then fails, and the thread
    // that waited in it, seeing the request, stops.
    for (MI_Operation* operation : shared.pending)
        MI_Operation_Cancel(operation, MI_REASON_NONE);
}

StepwiseStop::StepwiseStop()
{
    Shared& shared = State();
    const std::lock_guard<std::mutex> lock(shared.lock);
    shared.stepwise = true;
    shared.state.stoppable = true;
}

StepwiseStop::~StepwiseStop()
{
    Shared& shared = State();
    const std::lock_guard<std::mutex> lock(shared.lock);
    shared.stepwise = false;
}

bool StopBetweenSteps()
{
    return State().stopBetweenSteps;
}

PendingPull::PendingPull(MI_Operation* operation) : operation_(operation)
{
    if (!operation_)
        return;
    Shared& shared = State();
    const std::lock_guard<std::mutex> lock(shared.lock);
    // Once the user has stopped waiting, nothing more is waited for while stopping applies.
    if (shared.stopRequested && shared.state.stoppable)
        MI_Operation_Cancel(operation_, MI_REASON_NONE);
    // Without room to note the pull it cannot be stopped, but it still runs.
    try {
        shared.pending.push_back(operation_);
    } catch (const std::bad_alloc&) {
        operation_ = nullptr;
    }
}

PendingPull::~PendingPull()
{
    if (!operation_)
        return;
    Shared& shared = State();
    const std::lock_guard<std::mutex> lock(shared.lock);
    const auto found = std::find(shared.pending.begin(), shared.pending.end(), operation_);
    if (found != shared.pending.end())
        shared.pending.erase(found);
}

}
