// The part of WQL the simulated hosts answer: SELECT * or a list of properties FROM one class,
// optionally WHERE one property compared (=, <> or !=) with one literal ('text', "text", a
// number, TRUE or FALSE).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

struct WqlCondition {
    std::wstring property;
    std::wstring literal; // the value as text, quotes and escapes removed
    bool equal = true;    // false for <> and !=
};

struct WqlQuery {
    std::vector<std::wstring> properties; // empty for SELECT *
    std::wstring className;
    std::optional<WqlCondition> where;
};

// The query, or none when the text is not such a query.
std::optional<WqlQuery> ParseWql(std::wstring_view text);

}
