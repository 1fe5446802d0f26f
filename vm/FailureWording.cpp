#include "vm/FailureWording.h"

#include "mgmt/ManagementSession.h"
#include "mgmt/ManagementText.h"
#include "vm/VmEntry.h"

std::wstring WithDetails(const std::wstring& sentence, const HostFailure& failure)
{
    return sentence + L"\r\n\r\n" + FailureDetails(failure);
}

std::wstring ListingFailureText(const ManagementSession& session, size_t listed)
{
    if (listed == 0)
        return WithDetails(L"The virtual machines of " + session.hostName + L" could not be listed.",
                           session.failure);
    const std::wstring count = listed == 1 ? L"only 1 virtual machine"
                                           : L"only " + std::to_wstring(listed) + L" virtual machines";
    return WithDetails(L"The list of virtual machines of " + session.hostName +
                           L" is incomplete: " + count + L" could be read.",
                       session.failure);
}

std::wstring StoppedListingText(const ManagementSession& session, size_t listed)
{
    const std::wstring count = listed == 0   ? L"no virtual machine was"
                               : listed == 1 ? L"only 1 virtual machine was"
                                             : L"only " + std::to_wstring(listed) + L" virtual machines were";
    return L"Brackwin stopped waiting for " + session.hostName + L": " + count +
           L" listed. Use \"Refresh Virtual Machine List\" to list them all.";
}

std::wstring LoadFailureText(const VmEntry& entry, bool justSaved)
{
    const std::wstring what = justSaved ? L" were saved, but could not be read back from "
                                        : L" could not be read from ";
    return WithDetails(L"The settings of " + entry.ElementName + what + entry.session->hostName + L".",
                       entry.session->failure);
}

std::wstring StateReadFailureText(const VmEntry& entry, const wchar_t* consequence)
{
    return WithDetails(L"The power state of " + entry.ElementName + L" could not be read from " +
                           entry.session->hostName + consequence,
                       entry.session->failure);
}
