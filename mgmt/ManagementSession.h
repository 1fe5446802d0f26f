// One host reached through the management client: the session to it, whether it is the local
// computer (then served by the shared "WMIDCOM" session), namespace verification, instance
// lookup by key with the class declarations it fetched, and the host's virtual machine
// inventory.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "mgmt/HostFailure.h"
#include "mgmt/MiClient.h"
#include "mgmt/MiOwners.h"

class ErrorReporter;
struct HostCredentials;
class VmEntry;

// The inventory's entries are destroyed by the virtual machine layer, which defines them.
struct VmEntryDelete {
    void operator()(VmEntry* entry) const noexcept;
};
using VmEntryPtr = std::unique_ptr<VmEntry, VmEntryDelete>;

// Indices of the operation under way, worded by ContextText.
enum OperationContext : int {
    contextUnspecified = 0,
    contextInitializing = 1,
    contextApplyingName = 2,
    contextConnecting = 3,
    contextDisconnecting = 4,
    contextVerifyingNamespace = 5,
    contextListingMachines = 6,
    contextReadingMachine = 7,
    contextReadingElement = 8,
    contextLoadingService = 9,
};

class ManagementSession {
public:
    ManagementSession(const wchar_t* hostName, MI_Application* application,
                      MI_Serializer* serializer, ErrorReporter* owner);
    ~ManagementSession();
    ManagementSession(const ManagementSession&) = delete;
    ManagementSession& operator=(const ManagementSession&) = delete;

    // Opens the "WINRM" session to the host, as the given account when there is one, and
    // recognises the local computer. A host that does not let the account in fails the
    // connection with access denied noted.
    [[nodiscard]] bool Connect(const HostCredentials* credentials = nullptr);
    // True when every component of the path exists ("/" and "\" separate components).
    [[nodiscard]] bool VerifyNamespace(const wchar_t* path);
    [[nodiscard]] bool VerifyVirtualizationNamespace();
    // Fetches one instance by its keys; on true the caller owns `instance`.
    [[nodiscard]] bool GetInstanceByKeys(const wchar_t* namespaceName, const wchar_t* className,
                                         const wchar_t* const* keyNames, const MI_Value* keyValues,
                                         const MI_Type* keyTypes, size_t keyCount,
                                         MI_Instance*& instance);

    // The process-wide handles shared by every session.
    static MI_Application* SharedApplication();
    static MI_Serializer* SharedSerializer();
    static unsigned LiveSessionCount();
    // The class declarations the session keeps.
    size_t CachedClassCount() const { return classes.size(); }
    // Records a failed call for the words of the box that tells the user of it.
    void NoteFailure(MI_Result result, std::wstring message = {});

    std::wstring hostName;
    // The host's own computer name (CSName) as it reported it at connection, if it did.
    std::optional<std::wstring> computerName;
    bool isLocal = false;
    bool connected = false;
    int operationContext = contextUnspecified;
    int lastResult = 0;
    // The last failure noted, for the user's box; each command starts with none.
    HostFailure failure;
    MI_Session miSession{};
    ErrorReporter* owner = nullptr;
    std::vector<VmEntryPtr> vmEntries;

private:
    // A class declaration fetched once: a class does not change while a session lives.
    struct CachedClass {
        std::wstring nameSpace;
        std::wstring className;
        UniqueClass declaration;
    };

    // The session's copy of the class, fetched from the host the first time; null when the
    // host cannot give it (then asked again next time).
    const MI_Class* ClassDeclaration(const wchar_t* namespaceName, const wchar_t* className);

    std::vector<CachedClass> classes;
};
