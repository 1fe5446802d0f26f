#include "sim/TextForms.h"

#include "sim/Host.h"
#include "sim/SimInstance.h"
#include "sim/SimSession.h"
#include "sim/Text.h"
#include "sim/ValueText.h"

namespace sim {

bool DeliversText(const Host& host, const SimSession& session, MI_Uint32 flags)
{
    const bool typed = (flags & (MI_OPERATIONFLAGS_STANDARD_RTTI | MI_OPERATIONFLAGS_FULL_RTTI)) != 0;
    return host.valuesAsText && !typed && SameText(session.protocol, L"WINRM");
}

void ToTextForms(SimInstance& instance)
{
    for (Element& element : instance.Elements()) {
        const MI_Type type = element.value.Type();
        const bool textual = type == MI_STRING || type == MI_REFERENCE || type == MI_INSTANCE ||
                             (static_cast<int>(type) & MI_ARRAY) != 0;
        if (textual)
            continue;
        if (element.value.IsNull())
            element.value.AssignNull(MI_STRING);
        else
            element.value.AssignString(DeliveredText(element.value.Get(), type));
    }
}

}
