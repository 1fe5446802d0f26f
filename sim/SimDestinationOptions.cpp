#include "sim/SimDestinationOptions.h"

#include <cstring>
#include <memory>

#include "sim/Guard.h"
#include "sim/Text.h"
#include "sim/World.h"

namespace sim {
namespace {

// The world and options behind a handle; the world is null for a handle that is not ours.
SimDestinationOptions* Lookup(const MI_DestinationOptions* options, World*& world)
{
    world = options ? World::FromHandle(options->reserved1) : nullptr;
    return world ? world->Objects().FindDestinationOptions(static_cast<std::uint64_t>(options->reserved2))
                 : nullptr;
}

void DeleteOptions(MI_DestinationOptions* options)
{
    static_cast<void>(Guarded([&] {
        World* world = nullptr;
        if (!Lookup(options, world)) {
            ActiveWorld().ReportMisuse(L"MI_DestinationOptions_Delete on deleted or foreign options");
            return MI_RESULT_INVALID_PARAMETER;
        }
        world->Objects().DeleteDestinationOptions(static_cast<std::uint64_t>(options->reserved2));
        *options = {};
        return MI_RESULT_OK;
    }));
}

// User name and password credentials of a known authentication type; the client copies them.
MI_Result AddCredentials(MI_DestinationOptions* options, const MI_Char* optionName,
                         const MI_UserCredentials* credentials, MI_Uint32 flags)
{
    return Guarded([&] {
        World* world = nullptr;
        SimDestinationOptions* own = Lookup(options, world);
        if (!own) {
            ActiveWorld().ReportMisuse(L"MI_DestinationOptions_AddCredentials on deleted or foreign options");
            return MI_RESULT_INVALID_PARAMETER;
        }
        if (!optionName || !credentials || !credentials->authenticationType || flags != 0)
            return MI_RESULT_INVALID_PARAMETER;
        const std::wstring type = credentials->authenticationType;
        bool known = false;
        for (const MI_Char* name : {MI_AUTH_TYPE_DEFAULT, MI_AUTH_TYPE_DIGEST, MI_AUTH_TYPE_NEGO_WITH_CREDS,
                                    MI_AUTH_TYPE_BASIC, MI_AUTH_TYPE_KERBEROS, MI_AUTH_TYPE_NTLM,
                                    MI_AUTH_TYPE_CREDSSP})
            known = known || type == name;
        const MI_UsernamePasswordCreds& given = credentials->credentials.usernamePassword;
        if (!known || !given.username || !*given.username || !given.password)
            return MI_RESULT_INVALID_PARAMETER;
        own->credentials.push_back({optionName, type, given.domain ? given.domain : L"",
                                    given.username, given.password});
        return MI_RESULT_OK;
    });
}

}

// Only the slots the program calls are filled; the others (typed as opaque in our
// declarations) stay empty.
const MI_DestinationOptionsFT simDestinationOptionsTable = [] {
    MI_DestinationOptionsFT table{};
    table.Delete = DeleteOptions;
    table.AddCredentials = AddCredentials;
    return table;
}();

MI_Result OpenDestinationOptions(World& world, std::uint64_t application,
                                 MI_DestinationOptions* options)
{
    return Guarded([&] {
        if (!options)
            return MI_RESULT_INVALID_PARAMETER;
        std::memset(options, 0, sizeof(*options));
        auto made = std::make_unique<SimDestinationOptions>();
        made->application = application;
        options->reserved1 = reinterpret_cast<std::uint64_t>(&world);
        options->reserved2 = static_cast<std::ptrdiff_t>(world.Objects().AddDestinationOptions(std::move(made)));
        options->ft = &simDestinationOptionsTable;
        return MI_RESULT_OK;
    });
}

const SimDestinationOptions* CheckedDestinationOptions(World& world,
                                                       const MI_DestinationOptions* options,
                                                       const wchar_t* call)
{
    World* owner = nullptr;
    const SimDestinationOptions* own = Lookup(options, owner);
    if (!own || owner != &world) {
        world.ReportMisuse(std::wstring(call) + L" with deleted or foreign destination options");
        return nullptr;
    }
    return own;
}

}
