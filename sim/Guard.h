// No exception crosses the client's C function tables: each entry point runs its body through
// Guarded, which turns an escaping exception (allocation failure) into a failed result. Guarded
// also holds the client's lock, so that a worker thread and the window's thread may call the
// client together, as a real client allows.
#pragma once

#include <mutex>

#include "mgmt/MiTypes.h"

namespace sim {

// Held by every entry point; a call that waits for another thread lets go of it meanwhile.
std::recursive_mutex& ClientLock();

template <typename Body>
MI_Result Guarded(Body&& body) noexcept
{
    try {
        const std::lock_guard<std::recursive_mutex> lock(ClientLock());
        return body();
    } catch (...) {
        return MI_RESULT_SERVER_LIMITS_EXCEEDED;
    }
}

}
