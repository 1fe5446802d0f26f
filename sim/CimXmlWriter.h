// Writes an instance as CIM-XML (DMTF DSP0201): INSTANCE with one PROPERTY, PROPERTY.ARRAY or
// PROPERTY.REFERENCE per element; a null element has no VALUE. Text is escaped.
#pragma once

#include <string>
#include <string_view>

namespace sim {

class SimInstance;

std::wstring WriteCimXml(const SimInstance& instance);
// Text with & < > " ' replaced by their entities.
std::wstring EscapeXml(std::wstring_view text);

}
