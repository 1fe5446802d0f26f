// Reading the output of a host method call.
#pragma once

#include <cstdint>
#include <functional>

#include "mgmt/MiClient.h"

// Pulls every delivery of a method call to the final one; `onDelivery` gets each read that
// brought an output instance or a failure, with its result code and output (null on failure).
void ForEachMethodResult(MI_Operation* operation,
                         const std::function<void(MI_Result, const MI_Instance*)>& onDelivery);

// The method's ReturnValue, typed or as decimal text; false when the output has none.
bool ReadReturnValue(const MI_Instance* output, std::uint32_t& returnValue);

// The Job reference of a method's output, or null.
const MI_Instance* ReadJobReference(const MI_Instance* output);
