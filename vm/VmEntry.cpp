#include "vm/VmEntry.h"

#include <optional>

#include "mgmt/InstanceHelpers.h"
#include "vm/PowerState.h"

namespace {

// A text setting as read: empty when absent, null or not a string; nothing when it is longer
// than the record may hold, so that a value is never cut and written back cut.
std::optional<std::wstring> ReadSetting(const MI_Instance* instance, const wchar_t* name,
                                        size_t limit)
{
    std::optional<std::wstring> text;
    ReadStringElement(instance, name, text);
    if (!text)
        return std::wstring();
    if (text->size() > limit)
        return std::nullopt;
    return text;
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
    MI_Value value{};
    MI_Type type{};
    if (ReadElement(found, L"EnabledState", type, value) == MI_RESULT_OK && type == MI_UINT16)
        EnabledState = value.uint16;
    else
        EnabledState = stateUnknown;
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
    auto baseBoard = ReadSetting(found, L"BaseBoardSerialNumber", VmSettings::textLimit);
    auto guid = ReadSetting(found, L"BIOSGUID", VmSettings::guidLength);
    auto biosSerial = ReadSetting(found, L"BIOSSerialNumber", VmSettings::textLimit);
    auto assetTag = ReadSetting(found, L"ChassisAssetTag", VmSettings::textLimit);
    auto chassisSerial = ReadSetting(found, L"ChassisSerialNumber", VmSettings::textLimit);
    if (!baseBoard || !guid || !biosSerial || !assetTag || !chassisSerial)
        return false;
    settingsInstance = std::move(instance);
    settings.StoreRead(numLock, std::move(*baseBoard), std::move(*guid), std::move(*biosSerial),
                       std::move(*assetTag), std::move(*chassisSerial));
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
    MI_Session_QueryInstances(
        &session.miSession, 0, nullptr, virtualizationNamespace, L"WQL",
        L"SELECT Name, ElementName FROM Msvm_ComputerSystem WHERE Caption = 'Virtual Machine'",
        nullptr, operation.Put());
    session.operationContext = contextReadingMachine;
    MI_Boolean moreResults = MI_FALSE;
    do {
        const MI_Instance* instance = nullptr;
        moreResults = MI_FALSE;
        session.lastResult = MI_Operation_GetInstance(operation.Get(), &instance, &moreResults,
                                                      nullptr, nullptr, nullptr);
        if (session.lastResult != MI_RESULT_OK || !instance)
            break;
        std::optional<std::wstring> name;
        std::optional<std::wstring> elementName;
        ReadStringElement(instance, L"Name", name);
        ReadStringElement(instance, L"ElementName", elementName);
        // A machine without a usable identifier cannot be addressed: it is left out rather
        // than listed under a cut or empty identifier that names no machine.
        if (!name || name->empty() || name->size() > VmEntry::nameLimit)
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
