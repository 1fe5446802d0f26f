// The Application's part in reading identities: sessions opened by the reading threads join
// the registry on the window's thread.
#include "app/Application.h"

#include "mgmt/ManagementSession.h"

ManagementSession* Application::AdoptSession(std::unique_ptr<ManagementSession> session)
{
    if (!session)
        return nullptr;
    if (ManagementSession* registered = FindSession(session->hostName.c_str()))
        return registered;
    return RegisterSession(std::move(session));
}
