#include "mgmt/HostIdentity.h"

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
    MI_Boolean moreResults = MI_FALSE;
    do {
        const MI_Instance* instance = nullptr;
        moreResults = MI_FALSE;
        // A failed delivery ends the read: a client could otherwise keep reporting more.
        if (MI_Operation_GetInstance(operation.Get(), &instance, &moreResults, nullptr, nullptr,
                                     nullptr) != MI_RESULT_OK)
            break;
        if (!instance)
            continue;
        MI_Value value{};
        MI_Type type{};
        identity.computerName.reset();
        if (MI_Instance_GetElement(instance, L"CSName", &value, &type, nullptr, nullptr) ==
                MI_RESULT_OK &&
            type == MI_STRING && value.string)
            identity.computerName = value.string;
        if (MI_Instance_GetElement(instance, L"LastBootUpTime", &value, &type, nullptr, nullptr) ==
                MI_RESULT_OK &&
            type == MI_DATETIME && value.datetime.isTimestamp) {
            identity.valid = true;
            identity.lastBoot = value.datetime.u.timestamp;
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
