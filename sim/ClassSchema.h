// The declaration of one host class: its properties in order, with their types and key flags,
// and the MI_ClassDecl that instances and class objects of it point at.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "mgmt/MiTypes.h"

namespace sim {

struct PropertySchema {
    std::wstring name;
    MI_Type type;
    bool key;
};

class ClassSchema {
public:
    ClassSchema(std::wstring name, std::vector<PropertySchema> properties);
    ClassSchema(const ClassSchema&) = delete;
    ClassSchema& operator=(const ClassSchema&) = delete;

    const std::wstring& Name() const { return name_; }
    const std::vector<PropertySchema>& Properties() const { return properties_; }
    // The index of a property, ignoring case; -1 when the class has none of that name.
    int IndexOf(std::wstring_view name) const;
    // MI_FLAG_PROPERTY, plus MI_FLAG_KEY on keys.
    MI_Uint32 FlagsOf(std::size_t index) const;
    const MI_ClassDecl& Decl() const { return decl_; }

private:
    std::wstring name_;
    std::vector<PropertySchema> properties_;
    std::vector<MI_PropertyDecl> propertyDecls_;
    std::vector<const MI_PropertyDecl*> propertyDeclPointers_;
    MI_ClassDecl decl_{};
};

// The classes every simulated host knows, by name ignoring case; null for any other name.
const ClassSchema* FindClassSchema(std::wstring_view className);

}
