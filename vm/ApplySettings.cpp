#include "vm/ApplySettings.h"

#include "app/Application.h"
#include "mgmt/InstanceHelpers.h"
#include "mgmt/MiOwners.h"
#include "vm/HostReturnTexts.h"
#include "vm/JobWait.h"
#include "vm/MethodResults.h"

namespace {

void ShowSaveError(ManagementSession& session, const wchar_t* text)
{
    if (session.owner)
        session.owner->ShowError(text, saveSettingsCaption);
}

}

MI_Result SerializeSettings(const VmEntry& entry, std::wstring& text)
{
    const VmSettings& settings = entry.settings;
    MI_Instance* made = nullptr;
    MakeInstance(entry.miApplication, L"Msvm_VirtualSystemSettingData", made);
    UniqueInstance instance(made);
    // Borrowed values point into the record, which stays unchanged until the instance is gone.
    MI_Value numLock{};
    numLock.boolean = settings.BiosNumLock() ? MI_TRUE : MI_FALSE;
    const struct {
        const wchar_t* name;
        MI_Value value;
        MI_Type type;
    } elements[] = {
        {L"InstanceID", StringValue(settings.InstanceId()), MI_STRING},
        {L"BIOSNumLock", numLock, MI_BOOLEAN},
        {L"BaseBoardSerialNumber", StringValue(settings.BaseBoardSerialNumber()), MI_STRING},
        {L"BIOSGUID", StringValue(settings.BiosGuid()), MI_STRING},
        {L"BIOSSerialNumber", StringValue(settings.BiosSerialNumber()), MI_STRING},
        {L"ChassisAssetTag", StringValue(settings.ChassisAssetTag()), MI_STRING},
        {L"ChassisSerialNumber", StringValue(settings.ChassisSerialNumber()), MI_STRING},
    };
    for (const auto& element : elements)
        MI_Instance_AddElement(instance.Get(), element.name, &element.value, element.type,
                               MI_FLAG_BORROW);
    return SerializeToText(instance.Get(), text);
}

bool ApplySettings(ManagementSession& session, VmEntry& entry)
{
    session.operationContext = contextLoadingService;
    session.lastResult = 0;

    // Released in reverse order: the method's operation, the settings text, the parameters,
    // the service instance, then the query.
    UniqueOperation query;
    UniqueInstance service;
    UniqueInstance parameters;
    std::wstring settingsText;
    UniqueOperation invocation;

    MI_Session_QueryInstances(&session.miSession, MI_OPERATIONFLAGS_LOCALIZED_QUALIFIERS, nullptr,
                              virtualizationNamespace, L"WQL",
                              L"SELECT * FROM Msvm_VirtualSystemManagementService", nullptr,
                              query.Put());
    if (PullFinal(query.Get(), service) != MI_RESULT_OK || !service)
        return false;

    MI_Instance* made = nullptr;
    if (MakeInstance(ManagementSession::SharedApplication(), L"__parameters", made) != MI_RESULT_OK)
        return false;
    parameters.Reset(made);
    SerializeSettings(entry, settingsText);
    const MI_Value textValue = StringValue(settingsText);
    if (MI_Instance_AddElement(parameters.Get(), L"SystemSettings", &textValue, MI_STRING, 0) !=
        MI_RESULT_OK)
        return false;

    MI_Session_Invoke(&session.miSession, 0, nullptr, virtualizationNamespace, nullptr,
                      L"ModifySystemSettings", service.Get(), parameters.Get(), nullptr,
                      invocation.Put());
    bool succeeded = false;
    ForEachMethodResult(invocation.Get(), [&](MI_Result result, const MI_Instance* output) {
        succeeded = false;
        std::uint32_t returnValue = 0;
        if (result != MI_RESULT_OK || !output || !ReadReturnValue(output, returnValue))
            return;
        if (returnValue == returnJobStarted) {
            std::optional<std::wstring> errorText;
            const std::uint16_t code = WaitForJob(session, ReadJobReference(output), &errorText);
            succeeded = code == 0;
            if (!succeeded)
                ShowSaveError(session, errorText ? errorText->c_str() : JobFailureText(code).c_str());
            return;
        }
        if (const wchar_t* text = ModifySettingsText(returnValue)) {
            ShowSaveError(session, text);
            return;
        }
        succeeded = true;
    });
    return succeeded;
}
