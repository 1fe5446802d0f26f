// The calls that go to a host and wait for its answer; the rest stay on the client.
#pragma once

#include "sim/SimWorld.h"

inline int RoundTrips(const sim::World& world)
{
    int count = 0;
    for (const sim::CallRecord& call : world.Calls()) {
        switch (call.kind) {
        case sim::CallKind::QueryInstances:
        case sim::CallKind::GetInstance:
        case sim::CallKind::GetClass:
        case sim::CallKind::Invoke:
            ++count;
            break;
        default:
            break;
        }
    }
    return count;
}
