// A failed call to a host as the user is told of it: the client's result code and the words
// the client or the host delivered with it.
#pragma once

#include <string>

#include "mgmt/MiTypes.h"

struct HostFailure {
    MI_Result result = MI_RESULT_OK;
    std::wstring message; // empty when no words came
};
