#include "ui/CsvProtection.h"

namespace {

bool RunsAsFormula(wchar_t first)
{
    return std::wstring_view(L"=+-@\t\r").find(first) != std::wstring_view::npos;
}

}

std::wstring_view Unprotected(std::wstring_view field)
{
    if (field.size() >= 2 && field[0] == L'\'' && (RunsAsFormula(field[1]) || field[1] == L'\''))
        field.remove_prefix(1);
    return field;
}

bool NeedsApostrophe(std::wstring_view value)
{
    // What the import would take an apostrophe off is protected by one of its own.
    return !value.empty() && (RunsAsFormula(value[0]) || Unprotected(value).size() != value.size());
}
