#include "vm/VmEntry.h"

#include <optional>
#include <string_view>

#include "mgmt/InstanceHelpers.h"
#include "vm/MachineQuery.h"
#include "vm/PowerState.h"

namespace {

// A text setting as read: empty when absent, null or not a string. A value longer than the
// record's limit (set by another tool) is kept whole: the form shows it as invalid and Apply
// refuses it until it fits, so nothing is cut and nothing is written unasked. A read that
// fails gives its result: an empty stand-in would be written back by the next Apply.
MI_Result ReadSetting(const MI_Instance* instance, const wchar_t* name, std::wstring& value)
{
    std::optional<std::wstring> text;
    const MI_Result result = ReadStringElement(instance, name, text);
    value = text ? std::move(*text) : std::wstring();
    return ElementReadFailed(result) ? result : MI_RESULT_OK;
}

}

void VmEntryDelete::operator()(VmEntry* entry) const noexcept
{
    delete entry;
}

VmEntry::VmEntry(ErrorReporter* owner, MI_Application* miApplication, std::wstring name,
                 std::wstring elementName, ManagementSession* session)
    : owner(owner),
      miApplication(miApplication),
      session(session),
      ElementName(std::move(elementName)),
      Name(std::move(name)),
      settings(L"Microsoft:" + Name)
{
}

bool VmEntry::RefreshState()
{
    const wchar_t* const keyNames[] = {L"Name", L"CreationClassName"};
    const std::wstring className = L"Msvm_ComputerSystem";
    const MI_Value keyValues[] = {StringValue(Name), StringValue(className)};
    const MI_Type keyTypes[] = {MI_STRING, MI_STRING};
    MI_Instance* found = nullptr;
    if (!session->GetInstanceByKeys(virtualizationNamespace, className.c_str(), keyNames,
                                    keyValues, keyTypes, 2, found))
        return false;
    UniqueInstance instance(found);
    MI_Result result = MI_RESULT_OK;
    const std::optional<std::uint16_t> state = ReadUint16Element(found, L"EnabledState", &result);
    if (ElementReadFailed(result)) {
        session->NoteFailure(result);
        return false;
    }
    computerSystemInstance = std::move(instance);
    EnabledState = state.value_or(stateUnknown);
    return true;
}

bool VmEntry::ReadPowerState()
{
    // Name was checked to be a GUID when the machine was listed: it needs no quoting.
    const std::wstring query =
        L"SELECT EnabledState FROM Msvm_ComputerSystem WHERE Name = '" + Name + L"'";
    UniqueOperation operation;
    MI_Session_QueryInstances(&session->miSession, 0, nullptr, virtualizationNamespace, L"WQL",
                              query.c_str(), nullptr, operation.Put());
    std::optional<std::uint16_t> state;
    // The first failure, of the operation or of the read of the state: a final delivery that
    // reports success after a failed read does not make it "not found".
    HostFailure failure;
    bool found = false;
    bool moreResults = false;
    do {
        const MI_Instance* instance = nullptr;
        std::wstring message;
        const MI_Result result = PullInstance(operation.Get(), instance, moreResults, &message);
        if (result != MI_RESULT_OK) {
            if (failure.result == MI_RESULT_OK)
                failure = {result, std::move(message)};
            continue;
        }
        if (!instance)
            continue;
        MI_Result read = MI_RESULT_OK;
        state = ReadUint16Element(instance, L"EnabledState", &read);
        if (!ElementReadFailed(read))
            found = true;
        else if (failure.result == MI_RESULT_OK)
            failure = {read, {}};
    } while (moreResults);
    if (!found) {
        session->NoteFailure(failure.result == MI_RESULT_OK ? MI_RESULT_NOT_FOUND : failure.result,
                             std::move(failure.message));
        return false;
    }
    EnabledState = state.value_or(stateUnknown);
    return true;
}

