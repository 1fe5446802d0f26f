// The words that tell the user why a command did not do what it says: what was asked, of which
// host or machine, and the failure's own words.
#pragma once

#include <string>

#include "mgmt/HostFailure.h"

class ManagementSession;
class VmEntry;

inline constexpr wchar_t loadSettingsCaption[] = L"Loading Virtual Machine Settings";
inline constexpr wchar_t readStateCaption[] = L"Error Reading VM State";

// The sentence, a blank line, and the failure in words (ResultText and the words that came
// with it).
std::wstring WithDetails(const std::wstring& sentence, const HostFailure& failure);

// The session's listing failed after `listed` machines were read.
std::wstring ListingFailureText(const ManagementSession& session, size_t listed);
// The user stopped waiting for the session's listing after `listed` machines were read.
std::wstring StoppedListingText(const ManagementSession& session, size_t listed);
// The machine's settings (or its state, read first) could not be read, or read back just after
// they were saved.
std::wstring LoadFailureText(const VmEntry& entry, bool justSaved);
// The machine's power state could not be read; `consequence` (", so nothing was sent.") ends
// the sentence, or just ".".
std::wstring StateReadFailureText(const VmEntry& entry, const wchar_t* consequence = L".");
