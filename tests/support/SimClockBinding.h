// Binds the program's sleep and tick-count seams to a simulated world's clock, so that the
// program's waits move the world's time instead of taking real time. The previous bindings
// come back when the binding goes out of scope.
#pragma once

#include "base/Platform.h"
#include "sim/World.h"

class SimClockBinding {
public:
    explicit SimClockBinding(sim::World& world);
    ~SimClockBinding();
    SimClockBinding(const SimClockBinding&) = delete;
    SimClockBinding& operator=(const SimClockBinding&) = delete;

private:
    Platform saved_;
    sim::World* previousWorld_;
};
