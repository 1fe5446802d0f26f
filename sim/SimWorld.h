// What tests use of the simulated hosts: worlds, hosts, VMs, faults, the call log, live
// counts and the clock.
#pragma once

#include "sim/DemoWorld.h"
#include "sim/Host.h"
#include "sim/SimClock.h"
#include "sim/World.h"
