// The words a host or the client gives with a failed operation (MI_Operation_Get*'s
// errorMessage), in English as an English host gives them.
#pragma once

#include <string>

#include "mgmt/MiTypes.h"

namespace sim {

std::wstring FailureText(MI_Result result);

// What the client says when no WinRM listener answers at the destination.
std::wstring UnreachableText();

}
