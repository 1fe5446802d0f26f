#include "ui/IdentityCsv.h"

#include <new>

#include "hosts/HostFile.h"
#include "ui/CsvProtection.h"
#include "ui/IdentityColumns.h"

namespace {

std::string Utf8(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(),
                            size, nullptr, nullptr);
    return bytes;
}

std::wstring Field(std::wstring value)
{
    if (NeedsApostrophe(value))
        value.insert(0, 1, L'\'');
    if (value.find_first_of(L",\"\r\n") == std::wstring::npos)
        return value;
    std::wstring quoted = L"\"";
    for (wchar_t c : value) {
        if (c == L'"')
            quoted += L'"';
        quoted += c;
    }
    return quoted + L'"';
}

}

std::string IdentityCsv(const std::vector<const VmIdentity*>& machines)
{
    std::wstring text = TitleLine(exportedColumns, L',') + L"\r\n";
    for (const VmIdentity* machine : machines) {
        for (IdentityColumn column : exportedColumns) {
            if (column != exportedColumns[0])
                text += L',';
            text += Field(ColumnText(*machine, column));
        }
        text += L"\r\n";
    }
    return "\xEF\xBB\xBF" + Utf8(text);
}

DWORD WriteIdentityCsv(const std::wstring& path, const std::vector<const VmIdentity*>& machines)
{
    try {
        return ReplaceFileContent(path, IdentityCsv(machines));
    } catch (const std::bad_alloc&) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
}
