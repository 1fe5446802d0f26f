// The words for host work that ended in an exception (out of memory, say): the worker caught
// it, and the user hears once that the operation did not finish.
#pragma once

#include <string>

inline std::wstring WorkFailureText(const std::wstring& activity)
{
    return L"Brackwin could not finish \"" + activity +
           L"\": it ran out of memory or met an unexpected error. What the host has already done "
           L"stays done; the window shows what Brackwin last read.";
}
