#include "ui/HostListSaveText.h"

#include "mgmt/ManagementText.h"

namespace {

constexpr wchar_t notSavedText[] = L"The changes to the list of known hosts could not be saved.\r\n";

const wchar_t* ReasonText(SaveOutcome outcome)
{
    switch (outcome) {
    case SaveOutcome::FolderUnavailable:
        return L"The folder for the list could not be found or created.";
    case SaveOutcome::FileUnreadable:
        return L"The file could not be read completely, so it was left as it was:";
    case SaveOutcome::FileReadOnly:
        return L"The file is read-only, so it was left as it was:";
    default:
        return L"The file could not be written, so it was left as it was:";
    }
}

}

std::wstring HostListSaveFailureText(const SaveResult& result, const std::wstring& filePath)
{
    std::wstring text = notSavedText;
    text += ReasonText(result.outcome);
    if (result.outcome != SaveOutcome::FolderUnavailable && !filePath.empty())
        text += L"\r\n" + filePath;
    // The read-only state is the program's own finding, not a system call's failure.
    if (result.outcome != SaveOutcome::FileReadOnly && result.error != ERROR_SUCCESS)
        text += L"\r\nWindows error: " + SystemErrorText(result.error);
    return text;
}
