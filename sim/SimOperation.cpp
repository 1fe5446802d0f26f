// The operation function table: results pulled one by one, then one close that releases
// everything the operation delivered.
#include "sim/SimOperation.h"

#include <memory>

#include "mgmt/MiTables.h"
#include "sim/Guard.h"
#include "sim/SimClass.h"
#include "sim/SimInstance.h"
#include "sim/World.h"

namespace sim {

SimOperation::~SimOperation()
{
    for (const Delivery& delivery : deliveries_) {
        if (delivery.instance)
            world_->Objects().Release(delivery.instance);
        if (delivery.classObject)
            world_->Objects().Release(delivery.classObject);
    }
}

Delivery SimOperation::Pull(bool& moreResults)
{
    const Delivery delivery = deliveries_[next_++];
    moreResults = next_ < deliveries_.size();
    return delivery;
}

void SimOperation::FailFromHere(MI_Result result)
{
    // Deliveries not yet pulled stay owned (and released at close) but are never handed out.
    deliveries_.insert(deliveries_.begin() + static_cast<std::ptrdiff_t>(next_), {nullptr, nullptr, result});
    for (std::size_t i = next_ + 1; i < deliveries_.size(); ++i) {
        if (deliveries_[i].instance)
            world_->Objects().Release(deliveries_[i].instance);
        if (deliveries_[i].classObject)
            world_->Objects().Release(deliveries_[i].classObject);
    }
    deliveries_.resize(next_ + 1);
}

void OpenOperation(World& world, std::unique_ptr<SimOperation> operation, MI_Operation* handle)
{
    handle->reserved1 = reinterpret_cast<std::uint64_t>(&world);
    handle->reserved2 = static_cast<std::ptrdiff_t>(world.Objects().AddOperation(std::move(operation)));
    handle->ft = &simOperationTable;
}

namespace {

struct Pulled {
    World* world = nullptr;
    SimOperation* operation = nullptr;
};

Pulled CheckedOperation(MI_Operation* handle, const wchar_t* call)
{
    World* world = handle ? World::FromHandle(handle->reserved1) : nullptr;
    SimOperation* operation = world ? world->Objects().FindOperation(static_cast<std::uint64_t>(handle->reserved2)) : nullptr;
    if (!operation) {
        ActiveWorld().ReportMisuse(std::wstring(call) + L" on a closed or foreign operation");
        return {};
    }
    world->Settle();
    return {world, operation};
}

// One pull of either kind; an injected read fault ends the results with that failure.
MI_Result PullOne(MI_Operation* handle, bool wantClass, const MI_Instance** instance,
                  const MI_Class** classObject, MI_Boolean* moreResults, MI_Result* result,
                  const MI_Char** errorMessage, const MI_Instance** completionDetails)
{
    const wchar_t* call = wantClass ? L"MI_Operation_GetClass" : L"MI_Operation_GetInstance";
    if (moreResults)
        *moreResults = MI_FALSE;
    if (errorMessage)
        *errorMessage = nullptr;
    if (completionDetails)
        *completionDetails = nullptr;
    const Pulled pulled = CheckedOperation(handle, call);
    MI_Result answer = MI_RESULT_INVALID_PARAMETER;
    if (pulled.operation && pulled.operation->ClassOperation() != wantClass) {
        pulled.world->ReportMisuse(std::wstring(call) + L" on an operation of the other kind");
    } else if (pulled.operation && pulled.operation->Finished()) {
        pulled.world->ReportMisuse(std::wstring(call) + L" after the last result");
        answer = MI_RESULT_FAILED;
    } else if (pulled.operation) {
        const CallKind kind = wantClass ? CallKind::ReadClass : CallKind::ReadInstance;
        if (auto fault = pulled.world->TakeFault(kind, L""))
            pulled.operation->FailFromHere(*fault);
        bool more = false;
        const Delivery delivery = pulled.operation->Pull(more);
        if (instance)
            *instance = delivery.instance ? &delivery.instance->Handle() : nullptr;
        if (classObject)
            *classObject = delivery.classObject ? &delivery.classObject->Handle() : nullptr;
        if (moreResults)
            *moreResults = more ? MI_TRUE : MI_FALSE;
        answer = delivery.result;
        CallRecord record;
        record.kind = kind;
        record.result = answer;
        pulled.world->Log(std::move(record));
    }
    if (result)
        *result = answer;
    return answer;
}

MI_Result OperationGetInstance(MI_Operation* handle, const MI_Instance** instance,
                               MI_Boolean* moreResults, MI_Result* result,
                               const MI_Char** errorMessage, const MI_Instance** completionDetails)
{
    return Guarded([&] {
        return PullOne(handle, false, instance, nullptr, moreResults, result, errorMessage,
                       completionDetails);
    });
}

MI_Result OperationGetClass(MI_Operation* handle, const MI_Class** classObject,
                            MI_Boolean* moreResults, MI_Result* result,
                            const MI_Char** errorMessage, const MI_Instance** completionDetails)
{
    return Guarded([&] {
        return PullOne(handle, true, nullptr, classObject, moreResults, result, errorMessage,
                       completionDetails);
    });
}

MI_Result OperationClose(MI_Operation* handle)
{
    return Guarded([&] {
        const Pulled pulled = CheckedOperation(handle, L"MI_Operation_Close");
        if (!pulled.operation)
            return MI_RESULT_INVALID_PARAMETER;
        pulled.world->Objects().CloseOperation(static_cast<std::uint64_t>(handle->reserved2));
        CallRecord record;
        record.kind = CallKind::CloseOperation;
        pulled.world->Log(std::move(record));
        return MI_RESULT_OK;
    });
}

MI_Result OperationCancel(MI_Operation* handle, MI_CancellationReason)
{
    return Guarded([&] {
        return CheckedOperation(handle, L"MI_Operation_Cancel").operation ? MI_RESULT_OK
                                                                          : MI_RESULT_INVALID_PARAMETER;
    });
}

MI_Result OperationGetSession(MI_Operation* handle, MI_Session*)
{
    return Guarded([&] {
        return CheckedOperation(handle, L"MI_Operation_GetSession").operation
                   ? MI_RESULT_NOT_SUPPORTED : MI_RESULT_INVALID_PARAMETER;
    });
}

}

const MI_OperationFT simOperationTable = [] {
    MI_OperationFT table{};
    table.Close = OperationClose;
    table.Cancel = OperationCancel;
    table.GetSession = OperationGetSession;
    table.GetInstance = OperationGetInstance;
    table.GetClass = OperationGetClass;
    return table;
}();

}
