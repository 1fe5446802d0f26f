#include "vm/PowerControl.h"

#include <initializer_list>
#include <string>
#include <tuple>

#include "base/ErrorReporter.h"
#include "base/Platform.h"
#include "mgmt/HostWait.h"
#include "mgmt/InstanceHelpers.h"
#include "mgmt/ManagementText.h"
#include "mgmt/MiOwners.h"
#include "vm/FailureWording.h"
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
constexpr wchar_t nothingSent[] = L", so nothing was sent.";

void ShowPowerError(const VmEntry& entry, const std::wstring& text, const wchar_t* caption)
{
    if (entry.owner)
        entry.owner->ShowError(text.c_str(), caption);
}

std::wstring StateWords(std::uint16_t state)
{
    const wchar_t* name = StateName(state);
    return name && *name ? name : L"Unknown";
}

std::wstring NotPreparedText(const VmEntry& entry, MI_Result result)
{
    return WithDetails(L"The request for " + entry.ElementName +
                           L" could not be prepared, so nothing was sent.",
                       {result, {}});
}

// The parameters instance with its elements, each added with flags 0; the first failure.
MI_Result MakeParameters(const VmEntry& entry, UniqueInstance& parameters,
                         std::initializer_list<std::tuple<const wchar_t*, MI_Value, MI_Type>> elements)
{
    MI_Instance* made = nullptr;
    MI_Result result = MakeInstance(entry.miApplication, L"__parameters", made);
    parameters.Reset(made);
    for (const auto& [name, value, type] : elements) {
        if (result != MI_RESULT_OK)
            break;
        result = MI_Instance_AddElement(parameters.Get(), name, &value, type, 0);
    }
    return result;
}

