#include "hosts/CredentialStore.h"

#include <cwchar>

#include "base/Platform.h"

namespace {

// A credential read from Credential Manager: its secret is wiped before it is freed.
class ReadCredential {
public:
    ReadCredential() = default;
    ~ReadCredential()
    {
        if (!credential)
            return;
        if (credential->CredentialBlob)
            SecureZeroMemory(credential->CredentialBlob, credential->CredentialBlobSize);
        CurrentPlatform().credFree(credential);
    }
    ReadCredential(const ReadCredential&) = delete;
    ReadCredential& operator=(const ReadCredential&) = delete;

    CREDENTIALW* credential = nullptr;
};

}

std::wstring CredentialTarget(const std::wstring& hostName)
{
    // Host names are one host whatever their letter case: the target is upper case.
    std::wstring name = hostName;
    for (wchar_t& c : name)
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
    return L"Brackwin:" + name;
}

bool StoreHostCredentials(const std::wstring& hostName, const HostCredentials& credentials)
{
    std::wstring target = CredentialTarget(hostName);
    std::wstring user = credentials.userName;
    CREDENTIALW credential{};
    credential.Type = CRED_TYPE_GENERIC;
    credential.TargetName = target.data();
    credential.UserName = user.data();
    // The secret is the password's characters without the terminator; the store copies it.
    credential.CredentialBlobSize =
        static_cast<DWORD>(std::wcslen(credentials.password.Text()) * sizeof(wchar_t));
    credential.CredentialBlob =
        reinterpret_cast<BYTE*>(const_cast<wchar_t*>(credentials.password.Text()));
    credential.Persist = CRED_PERSIST_LOCAL_MACHINE;
    return CurrentPlatform().credWrite(&credential, 0) != FALSE;
}

bool ReadHostCredentials(const std::wstring& hostName, HostCredentials& credentials)
{
    ReadCredential read;
    if (!CurrentPlatform().credRead(CredentialTarget(hostName).c_str(), CRED_TYPE_GENERIC, 0,
                                    &read.credential) ||
        !read.credential || !read.credential->UserName)
        return false;
    const DWORD characters = read.credential->CredentialBlobSize / sizeof(wchar_t);
    if (characters >= SecretText::capacity)
        return false;
    wchar_t* password = credentials.password.Buffer();
    for (DWORD i = 0; i < characters; ++i)
        password[i] = reinterpret_cast<const wchar_t*>(read.credential->CredentialBlob)[i];
    password[characters] = L'\0';
    credentials.userName = read.credential->UserName;
    return true;
}

bool HasHostCredentials(const std::wstring& hostName)
{
    ReadCredential read;
    return CurrentPlatform().credRead(CredentialTarget(hostName).c_str(), CRED_TYPE_GENERIC, 0,
                                      &read.credential) != FALSE;
}

bool ForgetHostCredentials(const std::wstring& hostName)
{
    return CurrentPlatform().credDelete(CredentialTarget(hostName).c_str(), CRED_TYPE_GENERIC, 0) !=
           FALSE;
}
