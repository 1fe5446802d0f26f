// The question when the window is closed while an operation that can be stopped runs.
#pragma once

#include <string>
#include <string_view>

// "Stop waiting for Web Frontend to shut down and close Brackwin?" for a wait; the operation
// named in quotes otherwise.
inline std::wstring StopAndCloseQuestion(std::wstring_view activity)
{
    constexpr std::wstring_view waitingFor = L"Waiting for ";
    const std::wstring subject = activity.starts_with(waitingFor)
                                     ? std::wstring(activity.substr(waitingFor.size()))
                                     : L"\"" + std::wstring(activity) + L"\"";
    return L"Stop waiting for " + subject + L" and close Brackwin?";
}
