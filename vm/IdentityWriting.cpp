#include "vm/IdentityWriting.h"

#include <memory>
#include <unordered_map>

#include "mgmt/HostWait.h"
#include "mgmt/InstanceHelpers.h"
#include "mgmt/ManagementText.h"
#include "mgmt/MiOwners.h"
#include "vm/ApplySettings.h"
#include "vm/InstanceQuery.h"
#include "vm/MachineQuery.h"
#include "vm/PowerState.h"
#include "vm/VmEntry.h"

namespace {

// What is read of a host once, before its first machine is written. Released in reverse
// order: the service instance, then its query.
struct HostContext {
    ManagementSession* session = nullptr;
    bool usable = false;
    std::wstring why; // when not usable
    UniqueOperation query;
    UniqueInstance service;
    std::unordered_map<std::wstring, std::uint16_t> states; // by the machine's Name
};

std::wstring Sentence(const std::wstring& clause, const HostFailure& failure)
{
    return failure.result == MI_RESULT_OK ? clause : clause + L" " + FailureOnOneLine(failure);
}

// Every machine's EnabledState in one query.
bool ReadStates(ManagementSession& session, std::unordered_map<std::wstring, std::uint16_t>& states,
                HostFailure& failure)
{
    return ForEachInstance(session, ComputerSystemQuery(session, L"Name, EnabledState"), failure,
                           [&states](const MI_Instance* instance) {
                               std::optional<std::wstring> name;
                               MI_Result result = ReadStringElement(instance, L"Name", name);
                               if (ElementReadFailed(result))
                                   return result;
                               const std::optional<std::uint16_t> state =
                                   ReadUint16Element(instance, L"EnabledState", &result);
                               if (name && state)
                                   states[*name] = *state;
                               return result;
                           });
}

void Prepare(HostContext& host)
{
    ManagementSession& session = *host.session;
    HostFailure failure;
    if (!FindManagementService(session, host.query, host.service, host.why, failure)) {
        host.why = Sentence(host.why, failure);
        return;
    }
    if (!ReadStates(session, host.states, failure)) {
        host.why = Sentence(L"the states of the virtual machines of " + session.hostName +
                                L" could not be read.",
                            failure);
        return;
    }
    host.usable = true;
}

HostContext& ContextFor(std::vector<std::unique_ptr<HostContext>>& hosts, ManagementSession* session)
{
    for (const std::unique_ptr<HostContext>& host : hosts)
        if (host->session == session)
            return *host;
    hosts.push_back(std::make_unique<HostContext>());
    hosts.back()->session = session;
    Prepare(*hosts.back());
    return *hosts.back();
}

bool PutOnTop(VmSettings& settings, const IdentityChange& change)
{
    if (change.numLock)
        settings.SetBiosNumLock(*change.numLock);
    return (!change.biosGuid || settings.SetBiosGuid(*change.biosGuid)) &&
           (!change.biosSerialNumber || settings.SetBiosSerialNumber(*change.biosSerialNumber)) &&
           (!change.baseBoardSerialNumber ||
            settings.SetBaseBoardSerialNumber(*change.baseBoardSerialNumber)) &&
           (!change.chassisSerialNumber || settings.SetChassisSerialNumber(*change.chassisSerialNumber)) &&
           (!change.chassisAssetTag || settings.SetChassisAssetTag(*change.chassisAssetTag));
}

// A value the machine holds that the host would refuse to be sent back, named; null when all fit.
const wchar_t* UnsendableValue(const VmSettings& settings)
{
    const struct {
        const wchar_t* name;
        const std::wstring& value;
    } texts[] = {
        {L"BIOS serial number", settings.BiosSerialNumber()},
        {L"baseboard serial number", settings.BaseBoardSerialNumber()},
        {L"chassis serial number", settings.ChassisSerialNumber()},
        {L"chassis asset tag", settings.ChassisAssetTag()},
    };
    for (const auto& text : texts)
        if (text.value.size() > VmSettings::textLimit)
            return text.name;
    const std::optional<std::wstring> guid = NormalizeGuid(settings.BiosGuid());
    return guid && *guid == settings.BiosGuid() ? nullptr : L"BIOS GUID";
}

void Write(IdentityWrite& write, HostContext& host, MI_Application* application)
{
    ManagementSession& session = *write.session;
    write.outcome = IdentityWrite::Outcome::NotSaved;
    if (!host.usable) {
        write.words = host.why;
        return;
    }
    const auto state = host.states.find(write.vmId);
    if (state == host.states.end()) {
        write.words = session.hostName + L" no longer has this virtual machine.";
        return;
    }
    if (state->second != stateOff && ChangesLockedValues(write.change)) {
        write.outcome = IdentityWrite::Outcome::Skipped;
        return;
    }
    VmEntry entry(nullptr, application, write.vmId, write.name, &session);
    session.failure = {};
    if (!entry.ReadSettings()) {
        write.words = Sentence(L"its settings could not be read.", session.failure);
        return;
    }
    if (!PutOnTop(entry.settings, write.change)) {
        write.words = L"a new value does not fit its setting.";
        return;
    }
    if (const wchar_t* value = UnsendableValue(entry.settings)) {
        write.words = std::wstring(L"the ") + value + L" it holds is one the host does not accept; "
                      L"give it a new one first.";
        return;
    }
    const SettingsWrite sent = WriteSettings(session, entry, host.service.Get());
    switch (sent.outcome) {
    case SettingsWrite::Outcome::Saved:
        break;
    case SettingsWrite::Outcome::Refused:
    case SettingsWrite::Outcome::JobFailed:
        write.outcome = sent.outcome == SettingsWrite::Outcome::Refused
                            ? IdentityWrite::Outcome::Refused
                            : IdentityWrite::Outcome::NotSaved;
        write.words = OnOneLine(sent.text);
        return;
    case SettingsWrite::Outcome::Stopped:
        write.words = L"Brackwin stopped waiting for the host's job.";
        return;
    case SettingsWrite::Outcome::NotPrepared:
        write.words = Sentence(L"the request could not be prepared.", sent.failure);
        return;
    case SettingsWrite::Outcome::Unanswered:
        write.words = Sentence(L"the answer of " + session.hostName + L" could not be read, "
                               L"and the host may have made the change. Refresh to see what it holds.",
                               sent.failure);
        return;
    }
    write.outcome = IdentityWrite::Outcome::Saved;
    write.sent = entry.settings;
    session.failure = {};
    if (entry.ReadSettings())
        write.held = entry.settings;
    else
        write.words = Sentence(L"the values could not be read back.", session.failure);
}

}

bool ChangesLockedValues(const IdentityChange& change)
{
    return change.biosGuid || change.biosSerialNumber || change.baseBoardSerialNumber ||
           change.chassisSerialNumber || change.chassisAssetTag;
}

void WriteIdentities(std::vector<IdentityWrite>& writes, MI_Application* application)
{
    const hostwait::StepwiseStop stepwise;
    std::vector<std::unique_ptr<HostContext>> hosts;
    for (size_t i = 0; i < writes.size(); ++i) {
        if (hostwait::StopBetweenSteps())
            return;
        IdentityWrite& write = writes[i];
        if (!write.session) {
            write.outcome = IdentityWrite::Outcome::NotSaved;
            write.words = L"Brackwin is not connected to " + write.host + L".";
            continue;
        }
        hostwait::Describe(L"Applying " + std::to_wstring(i + 1) + L" of " +
                               std::to_wstring(writes.size()) + L": " + write.name,
                           true);
        hostwait::ReportPercent(std::nullopt);
        Write(write, ContextFor(hosts, write.session), application);
    }
}
