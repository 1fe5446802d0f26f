// Reading the output of a host method call.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "mgmt/MiClient.h"

// One answer of a method: a failure (with the words that came with it) or an output.
struct MethodDelivery {
    MI_Result result;
    const MI_Instance* output; // null on failure
    std::wstring message;
};

// Pulls every delivery of a method call to the final one; `onDelivery` gets each read that
// brought an output instance or a failure.
void ForEachMethodResult(MI_Operation* operation,
                         const std::function<void(const MethodDelivery&)>& onDelivery);

// The method's ReturnValue, typed or as decimal text. Otherwise the read's failure, or
// MI_RESULT_NO_SUCH_PROPERTY when the output holds no usable value.
MI_Result ReadReturnValue(const MI_Instance* output, std::uint32_t& returnValue);

// The Job reference of a method's output, or null.
const MI_Instance* ReadJobReference(const MI_Instance* output);
