#include "ui/CredentialPrompt.h"

#include <objbase.h>

#include "base/Platform.h"
#include "ui/CredentialsDlg.h"

namespace {

constexpr wchar_t promptCaption[] = L"Connect As";

// The packed answer of the prompt: wiped and freed on every path.
class PackedAnswer {
public:
    PackedAnswer() = default;
    ~PackedAnswer()
    {
        if (buffer) {
            SecureZeroMemory(buffer, size);
            CoTaskMemFree(buffer);
        }
    }
    PackedAnswer(const PackedAnswer&) = delete;
    PackedAnswer& operator=(const PackedAnswer&) = delete;

    void* buffer = nullptr;
    ULONG size = 0;
};

}

std::wstring CredentialPromptMessage(const std::wstring& hostName)
{
    return L"Enter credentials to connect to " + hostName + L".";
}

PromptAnswer PromptForWindowsCredentials(HWND owner, const std::wstring& message, DWORD authError,
                                         HostCredentials& credentials, bool& remember)
{
    CREDUI_INFOW info{};
    info.cbSize = sizeof(info);
    info.hwndParent = owner;
    info.pszMessageText = message.c_str();
    info.pszCaptionText = promptCaption;
    ULONG package = 0;
    BOOL save = FALSE;
    PackedAnswer answer;
    const Platform& platform = CurrentPlatform();
    const DWORD shown = platform.promptForCredentials(&info, authError, &package, nullptr, 0,
                                                      &answer.buffer, &answer.size, &save,
                                                      CREDUIWIN_GENERIC | CREDUIWIN_CHECKBOX);
    if (shown == ERROR_CANCELLED)
        return PromptAnswer::Cancelled;
    if (shown != NO_ERROR || !answer.buffer)
        return PromptAnswer::Unavailable;
    wchar_t user[CREDUI_MAX_USERNAME_LENGTH + 1] = {};
    wchar_t domain[CREDUI_MAX_DOMAIN_TARGET_LENGTH + 1] = {};
    DWORD userSize = ARRAYSIZE(user);
    DWORD domainSize = ARRAYSIZE(domain);
    DWORD passwordSize = static_cast<DWORD>(SecretText::capacity);
    if (!platform.unpackCredentials(0, answer.buffer, answer.size, user, &userSize, domain,
                                    &domainSize, credentials.password.Buffer(), &passwordSize))
        return PromptAnswer::Unavailable;
    credentials.userName = domain[0] ? std::wstring(domain) + L"\\" + user : std::wstring(user);
    remember = save != FALSE;
    return PromptAnswer::Ok;
}

bool AskForCredentials(HWND owner, const std::wstring& hostName, const std::wstring& words,
                       HostCredentials& credentials, bool& remember)
{
    std::wstring message = CredentialPromptMessage(hostName);
    if (!words.empty())
        message += L"\r\n" + words;
    remember = false;
    const PromptAnswer answer = PromptForWindowsCredentials(
        owner, message, words.empty() ? 0 : ERROR_LOGON_FAILURE, credentials, remember);
    if (answer != PromptAnswer::Unavailable)
        return answer == PromptAnswer::Ok;
    CCredentialsDlg dialog(std::move(message), credentials, remember);
    return dialog.DoModal(owner) == IDOK;
}
