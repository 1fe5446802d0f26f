// Reads an embedded instance sent as CIM-XML (DMTF DSP0201): INSTANCE CLASSNAME with PROPERTY,
// PROPERTY.ARRAY and PROPERTY.REFERENCE children. QUALIFIER elements and attributes such as
// CLASSORIGIN and PROPAGATED are tolerated; a property without VALUE is null.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

struct CimProperty {
    std::wstring name;
    std::wstring type;                // the TYPE attribute ("string", "boolean", ...)
    bool isNull = true;
    bool isArray = false;
    std::vector<std::wstring> values; // one for a scalar, each element for an array
};

struct CimInstanceText {
    std::wstring className;
    std::vector<CimProperty> properties;

    const CimProperty* Find(std::wstring_view name) const;
};

// The instance, or none when the text is not well-formed XML of that shape.
std::optional<CimInstanceText> ReadCimXml(std::wstring_view text);

}
