// A simulated instance: the MI_Instance handle the caller sees (held by the world's registry,
// which outlives the instance), its class name, namespace and server, and its elements in
// order. Who may delete it is recorded, so that a caller deleting an instance that belongs to
// an operation is reported instead of corrupting anything.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "mgmt/MiTypes.h"
#include "sim/SimValue.h"

namespace sim {

class ClassSchema;
class World;

enum class Ownership {
    Caller,     // made by NewInstance, NewInstanceFromClass or Clone: the caller deletes it
    Operation,  // delivered by an operation: released when the operation is closed
    Embedded,   // held in another instance's element: released with that element
};

struct Element {
    std::wstring name;
    MI_Uint32 flags;
    OwnedValue value;
};

class SimInstance {
public:
    SimInstance(World& world, MI_Instance& handle, std::wstring className,
                const ClassSchema* schema, Ownership owner);
    SimInstance(const SimInstance&) = delete;
    SimInstance& operator=(const SimInstance&) = delete;

    MI_Instance& Handle() { return *handle_; }
    const MI_Instance& Handle() const { return *handle_; }
    World& GetWorld() const { return *world_; }
    const std::wstring& ClassName() const { return className_; }
    const ClassSchema* Schema() const { return schema_; }
    Ownership Owner() const { return owner_; }

    const std::wstring& NameSpace() const { return nameSpace_; }
    void SetNameSpace(std::wstring nameSpace);
    const std::wstring& ServerName() const { return serverName_; }
    void SetServerName(std::wstring serverName);

    std::vector<Element>& Elements() { return elements_; }
    const std::vector<Element>& Elements() const { return elements_; }
    Element* Find(std::wstring_view name);
    const Element* Find(std::wstring_view name) const;

    [[nodiscard]] MI_Result Add(const MI_Char* name, const MI_Value* value, MI_Type type,
                                MI_Uint32 flags);
    [[nodiscard]] MI_Result Set(Element& element, const MI_Value* value, MI_Type type,
                                MI_Uint32 flags);

    // Convenience setters for building host instances: the element must exist.
    void PutString(std::wstring_view name, const std::wstring& text);
    void PutUint16(std::wstring_view name, MI_Uint16 number);
    void PutValue(std::wstring_view name, const MI_Value& value, MI_Type type);

    // The text of a string element, or empty when absent, null or not a string.
    std::wstring StringOf(std::wstring_view name) const;

    // A copy with the given ownership, in the same world.
    SimInstance* Copy(Ownership owner) const;

private:
    void RefreshHandle();

    World* world_;
    MI_Instance* handle_;
    std::wstring className_;
    const ClassSchema* schema_;
    Ownership owner_;
    std::wstring nameSpace_;
    std::wstring serverName_;
    std::vector<Element> elements_;
};

// The live simulated instance behind a handle in any world, or null (reported as a misuse)
// for a foreign or deleted handle.
SimInstance* CheckedInstance(const MI_Instance* handle, const char* call);

// Copies an instance for embedding in a value; null when the handle is not ours.
SimInstance* CloneEmbeddedInstance(const MI_Instance* handle);
void ReleaseEmbeddedInstance(SimInstance* instance);

// The instance function table shared by every simulated instance.
extern const MI_InstanceFT simInstanceTable;

}
