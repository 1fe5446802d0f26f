#include "sim/SimClock.h"

#include <windows.h>

#include <atomic>

namespace sim {
namespace {

class VirtualClock final : public Clock {
public:
    explicit VirtualClock(std::uint64_t startMs) : now_(startMs) {}
    std::uint64_t NowMs() const override { return now_.load(); }
    void Sleep(std::uint32_t milliseconds) override { now_ += milliseconds; }

private:
    // Read by the window's thread while a worker's sleeps move it.
    std::atomic<std::uint64_t> now_;
};

class RealClock final : public Clock {
public:
    std::uint64_t NowMs() const override { return GetTickCount64(); }
    void Sleep(std::uint32_t milliseconds) override { ::Sleep(milliseconds); }
};

}

std::unique_ptr<Clock> MakeVirtualClock(std::uint64_t startMs)
{
    return std::make_unique<VirtualClock>(startMs);
}

std::unique_ptr<Clock> MakeRealClock()
{
    return std::make_unique<RealClock>();
}

}
