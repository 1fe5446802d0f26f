// The host operation under way, as the window's thread sees it while a worker runs it: what is
// being done, whether the user may stop waiting for it, how far the host's job has got, and
// the user's request to stop. Stopping ends the waits and cancels the client call the worker
// is blocked in; it never cancels the host's own work.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "mgmt/MiClient.h"

struct HostWaitState {
    std::wstring activity;
    bool stoppable = false;
    std::optional<std::uint16_t> percentComplete;
};

namespace hostwait {

// Window thread, before the worker starts: a new operation, not stopped.
void Begin(std::wstring activity, bool stoppable);
HostWaitState Current();

// Worker: what is being done now, and whether stopping it makes sense.
void Describe(std::wstring activity, bool stoppable);
void SetStoppable(bool stoppable);
void ReportPercent(std::optional<std::uint16_t> percent);
// True once the user asked to stop waiting.
bool StopRequested();

// Window thread: the user's Stop Waiting.
void RequestStop();

// Worker: while it lives, the operation is a run of steps, each of which is waited for to its
// end: Stop Waiting, offered throughout, cancels nothing and only makes StopBetweenSteps true,
// so that the work stops before its next step.
class StepwiseStop {
public:
    StepwiseStop();
    ~StepwiseStop();
    StepwiseStop(const StepwiseStop&) = delete;
    StepwiseStop& operator=(const StepwiseStop&) = delete;
};
// True once the user asked to stop a stepwise operation.
bool StopBetweenSteps();

// Worker and the threads it reads hosts with: while it lives, the operation being pulled is one
// of those RequestStop cancels (several hosts may be read side by side); once the user has
// stopped a stoppable operation, every later pull is cancelled as it starts.
class PendingPull {
public:
    explicit PendingPull(MI_Operation* operation);
    ~PendingPull();
    PendingPull(const PendingPull&) = delete;
    PendingPull& operator=(const PendingPull&) = delete;

private:
    MI_Operation* operation_;
};

}
