// Text helpers shared by the simulated hosts: names compare ignoring case, as WMI does.
#pragma once

#include <string>
#include <string_view>

namespace sim {

bool SameText(std::wstring_view a, std::wstring_view b);
std::wstring UpperText(std::wstring_view text);

}
