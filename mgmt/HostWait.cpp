#include "mgmt/HostWait.h"

#include <atomic>
#include <mutex>

namespace {

struct Shared {
    std::mutex lock;
    HostWaitState state;
    MI_Operation* pending = nullptr;
    std::atomic<bool> stopRequested{false};
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
    shared.state.stoppable = stoppable;
}

void SetStoppable(bool stoppable)
{
    Shared& shared = State();
    const std::lock_guard<std::mutex> lock(shared.lock);
    shared.state.stoppable = stoppable;
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
    shared.stopRequested = true;
    // The client lets another thread end a pending call; the pull then fails, and the worker,
    // seeing the request, stops.
    if (shared.pending)
        MI_Operation_Cancel(shared.pending, MI_REASON_NONE);
}

PendingPull::PendingPull(MI_Operation* operation)
{
    Shared& shared = State();
    const std::lock_guard<std::mutex> lock(shared.lock);
    shared.pending = operation;
    // Once the user has stopped waiting, nothing more is waited for while stopping applies.
    if (shared.stopRequested && shared.state.stoppable && operation)
        MI_Operation_Cancel(operation, MI_REASON_NONE);
}

PendingPull::~PendingPull()
{
    Shared& shared = State();
    const std::lock_guard<std::mutex> lock(shared.lock);
    shared.pending = nullptr;
}

}
