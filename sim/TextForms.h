// Values as a client without type information delivers them: over "WINRM", with the default,
// basic or no run-time type information, numbers, booleans and datetimes may come as
// MI_STRING in their CIM text forms ("2", "true", "20240311064217.123456+060").
#pragma once

#include "mgmt/MiTypes.h"

namespace sim {

class Host;
class SimInstance;
struct SimSession;

// Whether the host gives an operation with these flags its values as text.
bool DeliversText(const Host& host, const SimSession& session, MI_Uint32 flags);

// Turns every scalar number, boolean and datetime element into MI_STRING text (null stays null).
void ToTextForms(SimInstance& instance);

}
