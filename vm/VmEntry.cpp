#include "vm/VmEntry.h"

#include <optional>
#include <string_view>

#include "mgmt/InstanceHelpers.h"
#include "vm/PowerState.h"

namespace {

// A text setting as read: empty when absent, null or not a string. A value longer than the
// record's limit (set by another tool) is kept whole: the form shows it as invalid and Apply
// refuses it until it fits, so nothing is cut and nothing is written unasked.
std::wstring ReadSetting(const MI_Instance* instance, const wchar_t* name)
{
    std::optional<std::wstring> text;
    ReadStringElement(instance, name, text);
    return text ? std::move(*text) : std::wstring();
}

bool IsHexDigit(wchar_t c)
{
    return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F') || (c >= L'a' && c <= L'f');
}

// A virtual machine's Name is its GUID (8-4-4-4-12 hexadecimal digits); the host's own
// computer system is named after the computer.
bool IsMachineIdentifier(std::wstring_view name)
{
    if (name.size() != 36)
        return false;
    for (size_t i = 0; i < name.size(); ++i) {
        const bool hyphen = i == 8 || i == 13 || i == 18 || i == 23;
        if (hyphen ? name[i] != L'-' : !IsHexDigit(name[i]))
            return false;
    }
    return true;
}

// Every computer system but the host's own, which is named after the computer: unlike its
// Caption, that does not depend on the host's language. A name that would need quoting is not
// put into the query; the host's instance is then left out by its Name's shape alone.
std::wstring ListingQuery(const ManagementSession& session)
{
    std::wstring query = L"SELECT Name, ElementName FROM Msvm_ComputerSystem";
    const std::optional<std::wstring>& host = session.computerName;
    if (host && !host->empty() && host->find_first_of(L"'\\") == std::wstring::npos)
        query += L" WHERE Name <> '" + *host + L"'";
    return query;
}

}

void VmEntryDelete::operator()(VmEntry* entry) const noexcept
{
    delete entry;
}

VmEntry::VmEntry(Application* owner, MI_Application* miApplication, std::wstring name,
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
    computerSystemInstance.Reset(found);
    EnabledState = ReadUint16Element(found, L"EnabledState").value_or(stateUnknown);
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
    bool found = false;
    bool moreResults = false;
    do {
        const MI_Instance* instance = nullptr;
        if (PullInstance(operation.Get(), instance, moreResults) == MI_RESULT_OK && instance) {
            found = true;
            state = ReadUint16Element(instance, L"EnabledState");
        }
    } while (moreResults);
    if (!found)
        return false;
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
    ReadBooleanElement(found, L"BIOSNumLock", numLock);
    std::wstring baseBoard = ReadSetting(found, L"BaseBoardSerialNumber");
    std::wstring guid = ReadSetting(found, L"BIOSGUID");
    std::wstring biosSerial = ReadSetting(found, L"BIOSSerialNumber");
    std::wstring assetTag = ReadSetting(found, L"ChassisAssetTag");
    std::wstring chassisSerial = ReadSetting(found, L"ChassisSerialNumber");
    settingsInstance = std::move(instance);
    settings.StoreRead(numLock, std::move(baseBoard), std::move(guid), std::move(biosSerial),
                       std::move(assetTag), std::move(chassisSerial));
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
                              ListingQuery(session).c_str(), nullptr, operation.Put());
    session.operationContext = contextReadingMachine;
    bool moreResults = false;
    do {
        const MI_Instance* instance = nullptr;
        session.lastResult = PullInstance(operation.Get(), instance, moreResults);
        if (session.lastResult != MI_RESULT_OK)
            break;
        if (!instance)
            continue;
        std::optional<std::wstring> name;
        std::optional<std::wstring> elementName;
        ReadStringElement(instance, L"Name", name);
        ReadStringElement(instance, L"ElementName", elementName);
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
    session.lastResult = operation.Close();
    return session.lastResult == MI_RESULT_OK;
}
