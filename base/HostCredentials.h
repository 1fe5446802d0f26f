// An account to connect to a host as: the user name as the user gave it and its password.
// It is held only while a session is opened with it.
#pragma once

#include <string>

#include "base/SecretText.h"

struct HostCredentials {
    // DOMAIN\user, user@domain or a plain user name.
    std::wstring userName;
    SecretText password;
};
