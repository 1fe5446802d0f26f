#include "vm/MethodResults.h"

#include "mgmt/InstanceHelpers.h"

void ForEachMethodResult(MI_Operation* operation,
                         const std::function<void(const MethodDelivery&)>& onDelivery)
{
    bool moreResults = false;
    do {
        MethodDelivery delivery{MI_RESULT_OK, nullptr, {}};
        delivery.result = PullInstance(operation, delivery.output, moreResults, &delivery.message);
        // The final result may come on its own after the output: only a delivery that carries
        // something (an output or a failure) is an answer.
        if (delivery.result == MI_RESULT_OK && !delivery.output)
            continue;
        // A job is followed inside the answer's handling: when that throws, the operation is
        // still read to its final result, as the client wants before it is closed.
        try {
            onDelivery(delivery);
        } catch (...) {
            while (moreResults)
                static_cast<void>(PullInstance(operation, delivery.output, moreResults, nullptr));
            throw;
        }
    } while (moreResults);
}

MI_Result ReadReturnValue(const MI_Instance* output, std::uint32_t& returnValue)
{
    MI_Result result = MI_RESULT_OK;
    const auto value = ReadUint32Element(output, L"ReturnValue", &result);
    if (!value)
        return ElementReadFailed(result) ? result : MI_RESULT_NO_SUCH_PROPERTY;
    returnValue = *value;
    return MI_RESULT_OK;
}

const MI_Instance* ReadJobReference(const MI_Instance* output)
{
    MI_Type type{};
    MI_Value value{};
    if (ReadElement(output, L"Job", type, value) != MI_RESULT_OK ||
        (type != MI_REFERENCE && type != MI_INSTANCE))
        return nullptr;
    return value.reference;
}
