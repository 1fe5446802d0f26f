#include "vm/MethodResults.h"

#include "mgmt/InstanceHelpers.h"

void ForEachMethodResult(MI_Operation* operation,
                         const std::function<void(MI_Result, const MI_Instance*)>& onDelivery)
{
    bool moreResults = false;
    do {
        const MI_Instance* output = nullptr;
        const MI_Result result = PullInstance(operation, output, moreResults);
        // The final result may come on its own after the output: only a delivery that carries
        // something (an output or a failure) is an answer.
        if (result != MI_RESULT_OK || output)
            onDelivery(result, output);
    } while (moreResults);
}

bool ReadReturnValue(const MI_Instance* output, std::uint32_t& returnValue)
{
    const auto value = ReadUint32Element(output, L"ReturnValue");
    if (!value)
        return false;
    returnValue = *value;
    return true;
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
