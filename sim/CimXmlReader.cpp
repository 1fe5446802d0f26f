#include "sim/CimXmlReader.h"

#include "sim/Text.h"
#include "sim/XmlReader.h"

namespace sim {
namespace {

// The text of a VALUE element, which holds character data only.
std::optional<std::wstring> ValueOf(const XmlElement& value)
{
    if (value.name != L"VALUE" || !value.children.empty())
        return std::nullopt;
    return value.text;
}

std::optional<CimProperty> Property(const XmlElement& element)
{
    CimProperty property;
    const std::wstring* name = element.Attribute(L"NAME");
    if (!name || name->empty())
        return std::nullopt;
    property.name = *name;
    const bool reference = element.name == L"PROPERTY.REFERENCE";
    property.isArray = element.name == L"PROPERTY.ARRAY";
    if (const std::wstring* type = element.Attribute(reference ? L"REFERENCECLASS" : L"TYPE"))
        property.type = reference ? L"reference" : *type;
    else if (!reference)
        return std::nullopt;
    for (const XmlElement& child : element.children) {
        if (child.name == L"QUALIFIER")
            continue;
        if (!property.isNull)
            return std::nullopt; // at most one value
        property.isNull = false;
        if (reference) {
            if (child.name != L"VALUE.REFERENCE")
                return std::nullopt;
        } else if (property.isArray) {
            if (child.name != L"VALUE.ARRAY")
                return std::nullopt;
            for (const XmlElement& item : child.children) {
                auto text = ValueOf(item);
                if (!text)
                    return std::nullopt;
                property.values.push_back(std::move(*text));
            }
        } else {
            auto text = ValueOf(child);
            if (!text)
                return std::nullopt;
            property.values.push_back(std::move(*text));
        }
    }
    return property;
}

}

const CimProperty* CimInstanceText::Find(std::wstring_view name) const
{
    for (const CimProperty& property : properties)
        if (SameText(property.name, name))
            return &property;
    return nullptr;
}

std::optional<CimInstanceText> ReadCimXml(std::wstring_view text)
{
    const auto root = ReadXml(text);
    if (!root || root->name != L"INSTANCE")
        return std::nullopt;
    const std::wstring* className = root->Attribute(L"CLASSNAME");
    if (!className || className->empty())
        return std::nullopt;
    CimInstanceText instance;
    instance.className = *className;
    for (const XmlElement& child : root->children) {
        if (child.name == L"QUALIFIER")
            continue;
        if (child.name != L"PROPERTY" && child.name != L"PROPERTY.ARRAY" &&
            child.name != L"PROPERTY.REFERENCE")
            return std::nullopt;
        auto property = Property(child);
        if (!property || instance.Find(property->name))
            return std::nullopt;
        instance.properties.push_back(std::move(*property));
    }
    return instance;
}

}
