// The Application's part in reading identities: sessions opened by the reading threads join
// the registry on the window's thread.
#include "app/Application.h"

#include "hosts/HostList.h"
#include "mgmt/ManagementSession.h"

ManagementSession* Application::AdoptSession(std::unique_ptr<ManagementSession> session)
{
    if (!session)
        return nullptr;
    for (const auto& registered : sessions) {
        if (CompareStringOrdinal(registered->hostName.c_str(), -1, session->hostName.c_str(), -1,
                                 TRUE) == CSTR_EQUAL)
            return registered.get();
    }
    sessions.push_back(std::move(session));
    if (hostList)
        hostList->Add(sessions.back()->hostName);
    return sessions.back().get();
}
