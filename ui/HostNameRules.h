// The cleaning rule for host names typed by the user.
#pragma once

#include <string>

// Upper-cases a to z, removes every character but word characters, "-", "_" and ".", and
// turns "." and "LOCALHOST" into the local computer's name. Empty when nothing is left (or
// memory runs out).
std::wstring CleanTypedHostName(std::wstring text, const std::wstring& localComputerName) noexcept;
