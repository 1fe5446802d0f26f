#include "mgmt/ManagementSession.h"

#include <mutex>
#include <optional>

#include "base/HostCredentials.h"
#include "mgmt/HostIdentity.h"
#include "mgmt/InstanceHelpers.h"
#include "mgmt/MiOwners.h"

namespace {

// State shared by every session of the process: the client handles, and the local computer's
// session and identity, which live while any session does.
struct SharedState {
    unsigned liveSessionCount = 0;
    MI_Application* application = nullptr;
    MI_Serializer* serializer = nullptr;
    MI_Session localSession{};
    std::optional<HostIdentity> localIdentity;
    // Sessions to several hosts may connect side by side: the first to find no local identity
    // reads it, the others wait for it.
    std::mutex localLock;
};

SharedState shared;

bool IsSeparator(wchar_t c)
{
    return c == L'/' || c == L'\\';
}

// Splits a namespace path: a run of separators counts as one; a path that ends in two or more
// separators ends with an empty component, which no namespace has.
std::vector<std::wstring> SplitNamespace(const std::wstring& path)
{
    std::vector<std::wstring> components;
    size_t position = 0;
    while (position < path.size() && IsSeparator(path[position]))
        ++position;
    while (position < path.size()) {
        size_t end = position;
        while (end < path.size() && !IsSeparator(path[end]))
            ++end;
        components.push_back(path.substr(position, end - position));
        size_t next = end;
        while (next < path.size() && IsSeparator(path[next]))
            ++next;
        if (next == path.size() && next - end >= 2)
            components.emplace_back();
        position = next;
    }
    return components;
}

// Destination options that carry the account: DOMAIN\user is given to the client as its
// domain and user; other forms go as the user name alone. The client copies what it is given.
MI_Result CredentialOptions(const HostCredentials& credentials, UniqueDestinationOptions& options)
{
    MI_Result result = MI_Application_NewDestinationOptions(shared.application, options.Put());
    if (result != MI_RESULT_OK)
        return result;
    const size_t separator = credentials.userName.find(L'\\');
    const std::wstring domain =
        separator == std::wstring::npos ? std::wstring() : credentials.userName.substr(0, separator);
    const std::wstring user = separator == std::wstring::npos
                                  ? credentials.userName
                                  : credentials.userName.substr(separator + 1);
    MI_UserCredentials given{};
    given.authenticationType = MI_AUTH_TYPE_DEFAULT;
    given.credentials.usernamePassword.domain = domain.empty() ? nullptr : domain.c_str();
    given.credentials.usernamePassword.username = user.c_str();
    given.credentials.usernamePassword.password = credentials.password.Text();
    return MI_DestinationOptions_AddDestinationCredentials(options.Get(), &given);
}

}

ManagementSession::ManagementSession(const wchar_t* name, MI_Application* application,
                                     MI_Serializer* serializer, ErrorReporter* reporter)
{
    operationContext = contextInitializing;
    ++shared.liveSessionCount;
    if (!shared.application)
        shared.application = application;
    if (!shared.serializer)
        shared.serializer = serializer;
    operationContext = contextApplyingName;
    hostName = name ? name : L"";
    owner = reporter;
}

ManagementSession::~ManagementSession()
{
    vmEntries.clear();
    classes.clear();
    if (connected) {
        operationContext = contextDisconnecting;
        lastResult = 0;
        if (isLocal) {
            connected = false;
        } else {
            lastResult = MI_Session_Close(&miSession, nullptr, nullptr);
            if (lastResult == MI_RESULT_OK)
                connected = false;
        }
    }
    if (--shared.liveSessionCount == 0) {
        shared.localIdentity.reset();
        if (shared.localSession.ft)
            MI_Session_Close(&shared.localSession, nullptr, nullptr);
        shared.localSession = {};
        // With no session left nothing refers to the client handles; forgetting them keeps a
        // later Application (or a later test) from reaching a client that has been closed.
        shared.application = nullptr;
        shared.serializer = nullptr;
    }
}

bool ManagementSession::Connect(const HostCredentials* credentials)
{
    operationContext = contextConnecting;
    lastResult = 0;
    if (connected)
        return true;
    std::optional<HostIdentity> localIdentity;
    MI_Session localSession{};
    {
        const std::lock_guard<std::mutex> lock(shared.localLock);
        if (!shared.localIdentity) {
            lastResult = MI_Application_NewSession(shared.application, L"WMIDCOM", nullptr,
                                                   nullptr, nullptr, nullptr, &shared.localSession);
            if (lastResult == MI_RESULT_OK)
                shared.localIdentity = ReadHostIdentity(shared.localSession);
        }
        localIdentity = shared.localIdentity;
        localSession = shared.localSession;
    }
    UniqueSession remote;
    {
        // The options (and the client's copy of the password) go as soon as the session is open.
        UniqueDestinationOptions options;
        if (credentials) {
            lastResult = CredentialOptions(*credentials, options);
            if (lastResult != MI_RESULT_OK) {
                NoteFailure(static_cast<MI_Result>(lastResult));
                return false;
            }
        }
        lastResult = MI_Application_NewSession(shared.application, L"WINRM", hostName.c_str(),
                                               credentials ? options.Get() : nullptr, nullptr,
                                               nullptr, remote.Put());
    }
    if (lastResult != MI_RESULT_OK) {
        NoteFailure(static_cast<MI_Result>(lastResult));
        return false;
    }
    const HostIdentity identity = ReadHostIdentity(*remote.Get());
    // A host that refuses the account refuses every later call too: nothing more is sent.
    if (identity.failure == MI_RESULT_ACCESS_DENIED) {
        lastResult = identity.failure;
        NoteFailure(identity.failure);
        return false;
    }
    computerName = identity.computerName;
    if (localIdentity && SameHost(&*localIdentity, &identity)) {
        miSession = localSession;
        isLocal = true;
        remote.Close();
    } else {
        miSession = remote.Release();
        isLocal = false;
    }
    connected = true;
    return true;
}

