// Reading the output of a host method call.
#pragma once

#include <cstdint>
#include <functional>

#include "mgmt/MiClient.h"

// Pulls every delivery of a method call; `onDelivery` gets each read's result code and output
// instance (null when none came).
void ForEachMethodResult(MI_Operation* operation,
                         const std::function<void(MI_Result, const MI_Instance*)>& onDelivery);

// The method's ReturnValue; false when the output has none of type uint32.
bool ReadReturnValue(const MI_Instance* output, std::uint32_t& returnValue);

// The Job reference of a method's output, or null.
const MI_Instance* ReadJobReference(const MI_Instance* output);
