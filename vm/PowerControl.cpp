#include "vm/PowerControl.h"

#include <string>

#include "app/Application.h"
#include "app/Platform.h"
#include "mgmt/InstanceHelpers.h"
#include "mgmt/ManagementText.h"
#include "mgmt/MiOwners.h"
#include "vm/HostReturnTexts.h"
#include "vm/JobWait.h"
#include "vm/MethodResults.h"
#include "vm/PowerState.h"

namespace {

constexpr wchar_t shutdownReason[] = L"Because I want to";
constexpr wchar_t shutdownTimeoutText[] =
    L"The virtual machine did not turn off within 5 minutes. Its guest may still be shutting "
    L"down, or it may have ignored the request. Use \"Refresh State\" to check its power state.";
constexpr DWORD pollInterval = 100;

void ShowPowerError(const VmEntry& entry, const wchar_t* text, const wchar_t* caption)
{
    if (entry.owner)
        entry.owner->ShowError(text, caption);
}

// Reads a power method's results: a management failure is worded by ResultText, a host refusal
// by `textOf`; 4096 is followed as a job only when `followJob`. True on success.
bool ReadPowerResults(VmEntry& entry, MI_Operation* operation, const wchar_t* caption,
                      const wchar_t* (*textOf)(std::uint32_t), bool followJob)
{
    bool succeeded = false;
    ForEachMethodResult(operation, [&](MI_Result result, const MI_Instance* output) {
        succeeded = false;
        if (result != MI_RESULT_OK) {
            ShowPowerError(entry, ResultText(result), caption);
            return;
        }
        std::uint32_t returnValue = 0;
        if (!output || !ReadReturnValue(output, returnValue))
            return;
        if (followJob && returnValue == returnJobStarted) {
            std::optional<std::wstring> errorText;
            const std::uint16_t code =
                WaitForJob(*entry.session, ReadJobReference(output), &errorText);
            succeeded = code == 0;
            if (!succeeded)
                ShowPowerError(entry,
                               errorText ? errorText->c_str() : JobFailureText(code).c_str(),
                               caption);
            return;
        }
        if (const wchar_t* text = textOf(returnValue)) {
            ShowPowerError(entry, text, caption);
            return;
        }
        succeeded = true;
    });
    return succeeded;
}

// Calls a power method and reads its results; the parameters are deleted, then the method's
// operation is closed.
bool InvokePowerMethod(VmEntry& entry, const MI_Instance* target, const wchar_t* method,
                       UniqueInstance& parameters, const wchar_t* caption,
                       const wchar_t* (*textOf)(std::uint32_t), bool followJob)
{
    UniqueOperation invocation;
    MI_Session_Invoke(&entry.session->miSession, 0, nullptr, virtualizationNamespace, nullptr,
                      method, target, parameters.Get(), nullptr, invocation.Put());
    const bool succeeded = ReadPowerResults(entry, invocation.Get(), caption, textOf, followJob);
    parameters.Reset();
    invocation.Close();
    return succeeded;
}

// The guest's shutdown component of a running machine, read to the query's final result.
UniqueInstance FindShutdownComponent(VmEntry& entry, UniqueOperation& query)
{
    const std::wstring text =
        L"SELECT * FROM Msvm_ShutdownComponent WHERE SystemName='" + entry.Name + L"'";
    MI_Session_QueryInstances(&entry.session->miSession, 0, nullptr, virtualizationNamespace,
                              L"WQL", text.c_str(), nullptr, query.Put());
    UniqueInstance component;
    if (PullFinal(query.Get(), component) != MI_RESULT_OK)
        component.Reset();
    return component;
}

bool WaitUntilOff(VmEntry& entry)
{
    const Platform& platform = CurrentPlatform();
    const DWORD start = platform.tickCount();
    for (;;) {
        if (!entry.ReadPowerState())
            return false;
        // The unsigned difference stays right when the tick counter wraps.
        const bool timeLeft = static_cast<DWORD>(platform.tickCount() - start) < shutdownWaitLimit;
        if (timeLeft)
            platform.sleep(pollInterval);
        if (entry.EnabledState == stateOff)
            return true;
        if (!timeLeft) {
            ShowPowerError(entry, shutdownTimeoutText, shutdownCaption);
            return false;
        }
    }
}

}

bool ChangePowerState(VmEntry& entry, std::uint16_t intended)
{
    if (!entry.RefreshState())
        return false;
    const std::uint16_t requested = entry.EnabledState == stateRunning ? stateOff : stateRunning;
    if (requested != intended)
        return false;
    MI_Instance* made = nullptr;
    if (MakeInstance(entry.miApplication, L"__parameters", made) != MI_RESULT_OK)
        return false;
    UniqueInstance parameters(made);
    MI_Value value{};
    value.uint16 = requested;
    MI_Instance_AddElement(parameters.Get(), L"RequestedState", &value, MI_UINT16, 0);

    return InvokePowerMethod(entry, entry.computerSystemInstance.Get(), L"RequestStateChange",
                             parameters, changeStateCaption, StateChangeText, true);
}

bool GracefulShutdown(VmEntry& entry, bool wait)
{
    if (!entry.RefreshState())
        return false;
    if (entry.EnabledState == stateOff)
        return true;
    if (entry.EnabledState != stateRunning)
        return false;

    bool accepted = false;
    {
        UniqueOperation query;
        UniqueInstance component = FindShutdownComponent(entry, query);
        if (!component)
            return false;
        MI_Instance* made = nullptr;
        if (MakeInstance(entry.miApplication, L"__parameters", made) != MI_RESULT_OK)
            return false;
        UniqueInstance parameters(made);
        MI_Value force{};
        force.boolean = MI_TRUE;
        MI_Instance_AddElement(parameters.Get(), L"Force", &force, MI_BOOLEAN, 0);
        MI_Value reason{};
        reason.string = const_cast<MI_Char*>(shutdownReason);
        MI_Instance_AddElement(parameters.Get(), L"Reason", &reason, MI_STRING, 0);

        accepted = InvokePowerMethod(entry, component.Get(), L"InitiateShutdown", parameters,
                                     shutdownCaption, ShutdownText, false);
        query.Close();
    }
    if (!accepted || !wait)
        return accepted;
    return WaitUntilOff(entry);
}
