// A small, strict XML reader: elements, attributes, text, comments, CDATA and the processing
// instructions of a prolog. Entities (the five named ones and numeric ones) are decoded. Any
// malformed input gives no document rather than a partial one.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sim {

struct XmlElement {
    std::wstring name;
    std::vector<std::pair<std::wstring, std::wstring>> attributes;
    std::vector<XmlElement> children;
    std::wstring text; // the element's own character data, concatenated

    const std::wstring* Attribute(std::wstring_view attributeName) const;
};

std::optional<XmlElement> ReadXml(std::wstring_view text);

}
