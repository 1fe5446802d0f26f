// The methods a Hyper-V host answers and the reading of its jobs.
#pragma once

#include <string>
#include <string_view>

#include "mgmt/MiTypes.h"

namespace sim {

class ClassSchema;
class Host;
class SimInstance;
class SimOperation;
class World;
struct Job;
struct Vm;

// Calls method on the host object that inbound names by its keys; the output parameters
// (ReturnValue, and Job for 4096) are delivered into operation. A failure result means the
// call itself failed.
MI_Result InvokeMethod(World& world, Host& host, const ClassSchema& schema,
                       const SimInstance& inbound, std::wstring_view method,
                       const SimInstance* parameters, SimOperation& operation);

// One read of a job, with the plan's failing and stalling reads.
MI_Result ReadJob(World& world, Host& host, const std::wstring& instanceId, SimOperation& operation);

// Delivers the output parameters of a method.
void DeliverOutput(World& world, Host& host, SimOperation& operation, MI_Uint32 returnValue,
                   const Job* job);

// ModifySystemSettings of the management service.
MI_Result ModifySystemSettings(World& world, Host& host, const SimInstance* parameters,
                               SimOperation& operation);

}