bool VmEntry::ReadSettings()
{
    const wchar_t* const keyNames[] = {L"InstanceID"};
    const MI_Value keyValues[] = {StringValue(settings.InstanceId())};
    const MI_Type keyTypes[] = {MI_STRING};
    MI_Instance* found = nullptr;
    if (!session->GetInstanceByKeys(virtualizationNamespace, L"Msvm_VirtualSystemSettingData",
                                    keyNames, keyValues, keyTypes, 1, found))
        return false;
    UniqueInstance instance(found);
    bool numLock = false;
    std::wstring baseBoard;
    std::wstring guid;
    std::wstring biosSerial;
    std::wstring assetTag;
    std::wstring chassisSerial;
    MI_Result result = ReadBooleanElement(found, L"BIOSNumLock", numLock);
    if (!ElementReadFailed(result))
        result = ReadSetting(found, L"BaseBoardSerialNumber", baseBoard);
    if (result == MI_RESULT_OK)
        result = ReadSetting(found, L"BIOSGUID", guid);
    if (result == MI_RESULT_OK)
        result = ReadSetting(found, L"BIOSSerialNumber", biosSerial);
    if (result == MI_RESULT_OK)
        result = ReadSetting(found, L"ChassisAssetTag", assetTag);
    if (result == MI_RESULT_OK)
        result = ReadSetting(found, L"ChassisSerialNumber", chassisSerial);
    if (ElementReadFailed(result)) {
        session->NoteFailure(result);
        return false;
    }
    // The generation decides only whether Num Lock may be changed: a subtype that cannot be
    // read is unknown, and the machine is treated as before generations were told apart.
    std::wstring subType;
    ReadSetting(found, L"VirtualSystemSubType", subType);
    settingsInstance = std::move(instance);
    settings.StoreRead(numLock, std::move(baseBoard), std::move(guid), std::move(biosSerial),
                       std::move(assetTag), std::move(chassisSerial), std::move(subType));
    return true;
}

bool VmEntry::LoadSettings()
{
    return RefreshState() && ReadSettings();
}

bool ListVirtualMachines(ManagementSession& session)
{
    session.vmEntries.clear();
    UniqueOperation operation;
    MI_Session_QueryInstances(&session.miSession, 0, nullptr, virtualizationNamespace, L"WQL",
                              ComputerSystemQuery(session, L"Name, ElementName").c_str(), nullptr, operation.Put());
    session.operationContext = contextReadingMachine;
    bool complete = true;
    bool moreResults = false;
    do {
        const MI_Instance* instance = nullptr;
        std::wstring message;
        session.lastResult = PullInstance(operation.Get(), instance, moreResults, &message);
        if (session.lastResult != MI_RESULT_OK) {
            session.NoteFailure(static_cast<MI_Result>(session.lastResult), std::move(message));
            complete = false;
            break;
        }
        if (!instance)
            continue;
        std::optional<std::wstring> name;
        std::optional<std::wstring> elementName;
        MI_Result read = ReadStringElement(instance, L"Name", name);
        if (!ElementReadFailed(read))
            read = ReadStringElement(instance, L"ElementName", elementName);
        // A machine whose identity cannot be read is missing from the list: the list is
        // incomplete, and the user is told so.
        if (ElementReadFailed(read)) {
            session.NoteFailure(read);
            complete = false;
            continue;
        }
        // Only virtual machines are listed; one without a usable identifier could not be
        // addressed either.
        if (!name || !IsMachineIdentifier(*name))
            continue;
        // The display name is only shown: without one the identifier stands in, a long one
        // is cut to what the entry holds.
        std::wstring display = elementName && !elementName->empty() ? *elementName : *name;
        if (display.size() > VmEntry::elementNameLimit) {
            const bool splitsPair = IS_HIGH_SURROGATE(display[VmEntry::elementNameLimit - 1]);
            display.resize(VmEntry::elementNameLimit - (splitsPair ? 1 : 0));
        }
        session.vmEntries.emplace_back(new VmEntry(session.owner,
                                                   ManagementSession::SharedApplication(),
                                                   std::move(*name), std::move(display), &session));
    } while (moreResults);
    // Every delivery has been read: a close that fails now loses nothing.
    session.lastResult = operation.Close();
    return complete;
}
