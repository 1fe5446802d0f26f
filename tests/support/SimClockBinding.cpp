#include "tests/support/SimClockBinding.h"

namespace {

sim::World* boundWorld = nullptr;

void WorldSleep(DWORD milliseconds)
{
    boundWorld->Advance(milliseconds);
}

DWORD WorldTickCount()
{
    // The system's tick count is 32 bits wide and wraps; so does this one.
    return static_cast<DWORD>(boundWorld->NowMs());
}

}

SimClockBinding::SimClockBinding(sim::World& world)
    : saved_(CurrentPlatform()), previousWorld_(boundWorld)
{
    boundWorld = &world;
    CurrentPlatform().sleep = WorldSleep;
    CurrentPlatform().tickCount = WorldTickCount;
}

SimClockBinding::~SimClockBinding()
{
    CurrentPlatform().sleep = saved_.sleep;
    CurrentPlatform().tickCount = saved_.tickCount;
    boundWorld = previousWorld_;
}
