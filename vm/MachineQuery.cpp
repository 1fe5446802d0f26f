#include "vm/MachineQuery.h"

#include <optional>

#include "mgmt/ManagementSession.h"

namespace {

bool IsHexDigit(wchar_t c)
{
    return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F') || (c >= L'a' && c <= L'f');
}

}

bool IsMachineIdentifier(std::wstring_view name)
{
    if (name.size() != 36)
        return false;
    for (size_t i = 0; i < name.size(); ++i) {
        const bool hyphen = i == 8 || i == 13 || i == 18 || i == 23;
        if (hyphen ? name[i] != L'-' : !IsHexDigit(name[i]))
            return false;
    }
    return true;
}

// Unlike its Caption, the host's own computer system's Name does not depend on the host's
// language. A name that would need quoting is not put into the query; the host's instance is
// then left out by its Name's shape alone.
std::wstring ComputerSystemQuery(const ManagementSession& session, std::wstring_view properties)
{
    std::wstring query = L"SELECT " + std::wstring(properties) + L" FROM Msvm_ComputerSystem";
    const std::optional<std::wstring>& host = session.computerName;
    if (host && !host->empty() && host->find_first_of(L"'\\") == std::wstring::npos)
        query += L" WHERE Name <> '" + *host + L"'";
    return query;
}
