// Every object a world has handed out: instances, classes, sessions, operations and serializers.
// Deleted instances and classes keep their shell (never reused) so that a later call on them is
// recognised and reported instead of touching freed memory.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "mgmt/MiTypes.h"
#include "sim/SimInstance.h"

namespace sim {

class ClassSchema;
class SimClass;
class SimOperation;
struct SimSession;

struct LiveCounts {
    int sessions = 0;
    int operations = 0;
    int instances = 0;
    int classes = 0;
    int serializers = 0;
    bool operator==(const LiveCounts&) const = default;
};

class ObjectRegistry {
public:
    explicit ObjectRegistry(World& world);
    ~ObjectRegistry();
    ObjectRegistry(const ObjectRegistry&) = delete;
    ObjectRegistry& operator=(const ObjectRegistry&) = delete;

    SimInstance* NewInstance(std::wstring className, const ClassSchema* schema, Ownership owner);
    // The instance behind a handle, alive or deleted; null when not ours.
    SimInstance* Lookup(const MI_Instance* handle) const;
    void Release(SimInstance* instance);

    SimClass* NewClass(const ClassSchema& schema, std::wstring nameSpace, std::wstring serverName,
                       Ownership owner);
    SimClass* Lookup(const MI_Class* handle) const;
    void Release(SimClass* simClass);

    std::uint64_t AddSession(std::unique_ptr<SimSession> session);
    SimSession* FindSession(std::uint64_t id) const;
    void CloseSession(std::uint64_t id);

    std::uint64_t AddOperation(std::unique_ptr<SimOperation> operation);
    SimOperation* FindOperation(std::uint64_t id) const;
    void CloseOperation(std::uint64_t id);

    std::uint64_t AddSerializer();
    bool HasSerializer(std::uint64_t id) const;
    void CloseSerializer(std::uint64_t id);

    LiveCounts Counts() const;

private:
    World* world_;
    std::uint64_t nextId_ = 1;
    int liveInstances_ = 0;
    int liveClasses_ = 0;
    std::unordered_map<std::uint64_t, std::unique_ptr<SimOperation>> operations_;
    std::unordered_map<std::uint64_t, std::unique_ptr<SimSession>> sessions_;
    std::unordered_map<std::uint64_t, bool> serializers_;
    std::unordered_map<const MI_Instance*, std::unique_ptr<SimInstance>> instances_;
    std::unordered_map<const MI_Class*, std::unique_ptr<SimClass>> classes_;
};

}
