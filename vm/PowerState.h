// The host's power-state values of a virtual machine and their display texts.
#pragma once

#include <cstdint>

enum PowerState : std::uint16_t {
    stateUnknown = 0,
    stateTransition = 1,
    stateRunning = 2,
    stateOff = 3,
    stateSaved = 6,
    statePaused = 9,
    stateReset = 11,
};

// The display text of a state, or null for values without one.
const wchar_t* StateName(std::uint16_t state);
