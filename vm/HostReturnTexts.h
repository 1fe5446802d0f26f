// The host's method return values as the user reads them.
#pragma once

#include <cstdint>

// ModifySystemSettings: null for 0 (success) and 4096 (a job).
const wchar_t* ModifySettingsText(std::uint32_t returnValue);
// RequestStateChange: null for 0 (success) and 4096 (a job).
const wchar_t* StateChangeText(std::uint32_t returnValue);
// RequestStateChange asked to start the machine: worded for a start where the shared texts
// speak of shutting down.
const wchar_t* StartText(std::uint32_t returnValue);
// InitiateShutdown: null for 0 (success).
const wchar_t* ShutdownText(std::uint32_t returnValue);

inline constexpr std::uint32_t returnJobStarted = 4096;
