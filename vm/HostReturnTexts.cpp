#include "vm/HostReturnTexts.h"

#include <iterator>

namespace {

constexpr const wchar_t* unknownOccurred = L"An unknown error occurred";

// 32768 to 32778: the texts both power methods share.
constexpr const wchar_t* sharedPowerTexts[] = {
    L"Shutdown failed with an unspecified error",
    L"Access denied",
    L"The operation is not supported",
    L"An unknown error occurred",
    L"Timeout expired",
    L"Invalid parameter",
    L"The system is in use",
    L"Cannot shut the virtual machine down in its current state",
    L"Incorrect data type",
    L"The system is not available",
    L"Out of memory",
};

// 32779 to 32782: only the guest shutdown has words of its own for these.
constexpr const wchar_t* shutdownOnlyTexts[] = {
    L"File not found",
    L"The system is not ready",
    L"The virtual machine's console is locked",
    L"A shut down is already in progress",
};

constexpr std::uint32_t firstPowerCode = 32768;
constexpr std::uint32_t unspecifiedCode = 32768;
constexpr std::uint32_t invalidStateCode = 32775;

const wchar_t* SharedPowerText(std::uint32_t returnValue)
{
    const std::uint32_t index = returnValue - firstPowerCode;
    if (returnValue >= firstPowerCode && index < std::size(sharedPowerTexts))
        return sharedPowerTexts[index];
    return nullptr;
}

}

const wchar_t* ModifySettingsText(std::uint32_t returnValue)
{
    switch (returnValue) {
    case 0:
    case returnJobStarted:
        return nullptr;
    case 1:
        return L"This operation is not supported";
    case 2:
        return L"Failure due to an unspecified error";
    case 3:
        return L"The operation timed out";
    case 4:
        return L"An invalid parameter was specified";
    case 5:
        return L"The virtual machine is in an invalid state for this operation";
    case 6:
        return L"Incompatible parameters were provided";
    default:
        return L"An unknown error occured";
    }
}

const wchar_t* StateChangeText(std::uint32_t returnValue)
{
    if (returnValue == 0 || returnValue == returnJobStarted)
        return nullptr;
    const wchar_t* text = SharedPowerText(returnValue);
    return text ? text : unknownOccurred;
}

const wchar_t* StartText(std::uint32_t returnValue)
{
    // The shared table speaks of shutting down where a start was refused.
    if (returnValue == unspecifiedCode)
        return L"Starting the virtual machine failed with an unspecified error";
    if (returnValue == invalidStateCode)
        return L"Cannot start the virtual machine in its current state";
    return StateChangeText(returnValue);
}

const wchar_t* ShutdownText(std::uint32_t returnValue)
{
    if (returnValue == 0)
        return nullptr;
    if (const wchar_t* text = SharedPowerText(returnValue))
        return text;
    const std::uint32_t index = returnValue - firstPowerCode - std::size(sharedPowerTexts);
    if (returnValue >= firstPowerCode + std::size(sharedPowerTexts) &&
        index < std::size(shutdownOnlyTexts))
        return shutdownOnlyTexts[index];
    return unknownOccurred;
}
