// The Caption and Description of Msvm_ComputerSystem in each host language: Windows translates
// them, so a query filtering on the English words finds nothing on other hosts.
#pragma once

#include "sim/Host.h"

namespace sim {

struct ComputerSystemTexts {
    const wchar_t* vmCaption;
    const wchar_t* vmDescription;
    const wchar_t* hostCaption;
    const wchar_t* hostDescription;
};

const ComputerSystemTexts& ComputerSystemTextsIn(HostLanguage language);

}
