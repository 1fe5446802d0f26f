#include "vm/JobWait.h"

#include "base/Platform.h"
#include "base/Unique.h"
#include "mgmt/HostWait.h"
#include "mgmt/InstanceHelpers.h"
#include "mgmt/MiOwners.h"

namespace {

constexpr DWORD pollInterval = 100;

constexpr wchar_t notFollowedText[] =
    L"The host's job could not be followed to its end, so it is not known whether it "
    L"succeeded. Refresh the virtual machine to see its current state.";

enum JobState : std::uint16_t {
    jobNew = 2,
    jobStarting = 3,
    jobRunning = 4,
    jobSuspended = 5,
    jobShuttingDown = 6,
    jobCompleted = 7,
    jobCompletedWithWarnings = 32768,
};

// New, starting, running and shutting-down jobs have not ended yet: reporting their ErrorCode
// (still 0) would report success for work the host has not done.
bool InProgress(std::uint16_t state)
{
    return state == jobNew || state == jobStarting || state == jobRunning ||
           state == jobShuttingDown;
}

}

std::uint16_t WaitForJob(ManagementSession& session, const MI_Instance* job,
                         std::optional<std::wstring>* errorText)
{
    const Platform& platform = CurrentPlatform();
    int failedReads = 0;
    bool seenInProgress = false;
    // However long the job runs, the user may stop waiting for it; the job goes on.
    hostwait::SetStoppable(true);
    const ScopeGuard notStoppable([] {
        hostwait::SetStoppable(false);
        hostwait::ReportPercent(std::nullopt);
    });
    for (;;) {
        if (hostwait::StopRequested())
            return jobNotRead;
        UniqueOperation operation;
        MI_Session_GetInstance(&session.miSession, 0, nullptr, virtualizationNamespace, job,
                               nullptr, operation.Put());
        UniqueInstance read;
        const MI_Result result = PullFinal(operation.Get(), read);
        const MI_Instance* instance = read.Get();

        const std::optional<std::uint16_t> jobState =
            result == MI_RESULT_OK && instance ? ReadUint16Element(instance, L"JobState")
                                               : std::nullopt;
        if (!jobState) {
            // A job seen in progress that the host cannot show right now is read again, for a
            // bounded time; one never read (or no job at all) ends the wait at once.
            operation.Close();
            if (!seenInProgress || ++failedReads > waitReadRetries) {
                // Said here, not by the code: a job that ends in Exception (10) without an
                // ErrorCode gives the same code as a wait that gave up.
                if (errorText)
                    *errorText = notFollowedText;
                return jobNotRead;
            }
            platform.sleep(pollInterval);
            continue;
        }
        failedReads = 0;
        hostwait::ReportPercent(ReadUint16Element(instance, L"PercentComplete"));
        const std::uint16_t state = *jobState;
        if (InProgress(state)) {
            seenInProgress = true;
            platform.sleep(pollInterval);
            continue;
        }
        std::uint16_t code = ReadUint16Element(instance, L"ErrorCode").value_or(0);
        const bool succeeded = state == jobCompleted || state == jobCompletedWithWarnings;
        if (!succeeded && code == 0)
            code = state;
        if (code != 0 && errorText) {
            std::optional<std::wstring> description;
            ReadStringElement(instance, L"ErrorDescription", description);
            if (description && !description->empty())
                *errorText = std::move(description);
        }
        return code;
    }
}

std::wstring StoppedWaitingText(const std::wstring& hostName, const std::wstring& what)
{
    return L"Brackwin stopped waiting for " + hostName + L". The host carries on with its job: " +
           what;
}

std::wstring JobFailureText(std::uint16_t code)
{
    return L"The host reported that its job failed (error code " + std::to_wstring(code) +
           L") without describing the failure.";
}
