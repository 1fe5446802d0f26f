// Asking the user for an account to connect to a host as: the Windows credential prompt, or
// Brackwin's own where the system cannot show its prompt.
#pragma once

#include <windows.h>

#include <string>

#include "base/HostCredentials.h"

// How the system prompt ended.
enum class PromptAnswer { Ok, Cancelled, Unavailable };

// The system prompt owned by owner, with the message and, after a refusal, the refusal's
// system code (0 for none). On Ok the account is in credentials and remember tells whether the
// remember box was ticked.
[[nodiscard]] PromptAnswer PromptForWindowsCredentials(HWND owner, const std::wstring& message,
                                                       DWORD authError,
                                                       HostCredentials& credentials,
                                                       bool& remember);

// The message that opens every prompt for the host.
std::wstring CredentialPromptMessage(const std::wstring& hostName);

// The system prompt, or Brackwin's own when that cannot be shown; true when the user gave an
// account (OK), false when the user cancelled. words, when not empty, follow the message: why
// the last account was refused.
[[nodiscard]] bool AskForCredentials(HWND owner, const std::wstring& hostName,
                                     const std::wstring& words, HostCredentials& credentials,
                                     bool& remember);
