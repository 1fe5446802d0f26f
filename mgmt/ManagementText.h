// The wording of failures: the message of each management result code, the texts of the
// operation contexts a session records, and the system's text for a Windows error code.
// Fixed English texts, no resource lookup.
#pragma once

#include <windows.h>

#include <string>

#include "mgmt/HostFailure.h"
#include "mgmt/MiTypes.h"

// The message for a management result code, of static lifetime. Codes without a message of
// their own (11, and values outside the enumeration) get a fixed fallback, never null.
const wchar_t* ResultText(MI_Result code) noexcept;

// The operation context text for indices 0 to 9; any other index gives "Unspecified".
const wchar_t* ContextText(int index) noexcept;

// A failure in words: the message of its result code, then the words that came with it, when
// they came, on a line of their own.
std::wstring FailureDetails(const HostFailure& failure);
// The same on one line, for a table's cell: "message. Details: words".
std::wstring FailureOnOneLine(const HostFailure& failure);

// The text on one line: each tab and line break (CR LF, CR or LF) a space.
std::wstring OnOneLine(const std::wstring& text);

// The system's message for a Windows error code, as the system gives it (trailing line break
// included), or "Unable to process error message." when the system has none.
std::wstring SystemErrorText(DWORD code);
