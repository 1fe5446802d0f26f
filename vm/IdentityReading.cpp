#include "vm/IdentityReading.h"

#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <atomic>
#include <exception>
#include <optional>
#include <string_view>
#include <thread>
#include <unordered_map>

#include "mgmt/HostWait.h"
#include "mgmt/InstanceHelpers.h"
#include "mgmt/MiOwners.h"
#include "vm/InstanceQuery.h"
#include "vm/MachineQuery.h"

namespace {

std::wstring UpperAscii(std::wstring_view text)
{
    std::wstring upper(text);
    for (wchar_t& c : upper)
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
    return upper;
}

bool SameAsciiText(std::wstring_view first, std::wstring_view second)
{
    return UpperAscii(first) == UpperAscii(second);
}

MI_Result ReadText(const MI_Instance* instance, const wchar_t* name, std::wstring& value)
{
    std::optional<std::wstring> text;
    const MI_Result result = ReadStringElement(instance, name, text);
    value = text ? std::move(*text) : std::wstring();
    return result;
}

int GenerationOf(std::wstring_view subType)
{
    if (SameAsciiText(subType, L"Microsoft:Hyper-V:SubType:1"))
        return 1;
    if (SameAsciiText(subType, L"Microsoft:Hyper-V:SubType:2"))
        return 2;
    return 0;
}

// The six values of one live settings instance, into the machine it names. Settings whose
// InstanceID is not "Microsoft:" + their machine's GUID are a checkpoint's, whatever their type
// says, and settings of a machine that was not listed (made since) are left out.
MI_Result ReadSettings(const MI_Instance* instance,
                       const std::unordered_map<std::wstring, size_t>& byGuid,
                       std::vector<VmIdentity>& machines)
{
    std::wstring owner;
    std::wstring instanceId;
    MI_Result result = ReadText(instance, L"VirtualSystemIdentifier", owner);
    if (!ElementReadFailed(result))
        result = ReadText(instance, L"InstanceID", instanceId);
    if (ElementReadFailed(result))
        return result;
    const auto found = byGuid.find(UpperAscii(owner));
    if (found == byGuid.end() || !SameAsciiText(instanceId, L"Microsoft:" + owner))
        return MI_RESULT_OK;
    VmIdentity& machine = machines[found->second];
    std::wstring subType;
    bool numLock = false;
    struct Text {
        const wchar_t* property;
        std::wstring* value;
    };
    const Text texts[] = {{L"VirtualSystemSubType", &subType},
                          {L"BaseBoardSerialNumber", &machine.baseBoardSerialNumber},
                          {L"BIOSGUID", &machine.biosGuid},
                          {L"BIOSSerialNumber", &machine.biosSerialNumber},
                          {L"ChassisAssetTag", &machine.chassisAssetTag},
                          {L"ChassisSerialNumber", &machine.chassisSerialNumber}};
    for (const Text& text : texts) {
        result = ReadText(instance, text.property, *text.value);
        if (ElementReadFailed(result))
            return result;
    }
    result = ReadBooleanElement(instance, L"BIOSNumLock", numLock);
    if (ElementReadFailed(result))
        return result;
    machine.generation = GenerationOf(subType);
    machine.numLock = numLock;
    return MI_RESULT_OK;
}

void ReadHost(HostRead& read)
{
    ManagementSession* session = read.registered ? read.registered : read.opened.get();
    if (!session || hostwait::StopRequested())
        return;
    bool complete = false;
    // A session that cannot be made fails here; one to a host that does not answer fails at
    // its first query, with the client's words.
    if (!session->connected && !session->Connect())
        read.failure = {static_cast<MI_Result>(session->lastResult), {}};
    else
        complete = ReadIdentities(*session, read.machines, read.failure);
    // A read the user cut off is not a failure of the host's.
    if (!complete && hostwait::StopRequested())
        return;
    read.outcome = complete ? HostRead::Outcome::Read : HostRead::Outcome::Failed;
}

// COM for the management client on a thread of the read's own.
class ComScope {
public:
    ComScope() : result_(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ~ComScope()
    {
        if (SUCCEEDED(result_))
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT result_;
};

// Takes hosts one after another until none is left; nothing thrown leaves it.
void TakeHosts(std::vector<HostRead>& reads, std::atomic<size_t>& next) noexcept
{
    for (size_t index = next++; index < reads.size(); index = next++) {
        try {
            ReadHost(reads[index]);
        } catch (const std::exception&) {
            // Out of memory: this host stays unread, the others go on.
            reads[index].machines.clear();
            reads[index].outcome = HostRead::Outcome::NotRead;
        }
    }
}

}

bool ReadIdentities(ManagementSession& session, std::vector<VmIdentity>& machines,
                    HostFailure& failure)
{
    machines.clear();
    failure = {};
    std::unordered_map<std::wstring, size_t> byGuid;
    const bool listed = ForEachInstance(
        session, ComputerSystemQuery(session, L"Name, ElementName, EnabledState"), failure,
        [&](const MI_Instance* instance) {
            std::optional<std::wstring> name;
            std::optional<std::wstring> elementName;
            MI_Result result = ReadStringElement(instance, L"Name", name);
            if (!ElementReadFailed(result))
                result = ReadStringElement(instance, L"ElementName", elementName);
            MI_Result stateResult = MI_RESULT_OK;
            const std::optional<std::uint16_t> state =
                ReadUint16Element(instance, L"EnabledState", &stateResult);
            if (ElementReadFailed(result) || ElementReadFailed(stateResult))
                return ElementReadFailed(result) ? result : stateResult;
            if (!name || !IsMachineIdentifier(*name))
                return MI_RESULT_OK;
            VmIdentity machine;
            machine.host = session.hostName;
            machine.vmId = std::move(*name);
            machine.name = elementName && !elementName->empty() ? std::move(*elementName)
                                                                 : machine.vmId;
            machine.enabledState = state.value_or(0);
            byGuid.emplace(UpperAscii(machine.vmId), machines.size());
            machines.push_back(std::move(machine));
            return MI_RESULT_OK;
        });
    const bool complete = listed && ForEachInstance(session, liveSettingsQuery, failure,
                                                    [&](const MI_Instance* instance) {
                                                        return ReadSettings(instance, byGuid, machines);
                                                    });
    if (!complete)
        machines.clear();
    return complete;
}

void ReadHosts(std::vector<HostRead>& reads)
{
    std::atomic<size_t> next{0};
    std::vector<std::thread> helpers;
    // This thread reads too: one host needs no thread of its own.
    const size_t width = std::min<size_t>(hostsReadSideBySide, reads.size());
    const size_t helperCount = width > 0 ? width - 1 : 0;
    try {
        for (size_t i = 0; i < helperCount; ++i)
            helpers.emplace_back([&reads, &next] {
                const ComScope com;
                TakeHosts(reads, next);
            });
    } catch (const std::exception&) {
        // Fewer threads than asked for: those there are, this one included, read every host.
    }
    TakeHosts(reads, next);
    for (std::thread& helper : helpers)
        helper.join();
}
