// A query whose every delivered instance is read, the first failure kept.
#pragma once

#include <string>

#include "mgmt/HostFailure.h"
#include "mgmt/InstanceHelpers.h"
#include "mgmt/ManagementSession.h"
#include "mgmt/MiOwners.h"

// Runs the query and hands each delivered instance to `read`, which answers the result of
// reading its values. The first failure ends it, after the operation's last delivery.
template <typename Read>
bool ForEachInstance(ManagementSession& session, const std::wstring& query, HostFailure& failure,
                     Read read)
{
    UniqueOperation operation;
    MI_Session_QueryInstances(&session.miSession, 0, nullptr, virtualizationNamespace, L"WQL",
                              query.c_str(), nullptr, operation.Put());
    bool moreResults = false;
    do {
        const MI_Instance* instance = nullptr;
        std::wstring message;
        const MI_Result result = PullInstance(operation.Get(), instance, moreResults, &message);
        if (result != MI_RESULT_OK) {
            failure = {result, std::move(message)};
            return false;
        }
        if (!instance || failure.result != MI_RESULT_OK)
            continue;
        if (const MI_Result readResult = read(instance); ElementReadFailed(readResult))
            failure = {readResult, {}};
    } while (moreResults);
    // Every delivery has been read: a close that fails now loses nothing.
    operation.Close();
    return failure.result == MI_RESULT_OK;
}
