// What a host answers to each session call: deliveries into the call's operation, or the
// result the operation fails with.
#pragma once

#include "mgmt/MiTypes.h"

namespace sim {

class Host;
class SimInstance;
class SimOperation;
class World;
struct CallRecord;
struct SimSession;

// The host behind the session when it answers now; the unreachable result otherwise.
MI_Result Reach(World& world, const SimSession& session, Host*& host);

// Records the non-null elements of an instance as the call's parameters.
void AddParameters(CallRecord& record, const SimInstance& instance);

MI_Result AnswerQuery(World& world, const SimSession& session, const MI_Char* nameSpace,
                      const MI_Char* dialect, const MI_Char* queryText, SimOperation& operation,
                      CallRecord& record);

MI_Result AnswerGetInstance(World& world, const SimSession& session, const MI_Char* nameSpace,
                            const SimInstance& inbound, SimOperation& operation);

MI_Result AnswerGetClass(World& world, const SimSession& session, const MI_Char* nameSpace,
                         const MI_Char* className, SimOperation& operation);

MI_Result AnswerInvoke(World& world, const SimSession& session, const MI_Char* nameSpace,
                       const MI_Char* method, const SimInstance& inbound,
                       const SimInstance* parameters, SimOperation& operation);

}
