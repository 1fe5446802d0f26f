// One host reached through the management client: the session to it, whether it is the local
// computer (then served by the shared "WMIDCOM" session), namespace verification, instance
// lookup by key, and the host's virtual machine inventory.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "mgmt/MiClient.h"

class Application;
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
                      MI_Serializer* serializer, Application* owner);
    ~ManagementSession();
    ManagementSession(const ManagementSession&) = delete;
    ManagementSession& operator=(const ManagementSession&) = delete;

    // Opens the "WINRM" session to the host and recognises the local computer.
    [[nodiscard]] bool Connect();
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

    std::wstring hostName;
    bool isLocal = false;
    bool connected = false;
    int operationContext = contextUnspecified;
    int lastResult = 0;
    MI_Session miSession{};
    Application* owner = nullptr;
    std::vector<VmEntryPtr> vmEntries;
};
