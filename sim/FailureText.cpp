#include "sim/FailureText.h"

namespace sim {

std::wstring FailureText(MI_Result result)
{
    switch (result) {
    case MI_RESULT_FAILED: return L"Generic failure";
    case MI_RESULT_ACCESS_DENIED: return L"Access denied";
    case MI_RESULT_INVALID_NAMESPACE: return L"Invalid namespace";
    case MI_RESULT_INVALID_PARAMETER: return L"Invalid parameter";
    case MI_RESULT_INVALID_CLASS: return L"Invalid class";
    case MI_RESULT_NOT_FOUND: return L"Not found";
    case MI_RESULT_NOT_SUPPORTED: return L"Not supported";
    case MI_RESULT_NO_SUCH_PROPERTY: return L"No such property";
    case MI_RESULT_TYPE_MISMATCH: return L"Type mismatch";
    case MI_RESULT_QUERY_LANGUAGE_NOT_SUPPORTED: return L"Invalid query language";
    case MI_RESULT_INVALID_QUERY: return L"Invalid query";
    case MI_RESULT_METHOD_NOT_AVAILABLE: return L"Method not available";
    case MI_RESULT_METHOD_NOT_FOUND: return L"Invalid method";
    case MI_RESULT_SERVER_LIMITS_EXCEEDED: return L"Quota violation";
    case MI_RESULT_SERVER_IS_SHUTTING_DOWN: return L"Shutting down";
    default: return L"The operation failed with result " + std::to_wstring(static_cast<int>(result));
    }
}

std::wstring UnreachableText()
{
    return L"The WinRM client cannot complete the operation within the time specified. Check if "
           L"the machine name is valid and is reachable over the network and firewall exception "
           L"for Windows Remote Management service is enabled.";
}

}
