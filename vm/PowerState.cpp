#include "vm/PowerState.h"

const wchar_t* StateName(std::uint16_t state)
{
    switch (state) {
    case stateUnknown:
        return L"Unknown";
    case stateTransition:
    case stateReset:
        return L"In Transition";
    case stateRunning:
        return L"Running";
    case stateOff:
        return L"Off";
    case stateSaved:
        return L"Saved";
    case statePaused:
        return L"Paused";
    default:
        return nullptr;
    }
}
