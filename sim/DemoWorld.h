// The world the demo program runs against when no test installed one.
#pragma once

#include <memory>

#include "sim/World.h"

namespace sim {

// The local computer with three VMs, "HV-LAB01" with six, "HV-LAB02" without VMs, "HV-LAB03"
// installed in German with two, "HV-OLD" without root/virtualization/v2, "HV-LAB04" with four
// kiosks cloned from one template, and "HV-EDGE01", a workgroup host with one VM that lets in
// only "HV-EDGE01\Administrator" with the password "Demo-Pa55word"; every other name is
// unreachable. Durations are those of a responsive host.
std::unique_ptr<World> MakeDemoWorld(std::unique_ptr<Clock> clock);
// The same hosts and durations, added to a world of the caller's.
void FurnishDemoWorld(World& world);

}
