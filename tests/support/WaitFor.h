// Waits, from a thread beside the program's, for a condition to hold: true once it does, false
// after ten seconds.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>

inline bool WaitFor(const std::function<bool()>& condition)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < end) {
        if (condition())
            return true;
        ::Sleep(2);
    }
    return false;
}
