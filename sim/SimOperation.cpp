// The operation function table: results pulled one by one to the final one, then one close
// that releases everything the operation still holds.
#include "sim/SimOperation.h"

#include <windows.h>

#include <memory>

#include "mgmt/MiTables.h"
#include "sim/FailureText.h"
#include "sim/Guard.h"
#include "sim/SimClass.h"
#include "sim/SimInstance.h"
#include "sim/World.h"

namespace sim {

SimOperation::~SimOperation()
{
    for (Delivery& delivery : deliveries_)
        ReleaseObjects(delivery);
}

void SimOperation::ReleaseObjects(Delivery& delivery)
{
    if (delivery.instance)
        world_->Objects().Release(delivery.instance);
    if (delivery.classObject)
        world_->Objects().Release(delivery.classObject);
    delivery.instance = nullptr;
    delivery.classObject = nullptr;
}

void SimOperation::Deliver(SimInstance* instance)
{
    deliveries_.push_back({instance, nullptr, MI_RESULT_OK, {}});
}

void SimOperation::Deliver(SimClass* classObject)
{
    deliveries_.push_back({nullptr, classObject, MI_RESULT_OK, {}});
}

void SimOperation::Fail(MI_Result result, std::wstring message)
{
    std::wstring text = message.empty() ? FailureText(result) : std::move(message);
    deliveries_.push_back({nullptr, nullptr, result, std::move(text)});
}

void SimOperation::Seal(FinalDelivery finalDelivery)
{
    if (deliveries_.empty()) {
        deliveries_.push_back({});
        return;
    }
    const Delivery& last = deliveries_.back();
    if (finalDelivery == FinalDelivery::Separate && (last.instance || last.classObject))
        deliveries_.push_back({});
}

void SimOperation::ForEachInstance(const std::function<void(SimInstance&)>& visit)
{
    for (Delivery& delivery : deliveries_)
        if (delivery.instance)
            visit(*delivery.instance);
}

const Delivery& SimOperation::Pull(bool& moreResults)
{
    if (next_ > 0)
        ReleaseObjects(deliveries_[next_ - 1]);
    const Delivery& delivery = deliveries_[next_++];
    moreResults = next_ < deliveries_.size();
    return delivery;
}

void SimOperation::FailFromHere(MI_Result result)
{
    // Deliveries not yet pulled are released and never handed out.
    for (std::size_t i = next_; i < deliveries_.size(); ++i)
        ReleaseObjects(deliveries_[i]);
    deliveries_.resize(next_);
    Fail(result);
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

// A misuse of the call itself: its code is returned (and put into *result) in either way of
// reporting.
MI_Result CallError(const Pulled& pulled, const wchar_t* call, bool wantClass)
{
    if (!pulled.operation)
        return MI_RESULT_INVALID_PARAMETER;
    if (pulled.operation->ClassOperation() != wantClass) {
        pulled.world->ReportMisuse(std::wstring(call) + L" on an operation of the other kind");
        return MI_RESULT_INVALID_PARAMETER;
    }
    pulled.world->ReportMisuse(std::wstring(call) + L" after the last result");
    return MI_RESULT_FAILED;
}

// A read the host does not answer: the client waits, the world's time passing, until another
// thread cancels the operation or the test answers the stall. A wait that nobody ends is
// reported rather than kept forever.
void WaitUntilCancelled(World& world, SimOperation& operation)
{
    const ULONGLONG start = GetTickCount64();
    const World::StalledRead stalled(world);
    while (!operation.Cancelled() && !stalled.Answered()) {
        if (GetTickCount64() - start > 30000) {
            world.ReportMisuse(L"a read that does not answer was never cancelled");
            return;
        }
        ClientLock().unlock();
        ::Sleep(1);
        ClientLock().lock();
        world.Advance(10);
    }
}

// One pull of either kind; an injected read fault ends the results with that failure.
MI_Result PullOne(MI_Operation* handle, bool wantClass, const MI_Instance** instance,
                  const MI_Class** classObject, MI_Boolean* moreResults, MI_Result* result,
                  const MI_Char** errorMessage, const MI_Instance** completionDetails)
{
    const wchar_t* call = wantClass ? L"MI_Operation_GetClass" : L"MI_Operation_GetInstance";
    if (instance)
        *instance = nullptr;
    if (classObject)
        *classObject = nullptr;
    if (moreResults)
        *moreResults = MI_FALSE;
    if (errorMessage)
        *errorMessage = nullptr;
    if (completionDetails)
        *completionDetails = nullptr;
    const Pulled pulled = CheckedOperation(handle, call);
    if (pulled.operation && !(wantClass ? static_cast<const void*>(classObject) : instance)) {
        pulled.world->ReportMisuse(std::wstring(call) + L" without a place for the result's object");
        if (result)
            *result = MI_RESULT_INVALID_PARAMETER;
        return MI_RESULT_INVALID_PARAMETER;
    }
    if (!pulled.operation || pulled.operation->Finished() ||
        pulled.operation->ClassOperation() != wantClass) {
        const MI_Result error = CallError(pulled, call, wantClass);
        if (result)
            *result = error;
        return error;
    }
    const CallKind kind = wantClass ? CallKind::ReadClass : CallKind::ReadInstance;
    if (pulled.world->TakeStall(kind))
        WaitUntilCancelled(*pulled.world, *pulled.operation);
    if (auto fault = pulled.world->TakeFault(kind, L""))
        pulled.operation->FailFromHere(*fault);
    if (pulled.operation->Cancelled())
        pulled.operation->FailFromHere(MI_RESULT_FAILED);
    bool more = false;
    const Delivery& delivery = pulled.operation->Pull(more);
    if (instance && delivery.instance)
        *instance = &delivery.instance->Handle();
    if (classObject && delivery.classObject)
        *classObject = &delivery.classObject->Handle();
    if (moreResults)
        *moreResults = more ? MI_TRUE : MI_FALSE;
    if (result)
        *result = delivery.result;
    if (errorMessage && delivery.result != MI_RESULT_OK)
        *errorMessage = delivery.message.c_str();
    CallRecord record;
    record.kind = kind;
    record.result = delivery.result;
    pulled.world->Log(std::move(record));
    return pulled.world->resultReporting == ResultReporting::OutParameter ? MI_RESULT_OK : delivery.result;
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

// A synchronous close waits for the final result, which only the caller's pulls bring: a close
// before it would never return on a real client, so it is reported. The operation is released
// either way.
MI_Result OperationClose(MI_Operation* handle)
{
    return Guarded([&] {
        const Pulled pulled = CheckedOperation(handle, L"MI_Operation_Close");
        if (!pulled.operation)
            return MI_RESULT_INVALID_PARAMETER;
        MI_Result result = pulled.world->TakeFault(CallKind::CloseOperation, L"").value_or(MI_RESULT_OK);
        if (!pulled.operation->Finished()) {
            pulled.world->ReportMisuse(L"MI_Operation_Close before the final result was read");
            result = MI_RESULT_FAILED;
        }
        pulled.world->Objects().CloseOperation(static_cast<std::uint64_t>(handle->reserved2));
        CallRecord record;
        record.kind = CallKind::CloseOperation;
        record.result = result;
        pulled.world->Log(std::move(record));
        return result;
    });
}

MI_Result OperationCancel(MI_Operation* handle, MI_CancellationReason)
{
    return Guarded([&] {
        const Pulled pulled = CheckedOperation(handle, L"MI_Operation_Cancel");
        if (!pulled.operation)
            return MI_RESULT_INVALID_PARAMETER;
        pulled.operation->Cancel();
        CallRecord record;
        record.kind = CallKind::CancelOperation;
        pulled.world->Log(std::move(record));
        return MI_RESULT_OK;
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
