// Objects that belong to one thread say so: a touch from another thread is reported to the
// handler a test installs, and stops a debug build at once. The check costs one thread
// identifier read.
#pragma once

#include <windows.h>

using WrongThreadHandler = void (*)(const char* what);

// Installs the handler that hears of wrong-thread touches; null removes it.
void SetWrongThreadHandler(WrongThreadHandler handler) noexcept;
// Reports a touch of `what` from the wrong thread.
void ReportWrongThread(const char* what) noexcept;

class OwningThread {
public:
    // Owned by the thread that makes it.
    OwningThread() noexcept : id_(GetCurrentThreadId()) {}

    bool IsCurrent() const noexcept { return GetCurrentThreadId() == id_; }
    // Reports `what` when the caller is not the owning thread.
    void Check(const char* what) const noexcept
    {
        if (!IsCurrent())
            ReportWrongThread(what);
    }

private:
    DWORD id_;
};
