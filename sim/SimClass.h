// A simulated class object: the MI_Class handle (held by the world's registry, which outlives
// the class object) over one class declaration of a host.
#pragma once

#include <string>

#include "mgmt/MiTypes.h"
#include "sim/SimInstance.h"

namespace sim {

class SimClass {
public:
    SimClass(World& world, MI_Class& handle, const ClassSchema& schema, std::wstring nameSpace,
             std::wstring serverName, Ownership owner);
    SimClass(const SimClass&) = delete;
    SimClass& operator=(const SimClass&) = delete;

    MI_Class& Handle() { return *handle_; }
    World& GetWorld() const { return *world_; }
    const ClassSchema& Schema() const { return *schema_; }
    Ownership Owner() const { return owner_; }
    const std::wstring& NameSpace() const { return nameSpace_; }
    const std::wstring& ServerName() const { return serverName_; }

private:
    World* world_;
    MI_Class* handle_;
    const ClassSchema* schema_;
    std::wstring nameSpace_;
    std::wstring serverName_;
    Ownership owner_;
};

// The class function table shared by every simulated class object.
extern const MI_ClassFT simClassTable;

}
