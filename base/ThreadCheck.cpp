#include "base/ThreadCheck.h"

#include <atomic>
#include <cassert>

namespace {

std::atomic<WrongThreadHandler> handler{nullptr};

}

void SetWrongThreadHandler(WrongThreadHandler newHandler) noexcept
{
    handler = newHandler;
}

void ReportWrongThread(const char* what) noexcept
{
    if (const WrongThreadHandler current = handler)
        current(what);
    else
        assert(!"touched from the wrong thread" && what);
}
