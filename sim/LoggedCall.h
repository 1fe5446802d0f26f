// One call of the instance or class table on a live object: counted for injected faults
// (matching the element or the class name), run unless a fault answers it, and logged with
// its result. The body may name the element it reached (record.element).
#pragma once

#include <string>
#include <utility>

#include "sim/World.h"

namespace sim {

template <typename Object, typename Body>
MI_Result LoggedCall(World& world, Object& object, CallKind kind, std::wstring className,
                     std::wstring element, Body body)
{
    CallRecord record;
    record.kind = kind;
    record.className = std::move(className);
    record.element = std::move(element);
    record.result = world.TakeFault(kind, record.element, record.className).value_or(MI_RESULT_OK);
    if (record.result == MI_RESULT_OK)
        record.result = body(object, record);
    const MI_Result result = record.result;
    world.Log(std::move(record));
    return result;
}

}
