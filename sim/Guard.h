// No exception crosses the client's C function tables: each entry point runs its body through
// Guarded, which turns an escaping exception (allocation failure) into a failed result.
#pragma once

#include "mgmt/MiTypes.h"

namespace sim {

template <typename Body>
MI_Result Guarded(Body&& body) noexcept
{
    try {
        return body();
    } catch (...) {
        return MI_RESULT_SERVER_LIMITS_EXCEEDED;
    }
}

}
