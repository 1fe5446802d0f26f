#include "tests/support/FakeCredentials.h"

#include <objbase.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {

FakeCredentials* current = nullptr;

std::vector<BYTE> WideBytes(const std::wstring& text)
{
    const auto* first = reinterpret_cast<const BYTE*>(text.data());
    return std::vector<BYTE>(first, first + text.size() * sizeof(wchar_t));
}

DWORD FakePrompt(CREDUI_INFOW* info, DWORD authError, ULONG*, const void*, ULONG, void** outBuffer,
                 ULONG* outSize, BOOL* save, DWORD flags)
{
    FakeCredentials& fake = *FakeCredentials::Current();
    fake.prompts.push_back({info ? info->hwndParent : nullptr,
                            info && info->pszCaptionText ? info->pszCaptionText : L"",
                            info && info->pszMessageText ? info->pszMessageText : L"", authError,
                            flags});
    if (fake.answers.empty())
        return ERROR_CANCELLED;
    const ScriptedPrompt answer = fake.answers.front();
    fake.answers.pop_front();
    if (answer.result != NO_ERROR)
        return answer.result;
    // The packed form of this fake: the user name and the password, each terminated.
    const std::wstring packed = answer.user + L'\0' + answer.password + L'\0';
    *outSize = static_cast<ULONG>(packed.size() * sizeof(wchar_t));
    *outBuffer = CoTaskMemAlloc(*outSize);
    std::memcpy(*outBuffer, packed.data(), *outSize);
    *save = answer.save ? TRUE : FALSE;
    return NO_ERROR;
}

bool CopyOut(const wchar_t* text, wchar_t* buffer, DWORD* size)
{
    const DWORD needed = static_cast<DWORD>(std::wcslen(text) + 1);
    if (!buffer || *size < needed) {
        *size = needed;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return false;
    }
    std::memcpy(buffer, text, needed * sizeof(wchar_t));
    *size = needed;
    return true;
}

BOOL FakeUnpack(DWORD, void* buffer, DWORD size, wchar_t* user, DWORD* userSize, wchar_t* domain,
                DWORD* domainSize, wchar_t* password, DWORD* passwordSize)
{
    const auto* packed = static_cast<const wchar_t*>(buffer);
    const std::wstring whole(packed, size / sizeof(wchar_t));
    const size_t end = whole.find(L'\0');
    if (end == std::wstring::npos)
        return FALSE;
    return CopyOut(whole.c_str(), user, userSize) && CopyOut(L"", domain, domainSize) &&
           CopyOut(whole.c_str() + end + 1, password, passwordSize);
}

BOOL FakeWrite(CREDENTIALW* credential, DWORD)
{
    FakeCredentials& fake = *FakeCredentials::Current();
    StoredCredential stored;
    stored.type = credential->Type;
    stored.persist = credential->Persist;
    stored.user = credential->UserName ? credential->UserName : L"";
    stored.blob.assign(credential->CredentialBlob,
                       credential->CredentialBlob + credential->CredentialBlobSize);
    fake.store[credential->TargetName] = std::move(stored);
    fake.writes.push_back(credential->TargetName);
    return TRUE;
}

// One block, as the system hands it out: the structure, then its user name and its secret.
BOOL FakeRead(const wchar_t* target, DWORD type, DWORD, CREDENTIALW** credential)
{
    FakeCredentials& fake = *FakeCredentials::Current();
    const auto found = fake.store.find(target);
    if (found == fake.store.end() || found->second.type != type) {
        SetLastError(ERROR_NOT_FOUND);
        return FALSE;
    }
    const StoredCredential& stored = found->second;
    const size_t userBytes = (stored.user.size() + 1) * sizeof(wchar_t);
    auto* block = static_cast<BYTE*>(std::calloc(1, sizeof(CREDENTIALW) + userBytes + stored.blob.size()));
    auto* made = reinterpret_cast<CREDENTIALW*>(block);
    made->Type = stored.type;
    made->Persist = stored.persist;
    made->UserName = reinterpret_cast<wchar_t*>(block + sizeof(CREDENTIALW));
    std::memcpy(made->UserName, stored.user.c_str(), userBytes);
    made->CredentialBlob = block + sizeof(CREDENTIALW) + userBytes;
    made->CredentialBlobSize = static_cast<DWORD>(stored.blob.size());
    if (!stored.blob.empty())
        std::memcpy(made->CredentialBlob, stored.blob.data(), stored.blob.size());
    ++fake.liveReads;
    *credential = made;
    return TRUE;
}

BOOL FakeDelete(const wchar_t* target, DWORD type, DWORD)
{
    FakeCredentials& fake = *FakeCredentials::Current();
    const auto found = fake.store.find(target);
    if (found == fake.store.end() || found->second.type != type) {
        SetLastError(ERROR_NOT_FOUND);
        return FALSE;
    }
    fake.store.erase(found);
    fake.deletes.push_back(target);
    return TRUE;
}

void FakeFree(void* buffer)
{
    --FakeCredentials::Current()->liveReads;
    std::free(buffer);
}

}

FakeCredentials::FakeCredentials() : saved_(CurrentPlatform())
{
    current = this;
    Platform& platform = CurrentPlatform();
    platform.promptForCredentials = FakePrompt;
    platform.unpackCredentials = FakeUnpack;
    platform.credWrite = FakeWrite;
    platform.credRead = FakeRead;
    platform.credDelete = FakeDelete;
    platform.credFree = FakeFree;
}

FakeCredentials::~FakeCredentials()
{
    CurrentPlatform() = saved_;
    current = nullptr;
}

void FakeCredentials::Remember(const std::wstring& target, const std::wstring& user,
                               const std::wstring& password)
{
    store[target] = {CRED_TYPE_GENERIC, CRED_PERSIST_LOCAL_MACHINE, user, WideBytes(password)};
}

FakeCredentials* FakeCredentials::Current()
{
    return current;
}

bool BytesHold(const std::string& bytes, const std::wstring& text)
{
    const std::string wide(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    const std::string narrow(text.begin(), text.end());
    return bytes.find(wide) != std::string::npos || bytes.find(narrow) != std::string::npos;
}
