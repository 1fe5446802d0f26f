#include "mgmt/HostIdentity.h"

#include "mgmt/InstanceHelpers.h"
#include "mgmt/MiOwners.h"

HostIdentity ReadHostIdentity(MI_Session& session)
{
    HostIdentity identity;
    if (!session.ft)
        return identity;
    UniqueOperation operation;
    MI_Session_QueryInstances(&session, 0, nullptr, L"root/cimv2", L"WQL",
                              L"SELECT CSName, LastBootUpTime FROM Win32_OperatingSystem",
                              nullptr, operation.Put());
    bool moreResults = false;
    do {
        const MI_Instance* instance = nullptr;
        const MI_Result result = PullInstance(operation.Get(), instance, moreResults);
        if (result != MI_RESULT_OK && identity.failure == MI_RESULT_OK)
            identity.failure = result;
        if (result != MI_RESULT_OK || !instance)
            continue;
        identity.computerName.reset();
        ReadStringElement(instance, L"CSName", identity.computerName);
        // Over WinRM the boot time may come as CIM datetime text.
        if (const auto lastBoot = ReadTimestampElement(instance, L"LastBootUpTime")) {
            identity.valid = true;
            identity.lastBoot = *lastBoot;
        }
    } while (moreResults);
    operation.Close();
    return identity;
}

bool SameHost(const HostIdentity* first, const HostIdentity* second)
{
    if (!first || !second || !first->valid || !second->valid)
        return false;
    if (!first->computerName || !second->computerName ||
        *first->computerName != *second->computerName)
        return false;
    const MI_Timestamp& a = first->lastBoot;
    const MI_Timestamp& b = second->lastBoot;
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
           a.minute == b.minute && a.second == b.second && a.microseconds == b.microseconds &&
           a.utc == b.utc;
}