bool ManagementSession::VerifyNamespace(const wchar_t* path)
{
    operationContext = contextVerifyingNamespace;
    const std::vector<std::wstring> components = SplitNamespace(path ? path : L"");
    bool answer = false;
    std::wstring parent = components.empty() ? L"" : components[0];
    for (size_t next = 1; next < components.size(); ++next) {
        const std::wstring query =
            L"SELECT Name FROM __NAMESPACE WHERE Name = '" + components[next] + L"'";
        UniqueOperation operation;
        MI_Session_QueryInstances(&miSession, 0, nullptr, parent.c_str(), L"WQL", query.c_str(),
                                  nullptr, operation.Put());
        UniqueInstance instance;
        lastResult = PullFinal(operation.Get(), instance);
        if (lastResult != MI_RESULT_OK || !instance) {
            operation.Close();
            break;
        }
        MI_Value value{};
        MI_Type type{};
        lastResult = MI_Instance_GetElement(instance.Get(), L"Name", &value, &type, nullptr, nullptr);
        if (next + 1 == components.size()) {
            answer = true;
            operation.Close();
            break;
        }
        lastResult = operation.Close();
        parent += L"/" + components[next];
    }
    lastResult = 0;
    return answer;
}

bool ManagementSession::VerifyVirtualizationNamespace()
{
    return VerifyNamespace(virtualizationNamespace);
}

bool ManagementSession::GetInstanceByKeys(const wchar_t* namespaceName, const wchar_t* className,
                                          const wchar_t* const* keyNames,
                                          const MI_Value* keyValues, const MI_Type* keyTypes,
                                          size_t keyCount, MI_Instance*& instance)
{
    // Released in reverse order of declaration: the key instance, then the GetInstance
    // operation. The class stays with the session.
    UniqueOperation instanceOperation;
    UniqueInstance keyInstance;

    const MI_Class* declared = ClassDeclaration(namespaceName, className);
    if (!declared)
        return false;
    const MI_Char* ownName = className;
    if (declared->classDecl && declared->classDecl->name)
        ownName = declared->classDecl->name;
    MI_Result result = MI_Application_NewInstanceFromClass(shared.application, ownName, declared,
                                                           keyInstance.Put());
    // A key that cannot be set would ask the host for another instance, or for none.
    for (size_t i = 0; i < keyCount && result == MI_RESULT_OK; ++i)
        result = MI_Instance_SetElement(keyInstance.Get(), keyNames[i], &keyValues[i],
                                        keyTypes[i], MI_FLAG_BORROW);
    if (result != MI_RESULT_OK) {
        NoteFailure(result);
        return false;
    }

    MI_Session_GetInstance(&miSession, 0, nullptr, namespaceName, keyInstance.Get(), nullptr,
                           instanceOperation.Put());
    UniqueInstance found;
    std::wstring message;
    result = PullFinal(instanceOperation.Get(), found, &message);
    if (result == MI_RESULT_OK && !found)
        result = MI_RESULT_NOT_FOUND;
    if (result != MI_RESULT_OK) {
        NoteFailure(result, std::move(message));
        return false;
    }
    instance = found.Release();
    return true;
}

void ManagementSession::NoteFailure(MI_Result result, std::wstring message)
{
    failure = {result, std::move(message)};
}

const MI_Class* ManagementSession::ClassDeclaration(const wchar_t* namespaceName,
                                                    const wchar_t* className)
{
    const std::wstring nameSpace = namespaceName ? namespaceName : L"";
    const std::wstring name = className ? className : L"";
    for (const CachedClass& cached : classes)
        if (cached.nameSpace == nameSpace && cached.className == name)
            return cached.declaration.Get();
    UniqueClass declaration;
    {
        UniqueOperation operation;
        MI_Session_GetClass(&miSession, 0, nullptr, namespaceName, className, nullptr,
                            operation.Put());
        std::wstring message;
        MI_Result result = PullFinalClass(operation.Get(), declaration, &message);
        if (result == MI_RESULT_OK && !declaration)
            result = MI_RESULT_INVALID_CLASS;
        if (result != MI_RESULT_OK) {
            NoteFailure(result, std::move(message));
            return nullptr;
        }
    }
    classes.push_back({nameSpace, name, std::move(declaration)});
    return classes.back().declaration.Get();
}

MI_Application* ManagementSession::SharedApplication()
{
    return shared.application;
}

MI_Serializer* ManagementSession::SharedSerializer()
{
    return shared.serializer;
}

unsigned ManagementSession::LiveSessionCount()
{
    return shared.liveSessionCount;
}
