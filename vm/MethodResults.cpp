#include "vm/MethodResults.h"

#include "mgmt/InstanceHelpers.h"

void ForEachMethodResult(MI_Operation* operation,
                         const std::function<void(MI_Result, const MI_Instance*)>& onDelivery)
{
    MI_Boolean moreResults = MI_FALSE;
    do {
        const MI_Instance* output = nullptr;
        moreResults = MI_FALSE;
        const MI_Result result =
            MI_Operation_GetInstance(operation, &output, &moreResults, nullptr, nullptr, nullptr);
        onDelivery(result, output);
        if (result != MI_RESULT_OK)
            break;
    } while (moreResults);
}

bool ReadReturnValue(const MI_Instance* output, std::uint32_t& returnValue)
{
    MI_Type type{};
    MI_Value value{};
    if (ReadElement(output, L"ReturnValue", type, value) != MI_RESULT_OK || type != MI_UINT32)
        return false;
    returnValue = value.uint32;
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