// Reads a power method's results: a management failure is worded by ResultText, a host refusal
// by `textOf`; 4096 is followed as a job only when `followJob`. True on success.
bool ReadPowerResults(VmEntry& entry, MI_Operation* operation, const wchar_t* caption,
                      const wchar_t* (*textOf)(std::uint32_t), bool followJob)
{
    bool succeeded = false;
    ForEachMethodResult(operation, [&](const MethodDelivery& delivery) {
        succeeded = false;
        if (delivery.result != MI_RESULT_OK) {
            ShowPowerError(entry, ResultText(delivery.result), caption);
            return;
        }
        std::uint32_t returnValue = 0;
        const MI_Result read = ReadReturnValue(delivery.output, returnValue);
        if (read != MI_RESULT_OK) {
            ShowPowerError(entry,
                           WithDetails(L"The answer of " + entry.session->hostName +
                                           L" to the request for " + entry.ElementName +
                                           L" could not be read.",
                                       {read, {}}),
                           caption);
            return;
        }
        if (followJob && returnValue == returnJobStarted) {
            std::optional<std::wstring> errorText;
            const std::uint16_t code =
                WaitForJob(*entry.session, ReadJobReference(delivery.output), &errorText);
            succeeded = code == 0;
            if (succeeded)
                return;
            if (hostwait::StopRequested()) {
                if (entry.owner)
                    entry.owner->ShowNotice(
                        StoppedWaitingText(entry.session->hostName,
                                           entry.ElementName + L" may still change its state. "
                                                               L"The state shown is read again.")
                            .c_str(),
                        caption);
                return;
            }
            ShowPowerError(entry, errorText ? *errorText : JobFailureText(code), caption);
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

// The guest's shutdown component of a running machine, read to the query's final result; the
// user is told when there is none or it cannot be read.
UniqueInstance FindShutdownComponent(VmEntry& entry, UniqueOperation& query)
{
    const std::wstring text =
        L"SELECT * FROM Msvm_ShutdownComponent WHERE SystemName='" + entry.Name + L"'";
    MI_Session_QueryInstances(&entry.session->miSession, 0, nullptr, virtualizationNamespace,
                              L"WQL", text.c_str(), nullptr, query.Put());
    UniqueInstance component;
    std::wstring message;
    const MI_Result result = PullFinal(query.Get(), component, &message);
    if (result != MI_RESULT_OK) {
        component.Reset();
        ShowPowerError(entry,
                       WithDetails(L"The shutdown service of the guest of " + entry.ElementName +
                                       L" could not be read from " + entry.session->hostName +
                                       L", so it was not asked to shut down.",
                                   {result, std::move(message)}),
                       shutdownCaption);
    } else if (!component) {
        ShowPowerError(entry,
                       L"The guest of " + entry.ElementName +
                           L" offers no shutdown service, so it cannot be asked to shut down. "
                           L"Use \"Force Power Off\" to turn the virtual machine off.",
                       shutdownCaption);
    }
    return component;
}

// Polls the state until the machine is off. A read that fails is tried again, for a bounded
// time, before the wait ends with the user told why.
bool WaitUntilOff(VmEntry& entry)
{
    const Platform& platform = CurrentPlatform();
    const DWORD start = platform.tickCount();
    int failedReads = 0;
    hostwait::Describe(L"Waiting for " + entry.ElementName + L" to shut down", true);
    for (;;) {
        if (hostwait::StopRequested()) {
            if (entry.owner)
                entry.owner->ShowNotice((L"Brackwin stopped waiting for " + entry.ElementName +
                                         L" to shut down. Its guest carries on shutting down; "
                                         L"the state shown is read again.")
                                            .c_str(),
                                        shutdownCaption);
            return false;
        }
        const bool read = entry.ReadPowerState();
        if (!read && ++failedReads > waitReadRetries) {
            ShowPowerError(entry,
                           WithDetails(entry.ElementName + L" was asked to shut down, but its "
                                           L"state could not be read while waiting, so the wait "
                                           L"ended. Use \"Refresh State\" to check its power state.",
                                       entry.session->failure),
                           shutdownCaption);
            return false;
        }
        if (read)
            failedReads = 0;
        // The unsigned difference stays right when the tick counter wraps.
        const bool timeLeft = static_cast<DWORD>(platform.tickCount() - start) < shutdownWaitLimit;
        if (timeLeft)
            platform.sleep(pollInterval);
        if (read && entry.EnabledState == stateOff)
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
    entry.session->failure = {};
    if (!entry.RefreshState()) {
        ShowPowerError(entry, StateReadFailureText(entry, nothingSent), changeStateCaption);
        return false;
    }
    const std::uint16_t requested = entry.EnabledState == stateRunning ? stateOff : stateRunning;
    if (requested != intended) {
        // The machine changed since its state was shown: sending the request would do the
        // opposite of what the user asked.
        ShowPowerError(entry,
                       intended == stateRunning
                           ? entry.ElementName + L" is running already, so nothing was sent."
                           : entry.ElementName + L" is not running (its state is " +
                                 StateWords(entry.EnabledState) + L"), so nothing was sent.",
                       changeStateCaption);
        return false;
    }
    MI_Value value{};
    value.uint16 = requested;
    UniqueInstance parameters;
    const MI_Result prepared =
        MakeParameters(entry, parameters, {{L"RequestedState", value, MI_UINT16}});
    if (prepared != MI_RESULT_OK) {
        ShowPowerError(entry, NotPreparedText(entry, prepared), changeStateCaption);
        return false;
    }
    return InvokePowerMethod(entry, entry.computerSystemInstance.Get(), L"RequestStateChange",
                             parameters, changeStateCaption,
                             requested == stateRunning ? StartText : StateChangeText, true);
}

bool GracefulShutdown(VmEntry& entry, bool wait)
{
    entry.session->failure = {};
    if (!entry.RefreshState()) {
        ShowPowerError(entry, StateReadFailureText(entry, nothingSent), shutdownCaption);
        return false;
    }
    if (entry.EnabledState == stateOff)
        return true;
    if (entry.EnabledState != stateRunning) {
        ShowPowerError(entry,
                       entry.ElementName + L" is not running (its state is " +
                           StateWords(entry.EnabledState) + L"), so it cannot be shut down.",
                       shutdownCaption);
        return false;
    }

    bool accepted = false;
    {
        UniqueOperation query;
        UniqueInstance component = FindShutdownComponent(entry, query);
        if (!component)
            return false;
        MI_Value force{};
        force.boolean = MI_TRUE;
        MI_Value reason{};
        reason.string = const_cast<MI_Char*>(shutdownReason);
        UniqueInstance parameters;
        const MI_Result prepared = MakeParameters(
            entry, parameters, {{L"Force", force, MI_BOOLEAN}, {L"Reason", reason, MI_STRING}});
        if (prepared != MI_RESULT_OK) {
            ShowPowerError(entry, NotPreparedText(entry, prepared), shutdownCaption);
            return false;
        }
        accepted = InvokePowerMethod(entry, component.Get(), L"InitiateShutdown", parameters,
                                     shutdownCaption, ShutdownText, false);
        query.Close();
    }
    if (!accepted || !wait)
        return accepted;
    return WaitUntilOff(entry);
}
