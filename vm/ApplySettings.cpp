#include "vm/ApplySettings.h"

#include "base/ErrorReporter.h"
#include "mgmt/HostWait.h"
#include "mgmt/InstanceHelpers.h"
#include "mgmt/MiOwners.h"
#include "vm/FailureWording.h"
#include "vm/HostReturnTexts.h"
#include "vm/JobWait.h"
#include "vm/MethodResults.h"

namespace {

void ShowSaveError(ManagementSession& session, const std::wstring& text)
{
    if (session.owner)
        session.owner->ShowError(text.c_str(), saveSettingsCaption);
}

std::wstring NotSaved(const VmEntry& entry, const std::wstring& why)
{
    return L"The settings of " + entry.ElementName + L" were not saved: " + why;
}

}

MI_Result SerializeSettings(const VmEntry& entry, std::wstring& text)
{
    text.clear();
    const VmSettings& settings = entry.settings;
    MI_Instance* made = nullptr;
    MI_Result result = MakeInstance(entry.miApplication, L"Msvm_VirtualSystemSettingData", made);
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
    // A setting left out would not be changed, yet the user would be told it was: the text is
    // made only from all seven.
    for (const auto& element : elements) {
        if (result != MI_RESULT_OK)
            return result;
        result = MI_Instance_AddElement(instance.Get(), element.name, &element.value,
                                        element.type, MI_FLAG_BORROW);
    }
    if (result != MI_RESULT_OK)
        return result;
    return SerializeToText(instance.Get(), text);
}

bool FindManagementService(ManagementSession& session, UniqueOperation& query,
                           UniqueInstance& service, std::wstring& why, HostFailure& failure)
{
    MI_Session_QueryInstances(&session.miSession, MI_OPERATIONFLAGS_LOCALIZED_QUALIFIERS, nullptr,
                              virtualizationNamespace, L"WQL",
                              L"SELECT * FROM Msvm_VirtualSystemManagementService", nullptr,
                              query.Put());
    std::wstring message;
    const MI_Result found = PullFinal(query.Get(), service, &message);
    if (found != MI_RESULT_OK) {
        why = L"the virtual machine management service of " + session.hostName +
              L" could not be reached.";
        failure = {found, std::move(message)};
        return false;
    }
    if (!service) {
        why = session.hostName + L" offers no virtual machine management service.";
        failure = {};
        return false;
    }
    return true;
}

SettingsWrite WriteSettings(ManagementSession& session, const VmEntry& entry,
                            const MI_Instance* service)
{
    // Released in reverse order: the method's operation, the settings text, the parameters.
    UniqueInstance parameters;
    std::wstring settingsText;
    UniqueOperation invocation;

    MI_Instance* made = nullptr;
    MI_Result prepared = MakeInstance(ManagementSession::SharedApplication(), L"__parameters", made);
    parameters.Reset(made);
    if (prepared == MI_RESULT_OK)
        prepared = SerializeSettings(entry, settingsText);
    const MI_Value textValue = StringValue(settingsText);
    if (prepared == MI_RESULT_OK)
        prepared = MI_Instance_AddElement(parameters.Get(), L"SystemSettings", &textValue,
                                          MI_STRING, 0);
    if (prepared != MI_RESULT_OK)
        return {SettingsWrite::Outcome::NotPrepared, {}, {prepared, {}}};

    MI_Session_Invoke(&session.miSession, 0, nullptr, virtualizationNamespace, nullptr,
                      L"ModifySystemSettings", service, parameters.Get(), nullptr,
                      invocation.Put());
    SettingsWrite write;
    ForEachMethodResult(invocation.Get(), [&](const MethodDelivery& delivery) {
        write = {};
        if (delivery.result != MI_RESULT_OK) {
            write = {SettingsWrite::Outcome::Unanswered, {}, {delivery.result, delivery.message}};
            return;
        }
        std::uint32_t returnValue = 0;
        const MI_Result read = ReadReturnValue(delivery.output, returnValue);
        if (read != MI_RESULT_OK) {
            write = {SettingsWrite::Outcome::Unanswered, {}, {read, {}}};
            return;
        }
        if (returnValue == returnJobStarted) {
            std::optional<std::wstring> errorText;
            const std::uint16_t code =
                WaitForJob(session, ReadJobReference(delivery.output), &errorText);
            if (code == 0)
                return;
            if (hostwait::StopRequested())
                write.outcome = SettingsWrite::Outcome::Stopped;
            else
                write = {SettingsWrite::Outcome::JobFailed,
                         errorText ? *errorText : JobFailureText(code), {}};
            return;
        }
        if (const wchar_t* text = ModifySettingsText(returnValue))
            write = {SettingsWrite::Outcome::Refused, text, {}};
    });
    return write;
}

bool ApplySettings(ManagementSession& session, VmEntry& entry)
{
    session.operationContext = contextLoadingService;
    session.lastResult = 0;

    // Released after the write's own objects: the service instance, then the query.
    UniqueOperation query;
    UniqueInstance service;
    std::wstring why;
    HostFailure failure;
    if (!FindManagementService(session, query, service, why, failure)) {
        const std::wstring text = NotSaved(entry, why);
        ShowSaveError(session, failure.result == MI_RESULT_OK ? text : WithDetails(text, failure));
        return false;
    }
    const SettingsWrite write = WriteSettings(session, entry, service.Get());
    switch (write.outcome) {
    case SettingsWrite::Outcome::Saved:
        return true;
    case SettingsWrite::Outcome::Refused:
    case SettingsWrite::Outcome::JobFailed:
        ShowSaveError(session, write.text);
        return false;
    case SettingsWrite::Outcome::Stopped:
        if (session.owner)
            session.owner->ShowNotice(
                StoppedWaitingText(session.hostName,
                                   L"the settings of " + entry.ElementName +
                                       L" may still change. Select the virtual machine again "
                                       L"to see the settings it holds.")
                    .c_str(),
                saveSettingsCaption);
        return false;
    case SettingsWrite::Outcome::NotPrepared:
        ShowSaveError(session, WithDetails(NotSaved(entry, L"the request could not be prepared."),
                                           write.failure));
        return false;
    case SettingsWrite::Outcome::Unanswered:
        // The host may have made the change before its answer was lost.
        ShowSaveError(session,
                      WithDetails(L"The settings of " + entry.ElementName +
                                      L" may not have been saved: the answer of " +
                                      session.hostName + L" could not be read. Select the "
                                      L"virtual machine again to see the settings it holds.",
                                  write.failure));
        return false;
    }
    return false;
}
