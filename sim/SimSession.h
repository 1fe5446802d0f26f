// A simulated session: the protocol and destination it was opened with and the host behind
// it (none for a name that no host answers to).
#pragma once

#include <string>

#include "mgmt/MiTypes.h"

namespace sim {

class Host;

struct SimSession {
    std::wstring protocol;
    std::wstring destination;
    Host* host = nullptr;
};

// Opens a session of the active world for the client's NewSession.
MI_Result OpenSession(const MI_Char* protocol, const MI_Char* destination, MI_Session* session);

extern const MI_SessionFT simSessionTable;

}
