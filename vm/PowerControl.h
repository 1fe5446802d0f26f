// Starting, turning off and shutting down a virtual machine on its host.
#pragma once

#include <cstdint>

#include "vm/VmEntry.h"

inline constexpr wchar_t changeStateCaption[] = L"Error Changing VM State";
inline constexpr wchar_t shutdownCaption[] = L"Error Shutting Down VM";

// How long a graceful shutdown is waited for, in milliseconds.
inline constexpr std::uint32_t shutdownWaitLimit = 300000;

// Reads the state afresh and requests Off (3) for a running machine, Running (2) otherwise,
// through RequestStateChange. `intended` is the state the user asked for: when the state just
// read would make the request go the other way (the machine changed since it was shown),
// nothing is sent and the result is false. True when the host reported success.
[[nodiscard]] bool ChangePowerState(VmEntry& entry, std::uint16_t intended);

// Asks the guest of a running machine to shut down; with `wait`, polls every 100 ms until the
// machine is off or 5 minutes have passed (the user is told when the wait gives up). True when
// the host accepted (and, waiting, the machine was seen off), or when it was already off.
[[nodiscard]] bool GracefulShutdown(VmEntry& entry, bool wait);
