// A simulated session: the application and protocol it was opened with, its destination and
// the host behind it (none for a name that no host answers to).
#pragma once

#include <cstdint>
#include <string>

#include "mgmt/MiTypes.h"

namespace sim {

class Host;
class World;

struct SimSession {
    std::uint64_t application = 0;
    std::wstring protocol;
    std::wstring destination;
    Host* host = nullptr;
    // The credentials of the destination options it was opened with: the account as
    // DOMAIN\user (or the user alone), and its password, which nothing logs.
    bool withCredentials = false;
    std::wstring account;
    std::wstring password;
};

// Opens a session of the application's world for the client's NewSession.
MI_Result OpenSession(World& world, std::uint64_t application, const MI_Char* protocol,
                      const MI_Char* destination, const MI_DestinationOptions* options,
                      MI_Session* session);

extern const MI_SessionFT simSessionTable;

}
