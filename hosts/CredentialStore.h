// Accounts remembered for hosts in Windows Credential Manager: one generic credential per host
// under the target name "Brackwin:HOSTNAME", holding the user name and, as its secret, the
// password.
#pragma once

#include <string>

#include "base/HostCredentials.h"

// The target name of the host's credential.
std::wstring CredentialTarget(const std::wstring& hostName);
// Stores (or replaces) the host's account; false when Credential Manager refuses.
[[nodiscard]] bool StoreHostCredentials(const std::wstring& hostName, const HostCredentials& credentials);
// Reads the host's account into credentials; false when none is stored.
[[nodiscard]] bool ReadHostCredentials(const std::wstring& hostName, HostCredentials& credentials);
// Whether an account is stored for the host.
bool HasHostCredentials(const std::wstring& hostName);
// Removes the host's account; false when none was removed.
bool ForgetHostCredentials(const std::wstring& hostName);
