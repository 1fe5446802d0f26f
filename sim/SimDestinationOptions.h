// Simulated destination options: the credentials a caller adds before opening a session with
// them. The client keeps its own copy of each text, as the real one does, so the caller may
// wipe its password as soon as the call returns.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "mgmt/MiTables.h"

namespace sim {

class World;

struct SimCredentials {
    std::wstring optionName;
    std::wstring authenticationType;
    std::wstring domain;
    std::wstring user;
    std::wstring password;
};

struct SimDestinationOptions {
    std::uint64_t application = 0;
    std::vector<SimCredentials> credentials;
};

// The client's NewDestinationOptions for an open application of the world.
MI_Result OpenDestinationOptions(World& world, std::uint64_t application,
                                 MI_DestinationOptions* options);

// The options behind a handle made here; null, with the misuse reported, for a deleted or
// foreign handle.
const SimDestinationOptions* CheckedDestinationOptions(World& world,
                                                       const MI_DestinationOptions* options,
                                                       const wchar_t* call);

extern const MI_DestinationOptionsFT simDestinationOptionsTable;

}
