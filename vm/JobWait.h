// Follows a host job to its end.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "mgmt/ManagementSession.h"

// Consecutive failed reads of something being waited for before the wait gives up: 50 reads
// 100 ms apart ride out a host that is busy for a moment.
inline constexpr int waitReadRetries = 50;

// The code of a wait that ended without reading the job's ErrorCode.
inline constexpr std::uint16_t jobNotRead = 10;

// Polls the job every 100 ms while it is in progress and returns its ErrorCode (0 for success).
// A failed job without an ErrorCode gives its JobState; a job that cannot be read gives
// jobNotRead, at once when it was never read, after a bounded number of retries when it was
// seen in progress, and when the user stopped waiting (hostwait::StopRequested). On a non-zero code `errorText` receives the
// job's ErrorDescription when it has one, and the reason when the job could not be read.
std::uint16_t WaitForJob(ManagementSession& session, const MI_Instance* job,
                         std::optional<std::wstring>* errorText);

// What the user is told after stopping the wait for a job that `what` describes: the host
// carries on with it.
std::wstring StoppedWaitingText(const std::wstring& hostName, const std::wstring& what);

// The message for a job that the host reported failed without a description of its own.
std::wstring JobFailureText(std::uint16_t code);
