// The time the simulated hosts run on: virtual in tests (it moves only when someone sleeps or
// advances it), the real millisecond tick count in the demo.
#pragma once

#include <cstdint>
#include <memory>

namespace sim {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start.
    virtual std::uint64_t NowMs() const = 0;
    // Lets the given time pass: a virtual clock jumps ahead, the real one waits.
    virtual void Sleep(std::uint32_t milliseconds) = 0;
};

// A clock that starts at startMs and moves only by Sleep.
std::unique_ptr<Clock> MakeVirtualClock(std::uint64_t startMs = 1'000'000);

// The system's millisecond tick count; Sleep really waits.
std::unique_ptr<Clock> MakeRealClock();

}
